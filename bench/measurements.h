#ifndef MVEX_BENCH_MEASUREMENTS_H_
#define MVEX_BENCH_MEASUREMENTS_H_

#include "bench/bench_context.h"

namespace mvex::bench {

/// Receive cost: the board sends `receiveBytes` of printable lines as fast as the line takes
/// them; wall time until the end is on the screen, CPU per MiB and peak memory, for every program,
/// alternating. Adds its figures (and notes on failures) to the report.
void measureReceive(BenchContext& context);

/// Idle cost: CPU percentage and wake-ups per second over `idleSeconds` without traffic, every
/// program at once after its start-up.
void measureIdle(BenchContext& context);

/// Latency: key typed to byte on the line, and board byte to screen, median and 95th percentile
/// over `latencySamples` samples spread over the runs; mvexterm also at pacing delays 1 and 5.
void measureLatency(BenchContext& context);

/// Upload pacing of mvexterm: a hex file of `uploadBytes` at delays 5, 20 and 50 ms (runs side by
/// side) against the ideal time, the spread of the gaps; unpaced bytes per second at delay -5.
void measureUpload(BenchContext& context);

/// Dump capture of mvexterm: a listing of `dumpBytes` captured into a file, against `cat` of the
/// same line into a file, alternating.
void measureDump(BenchContext& context);

/// Start-up of mvexterm: time from start to the banner on the screen, and peak memory.
void measureStartUp(BenchContext& context);

}  // namespace mvex::bench

#endif  // MVEX_BENCH_MEASUREMENTS_H_
