#include "console/terminal_query.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>

#include "console/console_state.h"

namespace mvex {
namespace {

constexpr auto kAnswerWait = std::chrono::milliseconds(250);

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads a decimal number at `at`; nothing when no digit is there or it is absurdly long.
std::optional<int> readNumber(std::string_view input, size_t& at) {
  const size_t start = at;
  int value = 0;
  while (at < input.size() && isDigit(input[at]) && at - start < 6) {
    value = value * 10 + (input[at] - '0');
    ++at;
  }
  if (at == start || (at < input.size() && isDigit(input[at]))) return std::nullopt;
  return value;
}

bool expect(std::string_view input, size_t& at, char c) {
  if (at >= input.size() || input[at] != c) return false;
  ++at;
  return true;
}

std::optional<QueryAnswer> answerAt(std::string_view input, size_t begin, QueryKind kind) {
  size_t at = begin;
  if (!expect(input, at, '\x1b') || !expect(input, at, '[')) return std::nullopt;
  if (kind == QueryKind::kSize && !(expect(input, at, '8') && expect(input, at, ';'))) {
    return std::nullopt;
  }
  const std::optional<int> first = readNumber(input, at);
  if (!first || !expect(input, at, ';')) return std::nullopt;
  const std::optional<int> second = readNumber(input, at);
  if (!second || !expect(input, at, kind == QueryKind::kPosition ? 'R' : 't')) {
    return std::nullopt;
  }
  return QueryAnswer{*first, *second, begin, at};
}

// Waits until the terminal handle has input or `deadline` passes; false on time-out.
bool awaitInput(int fd, std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd entry{fd, POLLIN, 0};
    const int ready = ::poll(&entry, 1, static_cast<int>(left.count()) + 1);
    if (ready > 0) return true;
    if (ready < 0 && errno != EINTR) return false;
  }
}

}  // namespace

std::optional<QueryAnswer> findAnswer(std::string_view input, QueryKind kind) {
  for (size_t at = input.find('\x1b'); at != std::string_view::npos;
       at = input.find('\x1b', at + 1)) {
    if (std::optional<QueryAnswer> answer = answerAt(input, at, kind)) return answer;
  }
  return std::nullopt;
}

std::optional<QueryAnswer> queryTerminal(QueryKind kind) {
  ConsoleState& state = consoleState();
  if (!state.takenOver || !state.terminalAnswers) return std::nullopt;
  // What the terminal sent before the query is key input: decode it now, so that its bytes
  // are keys in their order and cannot be taken for part of the answer.
  readWaitingInput(state);
  decodePendingInput(state);
  writeOut(kind == QueryKind::kPosition ? std::string_view("\x1b[6n")
                                        : std::string_view("\x1b[18t"));
  const auto deadline = std::chrono::steady_clock::now() + kAnswerWait;
  for (;;) {
    if (std::optional<QueryAnswer> answer = findAnswer(state.pendingInput, kind)) {
      // Bytes around the answer stay pending as keys.
      state.pendingInput.erase(answer->begin, answer->end - answer->begin);
      return answer;
    }
    if (!state.tty.valid() || !awaitInput(state.tty.get(), deadline)) break;
    readWaitingInput(state);
  }
  state.terminalAnswers = false;
  return std::nullopt;
}

}  // namespace mvex
