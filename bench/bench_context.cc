#include "bench/bench_context.h"

#include <errno.h>
#include <string.h>

#include <filesystem>
#include <system_error>

namespace mvex::bench {

std::string makeRunDir(BenchContext& context, const std::string& name) {
  const std::filesystem::path path = std::filesystem::path(context.workDir) / name;
  std::error_code error;
  std::filesystem::remove_all(path, error);
  if (!std::filesystem::create_directories(path, error)) return {};
  return path.string();
}

int launchReady(Session& session, const Program& program, const std::string& directory) {
  if (const int error = session.open(); error != 0) return error;
  if (const int error = session.start(commandLine(program, session.linePath()), directory);
      error != 0) {
    return error;
  }
  if (session.waitReady(Clock::now() + std::chrono::seconds(10))) return 0;
  session.stop(500);
  return ETIMEDOUT;
}

bool openMenuChoice(Session& session, char choice, const std::string& question) {
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  session.markScreen();
  session.sendToLine("> ");
  if (!session.waitForScreen("> ", deadline)) return false;
  session.markScreen();
  if (session.type("\x1b") != 0) return false;
  if (!session.waitForScreen("[[[ Load Dump Quit ]]] ", deadline)) return false;
  session.markScreen();
  if (session.type(std::string(1, choice)) != 0) return false;
  return session.waitForScreen(question, deadline);
}

void noteFailure(BenchContext& context, const std::string& what, const std::string& program,
                 int error) {
  context.report.note(what + " failed for " + program + ": " + strerror(error));
}

double secondsBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

}  // namespace mvex::bench
