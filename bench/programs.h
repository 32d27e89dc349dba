#ifndef MVEX_BENCH_PROGRAMS_H_
#define MVEX_BENCH_PROGRAMS_H_

#include <string>
#include <vector>

namespace mvex::bench {

/// The serial terminals the benchmark compares.
enum class ProgramKind { kMvexterm, kPicocom, kTio };

/// One program to measure, with what its command line needs.
struct Program {
  ProgramKind kind = ProgramKind::kMvexterm;
  std::string label;  // name in the table, e.g. "mvexterm" or "mvexterm d=5"
  std::string path;   // executable
  int delayMs = 20;   // mvexterm's pacing delay (third argument)
};

/// The whole command line that runs `program` as a plain relay on `linePath` at 9600 baud.
std::vector<std::string> commandLine(const Program& program, const std::string& linePath);

/// Finds `name` in the directories of PATH; empty when it is not there.
std::string findOnPath(const std::string& name);

}  // namespace mvex::bench

#endif  // MVEX_BENCH_PROGRAMS_H_
