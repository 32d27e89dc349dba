#ifndef MVEX_TESTS_APP_APP_SESSION_H_
#define MVEX_TESTS_APP_APP_SESSION_H_

#include <sys/wait.h>
#include <termios.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "tests/harness/board_line.h"
#include "tests/harness/screen_session.h"

namespace mvex::apptest {

using std::chrono::milliseconds;
using std::chrono::seconds;

/// The bytes a text becomes on the way to the screen: the terminal's output processing writes
/// every LF as CR LF.
inline std::string onScreen(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

/// `count` bytes of hex text as a board lists it: upper-case values, 16 to a line, CR LF ends.
inline std::string hexListing(size_t count) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (size_t i = 0; text.size() < count; ++i) {
    text += kDigits[i % 16];
    text += (i % 16 == 15) ? "\r\n" : " ";
  }
  text.resize(count);
  return text;
}

/// mvexterm on a real terminal, talking to a board line that the test itself drives.
struct AppSession {
  harness::BoardLine board;
  std::unique_ptr<harness::ScreenSession> screen;

  /// Starts mvexterm on the board line; `arguments` follow the port name (baud, delay, compiler).
  explicit AppSession(std::vector<std::string> arguments = {"9600", "2"}, int rows = 24) {
    harness::SessionOptions options;
    options.argv = {MVEX_EXTERM_PATH, board.devicePath()};
    options.argv.insert(options.argv.end(), arguments.begin(), arguments.end());
    options.rows = rows;
    screen = std::make_unique<harness::ScreenSession>(options);
  }

  /// The banner is shown and the line is configured. The port's open discards whatever the
  /// line held, so the board's first bytes must come after it: the output XON/XOFF setting on
  /// the line shows that the open is done.
  bool ready() {
    return board.ok() && screen->started() && screen->waitForText("Press Esc") &&
           screen->waitFor([this] { return (board.lineSettings().c_iflag & IXON) != 0; });
  }

  std::string path(const std::string& name) const { return screen->workDir() + "/" + name; }

  void writeFile(const std::string& name, const std::string& bytes) const {
    std::ofstream(path(name), std::ios::binary) << bytes;
  }

  std::string readFile(const std::string& name) const {
    std::ifstream in(path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  bool fileExists(const std::string& name) const { return std::ifstream(path(name)).good(); }

  /// The board shows its prompt; the test waits until it stands on the screen.
  bool boardPrompt(const std::string& before = "") {
    board.send(before + "> ");
    return screen->waitFor([this] { return screen->output().ends_with("> "); });
  }

  /// Presses Esc and waits until the menu `text` is the last thing shown (an earlier menu may
  /// still stand on the screen), so that the next key goes to the menu.
  bool openMenu(const std::string& text) {
    screen->pressEsc();
    return screen->waitFor([&] { return screen->output().ends_with(text); });
  }

  /// Esc at the prompt, then a menu choice, then the file name at the question that follows.
  bool choose(char choice, const std::string& question, const std::string& fileName) {
    if (!openMenu("[[[ Load Dump Quit ]]] ")) return false;
    screen->type(std::string(1, choice));
    if (!screen->waitForText(question)) return false;
    screen->type(fileName);
    screen->pressEnter();
    return true;
  }

  /// Quits through the menu that is offered and returns the exit status, -1 when it did not end.
  int quit() {
    if (!openMenu("Quit ]]] ")) return -1;
    screen->type("q");
    const int status = screen->waitExit();
    return status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  /// Lets the program run a few passes and collects what it sent.
  std::string sentToBoard(milliseconds settle = milliseconds(300)) {
    screen->pump(settle);
    board.pump();
    return board.received();
  }
};

}  // namespace mvex::apptest

#endif  // MVEX_TESTS_APP_APP_SESSION_H_
