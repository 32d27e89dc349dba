#include "console/keyboard.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "console/console_state.h"
#include "console/termcap.h"

namespace mvex {
namespace {

constexpr int kKeyPollMs = 50;

// The key capabilities in the order they enter the escape table.
std::vector<KeySequence> terminalKeySequences() {
  static const struct {
    const char* id;
    KeyCode key;
  } kKeys[] = {
      {"ku", kKeyUp},     {"kd", kKeyDown},
      {"kl", kKeyLeft},   {"kr", kKeyRight},
      {"kI", kKeyInsert}, {"kD", kKeyDelete},
      {"kh", kKeyHome},   {"@7", kKeyEnd},
      {"kP", kKeyPageUp}, {"kN", kKeyPageDown},
      {"k1", kKeyF1},     {"k2", kKeyF1 + 1},
      {"k3", kKeyF1 + 2}, {"k4", kKeyF1 + 3},
      {"k5", kKeyF1 + 4}, {"k6", kKeyF1 + 5},
      {"k7", kKeyF1 + 6}, {"k8", kKeyF1 + 7},
      {"k9", kKeyF1 + 8}, {"k;", kKeyF1 + 9},
      {"kT", 9},          {"kb", 8},
  };
  std::vector<KeySequence> sequences;
  for (const auto& entry : kKeys) sequences.push_back({termString(entry.id), entry.key});
  return sequences;
}

// The terminal's key bytes: what an earlier read left pending, then the handle itself.
class TerminalBytes final : public ByteSource {
 public:
  explicit TerminalBytes(ConsoleState& state) : state_(state) {}
  int nextByte() override {
    if (state_.pendingInput.empty()) readWaitingInput(state_);
    if (state_.pendingInput.empty()) return -1;
    const auto byte = static_cast<unsigned char>(state_.pendingInput.front());
    state_.pendingInput.erase(0, 1);
    return byte;
  }

 private:
  ConsoleState& state_;
};

void pause(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Plain mode: reads one byte of standard input ahead, without waiting, to learn whether
// standard input is at its end.
void probePlainInput(ConsoleState& state) {
  if (state.plainByte >= 0 || state.plainAtEnd) return;
  pollfd entry{STDIN_FILENO, POLLIN, 0};
  if (::poll(&entry, 1, 0) <= 0) return;
  unsigned char byte = 0;
  const ssize_t got = ::read(STDIN_FILENO, &byte, 1);
  if (got == 1) {
    state.plainByte = byte;
  } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
    state.plainAtEnd = true;
  }
}

int waitPlainKey(ConsoleState& state) {
  if (state.plainByte >= 0) return std::exchange(state.plainByte, -1);
  while (!state.plainAtEnd) {
    unsigned char byte = 0;
    const ssize_t got = ::read(STDIN_FILENO, &byte, 1);
    if (got == 1) return byte;
    if (got == 0 || errno != EINTR) state.plainAtEnd = true;
  }
  return -1;
}

// Decodes at most one key into the queue, then gives the oldest queued key.
std::optional<KeyCode> takeKey(bool consume) {
  serviceWindowChange();
  ConsoleState& state = consoleState();
  // With the queue full the bytes wait where they are, so no typed key is pushed out.
  if (state.takenOver && !state.keys.full()) {
    TerminalBytes source(state);
    if (std::optional<KeyCode> key = decodeKey(source, state.escapeTable, terminalKeySequences)) {
      state.keys.push(*key);
    }
  }
  return consume ? state.keys.pop() : state.keys.peek();
}

}  // namespace

void readWaitingInput(ConsoleState& state) {
  if (!state.tty.valid()) return;
  char buffer[256];
  for (;;) {
    const ssize_t got = ::read(state.tty.get(), buffer, sizeof buffer);
    if (got > 0) {
      state.pendingInput.append(buffer, static_cast<size_t>(got));
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got == 0 || errno != EAGAIN) state.ttyAtEnd = true;
    return;
  }
}

void decodePendingInput(ConsoleState& state) {
  // Bytes that find no room in the queue stay pending, so a long paste loses nothing.
  while (!state.pendingInput.empty() && !state.keys.full()) {
    TerminalBytes source(state);
    if (std::optional<KeyCode> key = decodeKey(source, state.escapeTable, terminalKeySequences)) {
      state.keys.push(*key);
    }
  }
}

int waitKeyValue(KeyCode key) { return key >= 256 ? 255 + 256 * (key - 256) : key; }

KeyString keyString(KeyCode key) {
  if (key >= 256) return KeyString{'\xff', static_cast<char>(key - 256)};
  return KeyString(1, static_cast<char>(key));
}

KeyString readKey() {
  const std::optional<KeyCode> key = takeKey(true);
  return key ? keyString(*key) : KeyString();
}

int waitKey() {
  ConsoleState& state = consoleState();
  if (state.mode == ConsoleMode::kPlain) return waitPlainKey(state);
  for (;;) {
    if (std::optional<KeyCode> key = takeKey(true)) return waitKeyValue(*key);
    if (!state.takenOver || (state.ttyAtEnd && state.pendingInput.empty())) return -1;
    sleepMs(-1);
  }
}

bool keyWaiting() {
  ConsoleState& state = consoleState();
  if (state.mode == ConsoleMode::kPlain) {
    probePlainInput(state);
    return !state.plainAtEnd;
  }
  return takeKey(false).has_value();
}

void sleepMs(int ms) {
  const ConsoleState& state = consoleState();
  if (ms == -1) {
    if (state.mode == ConsoleMode::kPlain) return;
    // A terminal that hung up sends no more keys: waiting for one would never end.
    while (!keyWaiting() && !(state.ttyAtEnd && state.pendingInput.empty()) && state.takenOver) {
      pause(kKeyPollMs);
    }
    return;
  }
  if (ms < 100) {
    pause(ms);
    return;
  }
  do {
    if (keyWaiting()) return;
    pause(kKeyPollMs);
    ms -= kKeyPollMs;
  } while (ms > kKeyPollMs);
  pause(ms);
}

}  // namespace mvex
