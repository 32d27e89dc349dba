// Runs the mvxcomp stand-in through the shell, as the terminal does.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "io/scratch_dir.h"

namespace mvex {
namespace {

std::string readFile(const std::string& path) { return readWholeFile(path); }

void writeFile(const std::string& path, const std::string& bytes) {
  ASSERT_TRUE(writeWholeFile(path, bytes));
}

bool exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

// Runs "mvxcomp ARGUMENTS" in `dir` through the shell with standard output into a file there;
// the exit status of the script, or -1 when it did not exit normally.
int runMvxcomp(const ScratchDir& dir, const std::string& arguments) {
  const std::string command = "cd '" + dir.path() + "' && '" MVEX_MVXCOMP_SCRIPT "' " + arguments +
                              " >stdout.txt 2>stderr.txt </dev/null";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(MvxcompTest, WritesEveryByteAsSixteenUpperCaseHexBytesPerLineThenEnd) {
  ScratchDir dir;
  std::string source = "MORVEX blink\n";
  source += std::string("\x00\xff\x7f\x80", 4);
  source += "0123456789abcdef";
  writeFile(dir.path() + "/blink.mvx", source);
  ASSERT_EQ(0, runMvxcomp(dir, "blink.mvx out.tmp"));
  EXPECT_EQ(
      "0000: 4D 4F 52 56 45 58 20 62 6C 69 6E 6B 0A 00 FF 7F\n"
      "0010: 80 30 31 32 33 34 35 36 37 38 39 61 62 63 64 65\n"
      "0020: 66\n"
      "END\n",
      readFile(dir.path() + "/out.tmp"));
  EXPECT_EQ("mvxcomp: compiled blink.mvx into out.tmp (33 bytes)\n",
            readFile(dir.path() + "/stdout.txt"));
}

TEST(MvxcompTest, EmptySourceGivesOnlyEnd) {
  ScratchDir dir;
  writeFile(dir.path() + "/empty.mvx", "");
  ASSERT_EQ(0, runMvxcomp(dir, "empty.mvx out.tmp"));
  EXPECT_EQ("END\n", readFile(dir.path() + "/out.tmp"));
}

TEST(MvxcompTest, FailExitsOneWithoutWritingTheOutput) {
  ScratchDir dir;
  writeFile(dir.path() + "/blink.mvx", "x");
  EXPECT_EQ(1, runMvxcomp(dir, "--fail blink.mvx out.tmp"));
  EXPECT_FALSE(exists(dir.path() + "/out.tmp"));
}

TEST(MvxcompTest, ExitStatusOptionStillWritesTheOutput) {
  ScratchDir dir;
  writeFile(dir.path() + "/blink.mvx", "AB");
  EXPECT_EQ(3, runMvxcomp(dir, "--exit 3 blink.mvx out.tmp"));
  EXPECT_EQ("0000: 41 42\nEND\n", readFile(dir.path() + "/out.tmp"));
}

TEST(MvxcompTest, RefusesWhatItCannotCompileWithoutWritingTheOutput) {
  const struct {
    std::string arguments;
    int status;
  } kCases[] = {
      {"missing.mvx out.tmp", 1},
      {"big.mvx out.tmp", 1},
      {"blink.mvx", 2},
      {"--exit blink.mvx out.tmp", 2},
      {"--exit 256 blink.mvx out.tmp", 2},
      {"--bogus blink.mvx out.tmp", 2},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.arguments);
    ScratchDir dir;
    writeFile(dir.path() + "/blink.mvx", "AB");
    writeFile(dir.path() + "/big.mvx", std::string(65537, 'x'));
    EXPECT_EQ(c.status, runMvxcomp(dir, c.arguments));
    EXPECT_FALSE(exists(dir.path() + "/out.tmp"));
  }
}

TEST(MvxcompTest, LargestSourceFillsTheWholeMemory) {
  ScratchDir dir;
  writeFile(dir.path() + "/full.mvx", std::string(65536, 'x'));
  ASSERT_EQ(0, runMvxcomp(dir, "full.mvx out.tmp"));
  const std::string out = readFile(dir.path() + "/out.tmp");
  const std::string tail = "FFF0: 78 78 78 78 78 78 78 78 78 78 78 78 78 78 78 78\nEND\n";
  ASSERT_GE(out.size(), tail.size());
  EXPECT_EQ(tail, out.substr(out.size() - tail.size()));
  EXPECT_EQ(4096u * 54 + 4, out.size());
}

}  // namespace
}  // namespace mvex
