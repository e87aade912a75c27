// The payload CRC by each kernel, forced, over texts of a typical payload's length and longer:
// the automatic choice should be the fastest one available.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "encoding/ZArodezQRUtility.h"

namespace pavenda::bench {
namespace {

void crcBy(benchmark::State& state, PayloadCrcKernel kernel) {
  if (!payloadCrcKernelAvailable(kernel)) {
    state.SkipWithError("kernel not available on this processor");
    return;
  }
  const std::vector<std::uint8_t> bytes(static_cast<std::size_t>(state.range(0)), 'A');
  for (auto _ : state)
    benchmark::DoNotOptimize(payloadCrcBy(kernel, bytes, 0xFFFF));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

BENCHMARK_CAPTURE(crcBy, byteWise, PayloadCrcKernel::byteWise)->Arg(120)->Arg(512)->Arg(4096);
BENCHMARK_CAPTURE(crcBy, sliced, PayloadCrcKernel::sliced)->Arg(120)->Arg(512)->Arg(4096);
BENCHMARK_CAPTURE(crcBy, folded, PayloadCrcKernel::folded)->Arg(120)->Arg(512)->Arg(4096);

} // namespace
} // namespace pavenda::bench
