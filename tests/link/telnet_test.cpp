// SPDX-License-Identifier: GPL-3.0-or-later
// The Telnet of an RFC 2217 device server: serial data with 0xFF doubled,
// negotiations answered and never taken for data.

#include <gtest/gtest.h>

#include "link/telnet.h"
#include "support/named_case.h"
#include "support/qt_printers.h"

namespace {

struct TelnetCase {
  const char* name;
  QByteArray stream;   // what the server sends
  QByteArray data;     // the serial bytes in it
  QByteArray replies;  // what the client answers
};

TIMER_NAMED_CASE(TelnetCase)

class Telnet : public ::testing::TestWithParam<TelnetCase> {};

TEST_P(Telnet, TakesTheSerialBytesOutAndAnswersTheRest) {
  const TelnetCase& c = GetParam();
  TelnetCodec codec;
  QByteArray data;
  for (const char byte : c.stream) data += codec.decode(QByteArray(1, byte));  // cut anywhere
  EXPECT_EQ(data, c.data);
  EXPECT_EQ(codec.takeReplies(), c.replies);
  // What is sent comes out of a server's decoding as it went in.
  EXPECT_EQ(TelnetCodec().decode(TelnetCodec::escape(c.data)), c.data);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, Telnet,
    ::testing::Values(TelnetCase{"DataByteFf",
                                 "a\xff\xff"
                                 "b\xff\xff",
                                 "a\xff"
                                 "b\xff",
                                 ""},
                      TelnetCase{"BinaryAgreed", QByteArray("\xff\xfb\x00x\xff\xfd\x00", 7), "x",
                                 QByteArray("\xff\xfd\x00\xff\xfb\x00", 6)},
                      TelnetCase{"OtherOptionsRefused", QByteArray("\xff\xfb\x01\xff\xfd\x03", 6),
                                 "", "\xff\xfe\x01\xff\xfc\x03"},
                      TelnetCase{"ComPortAnswerIsNoData",
                                 QByteArray("\xff\xfa\x2c\x65\xff\xff\xff\xf0y", 9), "y", ""}),
    kCaseName);

}  // namespace
