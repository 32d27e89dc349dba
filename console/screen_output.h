#ifndef MVEX_CONSOLE_SCREEN_OUTPUT_H_
#define MVEX_CONSOLE_SCREEN_OUTPUT_H_

#include <cstddef>
#include <string_view>

namespace mvex {

/// The longest encoding of one byte: the glyph sequence of a control byte.
inline constexpr size_t kMaxEncodedByte = 9;

/// Writes into `out` (room for kMaxEncodedByte bytes) what the screen receives for `byte`:
/// a space for 0, the glyph sequence ESC "%G" EF 80 (byte|80) ESC "%@" for BS, FF, SO, SI and
/// ESC, the byte itself otherwise. Returns the number of bytes written.
size_t encodeScreenByte(unsigned char byte, char* out);

/// A 1-based screen position.
struct ScreenPosition {
  int row;
  int column;
};

/// The position after `text` was printed at `from` on a screen of `rows` x `columns`: each
/// byte advances one column; LF, or passing the last column, goes to column 1 of the next
/// row, never below the last row.
[[nodiscard]] ScreenPosition advancePosition(ScreenPosition from, std::string_view text, int rows,
                                             int columns);

}  // namespace mvex

#endif  // MVEX_CONSOLE_SCREEN_OUTPUT_H_
