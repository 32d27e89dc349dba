#include "tests/harness/program_start.h"

#include <errno.h>
#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/harness/pty_io.h"

namespace mvex::harness {

namespace {

void setVariable(std::vector<std::string>& environment, const std::string& name,
                 const std::optional<std::string>& value) {
  const std::string prefix = name + "=";
  std::erase_if(environment, [&](const std::string& entry) { return entry.starts_with(prefix); });
  if (value) environment.push_back(prefix + *value);
}

// Everything the child needs, prepared before fork() so that the child only makes system calls.
struct ChildPlan {
  std::vector<char*> argv;
  std::vector<char*> envp;
  const char* workDir;
  int slave;
  int master;
  int stdoutFile;
  int errorPipe;
};

std::vector<char*> pointersTo(const std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (const std::string& text : texts) pointers.push_back(const_cast<char*>(text.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

[[noreturn]] void failChild(int errorPipe) {
  const int error = errno;
  (void)!::write(errorPipe, &error, sizeof error);  // the parent sees end of file otherwise
  ::_exit(127);
}

[[noreturn]] void runChild(const ChildPlan& plan) {
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  struct sigaction standard {};
  standard.sa_handler = SIG_DFL;
  for (int signal = 1; signal < NSIG; ++signal) (void)sigaction(signal, &standard, nullptr);

  ::close(plan.master);
  if (::setsid() < 0 || ::ioctl(plan.slave, TIOCSCTTY, 0) < 0) failChild(plan.errorPipe);
  for (int target = 0; target <= 2; ++target) {
    if (::dup2(plan.slave, target) < 0) failChild(plan.errorPipe);
  }
  if (plan.stdoutFile >= 0 && ::dup2(plan.stdoutFile, 1) < 0) failChild(plan.errorPipe);
  if (::chdir(plan.workDir) < 0) failChild(plan.errorPipe);
  // Descriptors of the test process (a board line's master above all) must not live on in the
  // program, or closing them there would not be seen.
  (void)::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
  ::execve(plan.argv[0], plan.argv.data(), plan.envp.data());
  failChild(plan.errorPipe);
}

// Reads the child's report: end of file means the program runs, an errno value that it failed.
int childError(int readEnd) {
  int error = 0;
  for (;;) {
    const ssize_t n = ::read(readEnd, &error, sizeof error);
    if (n < 0 && errno == EINTR) continue;
    return n == static_cast<ssize_t>(sizeof error) ? error : 0;
  }
}

void reap(pid_t pid) {
  while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

std::vector<std::string> childEnvironment(const char* const* parent, const EnvChanges& changes) {
  std::vector<std::string> environment;
  for (const char* const* entry = parent; entry != nullptr && *entry != nullptr; ++entry) {
    environment.emplace_back(*entry);
  }
  setVariable(environment, "TERM", "xterm");
  setVariable(environment, "LINES", std::nullopt);
  setVariable(environment, "COLUMNS", std::nullopt);
  for (const auto& [name, value] : changes) setVariable(environment, name, value);
  return environment;
}

StartedProgram startOnTerminal(const StartRequest& request) {
  StartedProgram result;
  if (request.argv.empty()) {
    result.error = EINVAL;
    return result;
  }
  winsize size{};
  size.ws_row = static_cast<unsigned short>(request.rows);
  size.ws_col = static_cast<unsigned short>(request.columns);
  int master = -1;
  int slave = -1;
  if (::openpty(&master, &slave, nullptr, nullptr, &size) < 0) {
    result.error = errno;
    return result;
  }
  result.master.reset(master);
  result.slave.reset(slave);
  if (!makeNonBlockingPrivate(master) || !makePrivate(slave)) {
    result.error = errno;
    return StartedProgram{-1, UniqueFd(), UniqueFd(), result.error};
  }
  UniqueFd stdoutFile;
  if (!request.stdoutPath.empty()) {
    stdoutFile.reset(
        ::open(request.stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!stdoutFile.valid()) return StartedProgram{-1, UniqueFd(), UniqueFd(), errno};
  }
  int pipeEnds[2];
  if (::pipe2(pipeEnds, O_CLOEXEC) < 0) return StartedProgram{-1, UniqueFd(), UniqueFd(), errno};
  UniqueFd readEnd(pipeEnds[0]);
  UniqueFd writeEnd(pipeEnds[1]);

  const std::vector<char*> argv = pointersTo(request.argv);
  const std::vector<char*> envp = pointersTo(request.environment);
  const ChildPlan plan{
      argv, envp, request.workDir.c_str(), slave, master, stdoutFile.get(), writeEnd.get()};
  const pid_t pid = ::fork();
  if (pid < 0) return StartedProgram{-1, UniqueFd(), UniqueFd(), errno};
  if (pid == 0) runChild(plan);

  writeEnd.reset();
  const int error = childError(readEnd.get());
  if (error != 0) {
    reap(pid);
    return StartedProgram{-1, UniqueFd(), UniqueFd(), error};
  }
  result.pid = pid;
  return result;
}

}  // namespace mvex::harness
