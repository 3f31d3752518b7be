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
  QString path = dir.filePath(QStringLiteral("record.jsonl"));
  int pipe[2] = {-1, -1};
  if (c.before) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(c.before);
  } else {
    ASSERT_EQ(::pipe(pipe), 0);
    path = QStringLiteral("/dev/fd/%1").arg(pipe[1]);
  }
  RecordFile record(QStringLiteral("timerctl"), QStringLiteral("0"));
  QString error;
  ASSERT_TRUE(record.open(path, &error)) << error.toStdString();

  EXPECT_TRUE(record.append({{QStringLiteral("operation"), QStringLiteral("read")}}, &error) &&
              record.sync(&error))
      << error.toStdString();

  QByteArray after(4096, '\0');
  if (c.before) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    after = file.readAll();
  } else {
    after.resize(::read(pipe[0], after.data(), static_cast<size_t>(after.size())));
    ::close(pipe[0]);
    ::close(pipe[1]);
  }
  EXPECT_TRUE(after.startsWith(QByteArray(c.kept) + "{\"operation\":\"read\"")) << after.data();
  EXPECT_TRUE(after.endsWith("}\n")) << after.data();
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
