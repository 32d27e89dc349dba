#include <algorithm>

#include "console/console.h"
#include "console/console_state.h"
#include "console/screen_output.h"
#include "console/termcap.h"
#include "console/terminal_query.h"

namespace mvex {
namespace {

constexpr int kPlainRows = 24;
constexpr int kPlainColumns = 80;

bool plain(const ConsoleState& state) { return state.mode == ConsoleMode::kPlain; }

// The cursor position as the terminal reports it, else as tracked.
ScreenPosition currentPosition(const ConsoleState& state) {
  if (std::optional<QueryAnswer> answer = queryTerminal(QueryKind::kPosition)) {
    return {answer->first, answer->second};
  }
  return {state.trackedRow, state.trackedColumn};
}

void fixTextView(ConsoleState& state) {
  if (state.viewFirst != 0) return;
  state.viewFirst = 1;
  state.viewLast = state.rows == 0 ? 25 : state.rows;
}

// The motion to (row, column), each 0 to keep that coordinate; an invalid position keeps both.
std::string cursorMotion(ConsoleState& state, int row, int column) {
  const bool rowValid = row == 0 || (row >= state.viewFirst && row <= state.viewLast);
  const bool columnValid = column == 0 || (column >= 1 && column <= state.columns);
  if (!rowValid || !columnValid) {
    row = 0;
    column = 0;
  }
  if (row == 0 || column == 0) {
    const ScreenPosition at = currentPosition(state);
    if (row == 0) row = at.row;
    if (column == 0) column = at.column;
  }
  state.trackedRow = std::min(row, state.rows);
  state.trackedColumn = std::min(column, state.columns);
  return expandCapability(state.caps.cm, column - 1, row - 1);
}

}  // namespace

void print(std::string_view text) {
  serviceWindowChange();
  ConsoleState& state = consoleState();
  if (plain(state)) {
    writeOut(text);
    return;
  }
  // One write per call for ordinary lengths; longer texts go out in chunks of this size.
  char buffer[2048];
  size_t used = 0;
  for (const char c : text) {
    if (used + kMaxEncodedByte > sizeof buffer) {
      writeOut(std::string_view(buffer, used));
      used = 0;
    }
    used += encodeScreenByte(static_cast<unsigned char>(c), buffer + used);
  }
  writeOut(std::string_view(buffer, used));
  const ScreenPosition at =
      advancePosition({state.trackedRow, state.trackedColumn}, text, state.rows, state.columns);
  state.trackedRow = at.row;
  state.trackedColumn = at.column;
}

void newLine() { print("\n"); }

void skipColumns(int n) {
  if (n == 0) return;
  serviceWindowChange();
  const ConsoleState& state = consoleState();
  const int columns = plain(state) ? kPlainColumns : state.columns;
  const int column = plain(state) ? 0 : currentPosition(state).column;
  int target = column + n;
  if (target > columns) {
    newLine();
    // A screen reported as 0 columns wide has no column to go to.
    target = columns > 0 ? target % columns : 0;
  }
  locate(0, target, -1);
}

void locate(int row, int column, int cursor) {
  serviceWindowChange();
  ConsoleState& state = consoleState();
  if (plain(state)) return;
  fixTextView(state);
  // (0, 0) keeps the cursor where it is: only its visibility changes, and the terminal need
  // not be asked where that is.
  std::string bytes = row == 0 && column == 0 ? "" : cursorMotion(state, row, column);
  if (cursor == 0) bytes += plainCapability(state.caps.vi);
  if (cursor == 1) bytes += plainCapability(state.caps.ve);
  if (cursor == 0 || cursor == 1) state.cursorShown = cursor == 1;
  writeOut(bytes);
}

int cursorRow() {
  serviceWindowChange();
  const ConsoleState& state = consoleState();
  return plain(state) ? 0 : currentPosition(state).row;
}

int cursorColumn() {
  serviceWindowChange();
  const ConsoleState& state = consoleState();
  return plain(state) ? 0 : currentPosition(state).column;
}

ScreenPosition cursorPosition() {
  serviceWindowChange();
  const ConsoleState& state = consoleState();
  return plain(state) ? ScreenPosition{0, 0} : currentPosition(state);
}

int screenRows() {
  serviceWindowChange();
  const ConsoleState& state = consoleState();
  return plain(state) ? kPlainRows : state.rows;
}

int screenColumns() {
  serviceWindowChange();
  const ConsoleState& state = consoleState();
  return plain(state) ? kPlainColumns : state.columns;
}

bool cursorShown() { return consoleState().cursorShown; }

void ringBell() {
  const ConsoleState& state = consoleState();
  if (!plain(state)) writeOut(plainCapability(state.caps.bl));
}

}  // namespace mvex
