#include <errno.h>

#include "bench/measurements.h"
#include "bench/stats.h"

namespace mvex::bench {
namespace {

struct LatencySamples {
  std::vector<double> keyToLineMs;
  std::vector<double> lineToScreenMs;
};

// A pause of 0 to 22 ms before each sample, from a fixed sequence, so that samples fall evenly
// over a program's polling cycle (20 ms for mvexterm's default delay) instead of just after it.
std::chrono::milliseconds pauseFor(int sample) {
  return std::chrono::milliseconds((sample * 7) % 23);
}

int sampleOnce(Session& session, int sample, LatencySamples& out) {
  const auto deadline = Clock::now() + std::chrono::seconds(5);
  session.pumpFor(pauseFor(sample));
  session.clearLine();
  const auto typed = Clock::now();
  if (const int error = session.type("k"); error != 0) return error;
  if (!session.pumpUntil(deadline, [&] { return !session.lineText().empty(); })) return ETIMEDOUT;
  out.keyToLineMs.push_back(secondsBetween(typed, Clock::now()) * 1000);

  session.pumpFor(pauseFor(sample + 3));
  session.markScreen();
  const auto sent = Clock::now();
  session.sendToLine("s");
  if (!session.waitForScreen("s", deadline)) return ETIMEDOUT;
  out.lineToScreenMs.push_back(secondsBetween(sent, Clock::now()) * 1000);
  return 0;
}

int latencyRun(BenchContext& context, const Program& program, int run, int samples,
               LatencySamples& out) {
  Session session;
  const std::string dir = makeRunDir(context, "latency-" + std::to_string(run));
  if (const int error = launchReady(session, program, dir); error != 0) return error;
  int error = 0;
  for (int sample = 0; sample < samples && error == 0; ++sample) {
    error = sampleOnce(session, sample, out);
  }
  session.stop(2000);
  return error;
}

}  // namespace

void measureLatency(BenchContext& context) {
  std::vector<Program> programs = {context.mvexterm};
  programs.insert(programs.end(), context.peers.begin(), context.peers.end());
  for (int delay : {1, 5}) {
    Program paced = context.mvexterm;
    paced.delayMs = delay;
    paced.label = "mvexterm d=" + std::to_string(delay);
    programs.push_back(paced);
  }
  std::vector<LatencySamples> results(programs.size());
  const int perRun = (context.latencySamples + context.runs - 1) / context.runs;
  for (int run = 0; run < context.runs; ++run) {
    for (size_t i = 0; i < programs.size(); ++i) {
      const size_t index = (i + static_cast<size_t>(run)) % programs.size();
      if (const int error = latencyRun(context, programs[index], run, perRun, results[index]);
          error != 0) {
        noteFailure(context, "latency", programs[index].label, error);
      }
    }
  }
  for (size_t i = 0; i < programs.size(); ++i) {
    const auto& r = results[i];
    if (r.keyToLineMs.empty()) continue;
    const std::string& label = programs[i].label;
    context.report.addValue("latency", label, "key->line median ms", median(r.keyToLineMs),
                            r.keyToLineMs);
    context.report.addValue("latency", label, "key->line p95 ms", percentile(r.keyToLineMs, 0.95));
    context.report.addValue("latency", label, "line->screen median ms", median(r.lineToScreenMs),
                            r.lineToScreenMs);
    context.report.addValue("latency", label, "line->screen p95 ms",
                            percentile(r.lineToScreenMs, 0.95));
  }
}

}  // namespace mvex::bench
