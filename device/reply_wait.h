// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <chrono>

class SerialPort;
class WaitClock;

// How many empty polls a wait allows, and the silence each of them stands for:
// 100000 polls of 20 us give a silent device 2 s on any machine.
inline constexpr double kPollLimit = 100000;
inline constexpr std::chrono::microseconds kPollSlice{20};
// The longest sleep between two polls; received characters wake it earlier.
inline constexpr std::chrono::milliseconds kIdleStep{1};

// Whoever waits: lets its pending events run on every pass of the wait, and
// says when the waiter must not resume (a window closed meanwhile).
class WaitHost {
 public:
  virtual ~WaitHost() = default;
  virtual void DoEvents() = 0;
  virtual bool stopped() const = 0;
};

enum class WaitEnd {
  AnswerSeen,
  NoAnswer,
  // The port was closed under the wait (a port change, a disconnect).
  PortClosed,
  // The line failed (adapter unplugged, device gone).
  PortFailed,
  // The host stopped: the waiter must not resume.
  Unloaded,
};

struct WaitResult {
  WaitEnd end = WaitEnd::NoAnswer;
  // The reply text; past 22 characters only its first 20 and last 2 are kept,
  // which is all the window ever reads of it.
  QByteArray reply;
};

// Collects what the device sends on `port` after a command until one of
// `answerChars` shows up anywhere in the reply text, which starts as
// `initialText`. Gives up after kPollLimit polls' worth of silence.
WaitResult AwaitReply(SerialPort& port, WaitClock& clock, WaitHost& host,
                      const QByteArray& answerChars, const QByteArray& initialText);
