// Bad command-line input ends in a clear failure or the usual behaviour, never in a crash.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include "tests/faults/fault_support.h"
#include "tests/harness/file_text.h"

namespace mvex::faults {
namespace {

constexpr const char* kBoard = "(board)";  // stands for the board line's path

std::vector<std::string> withBoard(std::vector<std::string> arguments, const std::string& path) {
  for (auto& argument : arguments) {
    if (argument == kBoard) argument = path;
  }
  return arguments;
}

TEST(BadArgumentsTest, PortThatCannotBeOpenedSaysSoAndEndsWithStatusZeroAfterAKey) {
  const std::vector<std::string> kCases[] = {
      {"/dev/" + std::string(195, 'x')}, {std::string(200, 'C')}, {"\x01\xff"},
      {kBoard, std::string(100, '9')},   {kBoard, "\x01\xff"},
  };
  for (const auto& arguments : kCases) {
    SCOPED_TRACE(arguments.back().substr(0, 20));
    harness::BoardLine line;
    FaultSession session(withBoard(arguments, line.devicePath()));
    ASSERT_TRUE(session.start()) << session.screen->screen();
    ASSERT_TRUE(session.screen->waitForText("Can't open serial port. Press any key..."))
        << session.screen->screen();
    session.screen->type("k");
    const int status = session.screen->waitExit();
    ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
    EXPECT_EQ(0, WEXITSTATUS(status));
    EXPECT_TRUE(session.settingsGivenBack()) << session.settingsReport();
  }
}

TEST(BadArgumentsTest, ExtremeOrGarbledDelaysStillLetEscAndQuitEndTheProgram) {
  const std::string kDelays[] = {"1e30", "-1e30", "\x01\xff", std::string(100, '9')};
  for (const auto& delay : kDelays) {
    SCOPED_TRACE(delay);
    FaultSession session({"9600", delay});
    ASSERT_TRUE(session.go()) << session.screen->screen();
    EXPECT_EQ(0, session.quit()) << session.screen->screen();
    EXPECT_TRUE(session.settingsGivenBack()) << session.settingsReport();
  }
}

TEST(BadArgumentsTest, CompilerCommandIsGivenToTheShellAsWrittenWithTheNamesQuoted) {
  FaultSession session({"9600", "2", "printf '%s|' >args.txt"});
  ASSERT_TRUE(session.go()) << session.screen->screen();
  ASSERT_TRUE(harness::writeFile(session.path("prog.mvx"), "PRINT 1\n"));
  ASSERT_TRUE(session.boardPrompt());
  ASSERT_TRUE(session.choose('l', "Hex or MVX file to load: ", "prog.mvx"));
  ASSERT_TRUE(session.screen->waitForText("Compile failed.")) << session.screen->screen();
  EXPECT_EQ("prog.mvx|mvexterm.tmpbytes|",
            harness::readFile(session.path("args.txt")).value_or("(none)"));
  EXPECT_EQ(0, session.quit()) << session.screen->screen();
}

TEST(BadArgumentsTest, CompilerCommandOfControlBytesCannotBeExecuted) {
  FaultSession session({"9600", "2", "\x01\xff"});
  ASSERT_TRUE(session.go()) << session.screen->screen();
  ASSERT_TRUE(harness::writeFile(session.path("prog.mvx"), "PRINT 1\n"));
  ASSERT_TRUE(session.boardPrompt());
  ASSERT_TRUE(session.choose('l', "Hex or MVX file to load: ", "prog.mvx"));
  ASSERT_TRUE(session.screen->waitForText("Can't execute compiler.")) << session.screen->screen();
  EXPECT_EQ(0, session.quit()) << session.screen->screen();
  EXPECT_TRUE(session.settingsGivenBack()) << session.settingsReport();
}

}  // namespace
}  // namespace mvex::faults
