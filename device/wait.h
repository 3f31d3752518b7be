// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <chrono>
#include <optional>

#include "device/reply.h"

class SerialPort;

// How many empty polls a wait allows, and the silence each of them stands for:
// 100000 polls of 20 us give a silent device 2 s on any machine.
inline constexpr double kPollLimit = 100000;
inline constexpr std::chrono::microseconds kPollSlice{20};

// Time as a wait sees it. The programs sleep in the Qt event loop
// (EventLoopClock); unit tests substitute a simulated clock, so that they
// count polls, not seconds.
class WaitClock {
 public:
  using Clock = std::chrono::steady_clock;

  virtual ~WaitClock() = default;
  virtual Clock::time_point now() = 0;
  // Sleeps until an event arrives (received characters among them) or `most`
  // has passed: a silent line costs its waiter nothing until its deadline.
  virtual void idle(std::chrono::microseconds most) = 0;
};

// Whoever waits: lets its pending events run on every pass of the wait, and
// says when the waiter must not resume (a window closed meanwhile).
class WaitHost {
 public:
  virtual ~WaitHost() = default;
  virtual void DoEvents() = 0;
  virtual bool stopped() const = 0;
};

// Collects what the device sends on `port` after a command until one of
// `answerChars` shows up anywhere in what arrives, the reply text starting as
// `initialText`. Gives up after kPollLimit polls' worth of silence, or, when
// `inAll` is given, once that long has passed however much the line sends
// (NoAnswer, with a reason that says the line never went quiet).
Reply AwaitReply(SerialPort& port, WaitClock& clock, WaitHost& host, const QByteArray& answerChars,
                 const QByteArray& initialText,
                 std::optional<std::chrono::milliseconds> inAll = std::nullopt);

// Drops whatever arrives on `port` until the line has been silent for
// `quiet`, or `most` has passed.
void AwaitQuiet(SerialPort& port, WaitClock& clock, WaitHost& host, std::chrono::milliseconds quiet,
                std::chrono::milliseconds most);
