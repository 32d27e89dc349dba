#include "app/terminal_loop.h"

#include "app/load.h"
#include "app/menu.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "io/text.h"

namespace mvex {

namespace {

constexpr char kEsc = 27;

bool isEscKey(const KeyString& key) { return key.size() == 1 && key[0] == kEsc; }

}  // namespace

bool promptSeen(const AppState& app) { return app.prevChar == '>' && app.lastChar == ' '; }

void drainSerial(AppState& app, Channels& channels) {
  while (channels.serial.bytesWaiting() != 0) {
    char byte = 0;
    int count = 0;
    // A read that brings nothing (the line failed) ends this drain rather than spinning on it.
    (void)channels.serial.readByte(byte, count);
    if (count == 0) break;
    app.currentByte = static_cast<int8_t>(byte);
    if (byte == 0) continue;
    app.prevChar = app.lastChar;
    app.lastChar = app.currentByte;
    print(std::string_view(&byte, 1));
  }
}

void terminalPass(AppState& app, Channels& channels) {
  drainSerial(app, channels);
  app.typedKey = readKey();
  if (isEscKey(app.typedKey)) {
    if (app.uploading) {
      cancelUpload(app, channels);
    } else if (promptSeen(app)) {
      fullMenu(app, channels);
    } else {
      shortMenu(app);
    }
  } else if (!app.uploading) {
    // An empty key sends nothing; a special key goes out as its two bytes.
    (void)channels.serial.writeText(app.typedKey);
  }
  uploadStep(app, channels);
  // Once Quit is chosen nothing is left to pace; a long delay would only hold up the end.
  if (!app.quitRequested) sleepMs(app.delayMs);
}

void runTerminal(AppState& app, Channels& channels) {
  while (!app.quitRequested) terminalPass(app, channels);
}

}  // namespace mvex
