#include "bench/programs.h"

#include <unistd.h>

#include <cstdlib>
#include <sstream>

namespace mvex::bench {

std::vector<std::string> commandLine(const Program& program, const std::string& linePath) {
  switch (program.kind) {
    case ProgramKind::kMvexterm:
      // The compiler is never run by the benchmark; "true" keeps any accidental compile harmless.
      return {program.path, linePath, "9600", std::to_string(program.delayMs), "true"};
    case ProgramKind::kPicocom:
      // No flow control, no lock file, no modem-line reset, no messages of its own.
      return {program.path, "--baud",    "9600",    "--flow", "n",
              "--nolock",   "--noreset", "--quiet", linePath};
    case ProgramKind::kTio:
      // Muted: no "Connected" messages, only the line's bytes reach the screen.
      return {program.path, "--baudrate", "9600", "--flow", "none", "--mute", linePath};
  }
  return {};
}

std::string findOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path != nullptr ? path : "/usr/bin:/bin");
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    const std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

}  // namespace mvex::bench
