#ifndef MVEX_BENCH_PAYLOADS_H_
#define MVEX_BENCH_PAYLOADS_H_

#include <cstddef>
#include <string>

namespace mvex::bench {

/// The text that ends every printable stream; it occurs nowhere else in it.
inline constexpr const char* kEndMarker = "@@END@@";

/// About `size` bytes of numbered printable lines ending in CR LF, then `kEndMarker`, CR, LF.
std::string printableLines(size_t size);

/// A hex file of exactly `size` bytes: "0000: 01 02 ..." lines of 16 values with LF line ends.
std::string hexFile(size_t size);

/// A board listing of about `size` bytes: "000000: 4A 4B ..." lines with CR LF line ends, made
/// only of the bytes a dump capture accepts.
std::string hexListing(size_t size);

}  // namespace mvex::bench

#endif  // MVEX_BENCH_PAYLOADS_H_
