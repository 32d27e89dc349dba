#include "io/command.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "io/scratch_dir.h"

namespace mvex {
namespace {

using std::string_literals::operator""s;

// Records each handover, and whether `marker` existed at that moment.
class RecordingHandover : public TerminalHandover {
 public:
  explicit RecordingHandover(std::string marker = "") : marker_(std::move(marker)) {}
  void suspend() override { record("suspend"); }
  void resume() override { record("resume"); }
  const std::vector<std::string>& events() const { return events_; }

 private:
  void record(const std::string& event) {
    const bool present = !marker_.empty() && std::filesystem::exists(marker_);
    events_.push_back(marker_.empty() ? event : event + (present ? " after" : " before"));
  }

  std::string marker_;
  std::vector<std::string> events_;
};

const std::vector<std::string> kSuspendThenResume = {"suspend", "resume"};

TEST(RunCommandTest, ResultTellsHowTheCommandEnded) {
  ScratchDir dir;
  const std::string notExecutable = dir.file("compiler");
  ASSERT_TRUE(writeWholeFile(notExecutable, "#!/bin/sh\nexit 0\n"));
  ASSERT_EQ(0, ::chmod(notExecutable.c_str(), 0644));
  const struct {
    std::string line;
    int result;
  } kCases[] = {
      {"true", 0},
      {"exit 3", 3},
      {"exit 255", 255},
      {"exit 126", 126},
      {shellQuote(notExecutable) + " 2>/dev/null", 126},
      {"mvex-no-such-command-q7 2>/dev/null", -1},
      {"exit 127", -1},
      {"kill -9 $$", 9},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.line);
    RecordingHandover terminal;
    EXPECT_EQ(c.result, runCommand(c.line, terminal));
    EXPECT_EQ(kSuspendThenResume, terminal.events());
  }
}

TEST(RunCommandTest, TerminalIsHandedOverExactlyWhileTheCommandRuns) {
  ScratchDir dir;
  const std::string marker = dir.file("ran");
  RecordingHandover terminal(marker);
  EXPECT_EQ(0, runCommand("printf x > " + shellQuote(marker), terminal));
  const std::vector<std::string> expected = {"suspend before", "resume after"};
  EXPECT_EQ(expected, terminal.events());
}

TEST(RunCommandTest, LineThatCannotRunAsGivenRunsNothingAndLeavesTheTerminalAlone) {
  ScratchDir dir;
  const std::string marker = dir.file("ran");
  const std::string kLines[] = {"", "printf x > " + shellQuote(marker) + "\0; exit 5"s};
  for (const auto& line : kLines) {
    SCOPED_TRACE(line);
    RecordingHandover terminal;
    EXPECT_EQ(-1, runCommand(line, terminal));
    EXPECT_TRUE(terminal.events().empty());
  }
  EXPECT_FALSE(std::filesystem::exists(marker));
}

TEST(ShellQuoteTest, EveryByteOfAWordReachesTheCommandUnchanged) {
  const std::string kWords[] = {
      "plain.mvx",
      "",
      "two  words",
      "it's",
      "''",
      "; & $HOME $(id) ' \" ` \\ | < > * ? [a] ~ # !",
      "line\nbreak\ttab",
      "\x01\x7F\x80\xFF",
      "-n",
  };
  ScratchDir dir;
  const std::string out = dir.file("out");
  for (const auto& word : kWords) {
    SCOPED_TRACE(word);
    RecordingHandover terminal;
    ASSERT_EQ(0, runCommand("printf %s " + shellQuote(word) + " > " + shellQuote(out), terminal));
    EXPECT_EQ(word, readWholeFile(out));
  }
}

TEST(ShellQuoteTest, WritesSingleQuotesAndEscapesOnlyTheQuote) {
  EXPECT_EQ("'a b'", shellQuote("a b"));
  EXPECT_EQ("''", shellQuote(""));
  EXPECT_EQ("'it'\\''s'", shellQuote("it's"));
  EXPECT_EQ("'$x\\'", shellQuote("$x\\"));
}

}  // namespace
}  // namespace mvex
