// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>

#include <chrono>

#include "base/text.h"
#include "link/serial_port.h"
#include "link/telnet.h"

// RFC 2217's line set-up as the client sees it, without a socket: the line
// settings go in and the requests to send come out; what the server answered
// goes in (through the Telnet codec), and it tells whether every setting is
// confirmed as asked or why not.
class Rfc2217SetUp {
 public:
  // How long a server has to answer the Com Port Control offer at all: one
  // that serves a single client at a time may take a few seconds to notice
  // that the previous client left. From its first answer on, it has
  // kSettingTime to confirm the settings.
  static constexpr std::chrono::seconds kFirstAnswerTime{5};
  static constexpr std::chrono::seconds kSettingTime{2};

  explicit Rfc2217SetUp(const LineSettings& settings);

  // The offer, each setting, then DTR and RTS off as on a direct line.
  QByteArray requests() const;
  // Takes what the codec has decoded of the server's answers.
  void take(TelnetCodec& telnet);

  // Every setting confirmed as asked, or one refused or altered.
  bool ended() const { return !m_refused.isEmpty() || m_unconfirmed.isEmpty(); }
  bool confirmed() const { return m_refused.isEmpty() && m_unconfirmed.isEmpty(); }
  // Whether the server said anything at all of the option.
  bool heard() const { return m_heard; }
  // How long to wait for the next answer.
  std::chrono::milliseconds patience() const;
  // Why it did not end confirmed: a refusal, the server gone meanwhile, a
  // server that said nothing, or a setting it left unconfirmed.
  Text reason(bool serverClosed) const;

  struct Setting {
    quint8 command;
    QByteArray value;
    const char* name;
  };

 private:
  QList<Setting> m_unconfirmed;
  Text m_refused;
  bool m_heard = false;
};
