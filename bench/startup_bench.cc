#include <errno.h>

#include "bench/measurements.h"

namespace mvex::bench {
namespace {

constexpr double kTargetMs = 20;
constexpr double kTargetPeakMiB = 4;
constexpr const char* kBannerEnd = "Press Esc to show options or quit";

int startOnce(BenchContext& context, int run, double& bannerMs, double& peakMiB) {
  const std::string dir = makeRunDir(context, "startup-" + std::to_string(run));
  Session session;
  if (const int error = session.open(); error != 0) return error;
  const auto start = Clock::now();
  if (const int error = session.start(commandLine(context.mvexterm, session.linePath()), dir);
      error != 0) {
    return error;
  }
  if (!session.waitForScreen(kBannerEnd, start + std::chrono::seconds(10))) {
    session.stop(500);
    return ETIMEDOUT;
  }
  bannerMs = secondsBetween(start, session.lastScreenRead()) * 1000;
  // Peak memory once the port is open and a byte has been relayed.
  const bool ready = session.waitReady(Clock::now() + std::chrono::seconds(10));
  ProcessSample sample;
  const int sampled = sampleProcess(session.child().pid(), sample);
  session.stop(2000);
  if (!ready) return ETIMEDOUT;
  if (sampled != 0) return sampled;
  peakMiB = static_cast<double>(sample.peakRssKiB) / 1024.0;
  return 0;
}

}  // namespace

void measureStartUp(BenchContext& context) {
  std::vector<double> bannerMs, peakMiB;
  for (int run = 0; run < context.runs; ++run) {
    double ms = 0;
    double mib = 0;
    if (const int error = startOnce(context, run, ms, mib); error != 0) {
      noteFailure(context, "start-up", "mvexterm", error);
      continue;
    }
    bannerMs.push_back(ms);
    peakMiB.push_back(mib);
  }
  if (bannerMs.empty()) return;
  setTarget(context.report.add("start-up", "mvexterm", "to banner ms", bannerMs), kTargetMs, false,
            "< 20");
  setTarget(context.report.add("start-up", "mvexterm", "peak RSS MiB", peakMiB), kTargetPeakMiB,
            false, "< 4");
}

}  // namespace mvex::bench
