#include "console/line_editor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mvex {
namespace {

// A small terminal with automatic margins: a grid of cells, a cursor that waits at the last
// column until the next byte wraps it, scrolling at the bottom, LF as CR LF.
class GridScreen final : public EditorScreen {
 public:
  GridScreen(int rows, int columns)
      : rows_(rows), columns_(columns), cells_(rows, std::string(columns, ' ')) {}

  ScreenPosition position() override { return {row_, column_}; }
  void locate(int row, int column, int /*cursor*/) override {
    if (row >= 1 && row <= rows_ && column >= 1 && column <= columns_) {
      row_ = row;
      column_ = column;
      pendingWrap_ = false;
    }
  }
  void print(std::string_view text) override {
    for (const char c : text) put(c);
  }
  void bell() override { ++bells_; }

  std::string rowText(int row) const {
    const std::string& cells = cells_[row - 1];
    return cells.substr(0, cells.find_last_not_of(' ') + 1);
  }
  int bells() const { return bells_; }

 private:
  void lineFeed() {
    column_ = 1;
    pendingWrap_ = false;
    if (row_ < rows_) {
      ++row_;
      return;
    }
    cells_.erase(cells_.begin());
    cells_.emplace_back(columns_, ' ');
  }
  void put(char c) {
    if (c == '\n') {
      lineFeed();
      return;
    }
    if (pendingWrap_) lineFeed();
    cells_[row_ - 1][column_ - 1] = c;
    if (column_ < columns_) {
      ++column_;
    } else {
      pendingWrap_ = true;
    }
  }

