#include "bench/session.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "bench/programs.h"

namespace mvex::bench {
namespace {

// The real shell in the session's screen: asks for the cursor position, then shows the answer
// it read and relays one line from the serial line to the screen.
TEST(SessionTest, AnswersPositionQueriesAndRelaysBothWays) {
  const std::string bash = findOnPath("bash");
  ASSERT_FALSE(bash.empty());
  Session session;
  ASSERT_EQ(0, session.open());
  const std::string script =
      "stty -icanon -echo; printf '\\033[6n'; IFS= read -r -d R answer; "
      "printf '<%s>' \"${answer#?}\"; IFS= read -r line < " +
      session.linePath() + "; printf '{%s}' \"$line\"";
  char dir[] = "/tmp/session_test.XXXXXX";
  ASSERT_NE(nullptr, mkdtemp(dir));
  ASSERT_EQ(0, session.start({bash, "-c", script}, dir));
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  ASSERT_TRUE(session.waitForScreen("<[1;1>", deadline)) << session.screen();
  session.sendToLine("hello\n");
  EXPECT_TRUE(session.waitForScreen("{hello}", deadline)) << session.screen();
  EXPECT_TRUE(session.pumpUntil(deadline, [&] { return session.child().poll(); }));
  EXPECT_EQ(0, session.child().status());
  rmdir(dir);
}

}  // namespace
}  // namespace mvex::bench
