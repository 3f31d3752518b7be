#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// Which device each Com number designates.
class PortMap {
 public:
  // Com1 .. Com16 in the order OrderPortNames gives the system's serial ports
  // (on Windows, Com N is COMN).
  static PortMap FromSystem();
  // Numbers the given device paths from 1 in the order OrderPortNames gives.
  static PortMap FromDevices(const QStringList& systemLocations);

  // The path for Com `number`, or an empty text when no device stands behind it.
  QString path(int number) const { return m_paths.value(number); }
  void set(int number, const QString& path) { m_paths.insert(number, path); }
  bool isEmpty() const { return m_paths.isEmpty(); }

 private:
  QMap<int, QString> m_paths;
};

// A stable order for the system's ports: ttyS by number, then ttyUSB by
// number, then ttyACM by number, then every other name alphabetically.
QStringList OrderPortNames(QStringList systemLocations);

// What Com `number` reaches, for the operator: "Com1: /dev/ttyUSB0 · FT232R USB
// UART · A50285BI", or that no device stands behind it.
QString DescribeComPort(int number, const QString& path);

struct PortOption {
  int number = 0;
  QString path;
};

// Reads one "--port N=PATH" value (N from 1 to 16); on failure returns false
// and says why in `error`.
bool ParsePortOption(const QString& value, PortOption* option, QString* error);
