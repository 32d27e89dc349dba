#include "io/text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace mvex {
namespace {

using std::string_literals::operator""s;

TEST(ArgumentListTest, GivesEachArgumentUnchangedAndEmptyTextBeyondTheLast) {
  const char* const argv[] = {"mvexterm", " /dev/ttyUSB0 ", "9600"};
  const ArgumentList arguments(3, argv);
  const struct {
    int index;
    std::string text;
  } kCases[] = {
      {0, "mvexterm"}, {1, " /dev/ttyUSB0 "}, {2, "9600"}, {3, ""}, {4, ""}, {-1, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.index);
    EXPECT_EQ(c.text, arguments.commandArgument(c.index));
  }
  EXPECT_EQ(0.0, numberValue(arguments.commandArgument(3)));
}

TEST(NumberValueTest, ReadsEveryFormTheCommandLineMayUse) {
  const struct {
    std::string text;
    double value;
  } kCases[] = {
      {"25", 25},
      {" 25", 25},
      {"25ms", 25},
      {"abc", 0},
      {"-5", -5},
      {"2.5", 2.5},
      {"1d3", 1000},
      {"1D3", 1000},
      {"&H1F", 31},
      {"&h1f", 31},
      {"&O17", 15},
      {"&o17", 15},
      {"&17", 15},
      {"&B101", 5},
      {"&b1102", 6},
      {"&", 0},
      {"&H", 0},
      {"&9", 0},
      {"&HFFFFFFFFFFFFFFFF", -1},
      {"&H10000000000000001", 1},
      {"0x10", 16},
      {"", 0},
      {"   ", 0},
      {"\t7", 7},
      {"  &H10", 16},
      {"12\0"
       "34"s,
       12},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.value, numberValue(c.text));
  }
}

TEST(NumberValueTest, ReadsTheDecimalPointWhateverTheProcessLocale) {
  // A locale with a decimal comma, if this machine has one; the C locale otherwise.
  const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  const bool changed = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr ||
                       std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") != nullptr;
  const double value = numberValue("2.5");
  std::setlocale(LC_NUMERIC, saved.c_str());
  if (!changed) GTEST_SKIP() << "no locale with a decimal comma is installed";
  EXPECT_EQ(2.5, value);
}

TEST(IntegerTextTest, WritesPlainDecimalDigits) {
  const struct {
    int32_t n;
    std::string text;
  } kCases[] = {
      {1, "1"},
      {-12, "-12"},
      {0, "0"},
      {2147483647, "2147483647"},
      {-2147483647 - 1, "-2147483648"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.text, integerText(c.n));
    EXPECT_EQ(c.text, trimBlanks(integerText(c.n)));
  }
}

TEST(TrimBlanksTest, DropsTrailingSpacesAndZerosThenLeadingSpacesOnly) {
  const struct {
    std::string text;
    std::string trimmed;
  } kCases[] = {
      {"  name.hex   ", "name.hex"},
      {"\tname ", "\tname"},
      {"name\t", "name\t"},
      {"name \0 \0"s, "name"},
      {" a b ", "a b"},
      {"\0a"s, "\0a"s},
      {"    ", ""},
      {"", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.trimmed, trimBlanks(c.text));
  }
}

TEST(UpperCaseTest, FoldsOnlyAsciiLetters) {
  const struct {
    std::string text;
    std::string upper;
  } kCases[] = {
      {"q", "Q"}, {"\xE9", "\xE9"}, {"aZ{`@z", "AZ{`@Z"}, {"\0x"s, "\0X"s}, {"", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.upper, upperCase(c.text));
  }
}

TEST(LeftPartTest, TakesAtMostTheWholeText) {
  const struct {
    std::string text;
    int n;
    std::string left;
  } kCases[] = {
      {"0000: 12", 5, "0000:"}, {"abc", 5, "abc"},    {"abc", 0, ""},
      {"abc", -3, ""},          {"a\0c"s, 2, "a\0"s},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text + " " + std::to_string(c.n));
    EXPECT_EQ(c.left, leftPart(c.text, c.n));
  }
  EXPECT_NE("0000:", leftPart("abc", 5));
}

TEST(FindTextTest, GivesOneBasedPositionOrZero) {
  const struct {
    int start;
    std::string text;
    std::string pattern;
    int position;
  } kCases[] = {
      {1, "name.hex", " ", 0}, {1, "abc def", " ", 4}, {4, "abc def", " ", 4},
      {5, "abc def", " ", 0},  {1, "abab", "ab", 1},   {2, "abab", "ab", 3},
      {4, "abab", "b", 4},     {5, "abab", "b", 0},    {0, "abab", "a", 0},
      {-1, "abab", "a", 0},    {1, "", "a", 0},        {1, "abc", "", 0},
      {1, "ab", "abc", 0},     {1, "a\0b"s, "\0"s, 2},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text + "|" + c.pattern + "|" + std::to_string(c.start));
    EXPECT_EQ(c.position, findText(c.start, c.text, c.pattern));
  }
}

TEST(CharTextTest, KeepsTheLowEightBitsAsOneByte) {
  const struct {
    int value;
    std::string text;
  } kCases[] = {
      {65, "A"}, {0, "\0"s}, {255, "\xFF"}, {-1, "\xFF"}, {-23, "\xE9"}, {0x141, "A"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(c.text, charText(c.value));
  }
}

TEST(BlanksTest, GivesNSpacesOrNothing) {
  EXPECT_EQ("   ", blanks(3));
  EXPECT_EQ("", blanks(0));
  EXPECT_EQ("", blanks(-2));
  EXPECT_EQ(std::string(23, ' '), blanks(23));
}

}  // namespace
}  // namespace mvex
