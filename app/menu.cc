#include "app/menu.h"

#include "app/dump.h"
#include "app/load.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "io/text.h"

namespace mvex {

namespace {

void showMenu(AppState& app, std::string_view text) {
  app.menuText = text;
  print(app.menuText);
  app.menuLength = static_cast<int32_t>(app.menuText.size());
}

/// The chosen key, upper-cased; a special key (low byte 255) matches no choice.
void takeChoice(AppState& app) { app.choiceKey = upperCase(charText(waitKey() & 0xFF)); }

void chooseQuit(AppState& app) {
  print(app.choiceKey);
  newLine();
  app.quitRequested = true;
}

}  // namespace

void endFailedStep(std::string_view message) {
  print(message);
  newLine();
  print("> ");
}

void fullMenu(AppState& app, Channels& channels) {
  app.savedColumn = cursorColumn();
  showMenu(app, "[[[ Load Dump Quit ]]] ");
  takeChoice(app);
  if (app.choiceKey == "Q") {
    chooseQuit(app);
  } else if (app.choiceKey == "L") {
    loadFile(app, channels);
  } else if (app.choiceKey == "D") {
    dumpCapture(app, channels);
  } else {
    locate(0, app.savedColumn, 1);
    print(blanks(app.menuLength));
    locate(0, app.savedColumn, 1);
  }
}

void shortMenu(AppState& app) {
  app.savedColumn = cursorColumn();
  newLine();
  showMenu(app, "[[[ Quit ]]] ");
  takeChoice(app);
  if (app.choiceKey == "Q") {
    chooseQuit(app);
    return;
  }
  locate(0, 1, 1);
  print(blanks(app.menuLength));
  locate(cursorRow() - 1, app.savedColumn, 1);
}

}  // namespace mvex
