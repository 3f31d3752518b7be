// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Test doubles for the handlers' two interfaces and their clock: a view that
// records every operation in order, a port whose device answers from a
// script, and a clock that only moves when the wait idles; and the rigs that
// start the handlers over them, unlinked or linked.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <chrono>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <ostream>
#include <utility>
#include <vector>

#include "device/session.h"
#include "device/wait.h"
#include "handlers/connect.h"
#include "handlers/form.h"
#include "handlers/outcome.h"
#include "link/serial_port.h"
#include "model/form1.h"
#include "model/texts.h"
#include "model/window_model.h"
#include "support/qt_printers.h"

inline void PrintTo(End end, std::ostream* os) {
  *os << EndWord(end).english().toStdString();
}

// Idles as the event loop does: until the line's next arrival, if sooner.
class SimClock : public WaitClock {
 public:
  using NextArrival = std::function<std::optional<Clock::time_point>()>;

  Clock::time_point now() override { return m_now; }
  void idle(std::chrono::microseconds most) override {
    auto until = m_now + most;
    if (const auto next = m_nextArrival ? m_nextArrival() : std::nullopt; next && *next > m_now)
      until = std::min(until, *next);
    m_now = until;
    ++m_idles;
  }
  void wakeFor(NextArrival next) { m_nextArrival = std::move(next); }
  std::chrono::microseconds elapsed() const {
    return std::chrono::duration_cast<std::chrono::microseconds>(m_now - Clock::time_point{});
  }
  void advance(std::chrono::microseconds by) { m_now += by; }
  int idles() const { return m_idles; }

 private:
  Clock::time_point m_now{};
  int m_idles = 0;
  NextArrival m_nextArrival;
};

class RecordingView : public WindowModel {
 public:
  RecordingView() {
    for (Ctl c : {Ctl::horas, Ctl::minutos, Ctl::segundos, Ctl::horas_on, Ctl::minutos_on,
                  Ctl::segundos_on, Ctl::horas_off, Ctl::minutos_off, Ctl::segundos_off})
      m_text[c] = QStringLiteral("00");
  }

  void setEnabled(Ctl c, bool enabled) override {
    m_enabled[c] = enabled;
    log(QStringLiteral("enable %1 %2").arg(name(c)).arg(enabled ? 1 : 0));
  }
  void setCaption(Ctl c, const QString& caption) override {
    m_text[c] = caption;
    log(QStringLiteral("caption %1 %2").arg(name(c), caption));
  }
  QString text(Ctl c) const override { return m_text.value(c); }
  void setText(Ctl c, const QString& text) override {
    m_text[c] = text;
    log(QStringLiteral("text %1 '%2'").arg(name(c), text));
  }
  void setFocus(Ctl c) override { log(QStringLiteral("focus %1").arg(name(c))); }
  bool value(Ctl c) const override { return m_value.value(c); }
  void setValue(Ctl c, bool selected) override {
    m_value[c] = selected;
    log(QStringLiteral("value %1 %2").arg(name(c)).arg(selected ? 1 : 0));
  }
  void addItem(Ctl c, const QString& entry) override {
    log(QStringLiteral("item %1 %2").arg(name(c), entry));
  }
  void setListIndex(Ctl c, int position) override {
    m_index[c] = position;
    log(QStringLiteral("index %1 %2").arg(name(c)).arg(position));
  }
  int listIndex(Ctl c) const override { return m_index.value(c, -1); }
  void setStatusText(const QString& text) override {
    m_status = text;
    log(QStringLiteral("status %1").arg(text));
  }
  void MsgBox(const QString& prompt, const QString& title, MsgIcon icon) override {
    log(MsgBoxLine(prompt, title, icon));
    if (onMsgBox) onMsgBox();
  }
  static QString MsgBoxLine(const QString& prompt, const QString& title, MsgIcon icon) {
    return QStringLiteral("msgbox %1 | %2 | %3")
        .arg(title, prompt,
             icon == MsgIcon::Error ? QStringLiteral("error") : QStringLiteral("information"));
  }
  void DoEvents() override {
    ++m_doEvents;
    if (onDoEvents) onDoEvents(m_doEvents);
  }
  void Unload() override {
    log(QStringLiteral("unload"));
    if (onUnload) onUnload();
  }
  void EndProgram() override { log(QStringLiteral("end")); }

