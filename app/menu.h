#ifndef MVEX_APP_MENU_H_
#define MVEX_APP_MENU_H_

#include <string_view>

#include "app/app_state.h"

namespace mvex {

/// Ends a Load or Dump step that failed: the message on a line of its own, then "> " without a
/// line end, so that the board's prompt stands on the screen again.
void endFailedStep(std::string_view message);

/// The menu at the board's prompt, "[[[ Load Dump Quit ]]] ", on the current line. Waits for one
/// key: Q quits, L loads, D dumps; any other key blanks the menu and puts the cursor back.
void fullMenu(AppState& app, Channels& channels);

/// The menu anywhere else, "[[[ Quit ]]] ", at the start of a new line. Q quits; any other key
/// blanks the menu line and puts the cursor back on the line and column it had.
void shortMenu(AppState& app);

}  // namespace mvex

#endif  // MVEX_APP_MENU_H_
