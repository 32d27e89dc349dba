#ifndef MVEX_FUZZ_FUZZ_CHECK_H_
#define MVEX_FUZZ_FUZZ_CHECK_H_

#include <cstdio>
#include <cstdlib>

namespace mvex {

/// Reports a broken property and aborts, so that libFuzzer keeps the input as a finding.
[[noreturn]] inline void fuzzPropertyBroken(const char* property, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, property);
  std::abort();
}

}  // namespace mvex

/// Aborts the fuzz run with the failed condition's text when `condition` does not hold.
#define MVEX_FUZZ_CHECK(condition) \
  ((condition) ? static_cast<void>(0) : ::mvex::fuzzPropertyBroken(#condition, __FILE__, __LINE__))

#endif  // MVEX_FUZZ_FUZZ_CHECK_H_
