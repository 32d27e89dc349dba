// How the session's terminal answers the program's queries: at once, whatever the test does
// meanwhile, or never when it plays a silent terminal.
#include <errno.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>

#include "tests/harness/paths.h"
#include "tests/harness/screen_session.h"

namespace mvex::harness {
namespace {

using std::chrono::milliseconds;

TEST(ScreenSessionTest, AnswersCursorPositionAndSizeQueries) {
  const struct {
    const char* query;
    int rows, columns;
    const char* answer;
  } kCases[] = {
      {"\x1b[3;5H\x1b[6n", 24, 80, "answer: ^[[3;5R"},
      {"\x1b[18t", 24, 80, "answer: ^[[8;24;80t"},
      {"\x1b[18t", 30, 100, "answer: ^[[8;30;100t"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.answer);
    SessionOptions options;
    options.argv = {kQueryTerminalPath, c.query, "10000"};
    options.rows = c.rows;
    options.columns = c.columns;
    ScreenSession session(std::move(options));
    EXPECT_EQ(0, session.waitExit()) << session.screen();
    EXPECT_TRUE(session.waitForText(c.answer, milliseconds(0))) << session.screen();
  }
}

TEST(ScreenSessionTest, SilentTerminalLeavesQueriesUnanswered) {
  for (const char* query : {"\x1b[6n", "\x1b[18t"}) {
    SCOPED_TRACE(query + 1);
    SessionOptions options;
    options.argv = {kQueryTerminalPath, query, "300"};
    options.answerQueries = false;
    ScreenSession session(std::move(options));
    EXPECT_EQ(1 << 8, session.waitExit()) << session.screen();
    EXPECT_EQ("no answer", session.row(2));
  }
}

// Waits for the program's end without reaping it and without calling the session, as a test
// does that is busy with something else. Returns the wait status the program will be reaped with.
int statusWithoutTheSession(pid_t pid) {
  siginfo_t info{};
  int result;
  do {
    result = ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT);
  } while (result != 0 && errno == EINTR);
  if (result != 0) return -1;
  return info.si_code == CLD_EXITED ? info.si_status << 8 : info.si_status;
}

TEST(ScreenSessionTest, AnswersQueriesWhileTheTestIsBusyElsewhere) {
  const struct {
    const char* name;
    bool answerQueries;
    const char* timeoutMs;  // how long the program waits for the answer
    int status;
    const char* shown;
  } kCases[] = {
      {"answering", true, "10000", 0, "answer: ^[[3;5R"},
      {"silent", false, "300", 1 << 8, "no answer"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    SessionOptions options;
    options.argv = {kQueryTerminalPath, "\x1b[3;5H\x1b[6n", c.timeoutMs};
    options.answerQueries = c.answerQueries;
    ScreenSession session(std::move(options));
    ASSERT_TRUE(session.started());
    EXPECT_EQ(c.status, statusWithoutTheSession(session.pid()));
    EXPECT_EQ(c.status, session.waitExit()) << session.screen();
    EXPECT_EQ(c.shown, session.row(4)) << session.screen();
  }
}

}  // namespace
}  // namespace mvex::harness
