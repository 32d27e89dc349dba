#include "tests/harness/screen_session.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>

#include "tests/harness/file_text.h"
#include "tests/harness/temp_dir.h"
#include "tests/harness/test_support.h"

namespace mvex::harness {
namespace {

using std::chrono::milliseconds;

// Runs the shell printing `bytes` exactly, and waits for its end.
void printAndWait(ScreenSession& session) {
  ASSERT_TRUE(session.started());
  ASSERT_EQ(0, session.waitExit()) << session.screen();
}

SessionOptions printing(const std::string& bytes) {
  SessionOptions options;
  options.argv = shellScript("printf '%s' \"$1\"", {bytes});
  return options;
}

TEST(ScreenSessionTest, RendersRowsWithTrailingBlanksTrimmedAndTracksTheCursor) {
  ScreenSession session(printing("hello  \r\n  world"));
  printAndWait(session);
  EXPECT_EQ("hello", session.row(1));
  EXPECT_EQ("  world", session.row(2));
  EXPECT_EQ("", session.row(3));
  EXPECT_EQ("", session.row(25));
  EXPECT_EQ(2, session.cursorRow());
  EXPECT_EQ(8, session.cursorColumn());
  EXPECT_EQ("hello\n  world" + std::string(22, '\n'), session.screen());
}

TEST(ScreenSessionTest, KeepsEveryByteTheTerminalPassedOn) {
  // The terminal turns a lone LF into CR LF before the program's bytes reach the screen.
  ScreenSession session(printing("a\x1b[1mb\nc\x01\xff"));
  printAndWait(session);
  EXPECT_EQ("a\x1b[1mb\r\nc\x01\xff", session.output());
}

TEST(ScreenSessionTest, CountsEveryBell) {
  ScreenSession session(printing("\a.\a\a"));
  printAndWait(session);
  EXPECT_EQ(3, session.bells());
  EXPECT_EQ(".", session.row(1));
}

TEST(ScreenSessionTest, RendersUtf8AndGlyphSequences) {
  const struct {
    const char* name;
    std::string bytes;
    uint32_t code;
    std::string row;
  } kCases[] = {
      {"glyph of BS", "\x1b%G\xef\x80\x88\x1b%@", 0xF008, "\xef\x80\x88"},
      {"glyph of ESC", "\x1b%G\xef\x80\x9b\x1b%@x", 0xF01B, "\xef\x80\x9bx"},
      {"two-byte letter", "\xc3\xa9t\xc3\xa9", 0xE9, "\xc3\xa9t\xc3\xa9"},
      {"wide character", "\xe6\x97\xa5!", 0x65E5, "\xe6\x97\xa5!"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ScreenSession session(printing(c.bytes));
    printAndWait(session);
    EXPECT_EQ(c.code, session.cell(1, 1));
    EXPECT_EQ(c.row, session.row(1));
  }
}

TEST(ScreenSessionTest, CellsReportBlanksAndNothingOffTheScreen) {
  ScreenSession session(printing("ab"));
  printAndWait(session);
  EXPECT_EQ(uint32_t{'b'}, session.cell(1, 2));
  EXPECT_EQ(uint32_t{' '}, session.cell(1, 3));
  EXPECT_EQ(0u, session.cell(0, 1));
  EXPECT_EQ(0u, session.cell(1, 81));
}

TEST(ScreenSessionTest, CatShowsTheEchoedLineAndItsCopyAndEndsAtEndOfInput) {
  SessionOptions options;
  options.argv = {"/bin/cat"};
  ScreenSession session(std::move(options));
  ASSERT_TRUE(session.started());
  session.type("hello\r");
  ASSERT_TRUE(session.waitFor([&] { return session.row(2) == "hello"; })) << session.screen();
  EXPECT_EQ("hello", session.row(1));
  session.type("\x04");
  const int status = session.waitExit();
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(0, WEXITSTATUS(status));
}

TEST(ScreenSessionTest, CollectsTheExitStatus) {
  const struct {
    const char* script;
    int status;
  } kCases[] = {
      {"exit 0", 0},
      {"exit 3", 3 << 8},
      {"kill -TERM $$", SIGTERM},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.script);
    SessionOptions options;
    options.argv = shellScript(c.script);
    ScreenSession session(std::move(options));
    EXPECT_EQ(c.status, session.waitExit());
    EXPECT_EQ(c.status, session.waitExit());
  }
}

TEST(ScreenSessionTest, KillsAProgramThatDoesNotEndInTime) {
  SessionOptions options;
  options.argv = shellScript("echo waiting; exec sleep 60");
  ScreenSession session(std::move(options));
  ASSERT_TRUE(session.waitForText("waiting"));
  EXPECT_EQ(-1, session.waitExit(milliseconds(100)));
  EXPECT_TRUE(processGone(session.pid()));
  EXPECT_EQ(-1, session.waitExit());
}

TEST(ScreenSessionTest, EndingTheSessionEndsTheProgramAndItsChildren) {
  pid_t program = -1;
  pid_t child = -1;
  {
    SessionOptions options;
    options.argv = shellScript("sleep 60 & echo \"child $!\"; wait");
    ScreenSession session(std::move(options));
    ASSERT_TRUE(session.waitForText("child "));
    ASSERT_TRUE(
        session.waitFor([&] { return session.row(1).size() > 6 && session.cursorRow() == 2; }));
    program = session.pid();
    child = static_cast<pid_t>(strtol(session.row(1).c_str() + 6, nullptr, 10));
    ASSERT_GT(child, 0) << session.screen();
  }
  EXPECT_TRUE(processGone(program));
  EXPECT_TRUE(waitProcessGone(child));
}

TEST(ScreenSessionTest, KeysReachTheProgramAsTheTerminalSendsThemInItsModes) {
  const struct {
    const char* name;
    const char* setUp;  // written by the program before it reads
    bool answerQueries;
    std::function<void(ScreenSession&)> press;
    const char* bytes;  // as od shows what the program read
  } kCases[] = {
      {"cursor up", "", true, [](ScreenSession& s) { s.pressKey(VTERM_KEY_UP); }, " 1b 5b 41"},
      {"cursor up, keypad transmit", "\x1b[?1h\x1b=", true,
       [](ScreenSession& s) { s.pressKey(VTERM_KEY_UP); }, " 1b 4f 41"},
      {"delete", "", true, [](ScreenSession& s) { s.pressKey(VTERM_KEY_DEL); }, " 1b 5b 33 7e"},
      {"esc", "", true, [](ScreenSession& s) { s.pressEsc(); }, " 1b"},
      {"enter", "", true, [](ScreenSession& s) { s.pressEnter(); }, " 0d"},
      {"backspace", "", true, [](ScreenSession& s) { s.pressBackspace(); }, " 7f"},
      {"typed bytes", "", true, [](ScreenSession& s) { s.type("a\x03\xff"); }, " 61 03 ff"},
      {"silent terminal", "\x1b[6n", false, [](ScreenSession& s) { s.pressKey(VTERM_KEY_LEFT); },
       " 1b 5b 44"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string expected = std::string(c.bytes) + "\n";
    SessionOptions options;
    options.argv =
        shellScript("stty raw -echo; printf '%sready' \"$1\" >&2; head -c \"$2\" | od -An -tx1",
                    {c.setUp, std::to_string((expected.size() - 1) / 3)});
    options.answerQueries = c.answerQueries;
    options.stdoutToFile = true;
    ScreenSession session(std::move(options));
    ASSERT_TRUE(session.waitForText("ready")) << session.screen();
    c.press(session);
    EXPECT_EQ(0, session.waitExit()) << session.screen();
    EXPECT_EQ(expected, session.stdoutText());
  }
}

TEST(ScreenSessionTest, TypesLongInputCompletelyWhileTheProgramReadsIt) {
  SessionOptions options;
  options.argv = shellScript("stty raw -echo; echo ready >&2; head -c 100000 | wc -c");
  options.stdoutToFile = true;
  ScreenSession session(std::move(options));
  ASSERT_TRUE(session.waitForText("ready"));
  session.type(std::string(100000, 'x'));
  EXPECT_EQ(0, session.waitExit());
  EXPECT_EQ("100000\n", session.stdoutText());
}

TEST(ScreenSessionTest, TypesLongInputWhileTheProgramEchoesItBackWithoutStalling) {
  // Nobody reads the echo but the session itself: typing must not keep it from rendering, or
  // the program blocks on its output, stops reading and the typing waits for its time-out.
  SessionOptions options;
  options.argv = shellScript("stty raw -echo; echo ready; head -c 100000; echo; echo done");
  ScreenSession session(std::move(options));
  ASSERT_TRUE(session.waitForText("ready"));
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(8);  // < type's 10 s
  session.type(std::string(100000, 'x'));
  const auto left =
      std::chrono::duration_cast<milliseconds>(end - std::chrono::steady_clock::now());
  EXPECT_TRUE(session.waitForText("done", std::max(left, milliseconds(0)))) << session.screen();
  EXPECT_EQ(0, session.waitExit());
  const std::string output = session.output();
  EXPECT_EQ(100000, std::count(output.begin(), output.end(), 'x'));
}

TEST(ScreenSessionTest, RunsInAFreshEmptyDirectoryThatIsRemovedAfterwards) {
  std::string workDir;
  {
    SessionOptions options;
    options.argv = shellScript("pwd -P; ls -A | wc -l; echo kept >made.txt");
    options.stdoutToFile = true;
    ScreenSession session(std::move(options));
    EXPECT_EQ(0, session.waitExit());
    workDir = session.workDir();
    EXPECT_EQ(std::filesystem::canonical(workDir).string() + "\n0\n", session.stdoutText());
    EXPECT_EQ("kept\n", readFile(workDir + "/made.txt"));
  }
  EXPECT_FALSE(std::filesystem::exists(workDir));
}

TEST(ScreenSessionTest, RunsInAGivenDirectoryAndLeavesItInPlace) {
  TempDir dir;
  ASSERT_TRUE(dir.ok());
  {
    SessionOptions options;
    options.argv = shellScript("echo kept >made.txt");
    options.workDir = dir.path();
    ScreenSession session(std::move(options));
    EXPECT_EQ(dir.path(), session.workDir());
    EXPECT_EQ(0, session.waitExit());
  }
  EXPECT_EQ("kept\n", readFile(dir.file("made.txt")));
}

// Sets a variable of the test process for one scope and puts the old value back.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    const char* old = ::getenv(name);
    if (old != nullptr) old_ = old;
    ::setenv(name, value, 1);
  }
  ~ScopedVariable() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(ScreenSessionTest, ProgramSeesTermXtermAndNoScreenSizeVariablesUnlessChanged) {
  const ScopedVariable term("TERM", "dumb");
  const ScopedVariable lines("LINES", "5");
  const ScopedVariable columns("COLUMNS", "7");
  const struct {
    const char* name;
    EnvChanges env;
    const char* seen;
  } kCases[] = {
      {"defaults", {}, "[xterm][-][-][-]"},
      {"TERM unset", {{"TERM", std::nullopt}}, "[-][-][-][-]"},
      {"set", {{"TERM", "vt100"}, {"MVEX_X", "a b"}}, "[vt100][-][-][a b]"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    SessionOptions options;
    options.argv = shellScript(
        "printf '[%s][%s][%s][%s]' \"${TERM--}\" \"${LINES--}\" \"${COLUMNS--}\" \"${MVEX_X--}\"");
    options.env = c.env;
    ScreenSession session(std::move(options));
    EXPECT_EQ(0, session.waitExit());
    EXPECT_EQ(c.seen, session.row(1));
  }
}

TEST(ScreenSessionTest, TerminalHasTheRequestedSize) {
  SessionOptions options;
  options.argv = shellScript("stty size");
  options.rows = 30;
  options.columns = 100;
  ScreenSession session(std::move(options));
  EXPECT_EQ(0, session.waitExit());
  EXPECT_EQ("30 100", session.row(1));
}

TEST(ScreenSessionTest, StandardOutputGoesToAFileWhenAsked) {
  SessionOptions options;
  options.argv = shellScript("echo to-file; echo to-terminal >&2");
  options.stdoutToFile = true;
  ScreenSession session(std::move(options));
  EXPECT_EQ(0, session.waitExit());
  EXPECT_EQ("to-file\n", session.stdoutText());
  EXPECT_EQ("to-terminal", session.row(1));
}

TEST(ScreenSessionTest, TerminalSettingsStayReadableAfterTheProgramEnded) {
  const struct {
    const char* script;
    tcflag_t localFlags;
  } kCases[] = {
      {"true", ECHO | ICANON},
      {"stty -echo -icanon", 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.script);
    SessionOptions options;
    options.argv = shellScript(c.script);
    ScreenSession session(std::move(options));
    EXPECT_EQ(0, session.waitExit());
    EXPECT_EQ(c.localFlags, session.terminalSettings().c_lflag & (ECHO | ICANON));
  }
}

TEST(ScreenSessionTest, ProgramLeadsTheForegroundOfItsControllingTerminal) {
  SessionOptions options;
  options.argv =
      shellScript("set -- $(cat /proc/$$/stat); [ \"$5\" = \"$8\" ] && echo foreground >/dev/tty");
  ScreenSession session(std::move(options));
  EXPECT_EQ(0, session.waitExit()) << session.screen();
  EXPECT_EQ("foreground", session.row(1));
}

// Ignores a signal in the test process for one scope, as a runner started in the background may.
class ScopedIgnore {
 public:
  explicit ScopedIgnore(int signal) : signal_(signal) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(signal_, &ignore, &old_);
  }
  ~ScopedIgnore() { ::sigaction(signal_, &old_, nullptr); }

 private:
  int signal_;
  struct sigaction old_ {};
};

TEST(ScreenSessionTest, InterruptKeyEndsTheProgramWhateverTheTestProcessIgnores) {
  const ScopedIgnore ignore(SIGINT);
  SessionOptions options;
  options.argv = shellScript("echo ready; exec sleep 60");
  ScreenSession session(std::move(options));
  ASSERT_TRUE(session.waitForText("ready"));
  session.type("\x03");
  const int status = session.waitExit();
  ASSERT_TRUE(WIFSIGNALED(status)) << status;
  EXPECT_EQ(SIGINT, WTERMSIG(status));
}

TEST(ScreenSessionTest, ProgramThatCannotRunLeavesAnEmptySession) {
  SessionOptions options;
  options.argv = {"/nonexistent/mvex-program"};
  ScreenSession session(std::move(options));
  EXPECT_FALSE(session.started());
  EXPECT_EQ(-1, session.waitExit());
  EXPECT_FALSE(session.waitForText("x", milliseconds(0)));
  session.type("abc");
  session.pressEnter();
  EXPECT_EQ(std::string(23, '\n'), session.screen());
  EXPECT_EQ("", session.output());
}

}  // namespace
}  // namespace mvex::harness
