#include "console/screen_output.h"

#include <algorithm>

namespace mvex {

size_t encodeScreenByte(unsigned char byte, char* out) {
  switch (byte) {
    case 0:
      out[0] = ' ';
      return 1;
    case 8:
    case 12:
    case 14:
    case 15:
    case 27: {
      // UTF-8 mode on, the code point U+F000 + byte (shown from the console font), mode off.
      const char glyph[kMaxEncodedByte] = {
          '\x1b', '%', 'G', '\xef', '\x80', static_cast<char>(byte | 0x80), '\x1b', '%', '@'};
      std::copy(glyph, glyph + kMaxEncodedByte, out);
      return kMaxEncodedByte;
    }
    default:
      out[0] = static_cast<char>(byte);
      return 1;
  }
}

ScreenPosition advancePosition(ScreenPosition from, std::string_view text, int rows, int columns) {
  ScreenPosition at = from;
  for (const char c : text) {
    ++at.column;
    if (c == '\n' || at.column > columns) {
      at.column = 1;
      at.row = std::min(at.row + 1, std::max(rows, 1));
    }
  }
  return at;
}

}  // namespace mvex
