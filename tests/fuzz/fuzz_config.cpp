// SPDX-License-Identifier: GPL-3.0-or-later
// Whatever a configuration file holds, the parser ends without a fault, and a
// configuration it accepts comes back the same through the JSON it writes.

#include <QJsonDocument>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "cli/config_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QString error;
  const std::optional<TimerConfig> config =
      ParseTimerConfig(text, QStringLiteral("fuzz.json"), &error);
  if (!config) {
    if (error.isEmpty()) std::abort();
    return 0;
  }
  const QByteArray written = QJsonDocument(ToJson(*config)).toJson();
  const std::optional<TimerConfig> again =
      ParseTimerConfig(written, QStringLiteral("written.json"), &error);
  if (!again || !(*again == *config)) std::abort();
  return 0;
}
