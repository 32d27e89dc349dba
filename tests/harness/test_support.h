#ifndef MVEX_TESTS_HARNESS_TEST_SUPPORT_H_
#define MVEX_TESTS_HARNESS_TEST_SUPPORT_H_

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace mvex::harness {

/// argv that runs `script` with the shell; `arguments` become $1, $2, ...
std::vector<std::string> shellScript(const std::string& script,
                                     const std::vector<std::string>& arguments = {});

/// Whether process `pid` has ended (gone, or a zombie nobody has reaped yet).
bool processGone(pid_t pid);

/// Waits until processGone(pid) or `timeout` passed. Returns whether it is gone.
bool waitProcessGone(pid_t pid, std::chrono::milliseconds timeout = std::chrono::seconds(10));

}  // namespace mvex::harness

#endif  // MVEX_TESTS_HARNESS_TEST_SUPPORT_H_
