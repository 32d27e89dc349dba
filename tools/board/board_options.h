#ifndef MVEX_TOOLS_BOARD_BOARD_OPTIONS_H_
#define MVEX_TOOLS_BOARD_BOARD_OPTIONS_H_

#include <cstddef>
#include <optional>
#include <string>

namespace mvex {

/// The settings of one run of the simulated board, from its command line.
struct BoardOptions {
  std::string devicePath;                   ///< serve this device instead of a new pseudo-terminal
  std::string linkPath;                     ///< symbolic link to the line, removed at exit
  std::optional<std::size_t> fixedListing;  ///< dump answers with this many fixed bytes
  std::string logPath;                      ///< every received byte is logged here
  bool exitOnClose = false;                 ///< end when the other side closes the line
  std::size_t xoffEvery = 0;                ///< send XOFF after every this many bytes (0: never)
  std::size_t xoffMs = 100;                 ///< milliseconds from an XOFF to its XON
  bool quiet = false;                       ///< no greeting when the line is opened
  bool help = false;                        ///< print the usage text and end
};

/// The usage text printed for --help and after a command-line error.
extern const char kBoardUsage[];

/// Reads the command line into `options`. Returns 0, or kBadCall with a one-line reason in
/// `error` for an unknown option, a missing or malformed value, or a positional argument;
/// `options` may then be partly filled.
[[nodiscard]] int parseBoardOptions(int argc, const char* const* argv, BoardOptions& options,
                                    std::string& error);

}  // namespace mvex

#endif  // MVEX_TOOLS_BOARD_BOARD_OPTIONS_H_
