#include "console/console_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <iterator>

#include "io/command.h"

namespace mvex {
namespace {

constexpr int kFatalSignals[] = {SIGABRT, SIGFPE, SIGILL,  SIGSEGV,
                                 SIGTERM, SIGINT, SIGQUIT, SIGHUP};
constexpr size_t kFatalCount = std::size(kFatalSignals);
constexpr size_t kRoom = 512;

// What the signal handlers reach. Two slots let the console prepare a new give-back while
// the handler may run: the slot in use is switched only after the other is complete.
struct RestoreSlot {
  char bytes[kRoom];
  size_t length;
  termios stdoutSettings;
  termios ttySettings;
  int ttyFd;
  int ttyFlags;
};
RestoreSlot gSlots[2];
volatile sig_atomic_t gCurrentSlot = 0;
volatile sig_atomic_t gArmed = 0;
volatile sig_atomic_t gFatalInstalled = 0;
struct sigaction gSavedFatal[kFatalCount];
volatile sig_atomic_t gWindowChanged = 0;
volatile sig_atomic_t gWindowInstalled = 0;
struct sigaction gSavedWindow;

void writeAllSafely(const char* bytes, size_t length) {
  while (length > 0) {
    const ssize_t done = ::write(STDOUT_FILENO, bytes, length);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return;
    bytes += done;
    length -= static_cast<size_t>(done);
  }
}

// What the running external command is sent when the program ends: the request to end
// itself, or, for a fault of the program's own, an ordinary request to end.
int signalForCommand(int signal) {
  return signal == SIGHUP || signal == SIGINT || signal == SIGQUIT || signal == SIGTERM ? signal
                                                                                        : SIGTERM;
}

void onFatalSignal(int signal) {
  const int savedErrno = errno;
  // A compiler still running would otherwise outlive the program and keep the terminal.
  endRunningCommand(signalForCommand(signal));
  if (gArmed != 0) {
    gArmed = 0;
    const RestoreSlot& slot = gSlots[gCurrentSlot];
    writeAllSafely(slot.bytes, slot.length);
    if (slot.ttyFd >= 0) {
      (void)::fcntl(slot.ttyFd, F_SETFL, slot.ttyFlags);
      (void)::tcsetattr(slot.ttyFd, TCSANOW, &slot.ttySettings);
    }
    (void)::tcsetattr(STDOUT_FILENO, TCSANOW, &slot.stdoutSettings);
  }
  for (size_t i = 0; i < kFatalCount; ++i) {
    if (kFatalSignals[i] == signal) (void)::sigaction(signal, &gSavedFatal[i], nullptr);
  }
  errno = savedErrno;
  (void)::raise(signal);
}

void onWindowChange(int) { gWindowChanged = 1; }

}  // namespace

void armFatalSignals(const GiveBack& giveBack) {
  const sig_atomic_t next = 1 - gCurrentSlot;
  RestoreSlot& slot = gSlots[next];
  slot.length = std::min(giveBack.bytes.size(), kRoom);
  std::copy_n(giveBack.bytes.data(), slot.length, slot.bytes);
  slot.stdoutSettings = giveBack.stdoutSettings;
  slot.ttySettings = giveBack.ttySettings;
  slot.ttyFd = giveBack.ttyFd;
  slot.ttyFlags = giveBack.ttyFlags;
  gCurrentSlot = next;
  gArmed = 1;
}

void disarmFatalSignals() { gArmed = 0; }

void installFatalSignals(const GiveBack& giveBack) {
  armFatalSignals(giveBack);
  if (gFatalInstalled != 0) return;
  struct sigaction action {};
  action.sa_handler = onFatalSignal;
  sigemptyset(&action.sa_mask);
  for (const int signal : kFatalSignals) sigaddset(&action.sa_mask, signal);
  for (size_t i = 0; i < kFatalCount; ++i) {
    (void)::sigaction(kFatalSignals[i], &action, &gSavedFatal[i]);
    // A signal the process was started to ignore (as under nohup) stays ignored.
    if (gSavedFatal[i].sa_handler == SIG_IGN) {
      (void)::sigaction(kFatalSignals[i], &gSavedFatal[i], nullptr);
    }
  }
  gFatalInstalled = 1;
}

void removeFatalSignals() {
  gArmed = 0;
  if (gFatalInstalled == 0) return;
  for (size_t i = 0; i < kFatalCount; ++i) {
    (void)::sigaction(kFatalSignals[i], &gSavedFatal[i], nullptr);
  }
  gFatalInstalled = 0;
}

void installWindowSignal() {
  if (gWindowInstalled != 0) return;
  struct sigaction action {};
  action.sa_handler = onWindowChange;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  (void)::sigaction(SIGWINCH, &action, &gSavedWindow);
  gWindowInstalled = 1;
}

void removeWindowSignal() {
  if (gWindowInstalled == 0) return;
  (void)::sigaction(SIGWINCH, &gSavedWindow, nullptr);
  gWindowInstalled = 0;
  gWindowChanged = 0;
}

bool takeWindowChange() {
  if (gWindowChanged == 0) return false;
  gWindowChanged = 0;
  return true;
}

}  // namespace mvex
