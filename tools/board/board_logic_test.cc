#include "tools/board/board_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/board/board_listing.h"

namespace mvex {
namespace {

constexpr char kGreeting[] =
    "\r\n"
    "MORVEX resident menu\r\n"
    "L  upload (just send the hex text)\r\n"
    "Y  dump memory\r\n"
    "> ";

// Sends `input` byte by byte and returns everything the board answered.
std::string send(BoardLogic& board, const std::string& input) {
  std::string out;
  for (char c : input) board.receiveByte(static_cast<std::uint8_t>(c), out);
  return out;
}

TEST(BoardLogicTest, ResetSendsTheGreetingAndThePrompt) {
  BoardLogic board;
  std::string out;
  board.pressReset(out);
  EXPECT_EQ(kGreeting, out);
  EXPECT_EQ(kGreeting, send(board, "\x12"));
}

TEST(BoardLogicTest, AnswersEachLineAtThePrompt) {
  const struct {
    std::string input;
    std::string answer;
  } kCases[] = {
      {"\r", "\r\n> "},
      {"  \r", "  \r\n> "},
      {"L\r", "L\r\nError: not an upload line\r\n> "},
      {"y\r", "y\r\nError: not an upload line\r\n> "},
      {"0000 01\r", "0000 01\r\nError: not an upload line\r\n> "},
      {"END\r", "END\r\nLoaded 0 bytes\r\n> "},
      {"0000: 01 02\r", "0000: 01 02\r\n"},
      {"0000: 01 02\rEND\r", "0000: 01 02\r\nEND\r\nLoaded 2 bytes\r\n> "},
      {"FFFE: 01 02\rEND\r", "FFFE: 01 02\r\nEND\r\nLoaded 2 bytes\r\n> "},
      {"FFFF: 01 02\r", "FFFF: 01 02\r\nError: beyond the end of memory\r\n> "},
      {"0000: 01\n\r", "0000: 01\n\r\n"},
      {"ENX\bD\r", "ENX\bD\r\nLoaded 0 bytes\r\n> "},
      {"\x7f\r", "\x7f\r\n> "},
      {"0000: 01\rbad\r", "0000: 01\r\nbad\r\nError: not an upload line\r\n> "},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.input);
    BoardLogic board;
    EXPECT_EQ(c.answer, send(board, c.input));
  }
}

TEST(BoardLogicTest, StoresUploadLinesInMemoryAndCountsThemAtEnd) {
  BoardLogic board;
  EXPECT_EQ("0100: 0a 0B\r\n0102: 0c\r\n00FE: fe ff\r\nEND\r\nLoaded 5 bytes\r\n> ",
            send(board, "0100: 0a 0B\r0102: 0c\r00FE: fe ff\rEND\r"));
  const auto memory = board.memory();
  EXPECT_EQ(std::vector<std::uint8_t>({0xFE, 0xFF, 0x0A, 0x0B, 0x0C, 0x00}),
            std::vector<std::uint8_t>(memory.begin() + 0xFE, memory.begin() + 0x104));
  EXPECT_EQ(0xFEu, board.loadedBegin());
  EXPECT_EQ(5u, board.loadedLength());
}

TEST(BoardLogicTest, DumpAnswersEchoCrLfThenTheLoadedRangeThenThePrompt) {
  BoardLogic board;
  (void)send(board, "0012: 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11\rEND\r");
  EXPECT_EQ(
      "Y\r\n"
      "0012: 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10\r\n"
      "0022: 11\r\n"
      "> ",
      send(board, "Y"));
}

TEST(BoardLogicTest, DumpOfEmptyMemoryIsOnlyTheEchoAndThePrompt) {
  BoardLogic board;
  EXPECT_EQ("Y\r\n> ", send(board, "Y"));
}

TEST(BoardLogicTest, YOnlyDumpsAtThePrompt) {
  BoardLogic board;
  EXPECT_EQ("0000: 01\r\nY\r\nError: not an upload line\r\n> ", send(board, "0000: 01\rY\r"));
  EXPECT_EQ("AY\r\nError: not an upload line\r\n> ", send(board, "AY\r"));
}

TEST(BoardLogicTest, FixedListingReplacesTheMemory) {
  BoardLogic board(std::size_t{20});
  (void)send(board, "0000: 55\rEND\r");
  EXPECT_EQ(
      "Y\r\n"
      "0000: 0B 30 55 7A 9F C4 E9 0E 33 58 7D A2 C7 EC 11 36\r\n"
      "0010: 5B 80 A5 CA\r\n"
      "> ",
      send(board, "Y"));
}

TEST(BoardLogicTest, UploadThenDumpGivesBackTheSameBytes) {
  const std::vector<std::uint8_t> bytes = fixedListingBytes(1000);
  BoardLogic board;
  const std::string upload = listingText(0x4000, bytes);
  std::string wire;
  for (char c : upload) {
    if (c != '\n') wire += c;  // the terminal sends one CR per line end
  }
  (void)send(board, wire + "END\r");
  EXPECT_EQ("Y\r\n" + upload + "> ", send(board, "Y"));
}

TEST(BoardLogicTest, OverlongLineIsRefusedAndTheNextLineWorks) {
  BoardLogic board;
  const std::string longLine(BoardLogic::kMaxLineLength + 10, 'A');
  EXPECT_EQ(longLine + "\r\nError: line too long\r\n> ", send(board, longLine + "\r"));
  EXPECT_EQ("END\r\nLoaded 0 bytes\r\n> ", send(board, "END\r"));
}

TEST(BoardLogicTest, ResetForgetsTheLineButKeepsTheMemory) {
  BoardLogic board;
  (void)send(board, "0000: 42\rEND\r00");
  EXPECT_EQ(kGreeting, send(board, "\x12"));
  EXPECT_EQ("Y\r\n0000: 42\r\n> ", send(board, "Y"));
}

}  // namespace
}  // namespace mvex
