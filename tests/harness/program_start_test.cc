#include "tests/harness/program_start.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include "tests/harness/board_line.h"
#include "tests/harness/file_text.h"
#include "tests/harness/temp_dir.h"
#include "tests/harness/test_support.h"

namespace mvex::harness {
namespace {

TEST(ChildEnvironmentTest, SetsTermToXtermDropsScreenSizeAndAppliesChangesInOrder) {
  const char* const parent[] = {"PATH=/bin", "TERM=dumb", "LINES=5",
                                "COLUMNS=7", "TERMX=1",   nullptr};
  const struct {
    const char* name;
    EnvChanges changes;
    std::vector<std::string> expected;
  } kCases[] = {
      {"no changes", {}, {"PATH=/bin", "TERMX=1", "TERM=xterm"}},
      {"TERM unset", {{"TERM", std::nullopt}}, {"PATH=/bin", "TERMX=1"}},
      {"TERM set", {{"TERM", "vt100"}}, {"PATH=/bin", "TERMX=1", "TERM=vt100"}},
      {"LINES back", {{"LINES", "30"}}, {"PATH=/bin", "TERMX=1", "TERM=xterm", "LINES=30"}},
      {"set then unset",
       {{"A", "1"}, {"PATH", "/usr/bin"}, {"A", std::nullopt}},
       {"TERMX=1", "TERM=xterm", "PATH=/usr/bin"}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.expected, childEnvironment(parent, c.changes));
  }
}

TEST(StartOnTerminalTest, ReportsWhyAProgramCouldNotStartAndLeavesNothingRunning) {
  TempDir dir;
  ASSERT_TRUE(dir.ok());
  const struct {
    const char* name;
    std::string program;
    std::string workDir;
    int error;
  } kCases[] = {
      {"missing program", dir.file("no-such-program"), dir.path(), ENOENT},
      {"missing directory", "/bin/true", dir.file("no-such-directory"), ENOENT},
      {"not executable", dir.file("plain"), dir.path(), EACCES},
  };
  ASSERT_TRUE(writeFile(dir.file("plain"), "echo never\n"));
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    StartRequest request;
    request.argv = {c.program};
    request.workDir = c.workDir;
    const StartedProgram program = startOnTerminal(request);
    EXPECT_EQ(-1, program.pid);
    EXPECT_EQ(c.error, program.error);
    EXPECT_FALSE(program.master.valid());
    EXPECT_FALSE(program.slave.valid());
    errno = 0;
    EXPECT_EQ(-1, ::waitpid(-1, nullptr, WNOHANG));  // the failed child was reaped already
    EXPECT_EQ(ECHILD, errno);
  }
}

TEST(StartOnTerminalTest, ProgramInheritsNoDescriptorOfTheTestProcess) {
  BoardLine line;  // descriptors a test holds while it starts the program
  ASSERT_TRUE(line.ok());
  TempDir dir;
  ASSERT_TRUE(dir.ok());
  StartRequest request;
  request.argv = shellScript("ls /proc/$$/fd");
  request.workDir = dir.path();
  request.stdoutPath = dir.file("out");
  StartedProgram program = startOnTerminal(request);
  ASSERT_GT(program.pid, 0) << program.error;
  int status = 0;
  ASSERT_EQ(program.pid, ::waitpid(program.pid, &status, 0));
  EXPECT_EQ(0, status);
  EXPECT_EQ("0\n1\n2\n", readFile(dir.file("out")));
}

}  // namespace
}  // namespace mvex::harness
