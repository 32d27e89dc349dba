// Fuzzes the line editor on a model terminal. The input picks the screen size and where the line
// starts, then gives keys in waitKey form (0xFF and a scan byte make one special key). After each
// key the insertion point lies within the text, the text is exactly what the keys typed (checked
// against a plain model of the editing rules), only Enter ends the line, and while the whole line
// is on the screen every cell the editor moves to is on the screen, the screen shows the text
// from where the line began, and the cursor stands on the insertion point. An editor given no
// screen size never scrolls.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "console/line_editor.h"
#include "fuzz/fuzz_check.h"

namespace mvex {
namespace {

constexpr int kHome = 0x47FF, kEnd = 0x4FFF, kLeft = 0x4BFF, kRight = 0x4DFF;
constexpr int kUp = 0x48FF, kDown = 0x50FF, kDelete = 0x53FF;

// A terminal with automatic margins: the cursor waits at the last column until the next byte
// wraps it, the bottom row scrolls, LF goes to column 1 of the next row. locate acts as the
// console's does: 0 keeps a coordinate, an invalid position keeps both.
class ModelScreen final : public EditorScreen {
 public:
  // `checkMoves`: the editor knows this screen's size, so its moves must stay on it.
  ModelScreen(int rows, int columns, ScreenPosition start, bool checkMoves)
      : rows_(rows),
        columns_(columns),
        cells_(rows, std::string(columns, ' ')),
        at_(start),
        lineStart_(start),
        checkMoves_(checkMoves) {}

  ScreenPosition position() override { return at_; }
  void locate(int row, int column, int /*cursor*/) override {
    if (row == 0 && column == 0) return;
    if (checkMoves_ && lineOnScreen())
      MVEX_FUZZ_CHECK(row >= 1 && row <= rows_ && column >= 1 && column <= columns_);
    const bool rowValid = row == 0 || (row >= 1 && row <= rows_);
    const bool columnValid = column == 0 || (column >= 1 && column <= columns_);
    if (!rowValid || !columnValid) return;
    if (row != 0) at_.row = row;
    if (column != 0) at_.column = column;
    pendingWrap_ = false;
  }
  void print(std::string_view text) override {
    // A line end scrolls the bottom row, which an editor that knows no screen size cannot tell.
    if (!checkMoves_) MVEX_FUZZ_CHECK(text.find('\n') == std::string_view::npos);
    for (const char c : text) put(c);
  }
  void bell() override {}

  // True while no row of the line has scrolled off the top.
  bool lineOnScreen() const { return lineStart_.row >= 1; }
  ScreenPosition lineStart() const { return lineStart_; }
  ScreenPosition cursor() const { return at_; }
  char cell(ScreenPosition at) const { return cells_[at.row - 1][at.column - 1]; }

 private:
  void lineFeed() {
    at_.column = 1;
    pendingWrap_ = false;
    if (at_.row < rows_) {
      ++at_.row;
      return;
    }
    cells_.erase(cells_.begin());
    cells_.emplace_back(columns_, ' ');
    --lineStart_.row;
  }
  void put(char c) {
    if (c == '\n') return lineFeed();
    if (pendingWrap_) lineFeed();
    cells_[at_.row - 1][at_.column - 1] = c;
    if (at_.column < columns_) {
      ++at_.column;
    } else {
      pendingWrap_ = true;
    }
  }

  int rows_;
  int columns_;
  std::vector<std::string> cells_;
  ScreenPosition at_;
  ScreenPosition lineStart_;
  bool checkMoves_;
  bool pendingWrap_ = false;
};

// The editing rules on the text and insertion point alone.
struct TextModel {
  std::string text;
  size_t n = 0;

  void apply(int key, int columns) {
    const size_t step = columns > 0 ? static_cast<size_t>(columns) : 0;
    if (key == 8 && n > 0) {
      text.erase(--n, 1);
    } else if (key == kDelete && n < text.size()) {
      text.erase(n, 1);
    } else if (key == 27) {
      text.clear();
      n = 0;
    } else if (key == kLeft && n > 0) {
      --n;
    } else if (key == kRight && n < text.size()) {
      ++n;
    } else if (key == kHome) {
      n = 0;
    } else if (key == kEnd) {
      n = text.size();
    } else if (key == kUp && n >= step) {
      n -= step;
    } else if (key == kDown && n + step <= text.size()) {
      n += step;
    } else if (key == 9) {
      const size_t k = 8 - n % 8;
      text.insert(n, k, ' ');
      n += k;
    } else if (key >= 32 && key <= 255) {
      text.insert(n, 1, static_cast<char>(key));
      ++n;
    }
  }
};

// While the line is on the screen: its text stands from the line's first cell on, and the
// cursor on the cell of the insertion point.
void checkScreen(const ModelScreen& screen, const TextModel& model, int columns) {
  if (!screen.lineOnScreen()) return;
  for (size_t i = 0; i < model.text.size(); ++i) {
    const ScreenPosition at = movedPosition(screen.lineStart(), static_cast<int>(i), columns);
    MVEX_FUZZ_CHECK(screen.cell(at) == model.text[i]);
  }
  const ScreenPosition expected =
      movedPosition(screen.lineStart(), static_cast<int>(model.n), columns);
  MVEX_FUZZ_CHECK(screen.cursor().row == expected.row && screen.cursor().column == expected.column);
}

int nextKey(FuzzedDataProvider& provider) {
  const int byte = provider.ConsumeIntegral<uint8_t>();
  if (byte != 0xFF || provider.remaining_bytes() == 0) return byte;
  return 255 + 256 * provider.ConsumeIntegral<uint8_t>();
}

}  // namespace
}  // namespace mvex

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace mvex;
  FuzzedDataProvider provider(data, size);
  const int rows = provider.ConsumeIntegralInRange<int>(1, 12);
  const int columns = provider.ConsumeIntegralInRange<int>(1, 24);
  const ScreenPosition start{provider.ConsumeIntegralInRange<int>(1, rows),
                             provider.ConsumeIntegralInRange<int>(1, columns)};
  // A terminal that reports no size (a pseudo-terminal never given one says 0 x 0) leaves the
  // editor without one; the text must come out right all the same.
  const bool sizeKnown = provider.ConsumeBool();
  const int editorColumns = sizeKnown ? columns : 0;
  ModelScreen screen(rows, columns, start, sizeKnown);
  LineEditor editor(screen, sizeKnown ? rows : 0, editorColumns);
  TextModel model;
  while (provider.remaining_bytes() > 0) {
    const int key = nextKey(provider);
    editor.syncPosition();
    const bool ended = editor.handleKey(key);
    MVEX_FUZZ_CHECK(ended == (key == 13 || key == 10));
    if (ended)
      model.n = model.text.size();
    else
      model.apply(key, editorColumns);
    MVEX_FUZZ_CHECK(editor.insertionPoint() <= editor.text().size());
    MVEX_FUZZ_CHECK(editor.text() == model.text);
    MVEX_FUZZ_CHECK(editor.insertionPoint() == model.n);
    if (sizeKnown) checkScreen(screen, model, columns);
    if (ended) break;
  }
  return 0;
}
