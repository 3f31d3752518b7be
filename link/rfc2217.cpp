// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/rfc2217.h"

#include <algorithm>

namespace {

// RFC 2217's requests and the values a line setting takes in them.
constexpr quint8 kSetBaudRate = 1;
constexpr quint8 kSetDataSize = 2;
constexpr quint8 kSetParity = 3;
constexpr quint8 kSetStopSize = 4;
constexpr quint8 kSetControl = 5;
constexpr quint8 kPurgeData = 12;
constexpr char kNoFlowControl = 1;
constexpr char kDtrOff = 9;
constexpr char kRtsOff = 12;
constexpr char kPurgeBoth = 3;

char ParityValue(QSerialPort::Parity parity) {
  switch (parity) {
    case QSerialPort::OddParity:
      return 2;
    case QSerialPort::EvenParity:
      return 3;
    case QSerialPort::MarkParity:
      return 4;
    case QSerialPort::SpaceParity:
      return 5;
    default:
      return 1;
  }
}

char StopValue(QSerialPort::StopBits stopBits) {
  switch (stopBits) {
    case QSerialPort::TwoStop:
      return 2;
    case QSerialPort::OneAndHalfStop:
      return 3;
    default:
      return 1;
  }
}

// What must be confirmed, each with its value, in the order it is asked;
// the purge comes last, so what arrives before its answer is from before.
QList<Rfc2217SetUp::Setting> SettingsOf(const LineSettings& s) {
  QByteArray baud(4, '\0');
  for (int i = 0; i < 4; ++i) baud[3 - i] = static_cast<char>((s.baud >> (8 * i)) & 0xff);
  return {
      {kSetBaudRate, baud, QT_TRANSLATE_NOOP("timer", "the baud rate")},
      {kSetDataSize, QByteArray(1, static_cast<char>(s.dataBits)),
       QT_TRANSLATE_NOOP("timer", "the data bits")},
      {kSetParity, QByteArray(1, ParityValue(s.parity)), QT_TRANSLATE_NOOP("timer", "the parity")},
      {kSetStopSize, QByteArray(1, StopValue(s.stopBits)),
       QT_TRANSLATE_NOOP("timer", "the stop bits")},
      {kSetControl, QByteArray(1, kNoFlowControl), QT_TRANSLATE_NOOP("timer", "no flow control")},
      {kPurgeData, QByteArray(1, kPurgeBoth),
       QT_TRANSLATE_NOOP("timer", "the emptying of its buffers")}};
}

}  // namespace

Rfc2217SetUp::Rfc2217SetUp(const LineSettings& settings) : m_unconfirmed(SettingsOf(settings)) {}

QByteArray Rfc2217SetUp::requests() const {
  QByteArray asked = TelnetCodec::offer();
  for (const Setting& s : m_unconfirmed) asked += TelnetCodec::request(s.command, s.value);
  // A server whose line has no modem control (a pseudo-terminal) does not
  // answer these, and need not.
  return asked + TelnetCodec::request(kSetControl, QByteArray(1, kDtrOff)) +
         TelnetCodec::request(kSetControl, QByteArray(1, kRtsOff));
}

void Rfc2217SetUp::take(TelnetCodec& telnet) {
  if (telnet.comPort() == TelnetCodec::ComPortState::Refused)
    m_refused =
        Text(QT_TRANSLATE_NOOP("timer", "the device server refuses RFC 2217 (Com Port Control)"));
  const QList<TelnetCodec::ComPortAnswer> answers = telnet.takeAnswers();
  m_heard = m_heard || !answers.isEmpty() || telnet.comPort() != TelnetCodec::ComPortState::Asked;
  for (const TelnetCodec::ComPortAnswer& answer : answers) {
    const auto asked = std::find_if(
        m_unconfirmed.begin(), m_unconfirmed.end(),
        [&](const Setting& s) { return answer.command == s.command + TelnetCodec::kServerOffset; });
    if (asked == m_unconfirmed.end()) continue;
    if (answer.value != asked->value)
      m_refused =
          Text(QT_TRANSLATE_NOOP("timer", "the device server did not set %1"), {Text(asked->name)});
    m_unconfirmed.erase(asked);
  }
}

std::chrono::milliseconds Rfc2217SetUp::patience() const {
  return m_heard ? kSettingTime : kFirstAnswerTime;
}

Text Rfc2217SetUp::reason(bool serverClosed) const {
  if (!m_refused.isEmpty()) return m_refused;
  if (serverClosed)
    return Text(QT_TRANSLATE_NOOP(
        "timer", "the device server closed the connection while setting the line"));
  // One that answered nothing to the option is most likely in raw TCP mode,
  // or busy with another client.
  if (!m_heard)
    return Text(QT_TRANSLATE_NOOP("timer",
                                  "the device server answered nothing to RFC 2217 within %1 s: it "
                                  "may be in raw TCP mode (use tcp:HOST:PORT) or serving another "
                                  "client"),
                {QString::number(kFirstAnswerTime.count())});
  return Text(QT_TRANSLATE_NOOP("timer", "the device server did not confirm %1 within %2 s"),
              {Text(m_unconfirmed.front().name), QString::number(kSettingTime.count())});
}
