#ifndef MVEX_TESTS_HARNESS_PATHS_H_
#define MVEX_TESTS_HARNESS_PATHS_H_

// Paths of the programs end-to-end tests run. Each test target passes the ones it needs as
// compile definitions, e.g.
//   target_compile_definitions(mvex_e2e_app PRIVATE MVEX_EXTERM_PATH="$<TARGET_FILE:mvexterm>")
// A constant exists only when its definition was given, so a missing one fails at compile time.

namespace mvex::harness {

#ifdef MVEX_EXTERM_PATH
/// The terminal program itself.
inline constexpr const char* kExtermPath = MVEX_EXTERM_PATH;
#endif

#ifdef MVEX_BOARD_PATH
/// The simulated board.
inline constexpr const char* kBoardPath = MVEX_BOARD_PATH;
#endif

#ifdef MVEX_COMPILER_PATH
/// The stand-in compiler command.
inline constexpr const char* kCompilerPath = MVEX_COMPILER_PATH;
#endif

#ifdef MVEX_CONSOLE_EXERCISE_PATH
/// The program that exercises the console operations one by one.
inline constexpr const char* kConsoleExercisePath = MVEX_CONSOLE_EXERCISE_PATH;
#endif

#ifdef MVEX_QUERY_TERMINAL_PATH
/// The harness's own probe: writes a query to its terminal and shows the answer.
inline constexpr const char* kQueryTerminalPath = MVEX_QUERY_TERMINAL_PATH;
#endif

/// The shell the tests run small scripts with.
inline constexpr const char* kShellPath = "/bin/sh";

}  // namespace mvex::harness

#endif  // MVEX_TESTS_HARNESS_PATHS_H_
