// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/wait.h"

#include <algorithm>
#include <utility>

#include "link/serial_port.h"

namespace {

// The window's read-back reads a reply's start (the fields) and its
// next-to-last character (the power-up flag); timerctl's reads the 19
// characters before the first answer character, which arrives in the last
// piece. Keeping the head, a tail and the last piece whole gives the outcome
// the whole text would give, however much a flooding line sends.
constexpr qsizetype kReplyHead = 20;
constexpr qsizetype kReplyTail = 20;

void Append(QByteArray& reply, const QByteArray& received) {
  if (reply.size() > kReplyHead + kReplyTail)
    reply = reply.left(kReplyHead) + reply.right(kReplyTail);
  reply += received;
}

bool ContainsAny(const QByteArray& text, const QByteArray& chars) {
  return std::any_of(chars.begin(), chars.end(), [&](char c) { return text.contains(c); });
}

// A line that never stopped sending for `inAll`, none of it the answer.
Reply Flooded(std::chrono::milliseconds inAll, QByteArray bytes) {
  return {End::NoAnswer, PortFault::None,
          Text(QT_TRANSLATE_NOOP("timer",
                                 "the line never went quiet: it sent for %1 s without the answer "
                                 "(noise, or another device talking on it)"),
               {QString::number(std::chrono::duration<double>(inAll).count())}),
          std::move(bytes)};
}

}  // namespace

Reply AwaitReply(SerialPort& port, WaitClock& clock, WaitHost& host, const QByteArray& answerChars,
                 const QByteArray& initialText, std::optional<std::chrono::milliseconds> inAll) {
  using std::chrono::duration_cast;
  using std::chrono::microseconds;

  const quint64 opening = port.opening();
  const auto start = clock.now();
  Reply reply{End::NoAnswer, PortFault::None, {}, initialText};

  // The limit is a length of silence, not a speed of machine: each empty poll
  // sleeps until a character arrives or the silence left has passed, and
  // counts the 20 us slices it slept. Polls that receive characters count
  // nothing, and the count is never reset, so the gaps between the characters
  // of a device that keeps sending something else add up to the limit too.
  double emptyPolls = 0;

  for (;;) {
    host.DoEvents();
    if (host.stopped()) return {End::Unloaded, PortFault::None, {}, reply.bytes};
    if (!port.isOpen() || port.opening() != opening)
      return {End::PortClosed, PortFault::None, {}, reply.bytes};

    const int count = port.inBufferCount();
    if (count != 0) {
      const QByteArray received = port.input();
      Append(reply.bytes, received);
      if (ContainsAny(received, answerChars)) {
        reply.end = End::Answered;
        return reply;
      }
    }
    // An answer that arrived before the line failed still counts.
    if (port.failed()) return Unavailable(port, true, reply.bytes);
    const auto before = clock.now();
    if (inAll && before - start >= *inAll) return Flooded(*inAll, reply.bytes);
    if (count == 0) {
      if (emptyPolls >= kPollLimit) return reply;
      auto sleep = std::chrono::ceil<microseconds>((kPollLimit - emptyPolls) * kPollSlice);
      if (inAll) sleep = std::min(sleep, duration_cast<microseconds>(*inAll - (before - start)));
      clock.idle(sleep);
      emptyPolls += static_cast<double>(duration_cast<microseconds>(clock.now() - before).count()) /
                    static_cast<double>(kPollSlice.count());
    }
  }
}

void AwaitQuiet(SerialPort& port, WaitClock& clock, WaitHost& host, std::chrono::milliseconds quiet,
                std::chrono::milliseconds most) {
  const auto start = clock.now();
  auto lastHeard = start;
  for (;;) {
    host.DoEvents();
    if (host.stopped() || !port.isOpen() || port.failed()) return;
    if (port.inBufferCount() != 0) {
      port.input();
      lastHeard = clock.now();
    }
    const auto now = clock.now();
    if (now - lastHeard >= quiet || now - start >= most) return;
    clock.idle(std::chrono::duration_cast<std::chrono::microseconds>(
        std::min(lastHeard + quiet, start + most) - now));
  }
}
