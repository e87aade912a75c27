// Encoding, decoding, validation and generation of each case, and validation time against the size
// of the input.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <pavenda/PayMerchantTLV.h>
#include <pavenda/QRCodeGenerator.h>
#include <pavenda/TLVGenerator.h>

#include "AllocationCounter.h"
#include "Cases.h"

namespace pavenda::bench {
namespace {

// Reports the heap allocations per iteration of a benchmark whose loop started at `before`.
void reportAllocations(benchmark::State& state, std::size_t before) {
  state.counters["allocs"] = benchmark::Counter(static_cast<double>(allocationCount() - before),
                                                benchmark::Counter::kAvgIterations);
}

// Every case must give a payload that validates; measuring a failure path would flatter the
// figures.
std::string checkedPayload(const Case& c) {
  const FieldDictionary dictionary = c.make();
  const PavendaResponse response = QRCodeGenerator::generateQRCodeString(dictionary);
  if (!response.tlvString()) {
    std::fprintf(stderr, "pavenda-bench: case %.*s does not generate: %s\n",
                 static_cast<int>(c.name.size()), c.name.data(),
                 response.qrCodeError() ? response.qrCodeError()->description().c_str() : "");
    std::exit(1);
  }
  return *response.tlvString();
}

void registerCase(const Case& c) {
  const std::string name(c.name);
  const FieldDictionary dictionary = c.make();
  const std::string payload = checkedPayload(c);

  benchmark::RegisterBenchmark(
      ("BM_Encode/" + name).c_str(), [dictionary](benchmark::State& state) {
        for (auto _ : state)
          benchmark::DoNotOptimize(TLVGenerator::encodeDictToTLV(dictionary));
      });
  benchmark::RegisterBenchmark(("BM_Decode/" + name).c_str(), [payload](benchmark::State& state) {
    for (auto _ : state) {
      ZArodezPayMerchantTLV record;
      benchmark::DoNotOptimize(record.decodeTLV(payload));
      benchmark::DoNotOptimize(record);
    }
  });
  benchmark::RegisterBenchmark(("BM_Validate/" + name).c_str(), [payload](benchmark::State& state) {
    const std::size_t before = allocationCount();
    for (auto _ : state)
      benchmark::DoNotOptimize(TLVGenerator::tlvValidation(payload));
    reportAllocations(state, before);
  });
  benchmark::RegisterBenchmark(
      ("BM_Generate/" + name).c_str(), [dictionary](benchmark::State& state) {
        const std::size_t before = allocationCount();
        for (auto _ : state)
          benchmark::DoNotOptimize(QRCodeGenerator::generateQRCodeString(dictionary));
        reportAllocations(state, before);
      });
}

// Throughput of one and of two threads validating, and generating, at once: items_per_second is
// the sum over the threads, per second of wall time.
void registerThreads(const Case& c) {
  const std::string name(c.name);
  const FieldDictionary dictionary = c.make();
  const std::string payload = checkedPayload(c);
  benchmark::RegisterBenchmark(("BM_ValidateThreads/" + name).c_str(),
                               [payload](benchmark::State& state) {
                                 for (auto _ : state)
                                   benchmark::DoNotOptimize(TLVGenerator::tlvValidation(payload));
                                 state.SetItemsProcessed(state.iterations());
                               })
      ->Threads(1)
      ->Threads(2)
      ->UseRealTime();
  benchmark::RegisterBenchmark(("BM_GenerateThreads/" + name).c_str(),
                               [dictionary](benchmark::State& state) {
                                 for (auto _ : state)
                                   benchmark::DoNotOptimize(
                                       QRCodeGenerator::generateQRCodeString(dictionary));
                                 state.SetItemsProcessed(state.iterations());
                               })
      ->Threads(1)
      ->Threads(2)
      ->UseRealTime();
}

// `length` bytes of back-to-back copies of `payload`: the first copy decodes, the second repeats
// its tags, so the whole text is read once before decoding stops with code "0".
std::string repeated(const std::string& payload, std::size_t length) {
  std::string text;
  text.reserve(length + payload.size());
  while (text.size() < length)
    text += payload;
  // Cut at a character boundary so that the text stays valid UTF-8.
  std::size_t end = length;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
    --end;
  text.resize(end);
  return text;
}

void registerSizes(const char* name, const Case& c) {
  const std::string payload = checkedPayload(c);
  benchmark::RegisterBenchmark(
      name,
      [payload](benchmark::State& state) {
        const std::string text = repeated(payload, static_cast<std::size_t>(state.range(0)));
        for (auto _ : state)
          benchmark::DoNotOptimize(TLVGenerator::tlvValidation(text));
        state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
        state.SetComplexityN(state.range(0));
      })
      ->RangeMultiplier(32)
      ->Range(1 << 10, 1 << 20)
      ->Complexity(benchmark::oN);
}

} // namespace
} // namespace pavenda::bench

int main(int argc, char** argv) {
  using namespace pavenda::bench;
  for (const Case& c : cases)
    registerCase(c);
  registerThreads(cases[1]);
  registerSizes("BM_ValidateSize/ascii", cases[1]);
  registerSizes("BM_ValidateSize/cjk", cases[2]);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
