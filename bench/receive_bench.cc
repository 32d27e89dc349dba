#include <errno.h>

#include <map>

#include "bench/measurements.h"
#include "bench/payloads.h"
#include "bench/stats.h"

namespace mvex::bench {
namespace {

constexpr double kMiB = 1024.0 * 1024.0;
// Twice the fastest rate of the line (921600 baud, 112.5 KiB/s).
constexpr double kTargetKiBPerSecond = 2 * 112.5;

struct ReceiveRun {
  double wallSeconds = 0;
  double cpuSecondsPerMiB = 0;
  double peakRssMiB = 0;
};

// One program, one run: start, send the whole stream, wait for its end on the screen.
int receiveOnce(BenchContext& context, const Program& program, const std::string& payload, int run,
                ReceiveRun& result) {
  Session session;
  const std::string dir = makeRunDir(context, "receive-" + std::to_string(run));
  if (const int error = launchReady(session, program, dir); error != 0) return error;
  ProcessSample before;
  ProcessSample after;
  if (const int error = sampleProcess(session.child().pid(), before); error != 0) return error;
  const auto start = Clock::now();
  session.sendToLine(payload);
  const bool shown = session.waitForScreen(kEndMarker, start + std::chrono::seconds(120));
  const auto end = Clock::now();
  const int sampled = sampleProcess(session.child().pid(), after);
  session.stop(2000);
  if (!shown) return ETIMEDOUT;
  if (sampled != 0) return sampled;
  const double mib = static_cast<double>(payload.size()) / kMiB;
  result.wallSeconds = secondsBetween(start, end);
  result.cpuSecondsPerMiB = static_cast<double>(after.cpuNs - before.cpuNs) / 1e9 / mib;
  result.peakRssMiB = static_cast<double>(after.peakRssKiB) / 1024.0;
  return 0;
}

}  // namespace

void measureReceive(BenchContext& context) {
  const std::string payload = printableLines(context.receiveBytes);
  std::vector<Program> programs = {context.mvexterm};
  programs.insert(programs.end(), context.peers.begin(), context.peers.end());
  std::map<std::string, std::vector<ReceiveRun>> runs;
  std::vector<double> cpuRatios;
  for (int run = 0; run < context.runs; ++run) {
    std::map<std::string, ReceiveRun> thisRun;
    for (size_t i = 0; i < programs.size(); ++i) {
      // Rotating the order spreads any drift of the machine over all programs.
      const Program& program = programs[(i + static_cast<size_t>(run)) % programs.size()];
      ReceiveRun result;
      if (const int error = receiveOnce(context, program, payload, run, result); error != 0) {
        noteFailure(context, "receive", program.label, error);
        continue;
      }
      thisRun[program.label] = result;
      runs[program.label].push_back(result);
    }
    if (thisRun.count("mvexterm") && thisRun.count("tio") && thisRun["tio"].cpuSecondsPerMiB > 0) {
      cpuRatios.push_back(thisRun["mvexterm"].cpuSecondsPerMiB / thisRun["tio"].cpuSecondsPerMiB);
    }
  }
  const double kib = static_cast<double>(payload.size()) / 1024.0;
  for (const auto& program : programs) {
    std::vector<double> wall, throughput, cpu, rss;
    for (const auto& r : runs[program.label]) {
      wall.push_back(r.wallSeconds);
      throughput.push_back(kib / r.wallSeconds);
      cpu.push_back(r.cpuSecondsPerMiB);
      rss.push_back(r.peakRssMiB);
    }
    if (wall.empty()) continue;
    context.report.add("receive", program.label, "wall s", wall);
    Figure& rate = context.report.add("receive", program.label, "throughput KiB/s", throughput);
    if (program.kind == ProgramKind::kMvexterm)
      setTarget(rate, kTargetKiBPerSecond, true, ">= 225");
    context.report.add("receive", program.label, "CPU s/MiB", cpu);
    context.report.add("receive", program.label, "peak RSS MiB", rss);
  }
  if (!cpuRatios.empty()) {
    Figure& ratio = context.report.add("receive", "mvexterm", "CPU/MiB ratio to tio", cpuRatios);
    setTarget(ratio, 1.0, false, "<= 1.00");
  } else {
    context.report.note("receive: no CPU ratio to tio (tio missing or failed)");
  }
}

}  // namespace mvex::bench
