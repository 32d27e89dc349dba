#include "tools/board/board_listing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/error_number.h"

namespace mvex {
namespace {

TEST(UploadLineTest, ReadsAddressAndBytesInEitherCaseWithAnySpacing) {
  const struct {
    std::string text;
    std::size_t address;
    std::vector<std::uint8_t> bytes;
  } kCases[] = {
      {"0000: 01 02 03", 0x0000, {0x01, 0x02, 0x03}},
      {"1A2b: ff Fe 0a", 0x1A2B, {0xFF, 0xFE, 0x0A}},
      {"FFFF: 7E", 0xFFFF, {0x7E}},
      {"0010:", 0x0010, {}},
      {"0010:   ", 0x0010, {}},
      {"  \t0020:  AB   CD  ", 0x0020, {0xAB, 0xCD}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    UploadLine line;
    ASSERT_EQ(kSuccess, parseUploadLine(c.text, line));
    EXPECT_EQ(c.address, line.address);
    EXPECT_EQ(c.bytes, line.bytes);
  }
}

TEST(UploadLineTest, RefusesTextThatIsNotAnUploadLineAndLeavesTheLineAlone) {
  const std::string kCases[] = {
      "",         "END",       "Y",          "000: 01",   "00000: 01",   "0000 01",
      "0000:01",  "0000: 1",   "0000: 123",  "0000: 0G",  "0000: 01,02", "0000: 01\t02",
      "G000: 01", "0000:: 01", "0000: 01 2", "x0000: 01",
  };
  for (const auto& text : kCases) {
    SCOPED_TRACE(text);
    UploadLine line{7, {9}};
    EXPECT_EQ(kBadCall, parseUploadLine(text, line));
    EXPECT_EQ(7u, line.address);
    EXPECT_EQ(std::vector<std::uint8_t>{9}, line.bytes);
  }
}

TEST(ListingTextTest, WritesSixteenUpperCaseBytesPerLineWithCrLf) {
  std::vector<std::uint8_t> bytes;
  for (int i = 0; i < 18; ++i) bytes.push_back(static_cast<std::uint8_t>(0xA0 + i));
  EXPECT_EQ(
      "00F8: A0 A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF\r\n"
      "0108: B0 B1\r\n",
      listingText(0x00F8, bytes));
  EXPECT_EQ("ABCD: 00\r\n", listingText(0xABCD, std::vector<std::uint8_t>{0}));
  EXPECT_EQ("", listingText(0, {}));
}

TEST(ListingTextTest, ParsesBackToTheSameBytes) {
  const std::vector<std::uint8_t> bytes = fixedListingBytes(40);
  const std::string text = listingText(0x1230, bytes);
  std::vector<std::uint8_t> back;
  std::size_t next = 0x1230;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    ASSERT_NE(std::string::npos, end);
    UploadLine line;
    ASSERT_EQ(kSuccess, parseUploadLine(text.substr(start, end - start), line));
    EXPECT_EQ(next, line.address);
    next += line.bytes.size();
    back.insert(back.end(), line.bytes.begin(), line.bytes.end());
    start = end + 2;
  }
  EXPECT_EQ(bytes, back);
}

TEST(FixedListingTest, IsTheSameEveryTimeAndDoesNotRepeatWithinALine) {
  const std::vector<std::uint8_t> first = fixedListingBytes(4096);
  EXPECT_EQ(first, fixedListingBytes(4096));
  EXPECT_EQ(0x0B, first[0]);
  EXPECT_EQ(0x30, first[1]);
  for (std::size_t line = 0; line < first.size(); line += kListingBytesPerLine) {
    for (std::size_t i = 1; i < kListingBytesPerLine; ++i) {
      ASSERT_NE(first[line + i - 1], first[line + i]) << "at " << line + i;
    }
  }
}

}  // namespace
}  // namespace mvex
