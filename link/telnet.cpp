// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/telnet.h"

#include <utility>

namespace {

constexpr quint8 kSe = 240;
constexpr quint8 kSb = 250;
constexpr quint8 kWill = 251;
constexpr quint8 kWont = 252;
constexpr quint8 kDo = 253;
constexpr quint8 kDont = 254;
// A subnegotiation longer than any the option defines is a broken stream:
// it is dropped rather than kept growing.
constexpr qsizetype kMostSub = 64;
constexpr qsizetype kMostAnswers = 16;

QByteArray Command(quint8 verb, quint8 option) {
  const char bytes[] = {static_cast<char>(TelnetCodec::kIac), static_cast<char>(verb),
                        static_cast<char>(option)};
  return QByteArray(bytes, sizeof bytes);
}

}  // namespace

QByteArray TelnetCodec::offer() {
  return Command(kWill, kComPortOption);
}

QByteArray TelnetCodec::request(quint8 command, const QByteArray& value) {
  QByteArray framed = Command(kSb, kComPortOption) + static_cast<char>(command) + escape(value);
  return framed + static_cast<char>(kIac) + static_cast<char>(kSe);
}

QByteArray TelnetCodec::escape(const QByteArray& data) {
  QByteArray escaped = data;
  return escaped.replace(QByteArray(1, static_cast<char>(kIac)),
                         QByteArray(2, static_cast<char>(kIac)));
}

QByteArray TelnetCodec::decode(const QByteArray& raw) {
  QByteArray data;
  for (const char c : raw) {
    const auto byte = static_cast<quint8>(c);
    switch (m_state) {
      case State::Data:
        if (byte == kIac) {
          m_state = State::Command;
        } else {
          data += c;
        }
        break;
      case State::Command:
        m_state = State::Data;
        if (byte == kIac) {
          data += c;
        } else if (byte >= kWill) {
          m_verb = byte;
          m_state = State::Option;
        } else if (byte == kSb) {
          m_sub.clear();
          m_state = State::Sub;
        }
        break;  // other commands (NOP, GA, ...) carry nothing for the line
      case State::Option:
        negotiate(m_verb, byte);
        m_state = State::Data;
        break;
      case State::Sub:
        if (byte == kIac) {
          m_state = State::SubIac;
        } else if (m_sub.size() < kMostSub) {
          m_sub += c;
        }
        break;
      case State::SubIac:
        if (byte == kSe) {
          endSubnegotiation();
          m_state = State::Data;
        } else {
          if (m_sub.size() < kMostSub) m_sub += c;  // a doubled 0xFF
          m_state = State::Sub;
        }
        break;
    }
  }
  return data;
}

// The client speaks the Com Port Control option and binary both ways (an
// 8-bit line), and refuses everything else. Only a request that changes an
// option is answered, and a refusal never is, so no loop starts.
void TelnetCodec::negotiate(quint8 verb, quint8 option) {
  if (option == kComPortOption && (verb == kDo || verb == kDont)) {
    m_comPort = verb == kDo ? ComPortState::Accepted : ComPortState::Refused;
    return;  // offered already: nothing to answer
  }
  if (option == kBinary && (verb == kWill || verb == kDo)) {
    bool& on = verb == kWill ? m_binaryFromServer : m_binaryToServer;
    if (!on) m_replies += Command(verb == kWill ? kDo : kWill, option);
    on = true;
    return;
  }
  if (option == kBinary) (verb == kWont ? m_binaryFromServer : m_binaryToServer) = false;
  if (verb == kWill) m_replies += Command(kDont, option);
  if (verb == kDo) m_replies += Command(kWont, option);
}

void TelnetCodec::endSubnegotiation() {
  // Notifications keep coming while nobody asks for answers: only the last are kept.
  if (m_answers.size() >= kMostAnswers) m_answers.removeFirst();
  if (m_sub.size() >= 2 && static_cast<quint8>(m_sub.at(0)) == kComPortOption)
    m_answers.append({static_cast<quint8>(m_sub.at(1)), m_sub.mid(2)});
  m_sub.clear();
}

QByteArray TelnetCodec::takeReplies() {
  return std::exchange(m_replies, {});
}

QList<TelnetCodec::ComPortAnswer> TelnetCodec::takeAnswers() {
  return std::exchange(m_answers, {});
}
