// SPDX-License-Identifier: GPL-3.0-or-later
// The Telnet decoding of an RFC 2217 device server's stream. Taken as it
// comes, no input crashes it or draws more answer than it holds. Taken as a
// script (serial bytes between whole negotiations, cut anywhere), the serial
// bytes come out exactly, 0xFF included, whatever the negotiation around them.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "link/telnet.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// Script bytes from 0xF0 up are negotiations taking the next byte as the option.
QByteArray Negotiation(uint8_t kind, char option) {
  const char iac = static_cast<char>(TelnetCodec::kIac);
  if (kind < 0xf4) return QByteArray(1, iac) + static_cast<char>(0xfb + (kind - 0xf0)) + option;
  // A Com Port Control answer holding the option byte, doubled if 0xFF.
  return QByteArray(1, iac) + '\xfa' + '\x2c' + '\x65' +
         TelnetCodec::escape(QByteArray(1, option)) + iac + '\xf0';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  TelnetCodec raw;
  Check(raw.decode(input).size() <= input.size());
  Check(raw.takeReplies().size() <= input.size());
  Check(raw.takeAnswers().size() <= 16);

  QByteArray stream, expected;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] >= 0xf0 && i + 1 < size) {
      stream += Negotiation(data[i], static_cast<char>(data[i + 1]));
      ++i;
    } else {
      expected += static_cast<char>(data[i]);
      stream += TelnetCodec::escape(QByteArray(1, static_cast<char>(data[i])));
    }
  }
  TelnetCodec scripted;
  QByteArray decoded;
  const qsizetype piece = size > 0 ? data[0] % 7 + 1 : 1;
  for (qsizetype at = 0; at < stream.size(); at += piece)
    decoded += scripted.decode(stream.mid(at, piece));
  Check(decoded == expected);
  return 0;
}
