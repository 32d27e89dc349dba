#include "tools/board/board_server.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "io/error_number.h"

namespace mvex {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The terminal discards what waits on the line right after it opens it; the greeting waits
// this long so that it is not discarded with the rest.
constexpr milliseconds kGreetingDelay{300};
// How often a line nobody holds open is looked at again.
constexpr milliseconds kClosedLineInterval{20};
constexpr milliseconds kLongestWait{1000};
constexpr char kXoff = 0x13;
constexpr char kXon = 0x11;

class BoardServer {
 public:
  BoardServer(BoardLine& line, BoardLogic& logic, ReceiveLog& log, const BoardOptions& options,
              const BoardSignalFlags& flags, const sigset_t& waitMask)
      : line_(line),
        logic_(logic),
        log_(log),
        options_(options),
        flags_(flags),
        waitMask_(waitMask) {}

  int run() {
    while (*flags_.stop == 0) {
      short events = 0;
      bool interrupted = false;
      if (waitForLine(events, interrupted) != kSuccess) return kInputOutput;
      if (interrupted) continue;
      // The first bytes of a newly opened line already count towards the XOFF pauses.
      if (!open_ && (events & (POLLHUP | POLLERR)) == 0) lineOpened();
      if ((events & POLLIN) != 0 && !receive()) events |= POLLHUP;
      if (logFailed_) return kInputOutput;
      if ((events & (POLLHUP | POLLERR)) != 0) {
        if (lineClosed()) return kSuccess;
        continue;
      }
      runTimers();
      if (line_.writePending() != kSuccess) return kInputOutput;
    }
    return kSuccess;
  }

 private:
  // Waits for input, room for output, a timer or a signal; `events` gets what poll saw, and
  // `interrupted` tells that a signal ended the wait.
  int waitForLine(short& events, bool& interrupted) {
    pollfd entry{line_.fd(), POLLIN, 0};
    if (line_.hasPending()) entry.events |= POLLOUT;
    const milliseconds wait = nextWait();
    const timespec timeout{static_cast<time_t>(wait.count() / 1000),
                           static_cast<long>(wait.count() % 1000) * 1000000L};
    const int result = ::ppoll(&entry, 1, &timeout, &waitMask_);
    if (result < 0) {
      const int error = errno;
      interrupted = error == EINTR;
      return interrupted ? kSuccess : kInputOutput;
    }
    events = entry.revents;
    if ((events & POLLNVAL) != 0) return kInputOutput;
    return kSuccess;
  }

  milliseconds nextWait() const {
    if (!open_ || *flags_.reset != 0) return milliseconds(0);
    milliseconds wait = kLongestWait;
    const auto now = Clock::now();
    for (const auto& due : {greetAt_, xonAt_}) {
      if (!due) continue;
      wait = std::min(wait, std::max(milliseconds(0), std::chrono::ceil<milliseconds>(*due - now)));
    }
    return wait;
  }

  // Feeds every waiting byte to the board; false when the other side has gone.
  bool receive() {
    std::uint8_t buffer[4096];
    while (true) {
      const long count = line_.readWaiting(buffer, sizeof buffer);
      if (count < 0) return false;
      if (count == 0) return true;
      const auto when = Clock::now();
      if (log_.record(buffer, static_cast<std::size_t>(count), when) != kSuccess) {
        logFailed_ = true;
      }
      std::string answer;
      for (long i = 0; i < count; ++i) {
        logic_.receiveByte(buffer[i], answer);
        if (options_.xoffEvery != 0 && ++receivedCount_ % options_.xoffEvery == 0) {
          answer += kXoff;
          xonAt_ = when + milliseconds(options_.xoffMs);
        }
      }
      line_.queue(answer);
    }
  }

  // Returns true when the board should end because the other side closed the line.
  bool lineClosed() {
    if (open_) {
      open_ = false;
      line_.dropPending();
      greetAt_.reset();
      xonAt_.reset();
      if (options_.exitOnClose) return true;
    }
    // Nobody holds the line: poll would report the hang-up at once, so look again a bit later.
    const timespec pause{0,
                         static_cast<long>(milliseconds(kClosedLineInterval).count()) * 1000000L};
    (void)::ppoll(nullptr, 0, &pause, &waitMask_);  // a signal ending the pause early is fine
    return false;
  }

  void lineOpened() {
    open_ = true;
    receivedCount_ = 0;
    *flags_.reset = 0;
    if (!options_.quiet) greetAt_ = Clock::now() + kGreetingDelay;
  }

  void runTimers() {
    const auto now = Clock::now();
    std::string out;
    if (*flags_.reset != 0 || (greetAt_ && *greetAt_ <= now)) {
      *flags_.reset = 0;
      greetAt_.reset();
      logic_.pressReset(out);
    }
    if (xonAt_ && *xonAt_ <= now) {
      xonAt_.reset();
      out += kXon;
    }
    line_.queue(out);
  }

  BoardLine& line_;
  BoardLogic& logic_;
  ReceiveLog& log_;
  const BoardOptions& options_;
  const BoardSignalFlags& flags_;
  const sigset_t& waitMask_;
  bool open_ = false;
  bool logFailed_ = false;
  std::size_t receivedCount_ = 0;
  std::optional<Clock::time_point> greetAt_;
  std::optional<Clock::time_point> xonAt_;
};

}  // namespace

int serveBoard(BoardLine& line, BoardLogic& logic, ReceiveLog& log, const BoardOptions& options,
               const BoardSignalFlags& flags, const sigset_t& waitMask) {
  BoardServer server(line, logic, log, options, flags, waitMask);
  return server.run();
}

}  // namespace mvex
