// Load: hex files sent as they are, source files compiled first, every failure path.

#include <gtest/gtest.h>

#include <chrono>

#include "tests/app/app_session.h"

namespace mvex::apptest {
namespace {

const std::string kHexFile = "0000: 01 02 03\r\n0003: 04\nEND\n";
const std::string kHexOnTheLine = "0000: 01 02 03\r0003: 04\rEND\r";

/// A compiler that records its arguments, one a line, and writes a fixed upload text.
const std::string kRecordingCompiler =
    "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > args.txt\n"
    "printf '0000: AA\\nEND\\n' > \"$2\"\n"
    "exit ${EXIT_WITH:-0}\n";

TEST(LoadE2eTest, HexFileIsSentWithLineEndsAsCr) {
  const struct {
    std::string name;
    std::string typed;
    std::string content;
    std::string onTheLine;
  } kCases[] = {
      {"prog.hex", "prog.hex", kHexFile, kHexOnTheLine},
      {"blank.hex", "  blank.hex  ", " \t0000: 41\r\n", " \t0000: 41\r"},
      {"with space.hex", "with space.hex", "0000: 42\n", "0000: 42\r"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    AppSession app;
    ASSERT_TRUE(app.ready());
    app.writeFile(c.name, c.content);
    ASSERT_TRUE(app.boardPrompt());
    ASSERT_TRUE(app.choose('l', "Hex or MVX file to load: ", c.typed));
    ASSERT_TRUE(app.board.waitReceived(c.onTheLine.size())) << app.screen->screen();
    EXPECT_EQ(c.onTheLine, app.sentToBoard());
    EXPECT_FALSE(app.fileExists("args.txt"));
  }
}

TEST(LoadE2eTest, SourceFileIsCompiledWithTheCommandAndQuotedNamesThenSent) {
  AppSession app({"9600", "2", "sh cc.sh"});
  ASSERT_TRUE(app.ready());
  app.writeFile("cc.sh", kRecordingCompiler);
  app.writeFile("prog.mvx", "print 1\n");
  ASSERT_TRUE(app.boardPrompt());
  ASSERT_TRUE(app.choose('L', "Hex or MVX file to load: ", "prog.mvx"));
  ASSERT_TRUE(app.screen->waitForText("Running sh cc.sh to compile...")) << app.screen->screen();
  ASSERT_TRUE(app.board.waitReceived(12)) << app.screen->screen();
  EXPECT_EQ("0000: AA\rEND\r", app.sentToBoard());
  EXPECT_EQ("prog.mvx\nmvexterm.tmpbytes\n", app.readFile("args.txt"));
  EXPECT_TRUE(app.fileExists("mvexterm.tmpbytes"));
  EXPECT_EQ(0, app.quit());
  EXPECT_FALSE(app.fileExists("mvexterm.tmpbytes")) << "the temporary file outlived the program";
}

TEST(LoadE2eTest, FileNameWithShellCharactersReachesTheCompilerLiterally) {
  const std::string name = "x;touch${IFS}pwned&$(touch${IFS}pwned2)'\"`.mvx";
  AppSession app({"9600", "2", "sh cc.sh"});
  ASSERT_TRUE(app.ready());
  app.writeFile("cc.sh", kRecordingCompiler);
  app.writeFile(name, "source\n");
  ASSERT_TRUE(app.boardPrompt());
  ASSERT_TRUE(app.choose('l', "Hex or MVX file to load: ", name));
  ASSERT_TRUE(app.board.waitReceived(12)) << app.screen->screen();
  EXPECT_EQ(name + "\nmvexterm.tmpbytes\n", app.readFile("args.txt"));
  EXPECT_FALSE(app.fileExists("pwned"));
  EXPECT_FALSE(app.fileExists("pwned2"));
}

TEST(LoadE2eTest, CompilerExitingNonZeroWithOutputStillHasItSent) {
  AppSession app({"9600", "2", std::string(MVEX_COMPILER_PATH) + " --exit 3"});
  ASSERT_TRUE(app.ready());
  app.writeFile("prog.mvx", "A");
  ASSERT_TRUE(app.boardPrompt());
  ASSERT_TRUE(app.choose('l', "Hex or MVX file to load: ", "prog.mvx"));
  ASSERT_TRUE(app.board.waitReceivedText("END\r")) << app.screen->screen();
  EXPECT_EQ("0000: 41\rEND\r", app.sentToBoard());
}

TEST(LoadE2eTest, EveryFailureSaysWhyAndShowsThePromptAgainSendingNothing) {
  const struct {
    std::string compiler;
    std::string typed;
    std::string message;
  } kCases[] = {
      {"mvxcomp", "   ", ""},
      {"mvxcomp", "missing.hex", "File not found."},
      {"mvxcomp", "my prog.mvx", "Spaces are not allowed when compiling."},
      {"no-such-compiler-here", "prog.mvx", "Can't execute compiler."},
      {"true", "prog.mvx", "Compile failed."},
      {std::string(MVEX_COMPILER_PATH) + " --fail", "prog.mvx", "Compile failed."},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.compiler + " / " + c.typed);
    AppSession app({"9600", "2", c.compiler});
    ASSERT_TRUE(app.ready());
    app.writeFile("prog.mvx", "source\n");
    app.writeFile("my prog.mvx", "source\n");
    ASSERT_TRUE(app.boardPrompt());
    ASSERT_TRUE(app.choose('l', "Hex or MVX file to load: ", c.typed));
    if (!c.message.empty()) {
      ASSERT_TRUE(app.screen->waitForText(c.message)) << app.screen->screen();
    }
    // The prompt stands again on the line below, and Esc offers the full menu again.
    ASSERT_TRUE(app.screen->waitFor([&] { return app.screen->output().ends_with("> "); }))
        << app.screen->screen();
    EXPECT_EQ(">", app.screen->row(app.screen->cursorRow()));
    EXPECT_EQ(3, app.screen->cursorColumn());
    EXPECT_TRUE(app.openMenu("[[[ Load Dump Quit ]]] ")) << app.screen->screen();
    EXPECT_EQ("> [[[ Load Dump Quit ]]]", app.screen->row(app.screen->cursorRow()));
    app.screen->type("x");
    EXPECT_EQ("", app.sentToBoard());
  }
}

TEST(LoadE2eTest, UploadIsPacedOneBytePerPassAndDropsTypedKeys) {
  const std::string content = "0000: 01 02 03 04\n";  // 18 bytes, one pass each
  AppSession app({"9600", "100"});
  ASSERT_TRUE(app.ready());
  app.writeFile("slow.hex", content);
  ASSERT_TRUE(app.boardPrompt());
  ASSERT_TRUE(app.choose('l', "Hex or MVX file to load: ", "slow.hex"));
  ASSERT_TRUE(app.board.waitReceived(1));
  const auto first = std::chrono::steady_clock::now();
  app.screen->type("zz");
  ASSERT_TRUE(app.board.waitReceived(content.size(), seconds(30)));
  const auto elapsed = std::chrono::steady_clock::now() - first;
  // 17 more bytes at one per 100 ms pass cannot take less than 1.7 s; a generous lower bound.
  EXPECT_GE(elapsed, milliseconds(1500));
  app.screen->pump(milliseconds(400));
  EXPECT_EQ("0000: 01 02 03 04\r", app.sentToBoard()) << "keys typed during the upload were sent";
}

TEST(LoadE2eTest, EscCancelsTheUploadWithThreeCrAndKeysGoToTheBoardAgain) {
  std::string content;
  for (int i = 0; i < 40; ++i) content += "0000: 01 02 03 04 05 06 07 08\n";
  AppSession app({"9600", "50"});
  ASSERT_TRUE(app.ready());
  app.writeFile("long.hex", content);
  ASSERT_TRUE(app.boardPrompt());
  ASSERT_TRUE(app.choose('l', "Hex or MVX file to load: ", "long.hex"));
  ASSERT_TRUE(app.board.waitReceived(3));
  app.screen->pressEsc();
  ASSERT_TRUE(app.screen->waitForText("Cancelling upload.")) << app.screen->screen();
  ASSERT_TRUE(app.board.waitReceivedText("\r\r\r"));
  const std::string sent = app.sentToBoard();
  ASSERT_GE(sent.size(), 6u);
  std::string onTheLine = content;
  for (char& c : onTheLine) c = c == '\n' ? '\r' : c;
  const std::string uploaded = sent.substr(0, sent.size() - 3);
  EXPECT_EQ(onTheLine.substr(0, uploaded.size()), uploaded);
  EXPECT_TRUE(sent.ends_with("\r\r\r"));
  app.screen->type("k");
  ASSERT_TRUE(app.board.waitReceived(sent.size() + 1));
  EXPECT_EQ(sent + "k", app.sentToBoard());
}

}  // namespace
}  // namespace mvex::apptest
