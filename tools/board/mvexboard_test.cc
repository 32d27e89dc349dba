// Runs the real mvexboard program and talks to it through its pseudo-terminal.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "io/scratch_dir.h"
#include "io/unique_fd.h"

extern char** environ;

namespace mvex {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::seconds kPatience{10};

constexpr char kGreeting[] =
    "\r\n"
    "MORVEX resident menu\r\n"
    "L  upload (just send the hex text)\r\n"
    "Y  dump memory\r\n"
    "> ";

// Waits until `fd` is readable or the deadline passes; false at the deadline.
bool awaitReadable(int fd, Clock::time_point deadline) {
  while (true) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    pollfd entry{fd, POLLIN, 0};
    const int result = ::poll(&entry, 1, static_cast<int>(left.count()));
    if (result > 0) return true;
    if (result < 0 && errno != EINTR) return false;
  }
}

// Reads from `fd` until `received` ends with `end` or `patience` has passed.
std::string readUntil(int fd, const std::string& end, Clock::duration patience = kPatience) {
  const auto deadline = Clock::now() + patience;
  std::string received;
  while (received.size() < end.size() ||
         received.compare(received.size() - end.size(), end.size(), end) != 0) {
    if (!awaitReadable(fd, deadline)) break;
    char buffer[4096];
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count > 0) received.append(buffer, static_cast<std::size_t>(count));
    if (count == 0 || (count < 0 && errno != EINTR && errno != EAGAIN)) break;
  }
  return received;
}

void writeAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t count = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (count < 0 && errno == EINTR) continue;
    ASSERT_GT(count, 0) << "write failed: errno " << errno;
    done += static_cast<std::size_t>(count);
  }
}

// The board program, started with some options; stopped with SIGTERM if still running at the end.
class BoardProcess {
 public:
  explicit BoardProcess(std::vector<std::string> options) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return;
    UniqueFd readEnd(fds[0]);
    UniqueFd writeEnd(fds[1]);
    std::vector<std::string> arguments{MVEX_BOARD_PROGRAM};
    arguments.insert(arguments.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    writeEnd.reset();
    output_ = std::move(readEnd);
  }
  ~BoardProcess() {
    if (pid_ > 0) {
      (void)::kill(pid_, SIGKILL);
      (void)::waitpid(pid_, nullptr, 0);
    }
  }

  // The first line the board printed: the path of its line.
  std::string linePath() {
    const std::string line = readUntil(output_.get(), "\n");
    return line.empty() ? line : line.substr(0, line.size() - 1);
  }

  void signal(int number) const { (void)::kill(pid_, number); }

  // Waits for the board to end; its wait status, or -1 if it is still running at the deadline.
  int awaitExit() {
    const auto deadline = Clock::now() + kPatience;
    while (Clock::now() < deadline) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return status;
      }
      (void)::poll(nullptr, 0, 10);
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
  UniqueFd output_;
};

// Opens the board's line the way a terminal would: raw, so that bytes pass unchanged.
UniqueFd openLine(const std::string& path) {
  UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK));
  termios settings{};
  if (fd.valid() && ::tcgetattr(fd.get(), &settings) == 0) {
    ::cfmakeraw(&settings);
    (void)::tcsetattr(fd.get(), TCSANOW, &settings);
  }
  return fd;
}

std::string readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(MvexboardTest, GreetsThenStoresAnUploadAndDumpsItBack) {
  ScratchDir dir;
  const std::string logPath = dir.path() + "/received.log";
  BoardProcess board({"--log", logPath});
  const std::string path = board.linePath();
  ASSERT_EQ(0u, path.rfind("/dev/pts/", 0)) << path;
  UniqueFd line = openLine(path);
  ASSERT_TRUE(line.valid());
  EXPECT_EQ(kGreeting, readUntil(line.get(), "> "));

  const std::string upload = "0000: 01 02 03\r0010: aa\rEND\r";
  writeAll(line.get(), upload);
  EXPECT_EQ("0000: 01 02 03\r\n0010: aa\r\nEND\r\nLoaded 4 bytes\r\n> ",
            readUntil(line.get(), "> "));
  writeAll(line.get(), "Y");
  EXPECT_EQ(
      "Y\r\n"
      "0000: 01 02 03 00 00 00 00 00 00 00 00 00 00 00 00 00\r\n"
      "0010: AA\r\n"
      "> ",
      readUntil(line.get(), "> "));

  // Every received byte, in order, one line each: microseconds, a space, two hex digits.
  std::istringstream log(readFile(logPath));
  std::string received;
  long long previous = -1;
  long long micros = 0;
  std::string hex;
  while (log >> micros >> hex) {
    ASSERT_EQ(2u, hex.size()) << hex;
    EXPECT_GE(micros, previous);
    previous = micros;
    received += static_cast<char>(std::stoi(hex, nullptr, 16));
  }
  EXPECT_EQ(upload + "Y", received);
}

