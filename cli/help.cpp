// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/help.h"

#include <QStringList>

#include "base/text.h"
#include "cli/commands.h"

namespace {

// One message a section, each whole, so that a translation lays it out as its
// language needs and an edit to one leaves the others translated.
const char* const kHelpSections[] = {
    QT_TRANSLATE_NOOP("timer", R"help(Usage: timerctl [OPTIONS] COMMAND

Reads, programs and fires timer devices on RS-232 lines (2400 baud, 8N1), with
the same port map, commands and answers as the timer-rs232 window.
)help"),
    QT_TRANSLATE_NOOP("timer", R"help(Devices:
  --port N=PATH         Makes Com N designate the device PATH (N from 1 to 16),
                        or a serial device server: N=rfc2217://HOST:PORT (the
                        line is set from here) or N=tcp:HOST:PORT (raw: the
                        server sets it), and inside TLS
                        N=rfc2217+tls://HOST:PORT or N=tls:HOST:PORT.
                        Repeatable, and over the [ports] group of
                        ~/.config/timer-rs232/timer-rs232.conf. Without either,
                        the system's serial ports: ttyS by number, then ttyUSB,
                        then ttyACM, then the rest.
  --com N               A Com number to use (default 1). Repeatable.
  --device PATH         A device PATH (or a device server's address, as --port
                        takes it) to use directly. Repeatable.
  --all                 Every Com number that designates a device.
  --echo                The line echoes what is sent (an RS-485 converter with
                        echo): the echo of each command is dropped before the
                        answer is read. Without it, such a line ends with
                        "echo" and code 1.
  With more than one device, or --all, all of them are served at once and each
  gets one line, in the order given: "Com2 /dev/ttyUSB1: ok", "...: no answer",
  "...: port unavailable (REASON)", "...: verification failed (...)". One
  device named twice is refused. As many are served at once as the limit on
  open files allows (its soft limit raised to its hard limit, "ulimit -Hn"; a
  device takes up to 4 of them); the others wait their turn.
)help"),
    QT_TRANSLATE_NOOP("timer", R"help(Device servers behind TLS:
  --ca FILE             Trusts a server whose certificate an authority in FILE
                        signed (the system's authorities without it); the
                        certificate must name the address's host.
  --pin SHA256          Trusts the server whose certificate has this SHA-256
                        fingerprint (sha256:AB:CD:...), whoever signed it: for
                        a self-signed certificate.
  --cert FILE           The client certificate, for a server that asks for one.
  --key FILE            Its key: readable by its owner alone, and without a
                        passphrase.
  For Com N, the [tls] group of the settings file may give N/ca, N/pin, N/cert
  and N/key; these options go over it, and an inventory line's "tls" ({"ca":
  ..., "pin": ..., "cert": ..., "key": ...}) over both. A server that answers
  in plain text before the handshake is refused: nothing is sent to it. There
  is never a fall back to plain text.
)help"),
    QT_TRANSLATE_NOOP("timer", R"help(Inventory:
  One JSON object per line: the device, by "device" (a path or an address),
  "com" (a Com number) or "serial_number" (its USB adapter's), and its
  configuration, the keys upload --from takes, alone or under
  "configuration". What read --json writes for several devices is one. The
  device does not report its mode: a device is unchanged when its times and
  power-up are; a mode given is written with any change, and an entry without
  one is written as monostable.
)help"),
    QT_TRANSLATE_NOOP("timer", R"help(Output:
  --json                One JSON object per device.
  --trace               Every byte sent and received, on standard error:
                        milliseconds since the start, tx or rx, the characters
                        (others as \xNN) and their hex codes.
  --log FILE            Appends one JSON line per device and operation to FILE,
                        the programming record: the time, the operation, the
                        port and its adapter, what was sent and read back, the
                        result and the exit code. Before a configuration goes
                        out, a line with what the device held and what is sent
                        is on the disk.
  -h, --help            Shows this help.
  --version             Shows the version.
)help"),
};

const char* const kCommandsTitle = QT_TRANSLATE_NOOP("timer", "Commands:");

// The exit statuses, each with what it means: the help's last section, and
// with it the manual page's; docs/timerctl.md's table is checked against it.
struct ExitStatus {
  const char* codes;
  const char* meaning;
};
const ExitStatus kExitStatuses[] = {
    {"0", QT_TRANSLATE_NOOP("timer", "success (scan: a timer answered)")},
    {"1", QT_TRANSLATE_NOOP("timer",
                            "the device did not answer (\"The device is not found\"), its answer "
                            "held no configuration, the line never went quiet, or it echoes what "
                            "is sent; scan: no timer answered")},
    {"2", QT_TRANSLATE_NOOP("timer",
                            "bad usage, a bad configuration file, inventory or plan, a value out "
                            "of range, an upload refused, or a plan or record that cannot be "
                            "written")},
    {"3", QT_TRANSLATE_NOOP("timer",
                            "the port is not available (\"The port is not available\", and the "
                            "reason), or the line was lost")},
    {"4",
     QT_TRANSLATE_NOOP("timer", "the device acknowledged an upload but reads back something else")},
    {"5", QT_TRANSLATE_NOOP("timer", "plan: something would change")},
    {"6", QT_TRANSLATE_NOOP("timer",
                            "apply --plan: a device holds something else than the plan saw, or "
                            "is not the device planned, and was not written")},
    {"130", QT_TRANSLATE_NOOP("timer",
                              "stopped by SIGINT (143: SIGTERM, 129: SIGHUP): no device started "
                              "after it; those started were finished and recorded")},
};
const char* const kExitStatusTitle = QT_TRANSLATE_NOOP("timer", "Exit status:");
const char* const kExitStatusNote =
    QT_TRANSLATE_NOOP("timer",
                      "With several devices, the largest code among them; for a plan, a device "
                      "that could not be read counts before one that would change; a signal's "
                      "code counts before all.");

// `text` in lines of at most kHelpWidth columns, the first after `first`,
// the others after as many blanks as `indent`.
constexpr int kHelpWidth = 79;
QString Wrapped(const QString& first, int indent, const QString& text) {
  QString wrapped = first;
  qsizetype column = first.size();
  const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  for (const QString& word : words) {
    const bool starts = column == first.size();
    if (!starts && column + 1 + word.size() > kHelpWidth) {
      wrapped += QLatin1Char('\n') + QString(indent, QLatin1Char(' '));
      column = indent;
    } else if (!starts) {
      wrapped += QLatin1Char(' ');
      ++column;
    }
    wrapped += word;
    column += word.size();
  }
  return wrapped + QLatin1Char('\n');
}

// The commands' paragraphs, in the table's order.
QString CommandsSection() {
  QString section = Tr(kCommandsTitle) + QLatin1Char('\n');
  for (const Command& command : Commands()) section += Tr(command.help);
  return section;
}

}  // namespace

QString HelpText() {
  QStringList sections;
  for (const char* section : kHelpSections) sections << Tr(section);
  sections.insert(1, CommandsSection());
  QString exit = Tr(kExitStatusTitle) + QLatin1Char('\n');
  for (const ExitStatus& status : kExitStatuses) {
    const QString code = QStringLiteral("  %1").arg(QLatin1String(status.codes), -3);
    exit += Wrapped(code + QStringLiteral("  "), 7, Tr(status.meaning));
  }
  sections << exit + Wrapped(QStringLiteral("  "), 2, Tr(kExitStatusNote));
  return sections.join(QLatin1Char('\n'));
}
