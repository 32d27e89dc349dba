#include "io/item_input.h"

#include <optional>

namespace mvex {
namespace {

constexpr char kComma = ',';
constexpr char kLineFeed = '\n';
constexpr char kReturn = '\r';
constexpr char kQuote = '"';

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The next byte of `file`, or nothing at its end.
std::optional<char> nextByte(DataFile& file) {
  char c = 0;
  int count = 0;
  if (file.readByte(c, count) != 0 || count == 0) return std::nullopt;
  return c;
}

// A byte read too far goes back to the file; the store is empty here, because every byte
// held before this item was read first, so the put-back cannot fail.
void giveBack(DataFile& file, char c) { (void)file.putBackByte(c); }

// After a CR: an LF that follows directly belongs to the same line end; any other byte is
// given back.
void finishLineEnd(DataFile& file) {
  const std::optional<char> c = nextByte(file);
  if (c && *c != kLineFeed) giveBack(file, *c);
}

// Uses up what follows an item that ended on a closing quote, the length limit or the end:
// blanks, then one delimiter; any other byte is given back.
void finishAfterItem(DataFile& file, std::optional<char> c) {
  while (c && isBlank(*c)) c = nextByte(file);
  if (!c || *c == kComma || *c == kLineFeed) return;
  if (*c == kReturn) {
    finishLineEnd(file);
    return;
  }
  giveBack(file, *c);
}

// Collects the item that starts with `c`, the first byte after the leading blanks.
std::string collectItem(DataFile& file, std::optional<char> c) {
  std::string item;
  item.reserve(maxItemLength);
  bool quoted = false;
  while (true) {
    if (*c == kLineFeed || (*c == kComma && !quoted)) return item;
    if (*c == kReturn) {
      finishLineEnd(file);
      return item;
    }
    if (*c == kQuote && quoted) {
      finishAfterItem(file, nextByte(file));
      return item;
    }
    if (*c == kQuote && item.empty() && !quoted) {
      quoted = true;
    } else {
      item.push_back(*c);
    }
    c = nextByte(file);
    if (!c || item.size() == static_cast<size_t>(maxItemLength)) {
      finishAfterItem(file, c);
      return item;
    }
  }
}

}  // namespace

std::string readItem(DataFile& file) {
  if (!file.isOpen()) return {};
  std::optional<char> c = nextByte(file);
  while (c && isBlank(*c)) c = nextByte(file);
  if (!c) return {};
  std::string item = collectItem(file, c);
  const size_t zero = item.find('\0');
  if (zero != std::string::npos) item.resize(zero);
  return item;
}

}  // namespace mvex
