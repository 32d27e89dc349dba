#ifndef MVEX_BENCH_BENCH_CONTEXT_H_
#define MVEX_BENCH_BENCH_CONTEXT_H_

#include <cstddef>
#include <string>
#include <vector>

#include "bench/programs.h"
#include "bench/report.h"
#include "bench/session.h"

namespace mvex::bench {

/// What every measurement needs: the programs, the sizes, the scratch folder and the report.
struct BenchContext {
  std::string workDir;  // scratch folder of this run; every session gets a folder inside it
  int runs = 5;
  Program mvexterm;
  std::vector<Program> peers;  // picocom and tio, those that were found
  std::string catPath;
  size_t receiveBytes = 2u << 20;
  size_t dumpBytes = 1u << 20;
  size_t uploadBytes = 2000;
  int idleSeconds = 10;
  int latencySamples = 200;
  Report report;
};

/// Makes a fresh folder named `name` inside the scratch folder and returns its path; empty when
/// it cannot be made.
std::string makeRunDir(BenchContext& context, const std::string& name);

/// Opens `session`, starts `program` on it in `directory` and waits until it relays bytes.
/// Returns 0, or an errno (ETIMEDOUT when it never became ready); the program is stopped on
/// failure.
[[nodiscard]] int launchReady(Session& session, const Program& program,
                              const std::string& directory);

/// Brings mvexterm in `session` to its full menu (board prompt, then Esc) and picks `choice`,
/// waiting for the prompt `question`. False when a step does not show in time.
bool openMenuChoice(Session& session, char choice, const std::string& question);

/// Adds a note to the report that `what` failed for `program`, with the reason `error`.
void noteFailure(BenchContext& context, const std::string& what, const std::string& program,
                 int error);

/// Seconds from `from` to `to`.
double secondsBetween(Clock::time_point from, Clock::time_point to);

}  // namespace mvex::bench

#endif  // MVEX_BENCH_BENCH_CONTEXT_H_
