#include "tests/harness/screen_session.h"

#include <errno.h>
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
}

ScreenSession::~ScreenSession() {
  if (started() && !reaped_) killAndReap();
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

void ScreenSession::answer(std::string_view bytes) {
  if (feeding_ && !options_.answerQueries) return;
  pending_ += bytes;
}

bool ScreenSession::readOutput() {
  if (!master_.valid()) return false;
  const size_t before = output_.size();
  const int count = readAvailable(master_.get(), output_);
  if (output_.size() > before) {
    feeding_ = true;
    vterm_input_write(vt_.get(), output_.data() + before, output_.size() - before);
    feeding_ = false;
  }
  return count > 0;
}

void ScreenSession::flushPending() {
  if (!master_.valid()) {
    pending_.clear();
    return;
  }
  const Deadline deadline(kWriteTimeout);
  // Reading output while the terminal's input is full can queue further answers.
  while (!pending_.empty() && !deadline.passed()) {
    const std::string bytes = std::exchange(pending_, std::string());
    writeAll(master_.get(), bytes, deadline, [this] { readOutput(); });
  }
}

void ScreenSession::type(std::string_view bytes) {
  pending_ += bytes;
  flushPending();
}

void ScreenSession::pressKey(VTermKey key) {
  readOutput();
  vterm_keyboard_key(vt_.get(), key, VTERM_MOD_NONE);
  flushPending();
}

bool ScreenSession::waitFor(const std::function<bool()>& condition,
                            std::chrono::milliseconds timeout) {
  const Deadline deadline(timeout);
  for (;;) {
    flushPending();
    readOutput();
    flushPending();
    if (condition()) return true;
    if (deadline.passed() || !master_.valid()) return false;
    waitReadable(master_.get(), deadline.nextSlice());
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
  std::string text;
  for (int r = 1; r <= options_.rows; ++r) {
    if (r > 1) text += '\n';
    text += row(r);
  }
  return text;
}

uint32_t ScreenSession::cell(int row, int column) const {
  if (row < 1 || row > options_.rows || column < 1 || column > options_.columns) return 0;
  VTermScreenCell cell{};
  if (!vterm_screen_get_cell(screen_, VTermPos{row - 1, column - 1}, &cell)) return 0;
  return cell.chars[0] == 0 ? ' ' : cell.chars[0];
}

int ScreenSession::cursorRow() const {
  VTermPos position{};
  vterm_state_get_cursorpos(vterm_obtain_state(vt_.get()), &position);
  return position.row + 1;
}

int ScreenSession::cursorColumn() const {
  VTermPos position{};
  vterm_state_get_cursorpos(vterm_obtain_state(vt_.get()), &position);
  return position.col + 1;
}

int ScreenSession::waitExit(std::chrono::milliseconds timeout) {
  if (!started()) return -1;
  if (reaped_) return status_;
  const Deadline deadline(timeout);
  for (;;) {
    flushPending();
    readOutput();
    int status = 0;
    const pid_t result = ::waitpid(pid_, &status, WNOHANG);
    if (result == pid_) {
      reaped_ = true;
      status_ = status;
      readOutput();  // what it wrote last is still in the terminal
      return status_;
    }
    if (result < 0 && errno != EINTR) {
      reaped_ = true;  // not our child any more; nothing left to reap
      return -1;
    }
    if (deadline.passed()) {
      killAndReap();
      return -1;
    }
    waitReadable(master_.get(), deadline.nextSlice());
  }
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
  reaped_ = true;
  status_ = -1;
  readOutput();
}

termios ScreenSession::terminalSettings() const {
  termios settings{};
  if (slave_.valid() && ::tcgetattr(slave_.get(), &settings) != 0) settings = termios{};
  return settings;
}

std::string ScreenSession::stdoutText() const {
  if (stdoutPath_.empty()) return std::string();
  return readFile(stdoutPath_).value_or(std::string());
}

}  // namespace mvex::harness
