// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/reply_wait.h"

#include <algorithm>

#include "link/serial_port.h"
#include "link/wait_clock.h"

namespace {

// The window's read-back reads a reply's start (the fields) and its
// next-to-last character (the power-up flag); the answer test looks at what
// arrives. Keeping only those gives the outcome the whole text would give,
// however much a flooding line sends.
constexpr qsizetype kReplyHead = 20;
constexpr qsizetype kReplyTail = 2;

void Append(QByteArray& reply, const QByteArray& received) {
  reply += received;
  if (reply.size() > kReplyHead + kReplyTail) {
    reply = reply.left(kReplyHead) + reply.right(kReplyTail);
  }
}

bool ContainsAny(const QByteArray& text, const QByteArray& chars) {
  return std::any_of(chars.begin(), chars.end(), [&](char c) { return text.contains(c); });
}

}  // namespace

WaitResult AwaitReply(SerialPort& port, WaitClock& clock, WaitHost& host,
                      const QByteArray& answerChars, const QByteArray& initialText) {
  using std::chrono::duration_cast;
  using std::chrono::microseconds;

  const quint64 opening = port.opening();
  WaitResult result{WaitEnd::NoAnswer, initialText};

  // The limit is a length of silence, not a speed of machine: each empty poll
  // sleeps until a character arrives or a step has passed, and counts the
  // 20 us slices it slept. Polls that receive characters count nothing, and
  // the count is never reset, so the gaps between the characters of a device
  // that keeps sending something else add up to the limit too.
  double emptyPolls = 0;

  for (;;) {
    host.DoEvents();
    if (host.stopped()) return {WaitEnd::Unloaded, result.reply};
    if (!port.isOpen() || port.opening() != opening) return {WaitEnd::PortClosed, result.reply};

    const int count = port.inBufferCount();
    if (count != 0) {
      const QByteArray received = port.input();
      Append(result.reply, received);
      if (ContainsAny(received, answerChars)) {
        result.end = WaitEnd::AnswerSeen;
        return result;
      }
    }
    // An answer that arrived before the line failed still counts.
    if (port.failed()) return {WaitEnd::PortFailed, result.reply};
    if (count == 0) {
      if (emptyPolls >= kPollLimit) return result;
      const auto before = clock.now();
      clock.idle(kIdleStep);
      emptyPolls += static_cast<double>(duration_cast<microseconds>(clock.now() - before).count()) /
                    static_cast<double>(kPollSlice.count());
    }
  }
}
