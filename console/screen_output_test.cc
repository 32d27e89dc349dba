#include "console/screen_output.h"

#include <gtest/gtest.h>

#include <string>

namespace mvex {
namespace {

std::string encoded(unsigned char byte) {
  char out[kMaxEncodedByte];
  return std::string(out, encodeScreenByte(byte, out));
}

TEST(ScreenOutputTest, ShowsFiveControlBytesAsGlyphsAndZeroAsSpace) {
  const struct {
    unsigned char byte;
    std::string written;
  } kCases[] = {
      {0, " "},
      {8, "\x1b%G\xef\x80\x88\x1b%@"},
      {12, "\x1b%G\xef\x80\x8c\x1b%@"},
      {14, "\x1b%G\xef\x80\x8e\x1b%@"},
      {15, "\x1b%G\xef\x80\x8f\x1b%@"},
      {27, "\x1b%G\xef\x80\x9b\x1b%@"},
      {7, "\x07"},
      {9, "\t"},
      {10, "\n"},
      {13, "\r"},
      {31, "\x1f"},
      {'A', "A"},
      {200, "\xc8"},
      {255, "\xff"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(static_cast<int>(c.byte));
    EXPECT_EQ(c.written, encoded(c.byte));
  }
}

TEST(ScreenOutputTest, TracksColumnsLineEndsAndTheRightMarginWithoutPassingTheLastRow) {
  const struct {
    ScreenPosition from;
    std::string text;
    ScreenPosition to;
  } kCases[] = {
      {{1, 1}, "", {1, 1}},     {{1, 1}, "abc", {1, 4}},    {{3, 5}, "\r\t", {3, 7}},
      {{3, 5}, "x\n", {4, 1}},  {{2, 79}, "ab", {3, 1}},    {{2, 79}, "abc", {3, 2}},
      {{24, 80}, "a", {24, 1}}, {{24, 3}, "\n\n", {24, 1}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    const ScreenPosition to = advancePosition(c.from, c.text, 24, 80);
    EXPECT_EQ(c.to.row, to.row);
    EXPECT_EQ(c.to.column, to.column);
  }
}

}  // namespace
}  // namespace mvex
