#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/console/exercise_session.h"

namespace mvex::harness {
namespace {

bool sameSettings(const termios& a, const termios& b) {
  return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
         a.c_lflag == b.c_lflag && std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0 &&
         cfgetispeed(&a) == cfgetispeed(&b) && cfgetospeed(&a) == cfgetospeed(&b);
}

// The shell holds the program back until a line is typed, so the settings found before the
// console takes the terminal over can be read first.
SessionOptions heldBack(const std::vector<std::string>& ops) {
  SessionOptions options;
  options.argv = {"/bin/sh", "-c", "read go; exec \"$0\" \"$@\"", kConsoleExercisePath};
  options.argv.insert(options.argv.end(), ops.begin(), ops.end());
  return options;
}

TEST(TerminalSettingsTest, AreGivenBackAsFoundAfterAnEndOrAFatalSignal) {
  const struct {
    const char* name;
    std::function<void(ScreenSession&)> end;
    int signal;  // 0: a normal end
  } kCases[] = {
      {"normal end", [](ScreenSession& s) { s.type("k"); }, 0},
      {"SIGTERM", [](ScreenSession& s) { ::kill(s.pid(), SIGTERM); }, SIGTERM},
      {"Ctrl+C", [](ScreenSession& s) { s.type("\x03"); }, SIGINT},
      {"SIGHUP", [](ScreenSession& s) { ::kill(s.pid(), SIGHUP); }, SIGHUP},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ScreenSession session(heldBack({"print:ready", "hold"}));
    ASSERT_TRUE(session.started());
    const termios found = session.terminalSettings();
    session.type("go\n");
    ASSERT_TRUE(session.waitForText("ready")) << session.screen();
    const termios during = session.terminalSettings();
    EXPECT_EQ(0u, during.c_lflag & (ICANON | ECHO));
    EXPECT_FALSE(sameSettings(found, during));
    c.end(session);
    const int status = session.waitExit();
    if (c.signal == 0) {
      EXPECT_EQ(0, status);
    } else {
      ASSERT_TRUE(WIFSIGNALED(status)) << status;
      EXPECT_EQ(c.signal, WTERMSIG(status));
    }
    EXPECT_TRUE(sameSettings(found, session.terminalSettings()));
  }
}

TEST(PlainModeTest, WithoutTermTheProgramStillPrintsAndColumnIsZero) {
  SessionOptions options = exerciseOptions({"print:hello\\b!", "newline", "col"});
  options.env.push_back({"TERM", std::nullopt});
  ScreenSession session(std::move(options));
  ASSERT_EQ(0, session.waitExit()) << session.screen();
  EXPECT_EQ("hell!", session.row(1));  // BS passed on unchanged acts on the terminal
  EXPECT_EQ("col=0", session.row(2));
  EXPECT_EQ(std::string::npos, session.output().find("\x1b[6n"));
}

TEST(PlainModeTest, WithStandardOutputNotATerminalBytesGoOutUnchanged) {
  SessionOptions options = exerciseOptions({"print:hello\\b\\x00", "newline", "col"});
  options.stdoutToFile = true;
  ScreenSession session(std::move(options));
  ASSERT_EQ(0, session.waitExit()) << session.screen();
  EXPECT_EQ(std::string("hello\b\0\ncol=0", 13), session.stdoutText());
}

}  // namespace
}  // namespace mvex::harness
