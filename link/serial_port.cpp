// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/serial_port.h"

#include <QStringList>

std::optional<LineSettings> ParseLineSettings(const QString& text) {
  const QStringList parts = text.split(QLatin1Char(','));
  if (parts.size() != 4) return std::nullopt;

  LineSettings settings;
  bool ok = false;
  settings.baud = parts[0].trimmed().toInt(&ok);
  if (!ok || settings.baud <= 0) return std::nullopt;

  const QString parity = parts[1].trimmed().toUpper();
  if (parity == QLatin1String("N")) {
    settings.parity = QSerialPort::NoParity;
  } else if (parity == QLatin1String("E")) {
    settings.parity = QSerialPort::EvenParity;
  } else if (parity == QLatin1String("O")) {
    settings.parity = QSerialPort::OddParity;
  } else {
    return std::nullopt;
  }

  const int dataBits = parts[2].trimmed().toInt(&ok);
  if (!ok || dataBits < 5 || dataBits > 8) return std::nullopt;
  settings.dataBits = static_cast<QSerialPort::DataBits>(dataBits);

  const QString stop = parts[3].trimmed();
  if (stop == QLatin1String("1")) {
    settings.stopBits = QSerialPort::OneStop;
  } else if (stop == QLatin1String("2")) {
    settings.stopBits = QSerialPort::TwoStop;
  } else {
    return std::nullopt;
  }
  return settings;
}