  // Test hooks: what the operator does while a handler waits or a box is open.
  std::function<void(int pass)> onDoEvents;
  std::function<void()> onMsgBox;
  std::function<void()> onUnload;

  QStringList ops;
  QStringList takeOps() { return std::exchange(ops, {}); }
  // Forgets what happened so far: the log and the count of event passes.
  void restart() {
    ops.clear();
    m_doEvents = 0;
  }
  QStringList messages() const { return ops.filter(QStringLiteral("msgbox ")); }

  bool enabled(Ctl c) const { return m_enabled.value(c, true); }
  QString status() const { return m_status; }
  int doEventsCount() const { return m_doEvents; }

 private:
  static QString name(Ctl c) { return QString::fromLatin1(ControlName(c)); }
  void log(const QString& op) { ops << op; }

  QMap<Ctl, bool> m_enabled;
  QMap<Ctl, QString> m_text;
  QMap<Ctl, bool> m_value;
  QMap<Ctl, int> m_index;
  QString m_status;
  int m_doEvents = 0;
};

// The view's log line for `message`.
inline QString Shown(const Message& message) {
  return RecordingView::MsgBoxLine(QString::fromUtf8(message.prompt),
                                   QString::fromUtf8(message.title), message.icon);
}

// What `fields` hold, in that order.
template <class Fields>
QStringList TextsOf(const WindowModel& window, const Fields& fields) {
  QStringList texts;
  for (Ctl field : fields) texts << window.text(field);
  return texts;
}
inline QStringList TextsOf(const WindowModel& window, std::initializer_list<Ctl> fields) {
  return TextsOf<std::initializer_list<Ctl>>(window, fields);
}

// One piece of an answer: `bytes` arrive `after` the command that triggers it.
struct Piece {
  std::chrono::microseconds after;
  QByteArray bytes;
};

class ScriptedPort : public SerialPort {
 public:
  explicit ScriptedPort(SimClock& clock) : m_clock(clock) {
    clock.wakeFor([this]() -> std::optional<WaitClock::Clock::time_point> {
      std::optional<WaitClock::Clock::time_point> next = m_breakAt;
      if (m_open && !m_pending.empty() && (!next || m_pending.begin()->first < *next))
        next = m_pending.begin()->first;
      return next;
    });
  }

  // What the device answers to each command it is sent, and to any other;
  // or, when set, what `respond` says to whatever it is sent.
  std::map<QByteArray, std::vector<Piece>> answers;
  std::vector<Piece> anyAnswer;
  std::function<std::vector<Piece>(const QByteArray& sent)> respond;
  // Port numbers behind which no device stands.
  std::vector<qint16> missing;
  bool failOutput = false;
  // The line never pauses: every look at it finds a byte, that long after
  // the last.
  std::optional<std::chrono::microseconds> flood;

  QStringList ops;
  QByteArray sent;

  // Bytes that arrive now, unasked (line noise, late answers)...
  void arrive(const QByteArray& bytes) { m_buffer += bytes; }
  // ...or each piece that long from now.
  void arrive(const std::vector<Piece>& pieces) {
    for (const Piece& piece : pieces) m_pending.emplace(m_clock.now() + piece.after, piece.bytes);
  }
  // The adapter goes away, now or that long from now: the port stays
  // nominally open, as with Qt, and says so once.
  void breakLine(std::chrono::microseconds after) { m_breakAt = m_clock.now() + after; }
  void breakLine() {
    m_failed = true;
    m_fault = PortFault::Unplugged;
    reportFailure();
  }

