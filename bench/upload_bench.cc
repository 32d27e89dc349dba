#include <errno.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <thread>

#include "bench/measurements.h"
#include "bench/payloads.h"
#include "bench/stats.h"

namespace mvex::bench {
namespace {

struct UploadRun {
  int error = 0;
  double seconds = 0;       // first byte on the line to last byte on the line
  double ratioToIdeal = 0;  // seconds / ((passes - 1) x delay)
  double gapSpreadMs = 0;   // standard deviation of the gaps between bytes
  double gapP95Ms = 0;
};

// What the board must receive: the file with CR dropped and LF sent as CR.
std::string expectedOnLine(const std::string& file) {
  std::string out;
  for (char c : file) {
    if (c == '\r') continue;
    out += c == '\n' ? '\r' : c;
  }
  return out;
}

UploadRun uploadOnce(BenchContext& context, const std::string& dir, int delayMs,
                     const std::string& file) {
  UploadRun result;
  {
    std::ofstream out(dir + "/upload.hex", std::ios::binary | std::ios::trunc);
    out << file;
    if (!out.flush()) return {EIO};
  }
  Program program = context.mvexterm;
  program.delayMs = delayMs;
  Session session;
  if (const int error = launchReady(session, program, dir); error != 0) return {error};
  if (!openMenuChoice(session, 'l', "Hex or MVX file to load: ")) return {ETIMEDOUT};
  const std::string expected = expectedOnLine(file);
  session.recordLine(true);
  session.clearLine();
  if (const int error = session.type("upload.hex\r"); error != 0) return {error};
  // Each file byte takes one pass, a dropped CR included.
  const auto allowed =
      std::chrono::milliseconds(static_cast<int64_t>(file.size()) * std::max(delayMs, 1) * 2) +
      std::chrono::seconds(10);
  const bool done = session.pumpUntil(Clock::now() + allowed,
                                      [&] { return session.lineText().size() >= expected.size(); });
  session.stop(2000);
  if (!done) return {ETIMEDOUT};
  if (session.lineText() != expected) return {EPROTO};
  const auto& bytes = session.lineBytes();
  result.seconds = secondsBetween(bytes.front().when, bytes.back().when);
  const double ideal = static_cast<double>(file.size() - 1) * delayMs / 1000.0;
  result.ratioToIdeal = delayMs > 0 ? result.seconds / ideal : 0;
  std::vector<double> gaps;
  for (size_t i = 1; i < bytes.size(); ++i) {
    gaps.push_back(secondsBetween(bytes[i - 1].when, bytes[i].when) * 1000);
  }
  result.gapSpreadMs = standardDeviation(gaps);
  result.gapP95Ms = percentile(gaps, 0.95);
  return result;
}

struct PacingTarget {
  int delayMs;
  double tolerance;
};

}  // namespace

void measureUpload(BenchContext& context) {
  const std::string file = hexFile(context.uploadBytes);
  const PacingTarget kTargets[] = {{5, 0.10}, {20, 0.03}, {50, 0.03}};
  std::vector<std::vector<UploadRun>> results(std::size(kTargets),
                                              std::vector<UploadRun>(context.runs));
  // Paced uploads spend nearly all their time asleep, so all of them run side by side: the whole
  // set takes as long as the slowest upload instead of the sum of all.
  std::vector<std::thread> threads;
  for (size_t t = 0; t < std::size(kTargets); ++t) {
    for (int run = 0; run < context.runs; ++run) {
      const std::string dir = makeRunDir(
          context, "upload-" + std::to_string(kTargets[t].delayMs) + "-" + std::to_string(run));
      threads.emplace_back([&context, &results, &file, dir, t, run, delay = kTargets[t].delayMs] {
        results[t][static_cast<size_t>(run)] = uploadOnce(context, dir, delay, file);
      });
    }
  }
  for (auto& thread : threads) thread.join();
  for (size_t t = 0; t < std::size(kTargets); ++t) {
    const std::string label = "mvexterm d=" + std::to_string(kTargets[t].delayMs);
    std::vector<double> ratio, spread, p95;
    for (const auto& r : results[t]) {
      if (r.error != 0) {
        noteFailure(context, "upload", label, r.error);
        continue;
      }
      ratio.push_back(r.ratioToIdeal);
      spread.push_back(r.gapSpreadMs);
      p95.push_back(r.gapP95Ms);
    }
    if (ratio.empty()) continue;
    Figure& achieved = context.report.add("upload", label, "time / ideal", ratio);
    const double tolerance = kTargets[t].tolerance;
    achieved.target = "1 +- " + std::to_string(static_cast<int>(tolerance * 100)) + "%";
    achieved.verdict = std::abs(achieved.value - 1) <= tolerance ? Verdict::kPass : Verdict::kMiss;
    context.report.add("upload", label, "gap std dev ms", spread);
    context.report.add("upload", label, "gap p95 ms", p95);
  }
  std::vector<double> rates;
  for (int run = 0; run < context.runs; ++run) {
    const std::string dir = makeRunDir(context, "upload-unpaced-" + std::to_string(run));
    const UploadRun r = uploadOnce(context, dir, -5, file);
    if (r.error != 0) {
      noteFailure(context, "upload", "mvexterm d=-5", r.error);
    } else if (r.seconds > 0) {
      rates.push_back(static_cast<double>(file.size() - 1) / r.seconds);
    }
  }
  if (!rates.empty()) context.report.add("upload", "mvexterm d=-5", "bytes/s unpaced", rates);
}

}  // namespace mvex::bench
