// mvexbench: measures mvexterm, picocom and tio as whole processes on pseudo-terminals and prints
// one table with the targets mvexterm must meet; writes the same figures as JSON.
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <system_error>

#include "bench/measurements.h"

namespace {

using mvex::bench::BenchContext;
using mvex::bench::Program;
using mvex::bench::ProgramKind;

constexpr const char* kUsage =
    "usage: mvexbench --mvexterm PATH [--picocom PATH] [--tio PATH] [--runs N] [--json PATH]\n"
    "                 [--only receive,idle,latency,upload,dump,startup] [--quick]\n"
    "picocom and tio are looked up in PATH when not given; --quick shrinks every measurement\n"
    "for a fast trial (its figures are not comparable with a full run).\n";

struct Options {
  std::string mvexterm;
  std::string picocom = mvex::bench::findOnPath("picocom");
  std::string tio = mvex::bench::findOnPath("tio");
  std::string json = "results.json";
  std::set<std::string> only;
  int runs = 5;
  bool quick = false;
};

// Reads the command line into `options`; false (after a message) when it is not valid.
bool parseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    const bool hasValue = i + 1 < argc;
    if (flag == "--quick") {
      options.quick = true;
    } else if (hasValue && flag == "--mvexterm") {
      options.mvexterm = argv[++i];
    } else if (hasValue && flag == "--picocom") {
      options.picocom = argv[++i];
    } else if (hasValue && flag == "--tio") {
      options.tio = argv[++i];
    } else if (hasValue && flag == "--json") {
      options.json = argv[++i];
    } else if (hasValue && flag == "--runs") {
      char* end = nullptr;
      const long runs = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || runs < 1 || runs > 100) return false;
      options.runs = static_cast<int>(runs);
    } else if (hasValue && flag == "--only") {
      std::istringstream names(argv[++i]);
      std::string name;
      while (std::getline(names, name, ',')) options.only.insert(name);
    } else {
      return false;
    }
  }
  return !options.mvexterm.empty();
}

void addPeer(BenchContext& context, ProgramKind kind, const std::string& label,
             const std::string& path) {
  if (path.empty()) {
    context.report.note(label + " not found: its figures and the ratios to it are missing");
    return;
  }
  context.peers.push_back({kind, label, path, 0});
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parseOptions(argc, argv, options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  char scratch[] = "/tmp/mvexbench.XXXXXX";
  if (mkdtemp(scratch) == nullptr) {
    std::perror("mvexbench: scratch folder");
    return 1;
  }
  BenchContext context;
  context.workDir = scratch;
  context.runs = options.runs;
  context.mvexterm = {ProgramKind::kMvexterm, "mvexterm",
                      std::filesystem::absolute(options.mvexterm).string(), 20};
  addPeer(context, ProgramKind::kPicocom, "picocom", options.picocom);
  addPeer(context, ProgramKind::kTio, "tio", options.tio);
  context.catPath = mvex::bench::findOnPath("cat");
  if (options.quick) {
    context.receiveBytes = 256u << 10;
    context.dumpBytes = 128u << 10;
    context.idleSeconds = 2;
    context.latencySamples = 20 * options.runs;
    context.report.note("--quick: reduced sizes, figures are not comparable with a full run");
  }
  const auto wanted = [&](const char* name) {
    return options.only.empty() || options.only.count(name) != 0;
  };
  const struct {
    const char* name;
    void (*measure)(BenchContext&);
  } kMeasurements[] = {
      {"startup", mvex::bench::measureStartUp}, {"receive", mvex::bench::measureReceive},
      {"dump", mvex::bench::measureDump},       {"latency", mvex::bench::measureLatency},
      {"upload", mvex::bench::measureUpload},   {"idle", mvex::bench::measureIdle},
  };
  for (const auto& m : kMeasurements) {
    if (!wanted(m.name)) continue;
    std::cerr << "mvexbench: " << m.name << "...\n";
    m.measure(context);
  }
  context.report.printTable(std::cout);
  if (const int error = context.report.writeJson(options.json); error != 0) {
    std::cerr << "mvexbench: cannot write " << options.json << ": " << std::strerror(error) << "\n";
  }
  std::error_code ignored;
  std::filesystem::remove_all(scratch, ignored);
  return context.report.misses() == 0 ? 0 : 3;
}
