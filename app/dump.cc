#include "app/dump.h"

#include <limits>

#include "app/menu.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "console/line_editor.h"
#include "io/data_file.h"
#include "io/text.h"

namespace mvex {

namespace {

constexpr int32_t kDroppedBytes = 3;
constexpr int kCapturePauseMs = 10;
constexpr char kEsc = 27;

void drawProgressBar(const AppState& app) {
  print("|");
  skipColumns(app.progressCells);
  print("|");
  locate(0, 2, 1);
}

/// Handles every byte waiting on the line while the capture goes on.
void captureWaiting(AppState& app, Channels& channels) {
  while (app.dumping && channels.serial.bytesWaiting() > 0) {
    char byte = 0;
    int count = 0;
    (void)channels.serial.readByte(byte, count);
    if (count == 0) return;  // the line failed; try again after the pause
    app.currentByte = static_cast<int8_t>(byte);
    switch (dumpStep(app.dumpCount, byte, app.charsPerMark)) {
      case DumpAction::kDropped:
        break;
      case DumpAction::kAccepted:
        (void)channels.file.writeText(charText(byte));  // failures are reported at close
        break;
      case DumpAction::kAcceptedWithMark:
        (void)channels.file.writeText(charText(byte));
        print("*");
        break;
      case DumpAction::kEnded:
        app.dumping = false;
        (void)channels.file.writeText("END", true);
        break;
    }
  }
}

/// The pause between capture passes: at most 10 ms, ended early when the board sends more, so a
/// fast line is captured as fast as it arrives while Esc is still read after every pass. A line
/// that reports something ready but brings no byte (the board side hung up) gets the whole
/// pause, so the capture never spins.
void capturePause(Channels& channels) {
  if (channels.serial.waitForBytes(kCapturePauseMs) && channels.serial.bytesWaiting() == 0) {
    sleepMs(kCapturePauseMs);
  }
}

void capture(AppState& app, Channels& channels) {
  app.dumping = true;
  app.dumpCount = 0;
  while (app.dumping) {
    app.currentByte = 0;
    captureWaiting(app, channels);
    capturePause(channels);
    app.choiceKey = readKey();
    if (app.choiceKey.size() == 1 && app.choiceKey[0] == kEsc) {
      newLine();
      print("Cancelling dump, displaying remaining output.");
      newLine();
      app.dumping = false;
      app.lastChar = 0;
    }
  }
}

}  // namespace

bool isHexTextByte(char byte) {
  return byte == ' ' || byte == ':' || byte == '\r' || byte == '\n' ||
         (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'F');
}

DumpAction dumpStep(int32_t& dumpCount, char byte, int32_t charsPerMark) {
  if (dumpCount < kDroppedBytes) {
    ++dumpCount;
    return DumpAction::kDropped;
  }
  if (!isHexTextByte(byte)) return DumpAction::kEnded;
  if (dumpCount == std::numeric_limits<int32_t>::max()) {
    // A capture has no length limit, but the count must not overflow: it goes back by whole
    // marks, so the marks keep their spacing and the count stays past the dropped bytes.
    const int32_t wholeMarks = charsPerMark > 0 ? (dumpCount - kDroppedBytes) / charsPerMark : 0;
    dumpCount = wholeMarks > 0 ? dumpCount - wholeMarks * charsPerMark : kDroppedBytes;
  }
  ++dumpCount;
  const bool mark = charsPerMark > 0 && dumpCount % charsPerMark == 0;
  return mark ? DumpAction::kAcceptedWithMark : DumpAction::kAccepted;
}

void dumpCapture(AppState& app, Channels& channels) {
  print(app.choiceKey);
  newLine();
  print("File to write hex bytes: ");
  app.fileName = trimBlanks(promptLine(""));
  if (app.fileName.empty()) return print("> ");
  app.status = channels.file.openFile(app.fileName, OpenMode::output);
  if (app.status != 0) return endFailedStep("Can't open that file for output.");
  print("Extracting and saving...");
  newLine();
  (void)channels.serial.writeText("Y");  // the board's request for its listing
  drawProgressBar(app);
  capture(app, channels);
  const bool complete = channels.file.closeFile() == 0;
  newLine();
  if (!complete) {
    print("Can't write the whole file.");
    newLine();
  }
  const bool cancelled = app.choiceKey.size() == 1 && app.choiceKey[0] == kEsc;
  if (app.currentByte != 0 && !cancelled) print(charText(app.currentByte));
}

}  // namespace mvex
