#include "bench/payloads.h"

#include <gtest/gtest.h>

#include <string>

namespace mvex::bench {
namespace {

TEST(PayloadsTest, HexFileHasTheExactSizeAndLfLineEnds) {
  for (size_t size : {1u, 54u, 2000u, 4097u}) {
    SCOPED_TRACE(size);
    const std::string file = hexFile(size);
    ASSERT_EQ(size, file.size());
    EXPECT_EQ('\n', file.back());
    EXPECT_EQ(std::string::npos, file.find('\r'));
  }
  EXPECT_EQ("0000: 00 07 0E 15 1C 23 2A 31 38 3F 46 4D 54 5B 62 69\n0010:",
            hexFile(2000).substr(0, 59));
}

TEST(PayloadsTest, ListingHoldsOnlyBytesADumpCaptureAccepts) {
  const std::string listing = hexListing(100000);
  EXPECT_GE(listing.size(), 100000u);
  EXPECT_EQ(std::string::npos, listing.find_first_not_of("0123456789ABCDEF :\r\n"));
  EXPECT_EQ("000000: 00 07 0E", listing.substr(0, 16));
  EXPECT_EQ("\r\n", listing.substr(listing.size() - 2));
}

TEST(PayloadsTest, PrintableLinesEndWithTheOnlyEndMarker) {
  const std::string lines = printableLines(50000);
  const std::string tail = std::string(kEndMarker) + "\r\n";
  EXPECT_EQ(tail, lines.substr(lines.size() - tail.size()));
  EXPECT_EQ(lines.size() - tail.size(), lines.find(kEndMarker));
  for (unsigned char c : lines) {
    ASSERT_TRUE((c >= 32 && c < 127) || c == '\r' || c == '\n') << static_cast<int>(c);
  }
}

}  // namespace
}  // namespace mvex::bench
