// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>

// Telnet as a device server in RFC 2217 mode speaks it: the serial data with
// 0xFF doubled, option negotiation, and the Com Port Control option's
// subnegotiations. The codec keeps no sockets: what comes from the server goes
// into decode(), what must go back to it comes out of takeReplies().
class TelnetCodec {
 public:
  static constexpr quint8 kIac = 255;
  static constexpr quint8 kComPortOption = 44;
  static constexpr quint8 kBinary = 0;
  // What the server answers a client's request with: the request plus this.
  static constexpr quint8 kServerOffset = 100;

  // A subnegotiation of the Com Port Control option from the server: the
  // answer to a setting (command 101 .. 112) or a notification, value unescaped.
  struct ComPortAnswer {
    quint8 command = 0;
    QByteArray value;
  };
  enum class ComPortState { Asked, Accepted, Refused };

  // What starts the negotiation: the client will speak the Com Port Control option.
  static QByteArray offer();
  // A client's Com Port Control request, framed and escaped.
  static QByteArray request(quint8 command, const QByteArray& value);
  // Serial data to send, with every 0xFF doubled.
  static QByteArray escape(const QByteArray& data);

  // The serial data in `raw`; the negotiation in it is answered and kept.
  QByteArray decode(const QByteArray& raw);
  QByteArray takeReplies();
  QList<ComPortAnswer> takeAnswers();
  ComPortState comPort() const { return m_comPort; }

 private:
  enum class State { Data, Command, Option, Sub, SubIac };
  void negotiate(quint8 verb, quint8 option);
  void endSubnegotiation();

  State m_state = State::Data;
  quint8 m_verb = 0;
  QByteArray m_sub;
  QByteArray m_replies;
  QList<ComPortAnswer> m_answers;
  ComPortState m_comPort = ComPortState::Asked;
  bool m_binaryFromServer = false;
  bool m_binaryToServer = false;
};
