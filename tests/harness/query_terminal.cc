// Writes a query to its terminal in raw mode and shows the answer as printable text:
//   query_terminal QUERY TIMEOUT_MS
// QUERY is written as given (after the shell's printf-style escapes were expanded by the caller).
// The answer is read until its final byte (a letter) or until TIMEOUT_MS passed, and shown as
// "answer: ^[[3;5R" on a new line, or "no answer". Exits 0 on an answer, 1 without, 2 on misuse.

#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>

namespace {

std::string printable(const std::string& bytes) {
  std::string text;
  for (const char byte : bytes) text += byte == '\x1b' ? std::string("^[") : std::string(1, byte);
  return text;
}

bool isFinal(const std::string& answer) {
  const char last = answer.back();
  return answer.size() > 2 && ((last >= 'A' && last <= 'Z') || (last >= 'a' && last <= 'z'));
}

std::string readAnswer(std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  std::string answer;
  while (answer.empty() || !isFinal(answer)) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd entry{0, POLLIN, 0};
    if (poll(&entry, 1, static_cast<int>(left.count())) <= 0) continue;
    char byte;
    if (read(0, &byte, 1) != 1) break;
    answer += byte;
  }
  return answer;
}

void writeText(const std::string& text) {
  size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = write(1, text.data() + written, text.size() - written);
    if (n <= 0) return;
    written += static_cast<size_t>(n);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  termios saved{};
  if (tcgetattr(0, &saved) != 0) return 2;
  termios raw = saved;
  cfmakeraw(&raw);
  if (tcsetattr(0, TCSANOW, &raw) != 0) return 2;
  writeText(argv[1]);
  const std::string answer = readAnswer(std::chrono::milliseconds(strtol(argv[2], nullptr, 10)));
  tcsetattr(0, TCSANOW, &saved);
  const bool answered = !answer.empty() && isFinal(answer);
  writeText(answered ? "\r\nanswer: " + printable(answer) + "\r\n"
                     : std::string("\r\nno answer\r\n"));
  return answered ? 0 : 1;
}
