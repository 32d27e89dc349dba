#ifndef MVEX_TESTS_CONSOLE_EXERCISE_SESSION_H_
#define MVEX_TESTS_CONSOLE_EXERCISE_SESSION_H_

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tests/harness/paths.h"
#include "tests/harness/screen_session.h"

namespace mvex::harness {

/// Options that run the console exercise program with `ops`.
inline SessionOptions exerciseOptions(const std::vector<std::string>& ops) {
  SessionOptions options;
  options.argv.push_back(kConsoleExercisePath);
  options.argv.insert(options.argv.end(), ops.begin(), ops.end());
  return options;
}

/// The name of the result file in a session's working directory.
inline constexpr const char* kResultsName = "results.txt";

/// Options that run the exercise program with its results going to kResultsName.
inline SessionOptions recordingOptions(const std::vector<std::string>& ops) {
  std::vector<std::string> all = {std::string("--out=") + kResultsName};
  all.insert(all.end(), ops.begin(), ops.end());
  return exerciseOptions(all);
}

/// Everything in the session's result file; empty when there is none.
inline std::string results(const ScreenSession& session) {
  std::ifstream file(session.workDir() + "/" + kResultsName, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

/// The 1-based (row, column) of the first cell holding `code`, or (0, 0).
inline std::pair<int, int> findCell(const ScreenSession& session, uint32_t code, int rows = 24,
                                    int columns = 80) {
  for (int row = 1; row <= rows; ++row) {
    for (int column = 1; column <= columns; ++column) {
      if (session.cell(row, column) == code) return {row, column};
    }
  }
  return {0, 0};
}

}  // namespace mvex::harness

#endif  // MVEX_TESTS_CONSOLE_EXERCISE_SESSION_H_
