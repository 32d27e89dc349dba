#include "app/load.h"

#include "app/menu.h"
#include "console/console.h"
#include "console/console_handover.h"
#include "console/line_editor.h"
#include "io/command.h"
#include "io/data_file.h"
#include "io/error_number.h"
#include "io/item_input.h"
#include "io/text.h"

namespace mvex {

namespace {

constexpr char kCr = 13;
constexpr char kLf = 10;

/// Reads the first item of the named file; false when the file cannot be opened.
bool readFirstItem(AppState& app, Channels& channels) {
  app.status = channels.file.openFile(app.fileName, OpenMode::input);
  if (app.status != 0) return false;
  app.firstItem = readItem(channels.file);
  (void)channels.file.closeFile();  // opened for reading only; nothing to lose
  return true;
}

void startHexUpload(AppState& app, Channels& channels) {
  app.status = channels.file.openFile(app.fileName, OpenMode::input);
  if (app.status != 0) return endFailedStep("Can't reopen file, that's weird...");
  app.uploading = true;
  app.resendPending = false;
}

void compileAndUpload(AppState& app, Channels& channels) {
  if (findText(1, app.fileName, " ") > 0)
    return endFailedStep("Spaces are not allowed when compiling.");
  print("Running ");
  print(app.compilerCommand);
  print(" to compile...");
  newLine();
  (void)deleteFile(app.tempFileName);  // whether the compile worked is judged by its output file
  ConsoleHandover terminal;
  app.status = runCommand(compileCommandLine(app), terminal);
  if (app.status == -1) return endFailedStep("Can't execute compiler.");
  app.status = channels.file.openFile(app.tempFileName, OpenMode::input);
  if (app.status != 0) return endFailedStep("Compile failed.");
  app.uploading = true;
  app.resendPending = false;
}

}  // namespace

std::string compileCommandLine(const AppState& app) {
  return app.compilerCommand + " " + shellQuote(app.fileName) + " " + shellQuote(app.tempFileName);
}

void loadFile(AppState& app, Channels& channels) {
  print(app.choiceKey);
  newLine();
  print("Hex or MVX file to load: ");
  app.fileName = trimBlanks(promptLine(""));
  if (app.fileName.empty()) return print("> ");
  if (!readFirstItem(app, channels)) return endFailedStep("File not found.");
  if (leftPart(app.firstItem, 5) == "0000:") return startHexUpload(app, channels);
  compileAndUpload(app, channels);
}

void uploadStep(AppState& app, Channels& channels) {
  if (!app.uploading) return;
  if (!app.resendPending) {
    if (channels.file.atEnd()) {
      (void)channels.file.closeFile();  // opened for reading only; nothing to lose
      app.uploading = false;
      return;
    }
    char byte = 0;
    int count = 0;
    (void)channels.file.readByte(byte, count);
    // A file that shrank since it was opened delivers no byte: nothing is sent for it.
    if (count == 0) return;
    app.currentByte = static_cast<int8_t>(byte);
    if (byte == kCr) return;
    if (byte == kLf) app.currentByte = kCr;
  }
  app.resendPending = channels.serial.writeText(charText(app.currentByte)) == kInputOutput;
}

void cancelUpload(AppState& app, Channels& channels) {
  newLine();
  print("Cancelling upload.");
  newLine();
  (void)channels.file.closeFile();  // opened for reading only; nothing to lose
  app.uploading = false;
  app.resendPending = false;
  const std::string cr(1, kCr);
  for (int i = 0; i < 3; ++i) (void)channels.serial.writeText(cr);  // the board resets its line
}

}  // namespace mvex
