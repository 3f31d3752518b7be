#include <gtest/gtest.h>

#include <ostream>

#include "app/options.h"

namespace {

Options Parse(QStringList args) {
  args.prepend(QStringLiteral("timer-rs232"));
  return ParseOptions(args);
}

TEST(Options, PortOptionsMakeTheWholeMap) {
  const Options options = Parse({"--port", "1=/tmp/a", "--port=5=/dev/ttyUSB3"});
  ASSERT_FALSE(options.exit);
  EXPECT_EQ(options.ports.path(1), "/tmp/a");
  EXPECT_EQ(options.ports.path(5), "/dev/ttyUSB3");
  EXPECT_EQ(options.ports.path(2), "");
}

TEST(Options, WithoutPortOptionsTheSystemDecides) {
  const Options options = Parse({});
  EXPECT_FALSE(options.exit);
  EXPECT_TRUE(options.ports.isEmpty());
}

struct BadCase {
  const char* name;
  QStringList args;
};

// Cases print as their names in the test log.
void PrintTo(const BadCase& c, std::ostream* os) {
  *os << c.name;
}

class BadOptions : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadOptions, EndWithCodeTwoAndAMessage) {
  const Options options = Parse(GetParam().args);
  EXPECT_TRUE(options.exit);
  EXPECT_EQ(options.exitCode, 2);
  EXPECT_FALSE(options.error.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, BadOptions,
                         ::testing::Values(BadCase{"UnknownOption", {"--frobnicate"}},
                                           BadCase{"MissingValue", {"--port"}},
                                           BadCase{"NumberOutOfRange", {"--port", "17=/dev/x"}},
                                           BadCase{"NoPath", {"--port", "2="}},
                                           BadCase{"StrayArgument", {"COM1"}}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(Options, HelpAndVersionEndWithCodeZero) {
  for (const char* flag : {"--help", "--version"}) {
    const Options options = Parse({flag});
    EXPECT_TRUE(options.exit) << flag;
    EXPECT_EQ(options.exitCode, 0) << flag;
    EXPECT_FALSE(options.output.isEmpty()) << flag;
  }
}

}  // namespace
