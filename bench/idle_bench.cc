#include <memory>
#include <thread>

#include "bench/measurements.h"

namespace mvex::bench {
namespace {

constexpr double kTargetCpuPercent = 0.5;

struct IdleRun {
  std::string label;
  double cpuPercent = 0;
  double wakeUpsPerSecond = 0;
};

}  // namespace

void measureIdle(BenchContext& context) {
  std::vector<Program> programs = {context.mvexterm};
  programs.insert(programs.end(), context.peers.begin(), context.peers.end());
  std::vector<std::vector<double>> cpu(programs.size());
  std::vector<std::vector<double>> wakeUps(programs.size());
  for (int run = 0; run < context.runs; ++run) {
    // All programs idle side by side: an idle program barely touches the CPU, so they do not
    // disturb one another, and the run takes one interval instead of one per program.
    std::vector<std::unique_ptr<Session>> sessions;
    std::vector<ProcessSample> before(programs.size());
    std::vector<bool> live(programs.size(), false);
    for (size_t i = 0; i < programs.size(); ++i) {
      sessions.push_back(std::make_unique<Session>());
      const std::string dir =
          makeRunDir(context, "idle-" + std::to_string(run) + "-" + std::to_string(i));
      if (const int error = launchReady(*sessions[i], programs[i], dir); error != 0) {
        noteFailure(context, "idle", programs[i].label, error);
        continue;
      }
      live[i] = sampleProcess(sessions[i]->child().pid(), before[i]) == 0;
    }
    const auto start = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(context.idleSeconds));
    const double seconds = secondsBetween(start, Clock::now());
    for (size_t i = 0; i < programs.size(); ++i) {
      ProcessSample after;
      if (!live[i] || sampleProcess(sessions[i]->child().pid(), after) != 0) continue;
      cpu[i].push_back(static_cast<double>(after.cpuNs - before[i].cpuNs) / 1e9 / seconds * 100);
      wakeUps[i].push_back(static_cast<double>(after.wakeUps - before[i].wakeUps) / seconds);
    }
    for (auto& session : sessions) session->stop(2000);
  }
  for (size_t i = 0; i < programs.size(); ++i) {
    if (cpu[i].empty()) continue;
    Figure& percent = context.report.add("idle", programs[i].label, "CPU % of one core", cpu[i]);
    if (programs[i].kind == ProgramKind::kMvexterm) {
      setTarget(percent, kTargetCpuPercent, false, "< 0.5");
    }
    context.report.add("idle", programs[i].label, "wake-ups/s", wakeUps[i]);
  }
}

}  // namespace mvex::bench
