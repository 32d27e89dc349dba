#include "console/console.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "console/console_signals.h"
#include "console/console_state.h"
#include "console/termcap.h"
#include "console/terminal_query.h"

namespace mvex {
namespace {

constexpr std::string_view kLinuxFontMap = "\x1b(U";
constexpr std::string_view kLinuxDefaultMap = "\x1b(B";

bool isLinuxConsole(const char* term) {
  return std::strcmp(term, "console") == 0 || std::strncmp(term, "linux", 5) == 0;
}

Capabilities fetchCapabilities() {
  Capabilities caps;
  caps.cm = termString("cm");
  caps.ho = termString("ho");
  caps.cs = termString("cs");
  caps.cl = termString("cl");
  caps.me = termString("me");
  caps.ve = termString("ve");
  caps.vi = termString("vi");
  caps.ks = termString("ks");
  caps.ke = termString("ke");
  caps.bl = termString("bl");
  return caps;
}

int effectiveViewLast(const ConsoleState& state) {
  if (state.viewFirst != 0) return state.viewLast;
  return state.rows == 0 ? 25 : state.rows;
}

// The bytes that give the screen back: whole-screen scroll region when the text view was
// fixed at another size, the default character set, attributes, cursor and keypad reset.
std::string giveBackBytes(const ConsoleState& state) {
  std::string bytes;
  const int first = state.viewFirst != 0 ? state.viewFirst : 1;
  if (first != 1 || effectiveViewLast(state) != state.rows) {
    bytes += expandCapability(state.caps.cs, state.rows - 1, 0);
    bytes += plainCapability(state.caps.cl);
    bytes += plainCapability(state.caps.ho);
  }
  if (state.mode == ConsoleMode::kLinuxConsole) bytes += kLinuxDefaultMap;
  bytes += plainCapability(state.caps.me);
  bytes += plainCapability(state.caps.ve);
  bytes += plainCapability(state.caps.ke);
  return bytes;
}

// A text view still unset is set now, spanning the whole screen as it stands.
void fixTextView(ConsoleState& state) {
  if (state.viewFirst != 0) return;
  state.viewLast = effectiveViewLast(state);
  state.viewFirst = 1;
}

GiveBack fatalGiveBack(const ConsoleState& state, const std::string& bytes) {
  return GiveBack{bytes, state.savedStdout, state.savedTty, state.tty.get(), state.savedTtyFlags};
}

// The raw-mode steps; on failure every setting already changed is put back.
bool takeOver(ConsoleState& state) {
  if (::isatty(STDIN_FILENO) == 0 || ::isatty(STDOUT_FILENO) == 0) return false;
  UniqueFd tty(::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!tty.valid() || ::tcgetpgrp(STDOUT_FILENO) != ::getpgrp()) return false;
  termios out{};
  if (::tcgetattr(STDOUT_FILENO, &out) != 0) return false;
  termios processed = out;
  processed.c_oflag |= OPOST;
  if (::tcsetattr(STDOUT_FILENO, TCSANOW, &processed) != 0) return false;
  termios keys{};
  if (::tcgetattr(tty.get(), &keys) != 0) {
    (void)::tcsetattr(STDOUT_FILENO, TCSANOW, &out);  // back to what was found
    return false;
  }
  termios raw = keys;
  raw.c_iflag = (raw.c_iflag | BRKINT) & ~(IGNBRK | IXON | IXOFF);
  raw.c_lflag &= ~(ICANON | ECHO);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  if (::tcsetattr(tty.get(), TCSANOW, &raw) != 0) {
    (void)::tcsetattr(STDOUT_FILENO, TCSANOW, &out);
    return false;
  }
  const int flags = ::fcntl(tty.get(), F_GETFL);
  (void)::fcntl(tty.get(), F_SETFL, (flags < 0 ? 0 : flags) | O_NONBLOCK);
  state.savedStdout = out;
  state.savedTty = keys;
  state.savedTtyFlags = flags < 0 ? O_RDWR : flags;
  state.tty = std::move(tty);
  state.ttyAtEnd = false;
  state.takenOver = true;
  std::string start;
  if (state.mode == ConsoleMode::kLinuxConsole) start += kLinuxFontMap;
  start += plainCapability(state.caps.ks);
  writeOut(start);
  return true;
}

void giveBack(ConsoleState& state) {
  if (!state.takenOver) return;
  disarmFatalSignals();
  readWaitingInput(state);  // keys typed before the give-back stay keys
  writeOut(giveBackBytes(state));
  // The handle's settings were read after OPOST was added to standard output's; applying
  // standard output's settings last leaves the terminal exactly as it was found.
  (void)::fcntl(state.tty.get(), F_SETFL, state.savedTtyFlags);
  (void)::tcsetattr(state.tty.get(), TCSANOW, &state.savedTty);
  (void)::tcsetattr(STDOUT_FILENO, TCSANOW, &state.savedStdout);
  state.tty.reset();
  state.takenOver = false;
}

// Learns the screen size and cursor position anew.
void learnWindow(ConsoleState& state) {
  winsize size{};
  if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0) {
    state.rows = size.ws_row;
    state.columns = size.ws_col;
  } else if (std::optional<QueryAnswer> answer = queryTerminal(QueryKind::kSize)) {
    state.rows = answer->first;
    state.columns = answer->second;
  } else {
    state.rows = 25;
    state.columns = 80;
  }
  const std::optional<QueryAnswer> at = queryTerminal(QueryKind::kPosition);
  state.trackedRow = at ? at->first : 1;
  state.trackedColumn = at ? at->second : 1;
  const std::string bytes = giveBackBytes(state);
  armFatalSignals(fatalGiveBack(state, bytes));
}

}  // namespace