TEST(MvexboardTest, FixedListingAnswersTheDump) {
  BoardProcess board({"--listing", "18", "--quiet"});
  UniqueFd line = openLine(board.linePath());
  ASSERT_TRUE(line.valid());
  writeAll(line.get(), "Y");
  EXPECT_EQ(
      "Y\r\n"
      "0000: 0B 30 55 7A 9F C4 E9 0E 33 58 7D A2 C7 EC 11 36\r\n"
      "0010: 5B 80\r\n"
      "> ",
      readUntil(line.get(), "> "));
}

TEST(MvexboardTest, GreetsAgainOnResetByteAndOnSignal) {
  BoardProcess board({});
  UniqueFd line = openLine(board.linePath());
  ASSERT_TRUE(line.valid());
  ASSERT_EQ(kGreeting, readUntil(line.get(), "> "));
  writeAll(line.get(), "\x12");
  EXPECT_EQ(kGreeting, readUntil(line.get(), "> "));
  board.signal(SIGUSR1);
  EXPECT_EQ(kGreeting, readUntil(line.get(), "> "));
}

TEST(MvexboardTest, GreetsAgainWhenTheLineIsOpenedAgain) {
  BoardProcess board({});
  const std::string path = board.linePath();
  UniqueFd line = openLine(path);
  ASSERT_TRUE(line.valid());
  ASSERT_EQ(kGreeting, readUntil(line.get(), "> "));
  // A close that is followed at once by the next open leaves no trace the board could see, so
  // the line stays closed a little longer with every attempt.
  std::string greeting;
  for (int pauseMs = 50; greeting != kGreeting && pauseMs <= 1600; pauseMs *= 2) {
    line.reset();
    (void)::poll(nullptr, 0, pauseMs);
    line = openLine(path);
    ASSERT_TRUE(line.valid());
    greeting = readUntil(line.get(), "> ", std::chrono::milliseconds(2000));
  }
  EXPECT_EQ(kGreeting, greeting);
}

TEST(MvexboardTest, PausesTheOtherSideWithXoffAndResumesWithXon) {
  BoardProcess board({"--quiet", "--xoff-every", "3", "--xoff-ms", "200"});
  UniqueFd line = openLine(board.linePath());
  ASSERT_TRUE(line.valid());
  const auto start = Clock::now();
  writeAll(line.get(), "abc");
  EXPECT_EQ("abc\x13", readUntil(line.get(), "\x13"));
  EXPECT_EQ("\x11", readUntil(line.get(), "\x11"));
  // A generous lower bound only: the XON must not come with the XOFF.
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(100));
}

TEST(MvexboardTest, ExitOnCloseEndsTheBoardWhenTheLineIsClosed) {
  BoardProcess board({"--quiet", "--exit-on-close"});
  UniqueFd line = openLine(board.linePath());
  ASSERT_TRUE(line.valid());
  writeAll(line.get(), "\r");
  ASSERT_EQ("\r\n> ", readUntil(line.get(), "> "));
  line.reset();
  const int status = board.awaitExit();
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(0, WEXITSTATUS(status));
}

TEST(MvexboardTest, StopsCleanlyOnSigtermAndRemovesItsLink) {
  ScratchDir dir;
  const std::string linkPath = dir.path() + "/board";
  BoardProcess board({"--link", linkPath});
  const std::string path = board.linePath();
  char target[256] = {};
  ASSERT_GT(::readlink(linkPath.c_str(), target, sizeof target - 1), 0);
  EXPECT_EQ(path, target);
  board.signal(SIGTERM);
  const int status = board.awaitExit();
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(0, WEXITSTATUS(status));
  EXPECT_NE(0, ::access(linkPath.c_str(), F_OK));
}

}  // namespace
}  // namespace mvex
