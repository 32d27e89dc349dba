#ifndef MVEX_TOOLS_BOARD_BOARD_SERVER_H_
#define MVEX_TOOLS_BOARD_BOARD_SERVER_H_

#include <signal.h>

#include <csignal>

#include "tools/board/board_line.h"
#include "tools/board/board_logic.h"
#include "tools/board/board_options.h"
#include "tools/board/receive_log.h"

namespace mvex {

/// The flags the signal handlers of the board set: `stop` ends the service, `reset` presses the
/// reset switch. Whoever serves clears `reset` when it has acted on it.
struct BoardSignalFlags {
  volatile std::sig_atomic_t* stop;
  volatile std::sig_atomic_t* reset;
};

/// Serves an open line: waits until the other side opens it, sends the greeting about 300 ms
/// later (unless options.quiet), then feeds every received byte to `logic` and `log`, sends the
/// answers, and sends XOFF/XON pauses when options.xoffEvery is set. When the other side closes
/// the line, queued output is dropped and the board waits for the next open, or returns 0 with
/// options.exitOnClose. Returns 0 when *flags.stop is set, or kInputOutput when the line or the
/// log fails. The signals that set the flags must be blocked by the caller; they are let through
/// only while waiting, with the mask `waitMask`.
[[nodiscard]] int serveBoard(BoardLine& line, BoardLogic& logic, ReceiveLog& log,
                             const BoardOptions& options, const BoardSignalFlags& flags,
                             const sigset_t& waitMask);

}  // namespace mvex

#endif  // MVEX_TOOLS_BOARD_BOARD_SERVER_H_
