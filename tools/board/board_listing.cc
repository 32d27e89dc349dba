#include "tools/board/board_listing.h"

#include "io/error_number.h"

namespace mvex {
namespace {

constexpr char kUpperHex[] = "0123456789ABCDEF";

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Reads `digits` hex digits at `pos`; -1 when any of them is not a hex digit.
long hexNumber(std::string_view text, std::size_t pos, std::size_t digits) {
  if (pos + digits > text.size()) return -1;
  long value = 0;
  for (std::size_t i = 0; i < digits; ++i) {
    const int digit = hexValue(text[pos + i]);
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value;
}

void appendHex(std::string& out, std::size_t value, int digits) {
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
    out += kUpperHex[(value >> shift) & 0xF];
  }
}

}  // namespace

int parseUploadLine(std::string_view text, UploadLine& line) {
  std::size_t pos = text.find_first_not_of(" \t");
  if (pos == std::string_view::npos) return kBadCall;
  const long address = hexNumber(text, pos, 4);
  if (address < 0 || pos + 4 >= text.size() || text[pos + 4] != ':') return kBadCall;
  pos += 5;
  UploadLine parsed;
  parsed.address = static_cast<std::size_t>(address);
  while (true) {
    const std::size_t start = text.find_first_not_of(' ', pos);
    if (start == std::string_view::npos) break;
    // Byte values must be separated from the colon and from each other by at least one space.
    if (start == pos) return kBadCall;
    const long value = hexNumber(text, start, 2);
    if (value < 0) return kBadCall;
    parsed.bytes.push_back(static_cast<std::uint8_t>(value));
    pos = start + 2;
  }
  line = std::move(parsed);
  return kSuccess;
}

std::string listingText(std::size_t address, std::span<const std::uint8_t> bytes) {
  std::string out;
  out.reserve(bytes.size() / kListingBytesPerLine * 56 + 56);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i % kListingBytesPerLine == 0) {
      appendHex(out, address + i, 4);
      out += ':';
    }
    out += ' ';
    appendHex(out, bytes[i], 2);
    if (i % kListingBytesPerLine == kListingBytesPerLine - 1 || i + 1 == bytes.size()) {
      out += "\r\n";
    }
  }
  return out;
}

std::uint8_t fixedListingByte(std::size_t address) {
  return static_cast<std::uint8_t>((address * 37 + address / 256 + 11) & 0xFF);
}

std::vector<std::uint8_t> fixedListingBytes(std::size_t count) {
  std::vector<std::uint8_t> bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = fixedListingByte(i);
  return bytes;
}

}  // namespace mvex
