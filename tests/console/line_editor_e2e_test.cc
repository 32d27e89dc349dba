#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/console/exercise_session.h"

namespace mvex::harness {
namespace {

constexpr const char* kQuestion = "print:File: ";

TEST(PromptLineTest, EditsTheLineInPlaceAndReturnsItExactly) {
  const struct {
    const char* name;
    std::function<void(ScreenSession&)> keys;
    std::string line;
    std::string shown;
  } kCases[] = {
      {"Home then insert",
       [](ScreenSession& s) {
         s.type("abc");
         s.pressKey(VTERM_KEY_HOME);
         s.type("x");
       },
       "xabc", "File: xabc"},
      {"Backspace in the middle",
       [](ScreenSession& s) {
         s.type("abc");
         s.pressKey(VTERM_KEY_LEFT);
         s.pressKey(VTERM_KEY_LEFT);
         s.pressBackspace();
       },
       "bc", "File: bc"},
      {"Tab first", [](ScreenSession& s) { s.type("\tx"); }, "        x", "File:         x"},
      {"Tab after three", [](ScreenSession& s) { s.type("abc\tx"); }, "abc     x",
       "File: abc     x"},
      {"spaces kept", [](ScreenSession& s) { s.type("  a b  "); }, "  a b  ", "File:   a b"},
      {"Enter alone", [](ScreenSession&) {}, "", "File:"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ScreenSession session(recordingOptions({kQuestion, "prompt", "print:after"}));
    ASSERT_TRUE(session.waitForText("File:")) << session.screen();
    c.keys(session);
    session.pressEnter();
    ASSERT_EQ(0, session.waitExit()) << session.screen();
    EXPECT_EQ("line=" + c.line + "\n", results(session));
    EXPECT_EQ(c.shown, session.row(1));
    EXPECT_EQ("after", session.row(2));
    EXPECT_EQ(0, session.bells());
  }
}

TEST(PromptLineTest, EscBlanksTheTypedTextAndStartsAgain) {
  ScreenSession session(recordingOptions({kQuestion, "prompt"}));
  ASSERT_TRUE(session.waitForText("File:")) << session.screen();
  session.type("abc");
  ASSERT_TRUE(session.waitForText("File: abc")) << session.screen();
  session.pressEsc();
  // The text is blanked, then the cursor goes back behind the question.
  ASSERT_TRUE(session.waitFor([&] {
    return session.row(1) == "File:" && session.cursorColumn() == 7;
  })) << session.screen()
      << "\ncolumn " << session.cursorColumn();
  session.type("d");
  session.pressEnter();
  ASSERT_EQ(0, session.waitExit()) << session.screen();
  EXPECT_EQ("line=d\n", results(session));
  EXPECT_EQ("File: d", session.row(1));
}

TEST(PromptLineTest, DeleteAtTheEndRingsTheBellAndChangesNothing) {
  ScreenSession session(recordingOptions({kQuestion, "prompt"}));
  ASSERT_TRUE(session.waitForText("File:")) << session.screen();
  session.type("ab");
  session.pressKey(VTERM_KEY_DEL);
  ASSERT_TRUE(session.waitFor([&] { return session.bells() == 1; })) << session.screen();
  session.pressEnter();
  ASSERT_EQ(0, session.waitExit()) << session.screen();
  EXPECT_EQ("line=ab\n", results(session));
  EXPECT_EQ("File: ab", session.row(1));
  EXPECT_EQ(1, session.bells());
}

TEST(PromptLineTest, LongLinesWrapAndCursorUpMovesOneScreenRowBack) {
  SessionOptions options = recordingOptions({kQuestion, "prompt"});
  options.columns = 20;
  ScreenSession session(std::move(options));
  ASSERT_TRUE(session.waitForText("File:")) << session.screen();
  session.type("abcdefghijklmnopqrstuvw");  // 23 bytes from column 7
  ASSERT_TRUE(session.waitForText("opqrstuvw")) << session.screen();
  session.pressKey(VTERM_KEY_UP);  // 23 - 20: behind "abc"
  session.type("X");
  ASSERT_TRUE(session.waitForText("File: abcXdefghijklm")) << session.screen();
  session.pressEnter();
  ASSERT_EQ(0, session.waitExit()) << session.screen();
  EXPECT_EQ("line=abcXdefghijklmnopqrstuvw\n", results(session));
  EXPECT_EQ("nopqrstuvw", session.row(2));
}

TEST(PromptLineTest, TypingAtTheLastCellOfTheBottomRowScrolls) {
  SessionOptions options =
      recordingOptions({"print:top\\n2\\n3\\n4\\nFile: ", "prompt", "print:after"});
  options.rows = 5;
  options.columns = 20;
  ScreenSession session(std::move(options));
  ASSERT_TRUE(session.waitForText("File:")) << session.screen();
  session.type("abcdefghijklmn");  // fills the bottom row exactly
  // The screen scrolls by one line and the cursor goes on at column 1 of the bottom row.
  ASSERT_TRUE(session.waitFor([&] {
    return session.row(1) == "2" && session.cursorRow() == 5 && session.cursorColumn() == 1;
  })) << session.screen()
      << "\ncursor " << session.cursorRow() << "," << session.cursorColumn();
  session.type("op");
  session.pressEnter();
  ASSERT_EQ(0, session.waitExit()) << session.screen();
  EXPECT_EQ("line=abcdefghijklmnop\n", results(session));
  EXPECT_EQ("File: abcdefghijklmn", session.row(3));
  EXPECT_EQ("op", session.row(4));
  EXPECT_EQ("after", session.row(5));
}

TEST(PromptLineTest, ALongNameTypedInOneWriteArrivesWhole) {
  std::string name;  // longer than the key queue holds
  for (int i = 0; i < 270; ++i) name.push_back(static_cast<char>('a' + i % 26));
  ScreenSession session(recordingOptions({kQuestion, "prompt"}));
  ASSERT_TRUE(session.waitForText("File:")) << session.screen();
  session.type(name + "\r");
  ASSERT_EQ(0, session.waitExit(std::chrono::seconds(60))) << session.screen();
  EXPECT_EQ("line=" + name + "\n", results(session));
}

}  // namespace
}  // namespace mvex::harness
