#include "tools/board/board_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/error_number.h"

namespace mvex {
namespace {

int parse(std::vector<const char*> arguments, BoardOptions& options, std::string& error) {
  arguments.insert(arguments.begin(), "mvexboard");
  return parseBoardOptions(static_cast<int>(arguments.size()), arguments.data(), options, error);
}

TEST(BoardOptionsTest, NoArgumentsGiveANewPseudoTerminalThatGreets) {
  BoardOptions options;
  std::string error;
  ASSERT_EQ(kSuccess, parse({}, options, error));
  EXPECT_EQ("", options.devicePath);
  EXPECT_EQ("", options.linkPath);
  EXPECT_EQ("", options.logPath);
  EXPECT_FALSE(options.fixedListing.has_value());
  EXPECT_FALSE(options.exitOnClose);
  EXPECT_FALSE(options.quiet);
  EXPECT_EQ(0u, options.xoffEvery);
}

TEST(BoardOptionsTest, ReadsEveryOption) {
  BoardOptions options;
  std::string error;
  ASSERT_EQ(kSuccess, parse({"--device", "/dev/pts/9", "--link", "/tmp/l", "--listing", "65536",
                             "--log", "/tmp/log", "--exit-on-close", "--xoff-every", "64",
                             "--xoff-ms", "250", "--quiet", "--help"},
                            options, error))
      << error;
  EXPECT_EQ("/dev/pts/9", options.devicePath);
  EXPECT_EQ("/tmp/l", options.linkPath);
  EXPECT_EQ(65536u, options.fixedListing.value_or(0));
  EXPECT_EQ("/tmp/log", options.logPath);
  EXPECT_TRUE(options.exitOnClose);
  EXPECT_EQ(64u, options.xoffEvery);
  EXPECT_EQ(250u, options.xoffMs);
  EXPECT_TRUE(options.quiet);
  EXPECT_TRUE(options.help);
}

TEST(BoardOptionsTest, RefusesBadArgumentsWithAReason) {
  const struct {
    std::vector<const char*> arguments;
    std::string error;
  } kCases[] = {
      {{"--listing"}, "--listing needs a value"},
      {{"--log", ""}, "--log needs a value"},
      {{"--listing", "65537"}, "--listing: not a usable number: 65537"},
      {{"--listing", "-1"}, "--listing: not a usable number: -1"},
      {{"--listing", " 5"}, "--listing: not a usable number:  5"},
      {{"--xoff-every", "12k"}, "--xoff-every: not a usable number: 12k"},
      {{"--xoff-ms", "0x10"}, "--xoff-ms: not a usable number: 0x10"},
      {{"--xoff-ms", "99999999999999999999999"},
       "--xoff-ms: not a usable number: 99999999999999999999999"},
      {{"--frobnicate"}, "unknown argument: --frobnicate"},
      {{"/dev/pts/3"}, "unknown argument: /dev/pts/3"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.error);
    BoardOptions options;
    std::string error;
    EXPECT_EQ(kBadCall, parse(c.arguments, options, error));
    EXPECT_EQ(c.error, error);
  }
}

}  // namespace
}  // namespace mvex
