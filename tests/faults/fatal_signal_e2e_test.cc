// Fatal signals at any moment give the terminal back and leave no process behind.

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>

#include "tests/faults/fault_support.h"
#include "tests/harness/file_text.h"

namespace mvex::faults {
namespace {

// A compiler that takes its time: the shell that runs it and its sleep must not outlive mvexterm.
const std::vector<std::string> kArguments = {"9600", "2", "sh -c 'sleep 30' x"};

bool sleepRuns(FaultSession& session) {
  return session.screen->waitFor([&] {
    const auto members = sessionMembers(session.screen->pid());
    return std::any_of(members.begin(), members.end(),
                       [](pid_t pid) { return processName(pid) == "sleep"; });
  });
}

/// A session under a job-control shell. A sanitizer build would report SIGSEGV itself and exit
/// with 1; the signal is to reach the program's own handler as in a plain build.
std::unique_ptr<FaultSession> startSession() {
  harness::SessionOptions options;
  const char* asan = ::getenv("ASAN_OPTIONS");
  options.env.push_back({"ASAN_OPTIONS", std::string(asan ? asan : "") + ":handle_segv=0"});
  return std::make_unique<FaultSession>(kArguments, Starter::kLoginShell, options);
}

struct Moment {
  const char* name;
  std::function<bool(FaultSession&)> reach;
};

const Moment kMoments[] = {
    {"idle", [](FaultSession& s) { return s.boardPrompt(); }},
    {"menu",
     [](FaultSession& s) { return s.boardPrompt() && s.openMenu("[[[ Load Dump Quit ]]] "); }},
    {"upload",
     [](FaultSession& s) {
       std::string hex = "0000: 01 02 03\n";
       for (int i = 0; i < 300; ++i) hex += "0010: 0A 0B 0C 0D\n";
       return harness::writeFile(s.path("big.hex"), hex) && s.boardPrompt() &&
              s.choose('l', "Hex or MVX file to load: ", "big.hex") && s.board.waitReceived(5);
     }},
    {"dump",
     [](FaultSession& s) {
       return s.boardPrompt() && s.choose('d', "File to write hex bytes: ", "out.hex") &&
              s.board.waitReceivedText("Y");
     }},
    {"compiler",
     [](FaultSession& s) {
       return harness::writeFile(s.path("prog.mvx"), "PRINT 1\n") && s.boardPrompt() &&
              s.choose('l', "Hex or MVX file to load: ", "prog.mvx") && sleepRuns(s);
     }},
};

TEST(FatalSignalTest, EndsMvextermGivingTheTerminalBackAndLeavingNoProcessAtAnyMoment) {
  const int kSignals[] = {SIGINT, SIGTERM, SIGQUIT, SIGHUP, SIGSEGV};
  for (const Moment& moment : kMoments) {
    for (const int signal : kSignals) {
      SCOPED_TRACE(std::string(moment.name) + ", signal " + std::to_string(signal));
      const auto owner = startSession();
      FaultSession& session = *owner;
      ASSERT_TRUE(session.go()) << session.screen->screen();
      ASSERT_TRUE(moment.reach(session)) << session.screen->screen();
      const pid_t extern_ = session.externPid();
      ASSERT_GT(extern_, 0);
      // Everything mvexterm started runs in the shell's session; the shell itself stays.
      std::vector<pid_t> started = sessionMembers(session.screen->pid());
      std::erase(started, session.screen->pid());
      ASSERT_EQ(0, ::kill(extern_, signal));
      const bool ended = session.screen->waitForText("ended " + std::to_string(128 + signal));
      EXPECT_TRUE(ended) << session.screen->screen();
      if (!ended) continue;
      EXPECT_TRUE(session.settingsGivenBack()) << session.settingsReport();
      const auto left = survivors(started, seconds(5));
      EXPECT_TRUE(left.empty()) << left.size() << " process(es) left, the first "
                                << processName(left.empty() ? 0 : left[0]);
    }
  }
}

TEST(FatalSignalTest, CtrlCWhileTheCompilerRunsEndsOnlyTheCompiler) {
  FaultSession session(kArguments, Starter::kLoginShell);
  ASSERT_TRUE(session.go()) << session.screen->screen();
  ASSERT_TRUE(kMoments[4].reach(session)) << session.screen->screen();
  std::vector<pid_t> compiler = sessionMembers(session.screen->pid());
  std::erase(compiler, session.screen->pid());
  std::erase(compiler, session.externPid());
  ASSERT_FALSE(compiler.empty());
  session.screen->type("\x03");
  ASSERT_TRUE(session.screen->waitForText("Compile failed.")) << session.screen->screen();
  EXPECT_TRUE(survivors(compiler, seconds(5)).empty());
  EXPECT_TRUE(session.openMenu("[[[ Load Dump Quit ]]] ")) << session.screen->screen();
  session.screen->type("q");
  ASSERT_TRUE(session.screen->waitForText("ended 0")) << session.screen->screen();
  EXPECT_TRUE(session.settingsGivenBack()) << session.settingsReport();
}

}  // namespace
}  // namespace mvex::faults