  int rows_;
  int columns_;
  std::vector<std::string> cells_;
  int row_ = 1;
  int column_ = 1;
  bool pendingWrap_ = false;
  int bells_ = 0;
};

constexpr int kLeft = 0x4BFF;
constexpr int kRight = 0x4DFF;
constexpr int kHome = 0x47FF;
constexpr int kEnd = 0x4FFF;
constexpr int kUp = 0x48FF;
constexpr int kDown = 0x50FF;
constexpr int kDelete = 0x53FF;

// Runs the editor over `keys` (Enter is appended) as promptLine does.
std::string edit(GridScreen& screen, int rows, int columns, const std::vector<int>& keys) {
  LineEditor editor(screen, rows, columns);
  for (const int key : keys) {
    editor.syncPosition();
    EXPECT_FALSE(editor.handleKey(key));
  }
  editor.syncPosition();
  EXPECT_TRUE(editor.handleKey(13));
  return editor.text();
}

std::vector<int> typed(std::string_view text) { return std::vector<int>(text.begin(), text.end()); }

TEST(LineEditorTest, EditsTheLineAsTheKeysSay) {
  const struct {
    const char* name;
    std::vector<int> keys;
    std::string text;
    std::string shown;
  } kCases[] = {
      {"home then insert", {'a', 'b', 'c', kHome, 'x'}, "xabc", "> xabc"},
      {"backspace in the middle", {'a', 'b', 'c', kLeft, kLeft, 8}, "bc", "> bc"},
      {"escape clears", {'a', 'b', 'c', 27, 'd'}, "d", "> d"},
      {"tab first", {9, 'x'}, "        x", ">         x"},
      {"tab after three", {'a', 'b', 'c', 9, 'x'}, "abc     x", "> abc     x"},
      {"delete in the middle", {'a', 'b', 'c', kHome, kDelete}, "bc", "> bc"},
      {"end then type", {'a', 'b', kHome, kEnd, 'c'}, "abc", "> abc"},
      {"right past the end", {'a', kLeft, kRight, kRight, 'b'}, "ab", "> ab"},
      {"enter alone", {}, "", ">"},
      {"spaces kept", typed("  a, \"b\"  "), "  a, \"b\"  ", ">   a, \"b\""},
      {"keys without action", {1, 0x52FF, 0x3BFF, 'a'}, "a", "> a"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    GridScreen screen(6, 20);
    screen.print("> ");
    EXPECT_EQ(c.text, edit(screen, 6, 20, c.keys));
    EXPECT_EQ(c.shown, screen.rowText(1));
    EXPECT_EQ(0, screen.bells());
  }
}

TEST(LineEditorTest, DeleteAtTheEndRingsTheBellAndChangesNothing) {
  GridScreen screen(6, 20);
  EXPECT_EQ("ab", edit(screen, 6, 20, {'a', 'b', kDelete}));
  EXPECT_EQ(1, screen.bells());
  EXPECT_EQ("ab", screen.rowText(1));
}

TEST(LineEditorTest, WrapsLongLinesAndMovesByScreenRows) {
  GridScreen screen(6, 10);
  screen.print("> ");
  // 12 bytes from column 3 fill row 1 and 4 cells of row 2; Up goes back 10, then inserts.
  std::vector<int> keys = typed("abcdefghijkl");
  keys.push_back(kUp);
  keys.push_back('X');
  keys.push_back(kUp);  // fewer than 10 bytes precede the insertion point: nothing
  keys.push_back(kDown);
  keys.push_back('Y');
  EXPECT_EQ("abXcdefghijklY", edit(screen, 6, 10, keys));
  EXPECT_EQ("> abXcdefg", screen.rowText(1));
  EXPECT_EQ("hijklY", screen.rowText(2));
}

TEST(LineEditorTest, TypingAtTheLastCellOfTheBottomRowScrolls) {
  GridScreen screen(3, 10);
  screen.print("1\n2\n> ");
  EXPECT_EQ("abcdefghij", edit(screen, 3, 10, typed("abcdefghij")));
  EXPECT_EQ("2", screen.rowText(1));
  EXPECT_EQ("> abcdefgh", screen.rowText(2));
  EXPECT_EQ("ij", screen.rowText(3));
}

TEST(LineEditorTest, InsertingBeforeTextThatReachesTheBottomKeepsTheCursorOnItsByte) {
  GridScreen screen(3, 10);
  screen.print("1\n2\n");
  EXPECT_EQ(
      "aXbcdefghij",
      edit(screen, 3, 10, {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', kHome, kRight, 'X'}));
  EXPECT_EQ("aXbcdefghi", screen.rowText(2));
  EXPECT_EQ("j", screen.rowText(3));
}

TEST(LineEditorTest, InsertingThatScrollsPastTheBottomToTheMarginKeepsTheCursorOnItsByte) {
  // The printed text ends at the right margin of the bottom row after scrolling, where the
  // terminal reports the last cell instead of the cell behind the text.
  const struct {
    const char* name;
    std::vector<int> keys;
    std::string text;
    std::string row3;
    std::string row4;
  } kCases[] = {
      {"tab at the end", {9, 'x', 'y'}, "        xy", "", "xy"},
      {"tab before text", {'a', 'b', 'c', 'd', kHome, 9, 'X'}, "        Xabcd", "Xabc", "d"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    GridScreen screen(4, 4);
    screen.print("\n\n\n");
    EXPECT_EQ(c.text, edit(screen, 4, 4, c.keys));
    EXPECT_EQ(c.row3, screen.rowText(3));
    EXPECT_EQ(c.row4, screen.rowText(4));
  }
}

TEST(LineEditorTest, WithoutAScreenSizeTypingInTheTopLeftCellWritesNoLineEnds) {
  // A terminal that was never given a size reports 0 rows and 0 columns; the editor has no
  // bottom row to scroll then, and the line stays on the row it began on.
  GridScreen screen(6, 20);
  EXPECT_EQ("abc     def", edit(screen, 0, 0, typed("abc\tdef")));
  EXPECT_EQ("", screen.rowText(2));
}

TEST(LineEditorTest, ScreenPositionsWrapBothWays) {
  const struct {
    ScreenPosition from;
    int d;
    ScreenPosition to;
  } kCases[] = {
      {{5, 1}, 0, {5, 1}},   {{5, 1}, -1, {4, 80}},  {{5, 80}, 1, {6, 1}},    {{5, 3}, 80, {6, 3}},
      {{5, 3}, -80, {4, 3}}, {{5, 3}, -162, {3, 1}}, {{5, 10}, 200, {7, 50}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.d);
    const ScreenPosition to = movedPosition(c.from, c.d, 80);
    EXPECT_EQ(c.to.row, to.row);
    EXPECT_EQ(c.to.column, to.column);
  }
}

}  // namespace
}  // namespace mvex
