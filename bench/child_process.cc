#include "bench/child_process.h"

#include <errno.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <utility>

namespace mvex::bench {
namespace {

int64_t statusField(const std::string& text, const char* name) {
  const size_t at = text.find(name);
  if (at == std::string::npos) return 0;
  return std::strtoll(text.c_str() + at + std::char_traits<char>::length(name), nullptr, 10);
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
  std::vector<char*> result;
  for (auto& text : texts) result.push_back(text.data());
  result.push_back(nullptr);
  return result;
}

// Runs in the forked child: only async-signal-safe calls until exec.
[[noreturn]] void becomeProgram(const Launch& launch, char* const* argv, char* const* envp) {
  (void)setsid();
  if (launch.terminalFd >= 0) {
    (void)ioctl(launch.terminalFd, TIOCSCTTY, 0);
    (void)dup2(launch.terminalFd, 0);
    (void)dup2(launch.terminalFd, 1);
    (void)dup2(launch.terminalFd, 2);
  }
  if (launch.inputFd >= 0) (void)dup2(launch.inputFd, 0);
  if (launch.outputFd >= 0) (void)dup2(launch.outputFd, 1);
  (void)close_range(3, ~0U, 0);
  if (!launch.directory.empty() && chdir(launch.directory.c_str()) != 0) _exit(127);
  execve(argv[0], argv, envp);
  _exit(127);
}

}  // namespace

int sampleProcess(pid_t pid, ProcessSample& sample) {
  const std::string base = "/proc/" + std::to_string(pid);
  std::ifstream schedstat(base + "/schedstat");
  int64_t cpuNs = 0;
  if (!(schedstat >> cpuNs)) return ENOENT;
  std::ifstream status(base + "/status");
  const std::string text((std::istreambuf_iterator<char>(status)),
                         std::istreambuf_iterator<char>());
  if (text.empty()) return ENOENT;
  sample.cpuNs = cpuNs;
  sample.wakeUps = statusField(text, "\nvoluntary_ctxt_switches:") +
                   statusField(text, "\nnonvoluntary_ctxt_switches:");
  sample.peakRssKiB = statusField(text, "\nVmHWM:");
  return 0;
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)),
      reaped_(other.reaped_),
      status_(other.status_),
      usage_(other.usage_) {}

ChildProcess::~ChildProcess() {
  if (running()) stop(1000);
}

int ChildProcess::start(const Launch& launch) {
  std::vector<std::string> arguments = launch.arguments;
  std::vector<std::string> environment = launch.environment;
  const std::vector<char*> argv = pointers(arguments);
  const std::vector<char*> envp = pointers(environment);
  const pid_t pid = fork();
  if (pid < 0) return errno;
  if (pid == 0) becomeProgram(launch, argv.data(), envp.data());
  pid_ = pid;
  reaped_ = false;
  return 0;
}

bool ChildProcess::poll() {
  if (!running()) return true;
  const pid_t done = wait4(pid_, &status_, WNOHANG, &usage_);
  if (done == pid_) reaped_ = true;
  return reaped_;
}

void ChildProcess::signal(int signal) const {
  if (running()) (void)kill(pid_, signal);  // it may have ended meanwhile
}

void ChildProcess::stop(int graceMs) {
  if (!running()) return;
  signal(SIGTERM);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(graceMs);
  while (!poll() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (poll()) return;
  signal(SIGKILL);
  while (wait4(pid_, &status_, 0, &usage_) < 0 && errno == EINTR) {
  }
  reaped_ = true;
}

}  // namespace mvex::bench
