// Runs console operations named on the command line, in order, so that end-to-end tests can
// watch their effect on a real terminal. Results go to the file given with --out=FILE (one
// line each), or are printed at the cursor when there is none.
//
//   print:TEXT        print TEXT; \e \b \n \r \\ and \xNN stand for their bytes
//   newline  skip:N  locate:R,C,V  sleep:N
//   col  row          record "col=N" / "row=N"
//   readkey           record "key=" and the hex bytes of readKey
//   readkeys:N        record "keys=" and N waitKey values in hex, space-separated
//   readkey-after-sleep:N   sleepMs(N), then like readkey
//   await-key         wait (at most 10 s) until keyWaiting is true
//   await-input       wait (at most 10 s) until the terminal holds input, reading none of it
//   timed-sleep:N     sleepMs(N), record "elapsed=MS"
//   prompt            promptLine(""), record "line=" and the bytes typed
//   wait-key          waitKey, record "waitkey=N"
//   hold              wait for one key, record nothing

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <thread>

#include "console/console.h"
#include "console/keyboard.h"
#include "console/line_editor.h"

namespace {

std::string unescape(std::string_view text) {
  std::string bytes;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      bytes.push_back(text[i]);
      continue;
    }
    const char c = text[++i];
    if (c == 'e') bytes.push_back('\x1b');
    if (c == 'b') bytes.push_back('\b');
    if (c == 'n') bytes.push_back('\n');
    if (c == 'r') bytes.push_back('\r');
    if (c == '\\') bytes.push_back('\\');
    if (c == 'x' && i + 2 < text.size()) {
      bytes.push_back(
          static_cast<char>(std::strtoul(std::string(text.substr(i + 1, 2)).c_str(), nullptr, 16)));
      i += 2;
    }
  }
  return bytes;
}

std::string hex(std::string_view bytes) {
  std::string text;
  char digits[4];
  for (const char c : bytes) {
    std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(c));
    text += digits;
  }
  return text;
}

int number(std::string_view text) { return std::atoi(std::string(text).c_str()); }

class Results {
 public:
  explicit Results(const std::string& path) {
    if (!path.empty()) file_.open(path, std::ios::app | std::ios::binary);
  }
  void record(const std::string& line) {
    if (file_.is_open()) {
      file_ << line << '\n' << std::flush;
    } else {
      mvex::print(line);
    }
  }

 private:
  std::ofstream file_;
};

void awaitKey() {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!mvex::keyWaiting() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void run(std::string_view op, Results& results) {
  const size_t colon = op.find(':');
  const std::string_view name = op.substr(0, colon);
  const std::string_view arg = colon == std::string_view::npos ? "" : op.substr(colon + 1);
  if (name == "print") {
    mvex::print(unescape(arg));
  } else if (name == "newline") {
    mvex::newLine();
  } else if (name == "skip") {
    mvex::skipColumns(number(arg));
  } else if (name == "locate") {
    int row = 0, column = 0, cursor = 0;
    if (std::sscanf(std::string(arg).c_str(), "%d,%d,%d", &row, &column, &cursor) == 3) {
      mvex::locate(row, column, cursor);
    }
  } else if (name == "sleep") {
    mvex::sleepMs(number(arg));
  } else if (name == "col") {
    results.record("col=" + std::to_string(mvex::cursorColumn()));
  } else if (name == "row") {
    results.record("row=" + std::to_string(mvex::cursorRow()));
  } else if (name == "readkey") {
    results.record("key=" + hex(mvex::readKey()));
  } else if (name == "readkey-after-sleep") {
    mvex::sleepMs(number(arg));
    results.record("key=" + hex(mvex::readKey()));
  } else if (name == "readkeys") {
    std::string line = "keys=";
    for (int i = 0; i < number(arg); ++i) {
      char value[16];
      std::snprintf(value, sizeof value, "%s%X", i == 0 ? "" : " ", mvex::waitKey());
      line += value;
    }
    results.record(line);
  } else if (name == "await-input") {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    (void)::poll(&input, 1, 10000);  // standard input is the terminal the keys come from
  } else if (name == "await-key") {
    awaitKey();
  } else if (name == "timed-sleep") {
    const auto start = std::chrono::steady_clock::now();
    mvex::sleepMs(number(arg));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    results.record(
        "elapsed=" +
        std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()));
  } else if (name == "prompt") {
    results.record("line=" + mvex::promptLine(""));
  } else if (name == "wait-key") {
    results.record("waitkey=" + std::to_string(mvex::waitKey()));
  } else if (name == "hold") {
    (void)mvex::waitKey();  // any key ends the hold
  }
}

}  // namespace

int main(int argc, char** argv) {
  mvex::ConsoleSession console;
  std::string outPath;
  int first = 1;
  if (argc > 1 && std::string_view(argv[1]).substr(0, 6) == "--out=") {
    outPath = argv[1] + 6;
    first = 2;
  }
  Results results(outPath);
  for (int i = first; i < argc; ++i) run(argv[i], results);
  return 0;
}
