// SPDX-License-Identifier: GPL-3.0-or-later
// The Telnet of an RFC 2217 device server: a data byte 0xFF travels doubled.

#include <gtest/gtest.h>

#include "link/telnet.h"
#include "support/qt_printers.h"

namespace {

TEST(Telnet, ADataByteFfIsDoubledWhenSentAndUndoubledWhenReceived) {
  const QByteArray data(
      "a\xff"
      "b\xff",
      4);
  const QByteArray stream(
      "a\xff\xff"
      "b\xff\xff",
      6);
  EXPECT_EQ(TelnetCodec::escape(data), stream);
  TelnetCodec codec;
  QByteArray received;
  for (const char byte : stream) received += codec.decode(QByteArray(1, byte));  // cut anywhere
  EXPECT_EQ(received, data);
  EXPECT_TRUE(codec.takeReplies().isEmpty()) << "no negotiation in it";
}

}  // namespace
