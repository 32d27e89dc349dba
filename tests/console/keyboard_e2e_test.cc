#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/console/exercise_session.h"

namespace mvex::harness {
namespace {

// Runs the program that reads one key with readKey once input is waiting, then one more
// key with waitKey; `press` produces the first input.
std::string readKeyAfter(const std::function<void(ScreenSession&)>& press) {
  ScreenSession session(
      recordingOptions({"print:ready", "await-input", "readkey", "print: done", "readkeys:1"}));
  if (!session.waitForText("ready")) return "program did not start: " + session.screen();
  press(session);
  if (!session.waitForText("ready done")) return "first key not taken: " + session.screen();
  session.type("k");
  if (session.waitExit() != 0) return "program did not end: " + session.screen();
  return results(session);
}

TEST(KeyboardTest, TurnsKeyPressesIntoKeyStrings) {
  const struct {
    const char* name;
    std::function<void(ScreenSession&)> press;
    std::string recorded;
  } kCases[] = {
      {"Esc alone", [](ScreenSession& s) { s.pressEsc(); }, "key=1B\nkeys=6B\n"},
      {"cursor up", [](ScreenSession& s) { s.pressKey(VTERM_KEY_UP); }, "key=FF48\nkeys=6B\n"},
      {"Delete", [](ScreenSession& s) { s.pressKey(VTERM_KEY_DEL); }, "key=FF53\nkeys=6B\n"},
      {"Home", [](ScreenSession& s) { s.pressKey(VTERM_KEY_HOME); }, "key=FF47\nkeys=6B\n"},
      {"Backspace 127", [](ScreenSession& s) { s.type("\x7f"); }, "key=08\nkeys=6B\n"},
      {"Enter", [](ScreenSession& s) { s.pressEnter(); }, "key=0D\nkeys=6B\n"},
      {"line feed", [](ScreenSession& s) { s.type("\n"); }, "key=0D\nkeys=6B\n"},
      {"Ctrl+Space", [](ScreenSession& s) { s.type(std::string(1, '\0')); }, "key=00\nkeys=6B\n"},
      {"Ctrl+S", [](ScreenSession& s) { s.type("\x13"); }, "key=13\nkeys=6B\n"},
      {"ESC x and what waits with it", [](ScreenSession& s) { s.type("\x1bxyz"); },
       "key=\nkeys=6B\n"},
      {"mouse report", [](ScreenSession& s) { s.type("\x1b[M ab"); }, "key=\nkeys=6B\n"},
      {"incomplete sequence", [](ScreenSession& s) { s.type("\x1b["); }, "key=\nkeys=6B\n"},
      {"F12", [](ScreenSession& s) { s.type("\x1b[24~"); }, "key=\nkeys=6B\n"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.recorded, readKeyAfter(c.press));
  }
}

TEST(KeyboardTest, WaitKeyGivesSpecialKeysAsScanCodeTimes256Plus255) {
  ScreenSession session(recordingOptions({"print:ready", "readkeys:2"}));
  ASSERT_TRUE(session.waitForText("ready")) << session.screen();
  session.pressKey(VTERM_KEY_UP);
  session.type("k");
  ASSERT_EQ(0, session.waitExit()) << session.screen();
  EXPECT_EQ("keys=48FF 6B\n", results(session));
}

int elapsedMs(const std::string& line) { return std::atoi(line.c_str() + 8); }

TEST(KeyboardTest, SleepEndsEarlyOnAWaitingKeyThatStaysForTheNextRead) {
  ScreenSession session(recordingOptions(
      {"print:ready", "await-key", "timed-sleep:150", "readkey", "timed-sleep:150"}));
  ASSERT_TRUE(session.waitForText("ready")) << session.screen();
  session.type("q");
  ASSERT_EQ(0, session.waitExit()) << session.screen();
  const std::string recorded = results(session);
  const size_t keyLine = recorded.find("key=71\n");
  ASSERT_NE(std::string::npos, keyLine) << recorded;
  const int withKey = elapsedMs(recorded.substr(0, keyLine));
  const int withoutKey = elapsedMs(recorded.substr(keyLine + 7));
  EXPECT_GE(withoutKey, 150) << recorded;
  EXPECT_LT(withKey * 3, withoutKey) << recorded;
}

}  // namespace
}  // namespace mvex::harness