ConsoleState& consoleState() {
  static ConsoleState state;
  return state;
}

void writeOut(std::string_view bytes) {
  const char* at = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    const ssize_t done = ::write(STDOUT_FILENO, at, left);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return;
    at += done;
    left -= static_cast<size_t>(done);
  }
}

void writeCapability(const std::string& capability, int column, int row) {
  writeOut(expandCapability(capability, column, row));
}

void serviceWindowChange() {
  ConsoleState& state = consoleState();
  if (takeWindowChange() && state.takenOver) learnWindow(state);
}

void openConsole() {
  ConsoleState& state = consoleState();
  if (state.mode != ConsoleMode::kPlain) return;
  state = ConsoleState();
  const char* term = std::getenv("TERM");
  if (term == nullptr || !loadTermEntry(term)) return;
  termios out{};
  if (::tcgetattr(STDOUT_FILENO, &out) != 0) return;
  setTermVariables(::cfgetospeed(&out));
  if (!termFlag("am")) return;
  state.caps = fetchCapabilities();
  state.mode = isLinuxConsole(term) ? ConsoleMode::kLinuxConsole : ConsoleMode::kOtherTerminal;
  if (!takeOver(state)) {
    state.mode = ConsoleMode::kPlain;
    return;
  }
  const std::string bytes = giveBackBytes(state);
  installFatalSignals(fatalGiveBack(state, bytes));
  learnWindow(state);
  installWindowSignal();
}

void closeConsole() {
  ConsoleState& state = consoleState();
  if (state.mode == ConsoleMode::kPlain) return;
  fixTextView(state);
  giveBack(state);
  removeWindowSignal();
  removeFatalSignals();
  state.mode = ConsoleMode::kPlain;
}

void suspendConsole() {
  ConsoleState& state = consoleState();
  if (state.mode == ConsoleMode::kPlain) return;
  fixTextView(state);
  giveBack(state);
}

void resumeConsole() {
  ConsoleState& state = consoleState();
  if (state.mode == ConsoleMode::kPlain || state.takenOver) return;
  if (!takeOver(state)) {
    // Keys can no longer be read from the terminal: the console carries on in plain mode.
    removeWindowSignal();
    removeFatalSignals();
    state.mode = ConsoleMode::kPlain;
    return;
  }
  const std::string bytes = giveBackBytes(state);
  armFatalSignals(fatalGiveBack(state, bytes));
}

ConsoleSession::ConsoleSession() { openConsole(); }

ConsoleSession::~ConsoleSession() { closeConsole(); }

}  // namespace mvex
