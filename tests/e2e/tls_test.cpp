// SPDX-License-Identifier: GPL-3.0-or-later
// Device servers behind TLS, started here: Debian's ser2net with RFC 2217
// inside its ssl accepter, and socat's raw OPENSSL-LISTEN demanding a client
// certificate, in front of the built simulator; certificates made by openssl.

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSslCertificate>
#include <QTcpServer>
#include <QTcpSocket>

#include "cli/timerctl.h"
#include "link/tls.h"
#include "support/device_server.h"
#include "support/message_boxes.h"
#include "support/named_case.h"
#include "support/sim_process.h"
#include "support/test_certificates.h"
#include "support/window_rig.h"

namespace {

using Kind = DeviceServer::Kind;

struct Ran {
  int code = -1;
  QString out, err;
};

// timerctl in this process, on real lines; "@NAME" stands for that file of
// the certificates, PIN for the self-signed certificate's fingerprint.
Ran Timerctl(const TestCertificates& certificates, const QString& address,
             const QStringList& args) {
  Ran ran;
  QStringList words{"timerctl", "--device", address};
  for (const QString& arg : args) {
    words << (arg.startsWith('@') ? certificates.path(arg.mid(1))
              : arg == QLatin1String("PIN")
                  ? Fingerprint(QSslCertificate::fromPath(certificates.path("self.pem")).value(0))
                  : arg);
  }
  const Console console{[&ran](const QString& t) { ran.out += t; },
                        [&ran](const QString& t) { ran.err += t; },
                        false,
                        RealLine,
                        Adapters::FromSystem,
                        {}};
  ran.code = RunTimerctl(words, console);
  return ran;
}

// The simulator noted a command that writes or fires.
bool Changed(const SimProcess& sim) {
  return !sim.events().filter(QRegularExpression(QStringLiteral("^rx [TSE]"))).isEmpty();
}

struct TlsCase {
  const char* name;
  Kind kind;
  const char* served;  // the server's certificate
  QStringList args;
  int code;
  const char* err;               // part of stderr's first line
  const char* scheme = nullptr;  // another scheme for the server's address
};

TIMER_NAMED_CASE(TlsCase)

class TlsServed : public ::testing::TestWithParam<TlsCase> {};

// Whom the server proves to be, and whom it lets in, decide the link; the
// first line says why it failed, and nothing reached the device.
TEST_P(TlsServed, LinksOnlyToWhomItTrustsAndSaysWhyNot) {
  const TlsCase& c = GetParam();
  static const TestCertificates certificates;
  ASSERT_TRUE(certificates.made());
  SimProcess sim({"--instant"});
  const QString served = QString::fromLatin1(c.served);
  DeviceServer server(sim.path(), c.kind,
                      {certificates.path(served + ".pem"), certificates.path("server.key"),
                       certificates.path("ca.pem")});
  QString address = server.address();
  ASSERT_FALSE(address.isEmpty()) << server.problem().toStdString();
  if (c.scheme) address.replace(QRegularExpression("^[a-z0-9]+:(//)?"), c.scheme);

  const Ran ran = Timerctl(certificates, address, c.args + QStringList{"read"});

  EXPECT_EQ(ran.code, c.code) << ran.err.toStdString();
  EXPECT_TRUE(ran.err.section('\n', 0, 0).contains(QLatin1String(c.err))) << ran.err.toStdString();
  EXPECT_FALSE(c.code != 0 && Changed(sim)) << sim.events().join('\n').toStdString();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tls, TlsServed, ::testing::Values(
    TlsCase{"Trusted", Kind::Ser2netRfc2217Tls, "server", {"--ca", "@ca.pem"}, 0, ""},
    TlsCase{"UnknownAuthority", Kind::Ser2netRfc2217Tls, "server", {}, 3,
            "signed by an authority not trusted here (its fingerprint: sha256:"},
    TlsCase{"AnotherName", Kind::Ser2netRfc2217Tls, "other-name", {"--ca", "@ca.pem"}, 3,
            "names another host (elsewhere.invalid)"},
    TlsCase{"Expired", Kind::Ser2netRfc2217Tls, "expired", {"--ca", "@ca.pem"}, 3,
            "the device server's certificate has expired ("},
    TlsCase{"Pinned", Kind::Ser2netRfc2217Tls, "self", {"--pin", "PIN"}, 0, ""},
    TlsCase{"NotThePinned", Kind::Ser2netRfc2217Tls, "server", {"--pin", "PIN"}, 3,
            "is not the pinned one: its fingerprint is sha256:"},
    TlsCase{"NoClientCertificate", Kind::SocatTls, "server", {"--ca", "@ca.pem"}, 3,
            "asks for a client certificate and none was given"},
    TlsCase{"ClientCertificate", Kind::SocatTls, "server",
            {"--ca", "@ca.pem", "--cert", "@client.pem", "--key", "@client.key"}, 0, ""},
    TlsCase{"ClientCertificateRefused", Kind::SocatTls, "server",
            {"--ca", "@ca.pem", "--cert", "@rogue-client.pem", "--key", "@rogue-client.key"}, 3,
            "refused the client certificate"},
    TlsCase{"KeyBehindAPassphrase", Kind::SocatTls, "server",
            {"--ca", "@ca.pem", "--cert", "@client.pem", "--key", "@passphrase.key"}, 3,
            "which nobody can type here: give it without one"},
    TlsCase{"CertificateWithoutItsKey", Kind::SocatTls, "server",
            {"--ca", "@ca.pem", "--cert", "@client.pem"}, 3, "goes with its key: give both"},
    TlsCase{"KeyOthersMayRead", Kind::SocatTls, "server",
            {"--ca", "@ca.pem", "--cert", "@client.pem", "--key", "@readable-key.pem"}, 3,
            "others may read the key; it is not used (chmod 600 it)"},
    // Plain ser2net speaks first: refused before anything is sent.
    TlsCase{"PlainServer", Kind::Ser2netRfc2217, "server", {}, 3,
            "does not speak TLS: it answered in plain text (probably an rfc2217:// or tcp: server)",
            "rfc2217+tls://"}),
    kCaseName);
// clang-format on

// A raw server that stays silent cannot be told from a TLS one: the hello
// reaches the device's line (what the guide warns of).
TEST(RawServer, ThatStaysSilentIsGivenTheHello) {
  const TestCertificates certificates;
  SimProcess sim({"--instant"});
  DeviceServer server(sim.path(), Kind::Ser2netRaw);
  const Ran ran = Timerctl(certificates, QString(server.address()).replace("tcp:", "tls:"),
                           {"--ca", "@ca.pem", "read"});
  EXPECT_EQ(ran.code, 3);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !sim.events().filter("rx").isEmpty(); }, 1000));
}

