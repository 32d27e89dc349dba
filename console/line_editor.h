#ifndef MVEX_CONSOLE_LINE_EDITOR_H_
#define MVEX_CONSOLE_LINE_EDITOR_H_

#include <string>
#include <string_view>

#include "console/screen_output.h"

namespace mvex {

/// The screen operations the line editor works with.
class EditorScreen {
 public:
  virtual ~EditorScreen() = default;
  /// The cursor position as the terminal reports it.
  virtual ScreenPosition position() = 0;
  /// Moves the cursor as the console's locate does.
  virtual void locate(int row, int column, int cursor) = 0;
  /// Writes bytes at the cursor as the console's print does.
  virtual void print(std::string_view text) = 0;
  /// Rings the bell.
  virtual void bell() = 0;
};

/// The screen position `d` text positions away from `from` when the text wraps at
/// `columns`; moving left from column 1 leads to the last column of the row above.
[[nodiscard]] ScreenPosition movedPosition(ScreenPosition from, int d, int columns);

/// Edits one line of text in place at the cursor: holds the text and the insertion point,
/// and redraws only what a key changes.
class LineEditor {
 public:
  /// An editor on `screen`, whose size is fixed at `rows` x `columns` for the whole line.
  LineEditor(EditorScreen& screen, int rows, int columns);

  /// Takes the cursor position the terminal reports as the cell of the insertion point.
  void syncPosition();

  /// Acts on one key in waitKey form; returns true when the key finished the line (Enter),
  /// with the cursor then behind the text.
  bool handleKey(int key);

  [[nodiscard]] const std::string& text() const { return text_; }
  [[nodiscard]] size_t insertionPoint() const { return n_; }

 private:
  void move(int d);
  void erase(size_t at, size_t count);
  void insert(std::string_view bytes);
  void finish();

  EditorScreen& screen_;
  int rows_;
  int columns_;
  std::string text_;
  size_t n_ = 0;
  ScreenPosition at_{1, 1};  ///< cursor (row, column) as last reported or moved to
};

/// Reads one line from the keyboard with in-place editing, after printing `prompt`
/// unchanged, and ends it with a line end. Returns the line exactly as typed (empty when
/// no key can come any more).
[[nodiscard]] std::string promptLine(std::string_view prompt);

}  // namespace mvex

#endif  // MVEX_CONSOLE_LINE_EDITOR_H_
