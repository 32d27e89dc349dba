#ifndef MVEX_TESTS_HARNESS_DEADLINE_H_
#define MVEX_TESTS_HARNESS_DEADLINE_H_

#include <algorithm>
#include <chrono>

namespace mvex::harness {

/// A point in time after which a wait gives up; every wait of the harness has one.
class Deadline {
 public:
  using Clock = std::chrono::steady_clock;

  explicit Deadline(std::chrono::milliseconds timeout) : end_(Clock::now() + timeout) {}

  bool passed() const { return Clock::now() >= end_; }

  /// Milliseconds left, at most `slice` and never below 0: the length of the next poll().
  int nextSlice(std::chrono::milliseconds slice = std::chrono::milliseconds(20)) const {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end_ - Clock::now());
    return static_cast<int>(std::clamp(left, std::chrono::milliseconds(0), slice).count());
  }

 private:
  Clock::time_point end_;
};

}  // namespace mvex::harness

#endif  // MVEX_TESTS_HARNESS_DEADLINE_H_
