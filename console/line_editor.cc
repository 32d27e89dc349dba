#include "console/line_editor.h"

#include <chrono>
#include <thread>

#include "console/console.h"
#include "console/console_state.h"
#include "console/keyboard.h"

namespace mvex {
namespace {

constexpr auto kKeyTestInterval = std::chrono::milliseconds(25);

constexpr int kEnter = 13;
constexpr int kLineFeed = 10;
constexpr int kBackspace = 8;
constexpr int kTab = 9;
constexpr int kEscape = 27;

// Floor division and modulo, rounding towards minus infinity.
int floorDiv(int a, int b) { return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0); }

// The console itself, as the editor's screen.
class ConsoleScreen final : public EditorScreen {
 public:
  ScreenPosition position() override { return cursorPosition(); }
  void locate(int row, int column, int cursor) override { mvex::locate(row, column, cursor); }
  void print(std::string_view text) override { mvex::print(text); }
  void bell() override { ringBell(); }
};

// False once no key can arrive any more (plain mode, or the terminal hung up).
bool keysCanArrive() {
  const ConsoleState& state = consoleState();
  return state.takenOver && !(state.ttyAtEnd && state.pendingInput.empty());
}

// Waits for the next key in waitKey form; -1 when none can come.
int nextKey() {
  for (;;) {
    while (!keyWaiting()) {
      if (!keysCanArrive()) return -1;
      std::this_thread::sleep_for(kKeyTestInterval);
    }
    const KeyString key = readKey();
    if (key.size() == 2) return 255 + 256 * static_cast<unsigned char>(key[1]);
    if (key.size() == 1) return static_cast<unsigned char>(key[0]);
  }
}

// Plain mode has no key input of its own: the line is read from standard input as it comes.
std::string readPlainLine() {
  std::string line;
  for (int key = waitKey(); key >= 0 && key != kLineFeed && key != kEnter; key = waitKey()) {
    line.push_back(static_cast<char>(key));
  }
  return line;
}

}  // namespace

ScreenPosition movedPosition(ScreenPosition from, int d, int columns) {
  if (columns <= 0) return from;
  const int offset = from.column - 1 + d;
  const int wrapped = offset - floorDiv(offset, columns) * columns;
  return {from.row + floorDiv(offset, columns), wrapped + 1};
}

LineEditor::LineEditor(EditorScreen& screen, int rows, int columns)
    : screen_(screen), rows_(rows), columns_(columns) {}

void LineEditor::syncPosition() { at_ = screen_.position(); }

void LineEditor::move(int d) {
  at_ = movedPosition(at_, d, columns_);
  if (rows_ > 0 && at_.row == rows_ + 1 && at_.column == 1) {
    // The text has just filled the bottom row: a line end scrolls and starts the next row. A
    // terminal that reports no size has no bottom row to fill.
    screen_.locate(rows_, columns_, -1);
    screen_.print("\n");
    at_ = {rows_, 1};
    return;
  }
  screen_.locate(at_.row, at_.column, -1);
}

void LineEditor::erase(size_t at, size_t count) {
  screen_.locate(0, 0, 0);
  text_.erase(at, count);
  screen_.print(std::string_view(text_).substr(at));
  screen_.print(std::string(count, ' '));
  screen_.locate(at_.row, at_.column, -1);
}

void LineEditor::insert(std::string_view bytes) {
  screen_.locate(0, 0, 0);
  ScreenPosition cell = at_;
  text_.insert(n_, bytes);
  const std::string_view shown = std::string_view(text_).substr(n_);
  screen_.print(shown);
  // A last byte printed below the bottom row scrolled the screen, and the insertion cell with
  // it, by that many rows. The cursor the terminal reports cannot tell this: behind a text that
  // ends at the right margin it still stands on the last cell.
  const ScreenPosition last = movedPosition(cell, static_cast<int>(shown.size()) - 1, columns_);
  if (rows_ > 0 && last.row > rows_) cell.row -= last.row - rows_;
  at_ = cell;
  move(static_cast<int>(bytes.size()));
  n_ += bytes.size();
}

void LineEditor::finish() {
  syncPosition();
  move(static_cast<int>(text_.size() - n_));
  n_ = text_.size();
}

bool LineEditor::handleKey(int key) {
  const int length = static_cast<int>(text_.size());
  const int n = static_cast<int>(n_);
  switch (key) {
    case kEnter:
    case kLineFeed:
      finish();
      return true;
    case kBackspace:
      if (n > 0) {
        --n_;
        move(-1);
        erase(n_, 1);
      }
      return false;
    case 0x53FF:  // Delete
      if (n < length) {
        erase(n_, 1);
      } else {
        screen_.bell();
      }
      return false;
    case kEscape:
      move(-n);
      n_ = 0;
      if (length > 0) erase(0, text_.size());
      return false;
    case 0x4BFF:  // Cursor left
      if (n > 0) {
        --n_;
        move(-1);
      }
      return false;
    case 0x4DFF:  // Cursor right
      if (n < length) {
        ++n_;
        move(1);
      }
      return false;
    case 0x47FF:  // Home
      move(-n);
      n_ = 0;
      return false;
    case 0x4FFF:  // End
      move(length - n);
      n_ = text_.size();
      return false;
    case 0x48FF:  // Cursor up: one screen row back within the text
      if (n >= columns_) {
        move(-columns_);
        n_ -= static_cast<size_t>(columns_);
      }
      return false;
    case 0x50FF:  // Cursor down
      if (n + columns_ <= length) {
        move(columns_);
        n_ += static_cast<size_t>(columns_);
      }
      return false;
    case kTab:
      insert(std::string(static_cast<size_t>(8 - n % 8), ' '));
      return false;
    default:
      if (key >= 32 && key <= 255) insert(std::string(1, static_cast<char>(key)));
      return false;
  }
}

std::string promptLine(std::string_view prompt) {
  if (!prompt.empty()) print(prompt);
  if (consoleState().mode == ConsoleMode::kPlain) return readPlainLine();
  const bool shownBefore = cursorShown();
  ConsoleScreen screen;
  LineEditor editor(screen, screenRows(), screenColumns());
  locate(0, 0, 0);
  locate(0, 0, 1);
  for (;;) {
    editor.syncPosition();
    const int key = nextKey();
    // A terminal that hung up ends the line with what was typed.
    if (key < 0 || editor.handleKey(key)) break;
    locate(0, 0, 1);
  }
  locate(0, 0, shownBefore ? 1 : 0);
  newLine();
  return editor.text();
}

}  // namespace mvex
