#ifndef MVEX_TESTS_HARNESS_PROGRAM_START_H_
#define MVEX_TESTS_HARNESS_PROGRAM_START_H_

#include <sys/types.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "io/unique_fd.h"

namespace mvex::harness {

/// Changes to a program's environment, applied in order: a value sets the variable, nullopt
/// removes it.
using EnvChanges = std::vector<std::pair<std::string, std::optional<std::string>>>;

/// The environment a program under test gets: `parent` (a null-terminated "NAME=value" list)
/// with TERM=xterm, LINES and COLUMNS removed, then `changes` applied.
std::vector<std::string> childEnvironment(const char* const* parent, const EnvChanges& changes);

/// What to start and how.
struct StartRequest {
  std::vector<std::string> argv;         ///< argv[0] is the program's path (no PATH search)
  std::vector<std::string> environment;  ///< complete "NAME=value" list
  std::string workDir;                   ///< the program's working directory
  int rows = 24;
  int columns = 80;
  std::string stdoutPath;  ///< empty: standard output is the terminal; else this file (created)
};

/// A program started on a new pseudo-terminal.
struct StartedProgram {
  pid_t pid = -1;   ///< -1 when nothing runs
  UniqueFd master;  ///< non-blocking; the terminal's side
  UniqueFd slave;   ///< the harness's own descriptor of the program's terminal
  int error = 0;    ///< errno of the step that failed, 0 on success
};

/// Opens a pseudo-terminal of the requested size and runs the program on it as the leader of a
/// new session with the terminal as its controlling terminal, standard input, output and error,
/// default signal handling and no other inherited descriptor. On failure (also when the program
/// cannot be executed or its working directory entered) nothing is left running: pid is -1, the
/// descriptors are closed and `error` tells why.
StartedProgram startOnTerminal(const StartRequest& request);

}  // namespace mvex::harness

#endif  // MVEX_TESTS_HARNESS_PROGRAM_START_H_
