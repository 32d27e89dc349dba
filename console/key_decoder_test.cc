#include "console/key_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/key_test_input.h"

namespace mvex {
namespace {

// Decodes one key per call, as readKey does, until the bytes are used up.
std::vector<KeyCode> decodeAll(const std::string& bytes) {
  WaitingBytes source(bytes);
  std::optional<EscapeTable> table;
  std::vector<KeyCode> keys;
  while (!source.left().empty()) {
    if (std::optional<KeyCode> key = decodeKey(source, table, xtermKeys)) keys.push_back(*key);
  }
  return keys;
}

TEST(KeyDecoderTest, TurnsTerminalBytesIntoKeys) {
  const struct {
    std::string bytes;
    std::vector<KeyCode> keys;
  } kCases[] = {
      {"a", {'a'}},
      {std::string(1, '\0'), {0}},
      {"\x7f", {8}},
      {"\x08", {8}},
      {"\n", {13}},
      {"\r", {13}},
      {"\x1b", {27}},
      {"\x1bOA", {kKeyUp}},
      {"\x1bOB\x1bOD\x1bOC", {kKeyDown, kKeyLeft, kKeyRight}},
      {"\x1b[3~", {kKeyDelete}},
      {"\x1bOH\x1bOF", {kKeyHome, kKeyEnd}},
      {"\x1b[5~\x1b[6~\x1b[2~", {kKeyPageUp, kKeyPageDown, kKeyInsert}},
      {"\x1bOP\x1b[21~", {kKeyF1, kKeyF1 + 9}},
      {"\x1b[24~", {}},       // F12 is no key, nor is what followed it
      {"\x1bxabc", {}},       // unknown sequence: all that waited goes with it
      {"\x1b[", {}},          // incomplete sequence
      {"\x1b[M abz", {'z'}},  // mouse report and its three bytes
      {"ab\x1bOAc", {'a', 'b', kKeyUp, 'c'}},
      {"\xff\x80", {0xFF, 0x80}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    EXPECT_EQ(c.keys, decodeAll(c.bytes));
  }
}

TEST(KeyDecoderTest, UnknownSequenceDiscardsEverythingWaitingWithIt) {
  WaitingBytes source("\x1bx123\x1bOA");
  std::optional<EscapeTable> table;
  EXPECT_FALSE(decodeKey(source, table, xtermKeys).has_value());
  EXPECT_EQ("", source.left());
}

TEST(KeyDecoderTest, BuildsTheTableOnlyWhenAnEscapeIsFollowedByAByte) {
  std::optional<EscapeTable> table;
  WaitingBytes lone("\x1b");
  EXPECT_EQ(27, decodeKey(lone, table, xtermKeys));
  EXPECT_FALSE(table.has_value());
  WaitingBytes up("\x1bOA");
  EXPECT_EQ(kKeyUp, decodeKey(up, table, xtermKeys));
  EXPECT_TRUE(table.has_value());
}

TEST(EscapeTableTest, KeepsTheFirstOfSequencesThatRepeatOrOverlap) {
  const EscapeTable table({
      {"\x1b[A", 1},
      {"\x1b[A", 2},   // repeats the first
      {"\x1b[AB", 3},  // runs through a complete entry
      {"\x1b[1~", 4},
      {"\x1b[1", 5},  // a prefix of an entry entered before
      {"\x7f", 6},    // one byte: never follows an ESC
  });
  const EscapeTable::Step bracket = table.find(0, '[');
  ASSERT_TRUE(bracket.found);
  const EscapeTable::Step a = table.find(bracket.next, 'A');
  ASSERT_TRUE(a.found);
  EXPECT_EQ(1, a.key);
  EXPECT_EQ(-1, a.next);
  const EscapeTable::Step one = table.find(bracket.next, '1');
  ASSERT_TRUE(one.found);
  ASSERT_GE(one.next, 0);
  EXPECT_EQ(4, table.find(one.next, '~').key);
  EXPECT_EQ(EscapeTable::kMouseReport, table.find(bracket.next, 'M').key);
  EXPECT_FALSE(table.find(0, '\x7f').found);
}

TEST(KeyQueueTest, KeepsTheNewest255KeysWhen300AreAppended) {
  KeyQueue queue;
  for (KeyCode key = 0; key < 300; ++key) queue.push(key);
  std::vector<KeyCode> held;
  while (std::optional<KeyCode> key = queue.pop()) held.push_back(*key);
  ASSERT_EQ(255u, held.size());
  EXPECT_EQ(45, held.front());
  EXPECT_EQ(299, held.back());
  EXPECT_TRUE(queue.empty());
}

TEST(KeyQueueTest, PeekLeavesTheOldestKeyForTheNextPop) {
  KeyQueue queue;
  EXPECT_FALSE(queue.peek().has_value());
  queue.push(kKeyUp);
  queue.push('x');
  EXPECT_EQ(kKeyUp, queue.peek());
  EXPECT_EQ(kKeyUp, queue.pop());
  EXPECT_EQ('x', queue.pop());
  EXPECT_FALSE(queue.pop().has_value());
}

}  // namespace
}  // namespace mvex
