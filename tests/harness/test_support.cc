#include "tests/harness/test_support.h"

#include <errno.h>
#include <poll.h>
#include <signal.h>

#include "tests/harness/deadline.h"
#include "tests/harness/file_text.h"
#include "tests/harness/paths.h"

namespace mvex::harness {

std::vector<std::string> shellScript(const std::string& script,
                                     const std::vector<std::string>& arguments) {
  std::vector<std::string> argv = {kShellPath, "-c", script, "sh"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return argv;
}

bool processGone(pid_t pid) {
  if (::kill(pid, 0) != 0 && errno == ESRCH) return true;
  const auto stat = readFile("/proc/" + std::to_string(pid) + "/stat");
  if (!stat) return true;
  const size_t nameEnd = stat->rfind(')');
  return nameEnd != std::string::npos && nameEnd + 2 < stat->size() && (*stat)[nameEnd + 2] == 'Z';
}

bool waitProcessGone(pid_t pid, std::chrono::milliseconds timeout) {
  const Deadline deadline(timeout);
  while (!processGone(pid)) {
    if (deadline.passed()) return false;
    (void)::poll(nullptr, 0, deadline.nextSlice(std::chrono::milliseconds(10)));  // re-check soon
  }
  return true;
}

}  // namespace mvex::harness
