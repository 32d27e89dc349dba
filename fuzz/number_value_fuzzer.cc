// Fuzzes numberValue: it never fails on any text; "&H" and hex digits give the digits' value
// in wrapping 64-bit arithmetic read as signed; leading spaces change nothing; a plain run of
// decimal digits gives what strtod gives.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "io/text.h"

namespace mvex {
namespace {

// Equal values, or both not a number.
bool sameValue(double a, double b) {
  return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0 || a == b;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Texts of the form "&H" digits..., read in the plainest way.
void checkHexText(std::string_view text, double value) {
  if (text.size() < 2 || text[0] != '&' || (text[1] != 'H' && text[1] != 'h')) return;
  uint64_t expected = 0;
  for (const char c : text.substr(2)) {
    const int digit = hexDigit(c);
    if (digit < 0) break;
    expected = (expected << 4) | static_cast<uint64_t>(digit);
  }
  MVEX_FUZZ_CHECK(value == static_cast<double>(static_cast<int64_t>(expected)));
}

// A non-empty text of decimal digits only, compared with strtod.
void checkDecimalDigits(std::string_view text, double value) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return;
  const std::string copy(text);
  MVEX_FUZZ_CHECK(value == std::strtod(copy.c_str(), nullptr));
}

}  // namespace
}  // namespace mvex

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace mvex;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const double value = numberValue(text);
  checkHexText(text, value);
  checkDecimalDigits(text, value);
  if (!text.empty() && text[0] == '&') MVEX_FUZZ_CHECK(std::isfinite(value));
  // The count of spaces put in front comes from the text itself, so every count is reached.
  const std::string spaced = std::string(1 + size % 5, ' ') + std::string(text);
  MVEX_FUZZ_CHECK(sameValue(value, numberValue(spaced)));
  return 0;
}
