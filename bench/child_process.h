#ifndef MVEX_BENCH_CHILD_PROCESS_H_
#define MVEX_BENCH_CHILD_PROCESS_H_

#include <sys/resource.h>
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace mvex::bench {

/// What the kernel tells about a running process at one moment.
struct ProcessSample {
  int64_t cpuNs = 0;       // time on a CPU so far, user and system
  int64_t wakeUps = 0;     // voluntary and involuntary context switches so far
  int64_t peakRssKiB = 0;  // peak resident memory so far (VmHWM)
};

/// Reads the figures of process `pid` from /proc. Returns 0, or ENOENT when the process is gone;
/// `sample` is unchanged on failure.
[[nodiscard]] int sampleProcess(pid_t pid, ProcessSample& sample);

/// How to start a program: its arguments (argv[0] a path), environment and working directory.
struct Launch {
  std::vector<std::string> arguments;
  std::vector<std::string> environment;
  std::string directory;
  int terminalFd = -1;  // slave made the controlling terminal and standard input, output, error
  int inputFd = -1;     // when not -1: standard input instead of the terminal
  int outputFd = -1;    // when not -1: standard output instead of the terminal
};

/// Owns one started program; stops it when destroyed if it still runs.
class ChildProcess {
 public:
  ChildProcess() = default;
  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&&) = delete;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();

  /// Starts the program in a new session. Returns 0, or the errno of fork; no process runs on
  /// failure. An exec failure shows as an exit status of 127.
  [[nodiscard]] int start(const Launch& launch);

  pid_t pid() const { return pid_; }
  bool running() const { return pid_ > 0 && !reaped_; }

  /// Checks without waiting whether the program has ended; collects its usage when it has.
  bool poll();

  /// Sends `signal` to the program when it still runs.
  void signal(int signal) const;

  /// Ends the program: SIGTERM, then SIGKILL when it has not ended within `graceMs`. Always reaps.
  void stop(int graceMs);

  /// The resource usage collected by wait4 once the program has ended.
  const rusage& usage() const { return usage_; }
  int status() const { return status_; }

 private:
  pid_t pid_ = -1;
  bool reaped_ = false;
  int status_ = 0;
  rusage usage_ = {};
};

}  // namespace mvex::bench

#endif  // MVEX_BENCH_CHILD_PROCESS_H_