// A server that closes before the hello, one that closes in the middle of
// the handshake, and one that never answers it.
TEST(Handshake, CutShortOrNeverAnsweredIsSaid) {
  enum class Server { ClosesAtOnce, ClosesOnTheHello, NeverAnswers };
  const TestCertificates certificates;
  for (const auto& [server, said] :
       {std::pair{Server::ClosesAtOnce, "the TLS handshake failed: the device server closed"},
        {Server::ClosesOnTheHello, "the TLS handshake failed: the device server closed"},
        {Server::NeverAnswers, "the TLS handshake did not finish within 3 s"}}) {
    QTcpServer listening;
    ASSERT_TRUE(listening.listen(QHostAddress::LocalHost));
    QObject::connect(&listening, &QTcpServer::newConnection, [&listening, server = server] {
      QTcpSocket* client = listening.nextPendingConnection();
      if (server == Server::ClosesAtOnce) client->disconnectFromHost();
      QObject::connect(client, &QIODevice::readyRead, client, [client, server] {
        if (server == Server::ClosesOnTheHello) client->abort();
      });
    });
    const Ran ran = Timerctl(
        certificates, QStringLiteral("rfc2217+tls://127.0.0.1:%1").arg(listening.serverPort()),
        {"--ca", "@ca.pem", "read"});
    EXPECT_EQ(ran.code, 3);
    EXPECT_TRUE(ran.err.contains(QLatin1String(said))) << ran.err.toStdString();
  }
}

// Read, programmed and verified, and fired, through each server; a fleet
// mixes plain and TLS servers; JSON names the server's certificate.
TEST(Through, EachServerAndAFleet) {
  const TestCertificates certificates;
  SimProcess ser2netSim({"--instant"}), socatSim({"--instant"}), plainSim({"--instant"});
  const DeviceServer ser2net(
      ser2netSim.path(), Kind::Ser2netRfc2217Tls,
      {certificates.path("server.pem"), certificates.path("server.key"), {}});
  const DeviceServer socat(socatSim.path(), Kind::SocatTls,
                           {certificates.path("server.pem"), certificates.path("server.key"),
                            certificates.path("ca.pem")});
  const DeviceServer plain(plainSim.path(), Kind::Ser2netRfc2217);
  const QStringList trust{"--ca", "@ca.pem", "--cert", "@client.pem", "--key", "@client.key"};
  for (const DeviceServer* server : {&ser2net, &socat}) {
    for (const QStringList& job : {QStringList{"upload", "--mono", "00:00:07"}, {"fire"}})
      EXPECT_EQ(Timerctl(certificates, server->address(), trust + job).code, 0)
          << job[0].toStdString();
  }
  EXPECT_TRUE(ser2netSim.waitForEvent("output ON", std::chrono::seconds(3)));
  EXPECT_TRUE(socatSim.waitForEvent("output ON", std::chrono::seconds(3)));
  const Ran fleet = Timerctl(certificates, plain.address(),
                             trust + QStringList{"--device", ser2net.address(), "read", "--json"});
  EXPECT_EQ(fleet.code, 0) << fleet.err.toStdString();
  EXPECT_EQ(fleet.out.count("\"result\":\"ok\""), 2);
  EXPECT_EQ(fleet.out.count("\"server_fingerprint\":\"sha256:"), 1) << "the TLS server's alone";
}

// The window's panel says how a linked server is reached, and why not.
TEST(Window, SaysWhoseCertificateItReached) {
  const TestCertificates certificates;
  SimProcess sim({"--instant"});
  const DeviceServer server(sim.path(), Kind::Ser2netRfc2217Tls,
                            {certificates.path("server.pem"), certificates.path("server.key"), {}});
  for (const bool trusted : {true, false}) {
    PortMap map = MapCom1To(server.address());
    if (trusted) map.trustFor(1, {certificates.path("ca.pem"), {}, {}, {}});
    WindowRig rig(map);
    MessageBoxCloser boxes;
    Click(rig.window, Ctl::Conectar);
    EXPECT_EQ(rig.window.deviceText(),
              "Com1: " + server.address() +
                  (trusted ? " · TLS 1.3 · CN=ser2net-hall3"
                           : " · TLS: certificado de una autoridad no reconocida"));
  }
}

}  // namespace
