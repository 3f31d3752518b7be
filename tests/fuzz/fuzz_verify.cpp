// SPDX-License-Identifier: GPL-3.0-or-later
// The verification's promise as the oracle: whatever stray bytes a device
// sends around its answer to the probe, and whatever it holds, an upload is
// verified only when the device holds exactly what was sent.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "cli/config_file.h"
#include "cli/programmer.h"
#include "device/read_back.h"

namespace {

constexpr size_t kSentBytes = 10;  // nine times and the flag
constexpr size_t kHeldBytes = 19;

QString TwoDigits(uint8_t byte, int limit) {
  return QStringLiteral("%1").arg(byte % (limit + 1), 2, 10, QLatin1Char('0'));
}

TimerConfig SentFrom(const uint8_t* d) {
  TimerConfig c;
  c.mono = Hms{TwoDigits(d[0], 99), TwoDigits(d[1], 59), TwoDigits(d[2], 59)};
  c.on = Hms{TwoDigits(d[3], 99), TwoDigits(d[4], 59), TwoDigits(d[5], 59)};
  c.off = Hms{TwoDigits(d[6], 99), TwoDigits(d[7], 59), TwoDigits(d[8], 59)};
  c.powerUpOn = (d[9] & 1) != 0;
  return c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kSentBytes + kHeldBytes + 1) return 0;
  const TimerConfig sent = SentFrom(data);
  // What the device holds, and the stray bytes before its answer, hold no "Y":
  // a "Y" there would be the answer itself.
  QByteArray held(reinterpret_cast<const char*>(data + kSentBytes), kHeldBytes);
  held.replace('Y', 'y');
  const size_t rest = size - kSentBytes - kHeldBytes - 1;
  const size_t before = data[kSentBytes + kHeldBytes] % (rest + 1);
  const char* strays = reinterpret_cast<const char*>(data + kSentBytes + kHeldBytes + 1);
  QByteArray lead(strays, static_cast<qsizetype>(before));
  lead.replace('Y', 'y');
  const QByteArray received =
      lead + held + 'Y' + QByteArray(strays + before, static_cast<qsizetype>(rest - before));
  // Half the runs hold what was sent, so that both verdicts are reached.
  const QByteArray answer = (data[9] & 2) ? ReadBackOf(sent) : held;
  const QByteArray device =
      (data[9] & 2) ? lead + answer + 'Y' + received.mid(lead.size() + 20) : received;

  const bool verified = Verify(sent, ReadBackIn(device)).isEmpty();
  if (verified != (answer == ReadBackOf(sent))) std::abort();
  return 0;
}
