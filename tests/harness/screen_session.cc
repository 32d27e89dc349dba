#include "tests/harness/screen_session.h"

#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <utility>

#include "tests/harness/deadline.h"
#include "tests/harness/file_text.h"
#include "tests/harness/pty_io.h"

extern char** environ;

namespace mvex::harness {

namespace {

constexpr std::chrono::seconds kWriteTimeout(10);
// How long the reader waits for output before it looks whether it should end.
constexpr int kReadSliceMs = 10;
// How often a writer waiting for room, and waitExit waiting for the end, look again.
constexpr std::chrono::milliseconds kWriteSlice(5);
constexpr std::chrono::milliseconds kExitSlice(10);
// The reader renders output in pieces of at most this size, releasing the lock in between.
constexpr size_t kReadChunk = 16384;
constexpr int kDrainChunks = 64;

void appendUtf8(std::string& text, uint32_t code) {
  if (code < 0x80) {
    text += static_cast<char>(code);
  } else if (code < 0x800) {
    text += static_cast<char>(0xC0 | (code >> 6));
    text += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    text += static_cast<char>(0xE0 | (code >> 12));
    text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | ((code >> 18) & 0x07));
    text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The continuation cell right of a double-width character holds this marker.
constexpr uint32_t kWideContinuation = static_cast<uint32_t>(-1);

}  // namespace

// The emulator's callbacks, with access to the session they report to.
struct ScreenSession::Callbacks {
  static void output(const char* bytes, size_t length, void* user) {
    static_cast<ScreenSession*>(user)->answer(std::string_view(bytes, length));
  }

  static int bell(void* user) {
    ++static_cast<ScreenSession*>(user)->bells_;
    return 1;
  }

  // The emulator has no answer of its own to the size query ESC [18t; a terminal answers it with
  // ESC [8;rows;columns t.
  static int csi(const char* leader, const long args[], int argCount, const char* intermediate,
                 char command, void* user) {
    if (command != 't' || leader != nullptr || intermediate != nullptr || argCount < 1 ||
        CSI_ARG(args[0]) != 18) {
      return 0;
    }
    auto* session = static_cast<ScreenSession*>(user);
    session->answer("\x1b[8;" + std::to_string(session->options_.rows) + ";" +
                    std::to_string(session->options_.columns) + "t");
    return 1;
  }

