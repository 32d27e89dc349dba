#include "io/text.h"

#include <locale.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>

namespace mvex {
namespace {

// The value of `c` as a digit of `base`, or -1 when it is none.
int digitValue(char c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9') {
    value = c - '0';
  } else if (c >= 'A' && c <= 'F') {
    value = c - 'A' + 10;
  } else if (c >= 'a' && c <= 'f') {
    value = c - 'a' + 10;
  }
  return value < base ? value : -1;
}

// Reads the digits of `base` at the start of `digits`; the 64 bits wrap on overflow and are
// then read as a signed number, so "&HFFFFFFFFFFFFFFFF" is -1.
double baseValue(std::string_view digits, int base) {
  uint64_t value = 0;
  for (char c : digits) {
    const int digit = digitValue(c, base);
    if (digit < 0) break;
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
  }
  return static_cast<double>(static_cast<int64_t>(value));
}

// The C locale, made once, so that a locale set elsewhere in the process cannot change how a
// decimal point is read.
locale_t cLocale() {
  static const locale_t kLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return kLocale;
}

double decimalValue(std::string_view text) {
  std::string number(text);
  std::replace(number.begin(), number.end(), 'D', 'E');
  std::replace(number.begin(), number.end(), 'd', 'e');
  const locale_t locale = cLocale();
  char* end = nullptr;
  const double value = locale != static_cast<locale_t>(nullptr)
                           ? strtod_l(number.c_str(), &end, locale)
                           : strtod(number.c_str(), &end);
  return end == number.c_str() ? 0.0 : value;
}

}  // namespace

ArgumentList::ArgumentList(int argc, const char* const* argv) {
  for (int i = 0; i < argc; ++i) arguments_.emplace_back(argv[i] != nullptr ? argv[i] : "");
}

std::string ArgumentList::commandArgument(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= arguments_.size()) return {};
  return arguments_[static_cast<size_t>(index)];
}

double numberValue(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return 0.0;
  text.remove_prefix(first);
  if (text.size() >= 2 && text[0] == '&') {
    switch (text[1]) {
      case 'H':
      case 'h':
        return baseValue(text.substr(2), 16);
      case 'O':
      case 'o':
        return baseValue(text.substr(2), 8);
      case 'B':
      case 'b':
        return baseValue(text.substr(2), 2);
      default:
        return baseValue(text.substr(1), 8);
    }
  }
  return decimalValue(text);
}

std::string integerText(int32_t n) {
  char digits[16];
  const int length = std::snprintf(digits, sizeof digits, "%d", static_cast<int>(n));
  return std::string(digits, static_cast<size_t>(length));
}

std::string trimBlanks(std::string_view text) {
  const size_t last = text.find_last_not_of(std::string_view(" \0", 2));
  if (last == std::string_view::npos) return {};
  text = text.substr(0, last + 1);
  return std::string(text.substr(text.find_first_not_of(' ')));
}

std::string upperCase(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return result;
}

std::string leftPart(std::string_view text, int n) {
  if (n < 1) return {};
  return std::string(text.substr(0, static_cast<size_t>(n)));
}

int findText(int start, std::string_view text, std::string_view pattern) {
  if (text.empty() || pattern.empty() || pattern.size() > text.size()) return 0;
  if (start < 1 || static_cast<size_t>(start) > text.size()) return 0;
  const size_t found = text.find(pattern, static_cast<size_t>(start - 1));
  return found == std::string_view::npos ? 0 : static_cast<int>(found) + 1;
}

std::string charText(int value) {
  return std::string(1, static_cast<char>(static_cast<unsigned char>(value & 0xFF)));
}

std::string blanks(int n) {
  return n < 1 ? std::string() : std::string(static_cast<size_t>(n), ' ');
}

}  // namespace mvex
