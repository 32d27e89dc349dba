#ifndef MVEX_BENCH_REPORT_H_
#define MVEX_BENCH_REPORT_H_

#include <ostream>
#include <string>
#include <vector>

namespace mvex::bench {

/// Whether a figure meets its target.
enum class Verdict { kNone, kPass, kMiss };

/// One figure of the table: the median of its runs, and its target when it has one.
struct Figure {
  std::string measurement;  // "receive", "idle", ...
  std::string program;      // "mvexterm", "picocom", "mvexterm d=5", "cat", ...
  std::string name;         // what is measured, e.g. "CPU s/MiB"
  double value = 0;
  std::string target;  // e.g. "<= 1.00"; empty when none
  Verdict verdict = Verdict::kNone;
  std::vector<double> runs;  // the values the figure is the median (or quantile) of
};

/// Collects figures; prints them as one table and writes them as one JSON document.
class Report {
 public:
  /// Adds a figure without a target, the median of `runs`; returns it for further use.
  Figure& add(std::string measurement, std::string program, std::string name,
              std::vector<double> runs);
  /// Adds a figure of value `value` computed elsewhere from `runs`.
  Figure& addValue(std::string measurement, std::string program, std::string name, double value,
                   std::vector<double> runs = {});
  /// Adds a note shown under the table and stored in the JSON (a failure, a skipped program).
  void note(std::string text);

  /// Prints the table, one line per figure, with the PASS/MISS column.
  void printTable(std::ostream& out) const;
  /// Writes every figure with its runs to `path`. Returns 0 or an errno; the file may be partial.
  [[nodiscard]] int writeJson(const std::string& path) const;

  /// Number of figures that missed their target.
  int misses() const;

 private:
  std::vector<Figure> figures_;
  std::vector<std::string> notes_;
};

/// Sets a target "value <= limit" (or >= when `atLeast`) on `figure`.
void setTarget(Figure& figure, double limit, bool atLeast, const std::string& text);

}  // namespace mvex::bench

#endif  // MVEX_BENCH_REPORT_H_
