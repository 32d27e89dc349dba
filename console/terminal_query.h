#ifndef MVEX_CONSOLE_TERMINAL_QUERY_H_
#define MVEX_CONSOLE_TERMINAL_QUERY_H_

#include <cstddef>
#include <optional>
#include <string_view>

namespace mvex {

/// The two numbers of a terminal's answer and where the answer lies in the input.
struct QueryAnswer {
  int first;
  int second;
  size_t begin;  ///< offset of the answer's ESC
  size_t end;    ///< offset just behind its final byte
};

/// The kinds of answer the console asks for.
enum class QueryKind {
  kPosition,  ///< ESC "[6n", answered ESC "[row;columnR"
  kSize,      ///< ESC "[18t", answered ESC "[8;rows;columnst"
};

/// Finds the first complete answer of kind `kind` in `input`, which may hold keys before and
/// after it. Nothing when no complete answer is there (yet).
[[nodiscard]] std::optional<QueryAnswer> findAnswer(std::string_view input, QueryKind kind);

/// Sends the query `kind` to the terminal and waits a bounded time for its answer; every
/// other byte that arrives meanwhile is kept as key input. Nothing when the console has no
/// terminal, or the terminal did not answer (it is then not asked again in this run).
[[nodiscard]] std::optional<QueryAnswer> queryTerminal(QueryKind kind);

}  // namespace mvex

#endif  // MVEX_CONSOLE_TERMINAL_QUERY_H_
