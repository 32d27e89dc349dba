#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "bench/measurements.h"
#include "bench/payloads.h"
#include "bench/stats.h"

namespace mvex::bench {
namespace {

constexpr double kMiB = 1024.0 * 1024.0;

struct DumpRun {
  double seconds = 0;
  double cpuSecondsPerMiB = 0;
};

int64_t fileSize(const std::string& path) {
  struct stat info = {};
  return stat(path.c_str(), &info) == 0 ? static_cast<int64_t>(info.st_size) : -1;
}

std::string fileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Sends `listing` on the line and waits until `path` holds `finalSize` bytes.
int sendAndAwait(Session& session, const std::string& bytes, const std::string& path,
                 int64_t finalSize, DumpRun& result, double mib) {
  ProcessSample before;
  ProcessSample after;
  if (const int error = sampleProcess(session.child().pid(), before); error != 0) return error;
  const auto start = Clock::now();
  session.sendToLine(bytes);
  const bool done = session.pumpUntil(
      start + std::chrono::seconds(120), [&] { return fileSize(path) >= finalSize; }, 1);
  const auto end = Clock::now();
  if (!done) return ETIMEDOUT;
  if (const int error = sampleProcess(session.child().pid(), after); error != 0) return error;
  result.seconds = secondsBetween(start, end);
  result.cpuSecondsPerMiB = static_cast<double>(after.cpuNs - before.cpuNs) / 1e9 / mib;
  return 0;
}

int mvextermDump(BenchContext& context, const std::string& listing, int run, DumpRun& result) {
  const std::string dir = makeRunDir(context, "dump-" + std::to_string(run));
  Session session;
  if (const int error = launchReady(session, context.mvexterm, dir); error != 0) return error;
  if (!openMenuChoice(session, 'd', "File to write hex bytes: ")) return ETIMEDOUT;
  if (const int error = session.type("dump.txt\r"); error != 0) return error;
  if (!session.pumpUntil(Clock::now() + std::chrono::seconds(10),
                         [&] { return session.lineText().find('Y') != std::string::npos; })) {
    return ETIMEDOUT;
  }
  // Three bytes the capture drops, the listing, then the prompt that ends it.
  const std::string path = dir + "/dump.txt";
  const int error = sendAndAwait(session, "Y\r\n" + listing + "> ", path,
                                 static_cast<int64_t>(listing.size() + 4), result,
                                 static_cast<double>(listing.size()) / kMiB);
  session.stop(2000);
  if (error != 0) return error;
  return fileText(path) == listing + "END\n" ? 0 : EPROTO;
}

int catDump(BenchContext& context, const std::string& listing, int run, DumpRun& result) {
  const std::string dir = makeRunDir(context, "cat-" + std::to_string(run));
  const std::string path = dir + "/dump.txt";
  Session session;
  if (const int error = session.open(); error != 0) return error;
  if (const int error = makeSlaveRaw(session.line()); error != 0) return error;
  const UniqueFd out(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (!out.valid()) return errno;
  if (const int error =
          session.start({context.catPath}, dir, session.line().slave.get(), out.get());
      error != 0) {
    return error;
  }
  const int error = sendAndAwait(session, listing, path, static_cast<int64_t>(listing.size()),
                                 result, static_cast<double>(listing.size()) / kMiB);
  session.stop(2000);
  if (error != 0) return error;
  return fileText(path) == listing ? 0 : EPROTO;
}

}  // namespace

void measureDump(BenchContext& context) {
  const std::string listing = hexListing(context.dumpBytes);
  const double kib = static_cast<double>(listing.size()) / 1024.0;
  std::vector<double> mvexRate, mvexCpu, catRate, catCpu, ratios;
  for (int run = 0; run < context.runs; ++run) {
    DumpRun mvex;
    DumpRun floor;
    // Alternate which goes first, so that drift of the machine hits both alike.
    const bool catFirst = run % 2 == 1;
    int catError = catFirst ? catDump(context, listing, run, floor) : 0;
    const int mvexError = mvextermDump(context, listing, run, mvex);
    if (!catFirst) catError = catDump(context, listing, run, floor);
    if (mvexError != 0) noteFailure(context, "dump", "mvexterm", mvexError);
    if (catError != 0) noteFailure(context, "dump", "cat", catError);
    if (mvexError == 0) {
      mvexRate.push_back(kib / mvex.seconds);
      mvexCpu.push_back(mvex.cpuSecondsPerMiB);
    }
    if (catError == 0) {
      catRate.push_back(kib / floor.seconds);
      catCpu.push_back(floor.cpuSecondsPerMiB);
    }
    if (mvexError == 0 && catError == 0) ratios.push_back(floor.seconds / mvex.seconds);
  }
  if (!mvexRate.empty()) {
    context.report.add("dump", "mvexterm", "capture KiB/s", mvexRate);
    context.report.add("dump", "mvexterm", "CPU s/MiB", mvexCpu);
  }
  if (!catRate.empty()) {
    context.report.add("dump", "cat", "capture KiB/s", catRate);
    context.report.add("dump", "cat", "CPU s/MiB", catCpu);
  }
  if (!ratios.empty()) {
    Figure& ratio = context.report.add("dump", "mvexterm", "throughput ratio to cat", ratios);
    setTarget(ratio, 0.5, true, ">= 0.50");
  }
}

}  // namespace mvex::bench