  static constexpr VTermScreenCallbacks kScreen = {nullptr, nullptr, nullptr, nullptr,
                                                   &bell,   nullptr, nullptr, nullptr};
  static constexpr VTermParserCallbacks kFallbacks = {nullptr, nullptr, nullptr, &csi,
                                                      nullptr, nullptr, nullptr};
};

ScreenSession::ScreenSession(SessionOptions options) : options_(std::move(options)) {
  setUpEmulator();
  if (options_.workDir.empty()) {
    ownWorkDir_.emplace();
    workDir_ = ownWorkDir_->path();
  } else {
    workDir_ = options_.workDir;
  }
  if (options_.stdoutToFile) {
    stdoutDir_.emplace();
    if (stdoutDir_->ok()) stdoutPath_ = stdoutDir_->file("stdout");
  }
  start();
  if (started()) reader_ = std::thread([this] { readLoop(); });
}

ScreenSession::~ScreenSession() {
  bool running = false;
  {
    const Lock lock(mutex_);
    running = started() && !reaped_;
  }
  if (running) killAndReap();
  // The reader uses the emulator and the descriptors; it ends before they go.
  stopReader();
}

void ScreenSession::setUpEmulator() {
  vt_.reset(vterm_new(options_.rows, options_.columns));
  vterm_set_utf8(vt_.get(), 1);
  vterm_output_set_callback(vt_.get(), &Callbacks::output, this);
  screen_ = vterm_obtain_screen(vt_.get());
  vterm_screen_set_callbacks(screen_, &Callbacks::kScreen, this);
  vterm_screen_set_unrecognised_fallbacks(screen_, &Callbacks::kFallbacks, this);
  vterm_screen_reset(screen_, 1);
}

void ScreenSession::start() {
  if (workDir_.empty() || (options_.stdoutToFile && stdoutPath_.empty())) return;
  StartRequest request;
  request.argv = options_.argv;
  request.environment = childEnvironment(environ, options_.env);
  request.workDir = workDir_;
  request.rows = options_.rows;
  request.columns = options_.columns;
  request.stdoutPath = stdoutPath_;
  StartedProgram program = startOnTerminal(request);
  if (program.pid < 0) return;
  pid_ = program.pid;
  master_ = std::move(program.master);
  slave_ = std::move(program.slave);
}

void ScreenSession::readLoop() {
  bool more = false;
  for (;;) {
    // Waiting happens without the lock, so that the test thread can go on meanwhile.
    if (!more) (void)waitReadable(master_.get(), kReadSliceMs);
    const Lock lock(mutex_);
    if (stopping_) return;
    const int count = readOnce();
    flushPending();         // answers to queries in this piece, and what a full terminal held back
    if (count < 0) return;  // the terminal is gone; nothing more will come
    more = count > 0;
  }
}

int ScreenSession::readOnce() {
  if (!master_.valid()) return -1;
  char buffer[kReadChunk];
  ssize_t n;
  int error;
  do {
    n = ::read(master_.get(), buffer, sizeof buffer);
    error = errno;
  } while (n < 0 && error == EINTR);
  if (n < 0 && (error == EAGAIN || error == EWOULDBLOCK)) return 0;
  if (n <= 0) return -1;  // end of input or an error such as EIO after a hang-up
  output_.append(buffer, static_cast<size_t>(n));
  feeding_ = true;
  vterm_input_write(vt_.get(), buffer, static_cast<size_t>(n));
  feeding_ = false;
  rendered_.notify_all();
  return static_cast<int>(n);
}

void ScreenSession::drainOutput() {
  // Bounded, so that a program that never stops writing cannot hold the caller here.
  for (int i = 0; i < kDrainChunks && readOnce() > 0; ++i) {
  }
}

void ScreenSession::answer(std::string_view bytes) {
  if (feeding_ && !options_.answerQueries) return;
  pending_ += bytes;
  queued_ += bytes.size();
}

void ScreenSession::flushPending() {
  while (!pending_.empty()) {
    ssize_t n = -1;
    int error = EBADF;
    if (master_.valid()) {
      n = ::write(master_.get(), pending_.data(), pending_.size());
      error = errno;
    }
    if (n > 0) {
      pending_.erase(0, static_cast<size_t>(n));
      sent_ += static_cast<uint64_t>(n);
      continue;
    }
    if (n < 0 && error == EINTR) continue;
    if (n < 0 && (error == EAGAIN || error == EWOULDBLOCK)) return;  // full; tried again later
    // No terminal takes them any more.
    sent_ += pending_.size();
    pending_.clear();
  }
}

void ScreenSession::sendQueued(Lock& lock) {
  const uint64_t target = queued_;
  const Deadline deadline(kWriteTimeout);
  for (;;) {
    flushPending();
    if (sent_ >= target || deadline.passed()) return;
    // The reader must go on rendering while the program is busy writing and reads no input.
    lock.unlock();
    pollfd entry{master_.get(), POLLOUT, 0};
    (void)::poll(&entry, 1, deadline.nextSlice(kWriteSlice));  // only a pause
    lock.lock();
  }
}

void ScreenSession::type(std::string_view bytes) {
  Lock lock(mutex_);
  pending_ += bytes;
  queued_ += bytes.size();
  sendQueued(lock);
}

void ScreenSession::pressKey(VTermKey key) {
  Lock lock(mutex_);
  drainOutput();
  vterm_keyboard_key(vt_.get(), key, VTERM_MOD_NONE);
  sendQueued(lock);
}

bool ScreenSession::waitFor(const std::function<bool()>& condition,
                            std::chrono::milliseconds timeout) {
  const Deadline deadline(timeout);
  Lock lock(mutex_);
  for (;;) {
    if (condition()) return true;
    if (deadline.passed() || !started()) return false;
    (void)rendered_.wait_for(lock, std::chrono::milliseconds(deadline.nextSlice()));
  }
}

bool ScreenSession::waitForText(std::string_view text, std::chrono::milliseconds timeout) {
  return waitFor(
      [&] {
        std::string all;
        for (int r = 1; r <= options_.rows; ++r) all += rowText(r, false) + "\n";
        return all.find(text) != std::string::npos;
      },
      timeout);
}

void ScreenSession::pump(std::chrono::milliseconds duration) {
  (void)waitFor([] { return false; }, duration);  // runs until the time is up by design
}

std::string ScreenSession::rowText(int row, bool trim) const {
  const Lock lock(mutex_);
  std::string text;
  if (row < 1 || row > options_.rows) return text;
  for (int column = 0; column < options_.columns; ++column) {
    VTermScreenCell cell{};
    if (!vterm_screen_get_cell(screen_, VTermPos{row - 1, column}, &cell)) continue;
    if (cell.chars[0] == kWideContinuation) continue;
    if (cell.chars[0] == 0) text += ' ';
    for (int i = 0; i < VTERM_MAX_CHARS_PER_CELL && cell.chars[i] != 0; ++i) {
      appendUtf8(text, cell.chars[i]);
    }
    if (cell.width == 2) ++column;
  }
  if (trim) text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

std::string ScreenSession::row(int row) const { return rowText(row, true); }

std::string ScreenSession::screen() const {
  const Lock lock(mutex_);
  std::string text;
  for (int r = 1; r <= options_.rows; ++r) {
    if (r > 1) text += '\n';
    text += row(r);
  }
  return text;
}

uint32_t ScreenSession::cell(int row, int column) const {
  const Lock lock(mutex_);
  if (row < 1 || row > options_.rows || column < 1 || column > options_.columns) return 0;
  VTermScreenCell cell{};
  if (!vterm_screen_get_cell(screen_, VTermPos{row - 1, column - 1}, &cell)) return 0;
  return cell.chars[0] == 0 ? ' ' : cell.chars[0];
}

int ScreenSession::cursorRow() const {
  const Lock lock(mutex_);
  VTermPos position{};
  vterm_state_get_cursorpos(vterm_obtain_state(vt_.get()), &position);
  return position.row + 1;
}

int ScreenSession::cursorColumn() const {
  const Lock lock(mutex_);
  VTermPos position{};
  vterm_state_get_cursorpos(vterm_obtain_state(vt_.get()), &position);
  return position.col + 1;
}

int ScreenSession::waitExit(std::chrono::milliseconds timeout) {
  if (!started()) return -1;
  const Deadline deadline(timeout);
  Lock lock(mutex_);
  if (reaped_) return status_;
  for (;;) {
    int status = 0;
    const pid_t result = ::waitpid(pid_, &status, WNOHANG);
    if (result == pid_) {
      reaped_ = true;
      status_ = status;
      drainOutput();  // what it wrote last may still wait in the terminal
      return status_;
    }
    if (result < 0 && errno != EINTR) {
      reaped_ = true;  // not our child any more; nothing left to reap
      return -1;
    }
    if (deadline.passed()) {
      lock.unlock();
      killAndReap();
      return -1;
    }
    (void)rendered_.wait_for(lock, std::chrono::milliseconds(deadline.nextSlice(kExitSlice)));
  }
}

void ScreenSession::stopReader() {
  if (!reader_.joinable()) return;
  {
    const Lock lock(mutex_);
    stopping_ = true;
  }
  reader_.join();
}

void ScreenSession::killAndReap() {
  // The program leads its own process group; its children go with it.
  (void)::kill(-pid_, SIGKILL);
  (void)::kill(pid_, SIGKILL);
  int status = 0;
  pid_t result;
  do {
    result = ::waitpid(pid_, &status, 0);
  } while (result < 0 && errno == EINTR);
  stopReader();
  const Lock lock(mutex_);
  reaped_ = true;
  status_ = -1;
  drainOutput();
}

termios ScreenSession::terminalSettings() const {
  termios settings{};
  if (slave_.valid() && ::tcgetattr(slave_.get(), &settings) != 0) settings = termios{};
  return settings;
}

std::string ScreenSession::output() const {
  const Lock lock(mutex_);
  return output_;
}

int ScreenSession::bells() const {
  const Lock lock(mutex_);
  return bells_;
}

std::string ScreenSession::stdoutText() const {
  if (stdoutPath_.empty()) return std::string();
  return readFile(stdoutPath_).value_or(std::string());
}

}  // namespace mvex::harness
