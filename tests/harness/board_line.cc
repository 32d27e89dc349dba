#include "tests/harness/board_line.h"

#include <pty.h>
#include <stdlib.h>
#include <unistd.h>

#include <functional>

#include "tests/harness/deadline.h"
#include "tests/harness/pty_io.h"

namespace mvex::harness {

BoardLine::BoardLine() {
  int master = -1;
  int slave = -1;
  if (::openpty(&master, &slave, nullptr, nullptr, nullptr) < 0) return;
  master_.reset(master);
  slave_.reset(slave);
  char name[256];
  termios raw{};
  if (!makeNonBlockingPrivate(master) || !makePrivate(slave) ||
      ::ptsname_r(master, name, sizeof name) != 0 || ::tcgetattr(slave, &raw) != 0) {
    master_.reset();
    slave_.reset();
    return;
  }
  ::cfmakeraw(&raw);
  if (::tcsetattr(slave, TCSANOW, &raw) != 0) {
    master_.reset();
    slave_.reset();
    return;
  }
  path_ = name;
}

void BoardLine::send(std::string_view bytes) {
  if (!master_.valid()) return;
  const Deadline deadline(std::chrono::seconds(10));
  writeAll(master_.get(), bytes, deadline, [this] { pump(); });
}

void BoardLine::pump() {
  if (master_.valid()) (void)readAvailable(master_.get(), received_);  // nothing more to do
}

bool BoardLine::waitUntil(const std::function<bool()>& condition,
                          std::chrono::milliseconds timeout) {
  const Deadline deadline(timeout);
  for (;;) {
    pump();
    if (condition()) return true;
    if (deadline.passed() || !master_.valid()) return false;
    waitReadable(master_.get(), deadline.nextSlice());
  }
}

bool BoardLine::waitReceived(size_t count, std::chrono::milliseconds timeout) {
  return waitUntil([&] { return received_.size() >= count; }, timeout);
}

bool BoardLine::waitReceivedText(std::string_view text, std::chrono::milliseconds timeout) {
  return waitUntil([&] { return received_.find(text) != std::string::npos; }, timeout);
}

void BoardLine::closeBoardSide() {
  pump();
  master_.reset();
}

termios BoardLine::lineSettings() const {
  termios settings{};
  if (slave_.valid() && ::tcgetattr(slave_.get(), &settings) != 0) settings = termios{};
  return settings;
}

}  // namespace mvex::harness
