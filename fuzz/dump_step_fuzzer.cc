// Fuzzes the dump capture's byte classification over a received byte stream. The input picks
// the bytes per mark and where the count starts (a fresh capture, or one that has already
// counted any number of bytes); the rest are the received bytes. The first three bytes of a
// fresh capture are dropped whatever they are, hex text is accepted and counted, the first other
// byte ends the capture uncounted, and a mark comes exactly when the count reaches a multiple
// of the bytes per mark, however long the capture has run.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "app/dump.h"
#include "fuzz/fuzz_check.h"

namespace mvex {
namespace {

constexpr std::string_view kHexText = "0123456789ABCDEF :\r\n";

bool isListingByte(char byte) { return kHexText.find(byte) != std::string_view::npos; }

}  // namespace
}  // namespace mvex

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace mvex;
  FuzzedDataProvider provider(data, size);
  // Start-up makes the bytes per mark 28676 / progressCells: at most 28676, and 0 for a bar too
  // wide to have marks.
  const auto charsPerMark = provider.ConsumeIntegralInRange<int32_t>(-1, 28676);
  const bool fresh = provider.ConsumeBool();
  int32_t dumpCount =
      fresh ? 0 : provider.ConsumeIntegralInRange<int32_t>(0, std::numeric_limits<int32_t>::max());
  // The count the capture stands for, in a width no capture can overflow.
  int64_t counted = dumpCount;
  const std::string received = provider.ConsumeRemainingBytesAsString();
  for (size_t i = 0; i < received.size(); ++i) {
    const char byte = received[i];
    MVEX_FUZZ_CHECK(isHexTextByte(byte) == isListingByte(byte));
    const bool dropping = counted < 3;
    const DumpAction action = dumpStep(dumpCount, byte, charsPerMark);
    if (fresh && i < 3) MVEX_FUZZ_CHECK(action == DumpAction::kDropped);
    if (dropping) {
      MVEX_FUZZ_CHECK(action == DumpAction::kDropped);
      ++counted;
      MVEX_FUZZ_CHECK(dumpCount == counted);
      continue;
    }
    if (!isListingByte(byte)) {
      MVEX_FUZZ_CHECK(action == DumpAction::kEnded);
      MVEX_FUZZ_CHECK(dumpCount >= 3);
      break;
    }
    ++counted;
    const bool mark = charsPerMark > 0 && counted % charsPerMark == 0;
    MVEX_FUZZ_CHECK(action == (mark ? DumpAction::kAcceptedWithMark : DumpAction::kAccepted));
    MVEX_FUZZ_CHECK(dumpCount >= 3);
  }
  return 0;
}