  bool setCommPort(qint16 number) override {
    m_number = number;
    ops << QStringLiteral("commport %1").arg(number);
    return true;
  }
  bool setSettings(const LineSettings& settings) override {
    ops << QStringLiteral("settings %1,%2,%3,%4")
               .arg(settings.baud)
               .arg(QLatin1Char(settings.parity == QSerialPort::NoParity ? 'N' : '?'))
               .arg(settings.dataBits)
               .arg(settings.stopBits);
    return settings.baud > 0;
  }
  bool open() override {
    if (std::find(missing.begin(), missing.end(), m_number) != missing.end()) {
      ops << QStringLiteral("open failed");
      m_fault = PortFault::Missing;
      return false;
    }
    ops << QStringLiteral("open");
    m_open = true;
    m_failed = false;
    m_fault = PortFault::None;
    ++m_opening;
    return true;
  }
  void close() override {
    ops << QStringLiteral("close");
    if (!m_open) return;
    m_open = false;
    ++m_opening;
    m_pending.clear();
    m_buffer.clear();
  }
  bool isOpen() const override { return m_open; }
  int inBufferCount() override {
    deliver();
    return m_open ? static_cast<int>(m_buffer.size()) : 0;
  }
  bool clearInBuffer() override {
    ops << QStringLiteral("clear");
    deliver();
    m_buffer.clear();
    return m_open;
  }
  bool output(const QByteArray& data) override {
    ops << QStringLiteral("send %1").arg(QString::fromLatin1(data));
    if (!m_open || failOutput) return false;
    sent += data;
    const auto it = answers.find(data);
    arrive(respond ? respond(data) : it != answers.end() ? it->second : anyAnswer);
    return true;
  }
  QByteArray input() override {
    deliver();
    return std::exchange(m_buffer, {});
  }
  bool failed() const override { return m_failed; }
  Text errorText() const override {
    return QString::fromLatin1(m_failed ? "scripted line lost" : "scripted failure");
  }
  PortFault fault() const override { return m_fault; }
  quint64 opening() const override { return m_opening; }

  qsizetype closes() const { return ops.count(QStringLiteral("close")); }

 private:
  void deliver() {
    if (flood && m_open) {
      m_clock.advance(*flood);
      m_buffer += 'x';
    }
    while (!m_pending.empty() && m_pending.begin()->first <= m_clock.now()) {
      m_buffer += m_pending.begin()->second;
      m_pending.erase(m_pending.begin());
    }
    if (m_breakAt && *m_breakAt <= m_clock.now()) {
      m_breakAt.reset();
      breakLine();
    }
  }

  SimClock& m_clock;
  qint16 m_number = 0;
  bool m_open = false;
  bool m_failed = false;
  PortFault m_fault = PortFault::None;
  quint64 m_opening = 0;
  QByteArray m_buffer;
  std::multimap<WaitClock::Clock::time_point, QByteArray> m_pending;
  std::optional<WaitClock::Clock::time_point> m_breakAt;
};

// A line for a session: the scripted port, on simulated time, with no events
// to run.
class ScriptedLine : public DeviceLine {
 public:
  SerialPort& port() override { return device; }
  WaitClock& clock() override { return time; }
  WaitHost& host() override { return m_host; }

  SimClock time;
  ScriptedPort device{time};

 private:
  struct NoEvents : WaitHost {
    void DoEvents() override {}
    bool stopped() const override { return false; }
  } m_host;
};

// What a device with every time zero and the power-up flag on reads back.
inline const QByteArray kZeroReadBack = "0000000000000000001Y";

// The window-level state with its fakes, started as the program starts it
// (Form_Load); the logs begin after the start.
struct Rig {
  Rig() {
    Form_Load(form);
    forget();
  }
  // Links to a device whose read-back is `readBack`, then forgets how.
  void link(const QByteArray& readBack = kZeroReadBack) {
    port.answers["Y"] = {{std::chrono::milliseconds(90), readBack}};
    Conectar_Click(form);
    forget();
  }
  // Forgets what happened so far: the logs, the event passes, what was sent.
  void forget() {
    view.restart();
    port.ops.clear();
    port.sent.clear();
  }

  SimClock clock;
  RecordingView view;
  ScriptedPort port{clock};
  Form1 form{view, port, clock};
};

// A rig already linked, to a device whose read-back is all zeros, power-up
// on, unless told otherwise.
struct LinkedRig : Rig {
  explicit LinkedRig(const QByteArray& readBack = kZeroReadBack) { link(readBack); }
  // Types `texts` into their fields, unlogged.
  void set(std::initializer_list<std::pair<Ctl, const char*>> texts) {
    for (const auto& [field, text] : texts) view.setText(field, QString::fromUtf8(text));
    view.ops.clear();
  }
};
