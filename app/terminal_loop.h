#ifndef MVEX_APP_TERMINAL_LOOP_H_
#define MVEX_APP_TERMINAL_LOOP_H_

#include "app/app_state.h"

namespace mvex {

/// True when the last two non-zero bytes received were the board's prompt, ">" and a space.
bool promptSeen(const AppState& app);

/// Shows every byte waiting on the serial line, those arriving meanwhile included. A 0 byte is
/// dropped; any other byte becomes `lastChar` (the old one `prevChar`) and is printed.
void drainSerial(AppState& app, Channels& channels);

/// One pass of the terminal: drain the line, read one key, act on Esc (cancel an upload, or a
/// menu) or send the key to the board, advance a running upload by one byte, sleep `delayMs`
/// unless Quit was chosen.
void terminalPass(AppState& app, Channels& channels);

/// Runs terminal passes until the user chooses Quit.
void runTerminal(AppState& app, Channels& channels);

}  // namespace mvex

#endif  // MVEX_APP_TERMINAL_LOOP_H_
