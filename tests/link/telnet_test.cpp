// SPDX-License-Identifier: GPL-3.0-or-later
// The Telnet of an RFC 2217 device server: a data byte 0xFF travels doubled,
// and the line's set-up ends confirmed or says why.

#include <gtest/gtest.h>

#include "device/protocol.h"
#include "link/rfc2217.h"
#include "link/telnet.h"
#include "support/named_case.h"
#include "support/qt_printers.h"

namespace {

using namespace std::chrono_literals;

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

namespace {

// What a server answers to a client's set-up: each request, as asked or with
// the speed changed, after accepting or refusing the option; or nothing.
enum class Server { Confirms, ConfirmsBaudOnly, SetsAnotherSpeed, RefusesTheOption, Silent };

QByteArray Answer(Server server, const QByteArray& asked) {
  if (server == Server::Silent) return {};
  if (server == Server::RefusesTheOption) return "\xff\xfe\x2c";
  TelnetCodec requests;  // a client's requests are framed as a server's answers
  requests.decode(asked);
  QByteArray reply = "\xff\xfd\x2c";
  for (const TelnetCodec::ComPortAnswer& request : requests.takeAnswers()) {
    const bool baud = request.command == 1;
    reply += TelnetCodec::request(request.command + TelnetCodec::kServerOffset,
                                  baud && server == Server::SetsAnotherSpeed
                                      ? QByteArray("\x00\x00\x25\x80", 4)
                                      : request.value);
    if (server == Server::ConfirmsBaudOnly) break;
  }
  return reply;
}

struct SetUpCase {
  const char* name;
  Server server;
  bool serverClosed;
  bool confirmed;
  std::chrono::seconds patience;  // for the next answer
  const char* reason;
};

TIMER_NAMED_CASE(SetUpCase)

class LineSetUp : public ::testing::TestWithParam<SetUpCase> {};

// What the server said of the settings decides the opening, and the reason
// says what it did, however long it took.
TEST_P(LineSetUp, EndsConfirmedOrSaysWhy) {
  const SetUpCase& c = GetParam();
  Rfc2217SetUp line(kLineSettings);
  TelnetCodec telnet;
  telnet.decode(Answer(c.server, line.requests()));
  line.take(telnet);

  EXPECT_EQ(line.confirmed(), c.confirmed);
  EXPECT_EQ(line.patience(), c.patience);
  EXPECT_EQ(c.confirmed ? QString() : line.reason(c.serverClosed).english(),
            QString::fromUtf8(c.reason));
}

INSTANTIATE_TEST_SUITE_P(
    Servers, LineSetUp,
    ::testing::Values(
        SetUpCase{"Confirms", Server::Confirms, false, true, 2s, ""},
        SetUpCase{"SetsAnotherSpeed", Server::SetsAnotherSpeed, false, false, 2s,
                  "the device server did not set the baud rate"},
        SetUpCase{"RefusesTheOption", Server::RefusesTheOption, false, false, 2s,
                  "the device server refuses RFC 2217 (Com Port Control)"},
        SetUpCase{"SilentAsInRawMode", Server::Silent, false, false, 5s,
                  "the device server answered nothing to RFC 2217 within 5 s: it may be in raw "
                  "TCP mode (use tcp:HOST:PORT) or serving another client"},
        SetUpCase{"StopsConfirming", Server::ConfirmsBaudOnly, false, false, 2s,
                  "the device server did not confirm the data bits within 2 s"},
        SetUpCase{"ClosesWhileSetting", Server::ConfirmsBaudOnly, true, false, 2s,
                  "the device server closed the connection while setting the line"}),
    kCaseName);

}  // namespace
