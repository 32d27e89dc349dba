#ifndef MVEX_CONSOLE_CONSOLE_H_
#define MVEX_CONSOLE_CONSOLE_H_

#include <string_view>

#include "console/screen_output.h"

namespace mvex {

/// Takes the terminal over: raw key input from "/dev/tty", the start sequences, the fatal-
/// signal and window-size handlers, the screen size and cursor position. When the terminal
/// cannot be taken over (TERM unset or unknown, no automatic margins, not a terminal, not in
/// the foreground) the console stays in plain mode and the terminal is left as it was.
void openConsole();

/// Gives the terminal back as it was found and switches to plain mode; nothing in plain mode.
void closeConsole();

/// Gives the terminal back as closeConsole does, keeping the mode for resumeConsole.
void suspendConsole();

/// Takes the terminal over again after suspendConsole. When that fails the console goes to
/// plain mode, with the terminal left as suspendConsole gave it back.
void resumeConsole();

/// Writes `text` at the cursor; control bytes BS, FF, SO, SI and ESC show as glyphs, 0 as a
/// space (plain mode: unchanged). Output failures are ignored.
void print(std::string_view text);

/// Writes one line end through print.
void newLine();

/// Moves the cursor `n` columns right without writing in the skipped cells; past the last
/// column a line end is written first.
void skipColumns(int n);

/// Moves the cursor to (`row`, `column`), 1-based; 0 keeps that coordinate, an invalid
/// position keeps both. `cursor` 1 shows the cursor, 0 hides it, -1 leaves it.
void locate(int row, int column, int cursor);

/// The cursor row as the terminal reports it, else as tracked; 0 in plain mode.
[[nodiscard]] int cursorRow();

/// The cursor column as the terminal reports it, else as tracked; 0 in plain mode.
[[nodiscard]] int cursorColumn();

/// The cursor position as the terminal reports it, else as tracked; (0, 0) in plain mode.
[[nodiscard]] ScreenPosition cursorPosition();

/// The screen size as last learned (24 x 80 in plain mode).
[[nodiscard]] int screenRows();
[[nodiscard]] int screenColumns();

/// Whether the cursor was last made visible.
[[nodiscard]] bool cursorShown();

/// Rings the terminal's bell (its `bl` capability); nothing when absent or in plain mode.
void ringBell();

/// Opens the console for its lifetime and closes it at its end. Declared first in main, so
/// that everything declared after it is closed before the terminal is given back.
class ConsoleSession {
 public:
  ConsoleSession();
  ~ConsoleSession();
  ConsoleSession(const ConsoleSession&) = delete;
  ConsoleSession& operator=(const ConsoleSession&) = delete;
};

}  // namespace mvex

#endif  // MVEX_CONSOLE_CONSOLE_H_
