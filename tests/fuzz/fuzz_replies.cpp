// SPDX-License-Identifier: GPL-3.0-or-later
// Whatever a device sends back, the three exchanges end without a fault, the
// fields take only what the reply rules give them, and an upload only ever
// sends a well-formed configuration.
//
// Input: byte 0 picks the exchange (handshake, upload, activation) and the
// delay between pieces; the rest is the device's answer, cut into pieces at
// every 0xff byte. The upload and the activation run after a link whose
// read-back is the first piece.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "handlers/activation.h"
#include "handlers/connect.h"
#include "handlers/upload.h"
#include "model/time_fields.h"
#include "support/fakes.h"

namespace {

std::vector<Piece> Pieces(const uint8_t* data, size_t size, int gapMs) {
  std::vector<Piece> pieces;
  QByteArray current;
  int at = 1;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0xff) {
      pieces.push_back({std::chrono::milliseconds(at), current});
      current.clear();
      at += gapMs;
    } else {
      current += static_cast<char>(data[i]);
    }
  }
  pieces.push_back({std::chrono::milliseconds(at), current});
  return pieces;
}

// The fields as the whole reply text gives them.
QStringList ExpectedFields(const QByteArray& reply) {
  QStringList fields;
  for (int position = 2; position <= 18; position += 2)
    fields << QString::fromLatin1(reply.mid(position - 1, 2));
  return fields;
}

bool WellFormedConfiguration(const QByteArray& sent) {
  if (sent.size() != 20 || (sent[0] != 'T' && sent[0] != 'S')) return false;
  for (int i = 1; i < 19; ++i)
    if (sent[i] < '0' || sent[i] > '9') return false;
  for (int i = 2; i < 19; i += 6)  // minutes and seconds tens
    if (sent[i - 1] > '5' || sent[i + 1] > '5') return false;
  return sent[19] == '0' || sent[19] == '1';
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int exchange = data[0] % 3;
  const int gapMs = 1 + (data[0] / 3) % 50;
  std::vector<Piece> pieces = Pieces(data + 1, size - 1, gapMs);

  Rig rig;
  if (exchange == 0) {
    rig.port.answers["Y"] = pieces;
    Conectar_Click(rig.form);
    if (rig.form.Conecta == 0) {
      // Everything that arrived up to the read that brought the "Y".
      QByteArray reply = " ";
      for (const Piece& p : pieces) {
        reply += p.bytes;
        if (p.bytes.contains('Y')) break;
      }
      Check(TextsOf(rig.view, kDeviceFieldOrder) == ExpectedFields(reply));
      Check(rig.view.value(Ctl::Option3) == (reply.at(reply.size() - 2) == '1'));
    }
    return 0;
  }

  rig.port.answers["Y"] = {{std::chrono::milliseconds(1), pieces.front().bytes + "Y"}};
  Conectar_Click(rig.form);
  Check(rig.form.Conecta == 0);
  pieces.erase(pieces.begin());
  rig.port.sent.clear();
  if (exchange == 1) {
    // Whatever the read-back left in the fields, what goes out is well formed.
    rig.port.anyAnswer = pieces;
    enviar_Click(rig.form);
    Check(rig.port.sent.isEmpty() || WellFormedConfiguration(rig.port.sent));
  } else {
    rig.port.answers["E"] = pieces;
    fire_Click(rig.form);
    Check(rig.port.sent == "E");
  }
  return 0;
}
