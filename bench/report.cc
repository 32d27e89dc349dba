#include "bench/report.h"

#include <errno.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <sstream>

#include "bench/stats.h"

namespace mvex::bench {
namespace {

std::string jsonText(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string jsonNumber(double value) {
  if (!std::isfinite(value)) return "null";
  std::ostringstream out;
  out << std::setprecision(6) << value;
  return out.str();
}

std::string shown(double value) {
  std::ostringstream out;
  const double magnitude = std::fabs(value);
  out << std::fixed << std::setprecision(magnitude >= 100 ? 1 : magnitude >= 1 ? 3 : 4) << value;
  return out.str();
}

const char* verdictText(Verdict verdict) {
  switch (verdict) {
    case Verdict::kPass:
      return "PASS";
    case Verdict::kMiss:
      return "MISS";
    case Verdict::kNone:
      break;
  }
  return "";
}

}  // namespace

Figure& Report::add(std::string measurement, std::string program, std::string name,
                    std::vector<double> runs) {
  const double value = median(runs);
  return addValue(std::move(measurement), std::move(program), std::move(name), value,
                  std::move(runs));
}

Figure& Report::addValue(std::string measurement, std::string program, std::string name,
                         double value, std::vector<double> runs) {
  figures_.push_back({std::move(measurement), std::move(program), std::move(name), value, "",
                      Verdict::kNone, std::move(runs)});
  return figures_.back();
}

void Report::note(std::string text) { notes_.push_back(std::move(text)); }

void Report::printTable(std::ostream& out) const {
  out << std::left << std::setw(10) << "measure" << std::setw(16) << "program" << std::setw(30)
      << "figure" << std::right << std::setw(12) << "median"
      << "  " << std::left << std::setw(16) << "target"
      << "result\n";
  out << std::string(90, '-') << "\n";
  for (const auto& f : figures_) {
    out << std::left << std::setw(10) << f.measurement << std::setw(16) << f.program
        << std::setw(30) << f.name << std::right << std::setw(12) << shown(f.value) << "  "
        << std::left << std::setw(16) << f.target << verdictText(f.verdict) << "\n";
  }
  for (const auto& n : notes_) out << "note: " << n << "\n";
}

int Report::writeJson(const std::string& path) const {
  std::ofstream out(path, std::ios::trunc);
  if (!out) return errno != 0 ? errno : EIO;
  out << "{\n  \"figures\": [\n";
  for (size_t i = 0; i < figures_.size(); ++i) {
    const auto& f = figures_[i];
    out << "    {\"measurement\": " << jsonText(f.measurement)
        << ", \"program\": " << jsonText(f.program) << ", \"figure\": " << jsonText(f.name)
        << ", \"value\": " << jsonNumber(f.value) << ", \"target\": " << jsonText(f.target)
        << ", \"result\": " << jsonText(verdictText(f.verdict)) << ", \"runs\": [";
    for (size_t r = 0; r < f.runs.size(); ++r) out << (r ? ", " : "") << jsonNumber(f.runs[r]);
    out << "]}" << (i + 1 < figures_.size() ? "," : "") << "\n";
  }
  out << "  ],\n  \"notes\": [";
  for (size_t i = 0; i < notes_.size(); ++i) out << (i ? ", " : "") << jsonText(notes_[i]);
  out << "]\n}\n";
  out.flush();
  return out ? 0 : EIO;
}

int Report::misses() const {
  int count = 0;
  for (const auto& f : figures_) count += f.verdict == Verdict::kMiss ? 1 : 0;
  return count;
}

void setTarget(Figure& figure, double limit, bool atLeast, const std::string& text) {
  figure.target = text;
  const bool met = atLeast ? figure.value >= limit : figure.value <= limit;
  figure.verdict = met ? Verdict::kPass : Verdict::kMiss;
}

}  // namespace mvex::bench
