#include "tools/board/board_options.h"

#include <cerrno>
#include <cstdlib>
#include <string_view>

#include "io/error_number.h"
#include "tools/board/board_listing.h"

namespace mvex {

const char kBoardUsage[] =
    "usage: mvexboard [OPTION]...\n"
    "Simulated MORVEX board on a pseudo-terminal. The first line of standard output is the\n"
    "path of the line; open it with the terminal. The board greets when the line is opened\n"
    "(Ctrl-R on the line or SIGUSR1 greets again) and ends on SIGTERM or SIGINT.\n"
    "  --device PATH     serve this serial device instead of a new pseudo-terminal\n"
    "  --link PATH       make a symbolic link PATH to the line (removed at exit)\n"
    "  --listing N       answer the dump with N fixed bytes (at most 65536) instead of memory\n"
    "  --log FILE        log every received byte: microseconds since start and hex value\n"
    "  --exit-on-close   end when the other side closes the line\n"
    "  --xoff-every N    send XOFF after every N received bytes ...\n"
    "  --xoff-ms M       ... and XON M milliseconds later (default 100)\n"
    "  --quiet           send nothing when the line is opened\n"
    "  --help            show this text\n";

namespace {

// A whole decimal number up to `limit`; false for anything else (signs, blanks, suffixes).
bool readCount(const char* text, std::size_t limit, std::size_t& value) {
  if (text[0] < '0' || text[0] > '9') return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long number = std::strtoull(text, &end, 10);
  if (errno != 0 || *end != '\0' || number > limit) return false;
  value = static_cast<std::size_t>(number);
  return true;
}

}  // namespace

int parseBoardOptions(int argc, const char* const* argv, BoardOptions& options,
                      std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view name = argv[i];
    if (name == "--help") {
      options.help = true;
    } else if (name == "--exit-on-close") {
      options.exitOnClose = true;
    } else if (name == "--quiet") {
      options.quiet = true;
    } else if (name == "--device" || name == "--link" || name == "--log" || name == "--listing" ||
               name == "--xoff-every" || name == "--xoff-ms") {
      if (i + 1 >= argc || argv[i + 1][0] == '\0') {
        error = std::string(name) + " needs a value";
        return kBadCall;
      }
      const char* value = argv[++i];
      std::size_t count = 0;
      if (name == "--device") {
        options.devicePath = value;
      } else if (name == "--link") {
        options.linkPath = value;
      } else if (name == "--log") {
        options.logPath = value;
      } else if (!readCount(value, name == "--listing" ? kBoardMemorySize : 3600000, count)) {
        error = std::string(name) + ": not a usable number: " + value;
        return kBadCall;
      } else if (name == "--listing") {
        options.fixedListing = count;
      } else if (name == "--xoff-every") {
        options.xoffEvery = count;
      } else {
        options.xoffMs = count;
      }
    } else {
      error = "unknown argument: " + std::string(name);
      return kBadCall;
    }
  }
  return kSuccess;
}

}  // namespace mvex
