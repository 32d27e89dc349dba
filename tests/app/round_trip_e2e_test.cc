// Upload then Dump through the simulated board: the listing gives back the uploaded bytes.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <sstream>

#include "tests/app/app_session.h"

namespace mvex::apptest {
namespace {

/// The simulated board as its own process; the first line it prints is the line's path.
class BoardProcess {
 public:
  BoardProcess() {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], STDOUT_FILENO);
      execl(MVEX_BOARD_PATH, MVEX_BOARD_PATH, "--exit-on-close", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(out[1]);
    out_.reset(out[0]);
    readPath();
  }
  ~BoardProcess() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  const std::string& path() const { return path_; }

 private:
  void readPath() {
    const auto deadline = std::chrono::steady_clock::now() + seconds(10);
    char c = 0;
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd p{out_.get(), POLLIN, 0};
      if (poll(&p, 1, 100) <= 0) continue;
      if (read(out_.get(), &c, 1) != 1 || c == '\n') return;
      path_ += c;
    }
  }
  pid_t pid_ = -1;
  UniqueFd out_;
  std::string path_;
};

/// The bytes of a hex text by address, whatever its line layout.
std::map<int, int> hexBytes(const std::string& text) {
  std::map<int, int> bytes;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    const auto colon = line.find(':');
    if (colon == std::string::npos) continue;
    int address = std::stoi(line.substr(0, colon), nullptr, 16);
    std::istringstream values(line.substr(colon + 1));
    std::string value;
    while (values >> value) bytes[address++] = std::stoi(value, nullptr, 16);
  }
  return bytes;
}

TEST(RoundTripE2eTest, DumpGivesBackWhatLoadSentThroughTheSimulatedBoard) {
  BoardProcess board;
  ASSERT_FALSE(board.path().empty());
  harness::SessionOptions options;
  options.argv = {MVEX_EXTERM_PATH, board.path(), "9600", "1", MVEX_COMPILER_PATH};
  harness::ScreenSession screen(options);
  const auto atPrompt = [&] { return screen.output().ends_with("> "); };
  ASSERT_TRUE(screen.waitFor(atPrompt)) << screen.screen();

  const std::string source = "round trip through the board\n";
  std::ofstream(screen.workDir() + "/trip.mvx") << source;
  screen.pressEsc();
  ASSERT_TRUE(screen.waitForText("[[[ Load Dump Quit ]]]"));
  screen.type("l");
  ASSERT_TRUE(screen.waitForText("Hex or MVX file to load: "));
  screen.type("trip.mvx");
  screen.pressEnter();
  ASSERT_TRUE(screen.waitForText("Loaded", seconds(30))) << screen.screen();
  ASSERT_TRUE(screen.waitFor(atPrompt)) << screen.screen();
  // The upload ends in the pass after its last byte; Esc before that would cancel it.
  screen.pump(milliseconds(200));

  screen.pressEsc();
  ASSERT_TRUE(screen.waitFor([&] { return screen.output().ends_with("[[[ Load Dump Quit ]]] "); }))
      << screen.screen();
  screen.type("d");
  ASSERT_TRUE(screen.waitForText("File to write hex bytes: "));
  screen.type("back.hex");
  screen.pressEnter();
  const std::string dumpFile = screen.workDir() + "/back.hex";
  const auto dumped = [&] {
    std::ifstream in(dumpFile, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return text.ends_with("END\n");
  };
  ASSERT_TRUE(screen.waitFor(dumped, seconds(20))) << screen.screen();

  std::ifstream in(dumpFile, std::ios::binary);
  const std::string listing{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::map<int, int> expected;
  for (size_t i = 0; i < source.size(); ++i)
    expected[static_cast<int>(i)] = static_cast<unsigned char>(source[i]);
  EXPECT_EQ(expected, hexBytes(listing)) << listing;
}

}  // namespace
}  // namespace mvex::apptest
