#include "io/item_input.h"

#include <gtest/gtest.h>

#include <string>

#include "io/scratch_dir.h"

namespace mvex {
namespace {

using std::string_literals::operator""s;

// What is left in `file` after the item, read byte by byte.
std::string restOf(DataFile& file) {
  std::string rest;
  char c = 0;
  int count = 0;
  while (file.readByte(c, count) == 0 && count == 1) rest += c;
  return rest;
}

// Printable form of bytes for failure messages.
std::string shown(const std::string& bytes) {
  std::string text;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F) {
      text += static_cast<char>(c);
    } else {
      text += "<" + std::to_string(c) + ">";
    }
  }
  return text;
}

TEST(ReadItemTest, FirstItemDecidesHexFileOrSourceFile) {
  const std::string longLine(maxItemLength, 'x');
  const struct {
    std::string contents;
    std::string item;
    std::string rest;
  } kCases[] = {
      {"", "", ""},
      {" \t  \t", "", ""},
      {"  \t0000: 12 34", "0000: 12 34", ""},
      {"0000: 12 34 \r\n0010: 56\r\n", "0000: 12 34 ", "0010: 56\r\n"},
      {"0000: 12\n0010: 56\n", "0000: 12", "0010: 56\n"},
      {"\"0000:\",next", "0000:", "next"},
      {"\"a, b\"  ,x", "a, b", "x"},
      {"\"a\"b", "a", "b"},
      {"\"a\" \r\nb", "a", "b"},
      {"\"a\"\rb", "a", "b"},
      {"\"a\rb", "a", "b"},
      {"\"abc", "abc", ""},
      {"\"\",x", "", "x"},
      {"ab\"c,d", "ab\"c", "d"},
      {"a b ,c", "a b ", "c"},
      {"\r\nsecond", "", "second"},
      {"\nsecond", "", "second"},
      {"\rsecond", "", "second"},
      {",second", "", "second"},
      {"text\r", "text", ""},
      {"abc\0def\nnext"s, "abc", "next"},
      {"\0abc"s, "", ""},
      {"\xFF\x80\x7F,", "\xFF\x80\x7F", ""},
      {longLine, longLine, ""},
      {longLine + "yz", longLine, "yz"},
      {longLine + " \t,z", longLine, "z"},
      {longLine + "  \r\nz", longLine, "z"},
      {longLine + "\rz", longLine, "z"},
      {"\"" + longLine + "\"z", longLine, "\"z"},
  };
  ScratchDir dir;
  for (const auto& c : kCases) {
    SCOPED_TRACE(shown(c.contents.substr(0, 40)) + " (" + std::to_string(c.contents.size()) +
                 " bytes)");
    ASSERT_TRUE(writeWholeFile(dir.file("load"), c.contents));
    DataFile file;
    ASSERT_EQ(0, file.openFile(dir.file("load"), OpenMode::input));
    const std::string item = readItem(file);
    EXPECT_EQ(shown(c.item), shown(item));
    EXPECT_EQ(c.rest.empty(), file.atEnd());
    EXPECT_EQ(shown(c.rest), shown(restOf(file)));
  }
}

TEST(ReadItemTest, SuccessiveItemsFollowCommasAndLineEnds) {
  ScratchDir dir;
  ASSERT_TRUE(writeWholeFile(dir.file("items"), "a, \"b,c\" ,d\r\n\re"));
  DataFile file;
  ASSERT_EQ(0, file.openFile(dir.file("items"), OpenMode::input));
  for (const std::string expected : {"a", "b,c", "d", "", "e", ""}) {
    EXPECT_EQ(expected, readItem(file));
  }
  EXPECT_TRUE(file.atEnd());
}

TEST(ReadItemTest, FileThatIsNotOpenGivesEmptyItem) {
  DataFile file;
  EXPECT_EQ("", readItem(file));
}

}  // namespace
}  // namespace mvex
