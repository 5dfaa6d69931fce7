// The batch removal of many users' key records over installations drawn from the input: both key
// files and the per-user results are exactly those of RemoveUserKeys called for each name in turn.
#include <fuzzer/FuzzedDataProvider.h>

#include "tests/fuzz/FuzzSupport.h"
#include "tests/keyindex/BatchDifferential.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const auto pick = [&](std::size_t n) { return input.ConsumeIntegralInRange<std::size_t>(0, n - 1); };
    const BatchCase c = MakeBatchCase(pick);
    const std::string difference = CompareBatchWithOneAtATime(fuzz::ScratchFolder(), c);
    fuzz::NoteContext(difference);
    fuzz::Require(difference.empty(), "the batch removal ends as the removals one user at a time");
    return 0;
}
