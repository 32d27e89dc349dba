#include "bench/payloads.h"

#include <cstdio>

namespace mvex::bench {
namespace {

// Hex lines of 16 values after an address of `digits` digits, until `size` bytes are reached.
std::string hexLines(size_t size, int digits, const char* lineEnd) {
  std::string out;
  out.reserve(size + 128);
  unsigned address = 0;
  while (out.size() < size) {
    char line[128];
    int used = std::snprintf(line, sizeof line, "%0*X:", digits, address);
    for (unsigned i = 0; i < 16; ++i) {
      used += std::snprintf(line + used, sizeof line - static_cast<size_t>(used), " %02X",
                            (address + i * 7) & 0xFF);
    }
    out.append(line, static_cast<size_t>(used));
    out += lineEnd;
    address += 16;
  }
  return out;
}

}  // namespace

std::string printableLines(size_t size) {
  std::string out;
  out.reserve(size + 128);
  const std::string body = "the quick brown fox jumps over the lazy dog 0123456789 ABCDEFGHIJ";
  for (unsigned number = 0; out.size() < size; ++number) {
    char prefix[16];
    const int used = std::snprintf(prefix, sizeof prefix, "%07u ", number);
    out.append(prefix, static_cast<size_t>(used));
    out += body;
    out += "\r\n";
  }
  out += kEndMarker;
  out += "\r\n";
  return out;
}

std::string hexFile(size_t size) {
  if (size == 0) return {};
  std::string out = hexLines(size, 4, "\n");
  out.resize(size - 1);
  out += '\n';
  return out;
}

std::string hexListing(size_t size) { return hexLines(size, 6, "\r\n"); }

}  // namespace mvex::bench
