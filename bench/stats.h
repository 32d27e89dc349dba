#ifndef MVEX_BENCH_STATS_H_
#define MVEX_BENCH_STATS_H_

#include <vector>

namespace mvex::bench {

/// The median of `values` (mean of the two middle ones for an even count); 0 when empty.
double median(std::vector<double> values);

/// The `fraction` quantile (0 to 1) of `values` by the nearest-rank rule; 0 when empty.
double percentile(std::vector<double> values, double fraction);

/// The population standard deviation of `values`; 0 for fewer than two values.
double standardDeviation(const std::vector<double>& values);

}  // namespace mvex::bench

#endif  // MVEX_BENCH_STATS_H_
