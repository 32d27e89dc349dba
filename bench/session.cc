#include "bench/session.h"

#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace mvex::bench {
namespace {

constexpr std::string_view kPositionQuery = "\x1b[6n";
// Every position query gets the same answer: the programs only need a well-formed one.
constexpr std::string_view kPositionAnswer = "\x1b[1;1R";
constexpr int kRows = 24;
constexpr int kColumns = 80;

// Reads what `fd` holds right now into `out`; returns the number of bytes read.
size_t readAvailable(int fd, std::string& out) {
  char buffer[65536];
  size_t total = 0;
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got > 0) {
      out.append(buffer, static_cast<size_t>(got));
      total += static_cast<size_t>(got);
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    return total;  // EAGAIN: drained; EIO or 0: no writer left
  }
}

}  // namespace

int Session::open() {
  if (const int error = openPtyPair(kRows, kColumns, line_); error != 0) return error;
  return openPtyPair(kRows, kColumns, screenPty_);
}

int Session::start(const std::vector<std::string>& arguments, const std::string& directory,
                   int inputFd, int outputFd) {
  Launch launch;
  launch.inputFd = inputFd;
  launch.outputFd = outputFd;
  launch.arguments = arguments;
  launch.directory = directory;
  launch.terminalFd = screenPty_.slave.get();
  launch.environment = {"TERM=xterm", "HOME=" + directory, "XDG_CONFIG_HOME=" + directory,
                        "LC_ALL=C"};
  if (const char* path = std::getenv("PATH"))
    launch.environment.push_back(std::string("PATH=") + path);
  return child_.start(launch);
}

bool Session::waitReady(Clock::time_point deadline) {
  if (!pumpUntil(deadline, [&] { return slaveIsRaw(line_) || !child_.running(); })) return false;
  // A program may flush the line right after configuring it; repeat the probe until one shows.
  while (Clock::now() < deadline && child_.running()) {
    markScreen();
    sendToLine("~");
    if (waitForScreen("~", std::min(deadline, Clock::now() + std::chrono::milliseconds(300)))) {
      pumpFor(std::chrono::milliseconds(20));
      markScreen();
      return true;
    }
  }
  return false;
}

void Session::sendToLine(std::string bytes) {
  if (lineQueueEmpty()) {
    toLine_ = std::move(bytes);
    toLineOffset_ = 0;
  } else {
    toLine_ += bytes;
  }
  writeLine();
}

int Session::type(std::string_view bytes) { return writeAll(screenPty_.master.get(), bytes, 1000); }

bool Session::pumpUntil(Clock::time_point deadline, const std::function<bool()>& done,
                        int checkMs) {
  for (;;) {
    if (done()) return true;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left < 0) return false;
    pumpOnce(static_cast<int>(std::min<int64_t>(left + 1, checkMs)));
  }
}

void Session::pumpFor(std::chrono::milliseconds duration) {
  (void)pumpUntil(Clock::now() + duration, [] { return false; });  // runs to the deadline
}

bool Session::waitForScreen(std::string_view text, Clock::time_point deadline) {
  return pumpUntil(deadline, [&] {
    const size_t at = screen_.find(text, searchFrom_);
    if (at != std::string::npos) return true;
    if (screen_.size() >= text.size()) searchFrom_ = screen_.size() - text.size() + 1;
    return false;
  });
}

void Session::markScreen() {
  screen_.clear();
  searchFrom_ = 0;
  queryFrom_ = 0;
}

void Session::clearLine() {
  lineText_.clear();
  lineBytes_.clear();
}

void Session::stop(int graceMs) {
  if (!child_.running()) return;
  child_.signal(SIGTERM);
  if (!pumpUntil(Clock::now() + std::chrono::milliseconds(graceMs),
                 [&] { return child_.poll(); })) {
    child_.stop(0);
  }
}

void Session::pumpOnce(int timeoutMs) {
  const bool wantWrite = !lineQueueEmpty();
  pollfd entries[2] = {
      {screenPty_.master.get(), POLLIN, 0},
      {line_.master.get(), static_cast<short>(POLLIN | (wantWrite ? POLLOUT : 0)), 0}};
  const int ready = ::poll(entries, 2, timeoutMs);
  if (ready <= 0) return;
  if (entries[0].revents & POLLIN) readScreen();
  if (entries[1].revents & POLLIN) readLine();
  if (entries[1].revents & POLLOUT) writeLine();
}

void Session::readScreen() {
  const size_t before = screen_.size();
  if (readAvailable(screenPty_.master.get(), screen_) == 0) return;
  lastScreenRead_ = Clock::now();
  answerQueries(before);
}

void Session::answerQueries(size_t from) {
  size_t at =
      std::max(queryFrom_, from >= kPositionQuery.size() ? from - kPositionQuery.size() + 1 : 0);
  while ((at = screen_.find(kPositionQuery, at)) != std::string::npos) {
    at += kPositionQuery.size();
    (void)type(kPositionAnswer);  // a program that stops reading its terminal gets no answer
  }
  queryFrom_ =
      screen_.size() >= kPositionQuery.size() ? screen_.size() - kPositionQuery.size() + 1 : 0;
}

void Session::readLine() {
  const size_t before = lineText_.size();
  if (readAvailable(line_.master.get(), lineText_) == 0) return;
  if (!recordLine_) return;
  const auto now = Clock::now();
  for (size_t i = before; i < lineText_.size(); ++i) lineBytes_.push_back({now, lineText_[i]});
}

void Session::writeLine() {
  while (toLineOffset_ < toLine_.size()) {
    const ssize_t written =
        ::write(line_.master.get(), toLine_.data() + toLineOffset_, toLine_.size() - toLineOffset_);
    if (written > 0) {
      toLineOffset_ += static_cast<size_t>(written);
    } else if (written < 0 && errno == EINTR) {
      continue;
    } else {
      return;  // full for now (EAGAIN); the next POLLOUT resumes
    }
  }
}

}  // namespace mvex::bench
