// SPDX-License-Identifier: GPL-3.0-or-later
// The programming record's file: whole lines, whatever the file held before.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>

#include <unistd.h>

#include "device/record.h"
#include "support/named_case.h"
#include "support/qt_printers.h"

namespace {

struct RecordCase {
  const char* name;
  const char* before;  // what the file held; nullptr: the record is a pipe
  const char* kept;    // what stands before the new line afterwards
};

TIMER_NAMED_CASE(RecordCase)

class RecordLines : public ::testing::TestWithParam<RecordCase> {};

TEST_P(RecordLines, TakesOneWholeLineOfItsOwn) {
  const RecordCase& c = GetParam();
  QTemporaryDir dir;
  QString path = dir.filePath(QStringLiteral("record.jsonl")), readFrom = path;
  int pipe[2] = {-1, -1};
  if (c.before) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(c.before) >= 0);
  } else {
    ASSERT_EQ(::pipe(pipe), 0);
    path = QStringLiteral("/dev/fd/%1").arg(pipe[1]);
    readFrom = QStringLiteral("/dev/fd/%1").arg(pipe[0]);
  }
  {
    RecordFile record(QStringLiteral("timerctl"), QStringLiteral("0"));
    QString error;
    ASSERT_TRUE(record.open(path, &error)) << error.toStdString();
    EXPECT_TRUE(record.append({{QStringLiteral("operation"), QStringLiteral("read")}}, &error) &&
                record.sync(&error))
        << error.toStdString();
  }
  if (!c.before) ::close(pipe[1]);
  QFile file(readFrom);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray after = file.readAll();
  EXPECT_TRUE(after.startsWith(QByteArray(c.kept) + "{\"operation\":\"read\"")) << after.data();
  EXPECT_TRUE(after.endsWith("}\n")) << after.data();
  if (!c.before) ::close(pipe[0]);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RecordLines,
    ::testing::Values(RecordCase{"New", "", ""},
                      RecordCase{"EndingWithAWholeLine", "{\"a\":1}\n", "{\"a\":1}\n"},
                      // A power loss cut the last line: it stays as it is.
                      RecordCase{"EndingMidLine", "{\"a\":1,\"b", "{\"a\":1,\"b\n"},
                      // fsync refuses a pipe, which is no failure.
                      RecordCase{"APipe", nullptr, ""}),
    kCaseName);

}  // namespace
