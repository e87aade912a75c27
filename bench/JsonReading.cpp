// Reading a JSON object of fields against the number of keys: the reader must stay linear however
// many keys a hostile or careless caller sends.

#include <benchmark/benchmark.h>

#include <string>

#include <pavenda/FieldDictionary.h>

namespace {

// `count` distinct keys ("key0", "key1", ...), each with a short text. None is a field key, so the
// whole object is read, indexed and checked before the first key is refused: the full cost.
std::string objectOf(std::size_t count) {
  std::string json = "{";
  for (std::size_t i = 0; i < count; ++i) {
    if (i != 0)
      json += ',';
    json += "\"key";
    json += std::to_string(i);
    json += "\":\"value\"";
  }
  json += '}';
  return json;
}

void BM_ReadJSON(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  const std::string json = objectOf(count);
  std::string error;
  for (auto _ : state)
    benchmark::DoNotOptimize(pavenda::FieldDictionary::fromJSON(json, &error));
  if (error.rfind("key0: ", 0) != 0)
    state.SkipWithError(("unexpected answer: " + error).c_str());
  state.counters["keys/s"] =
      benchmark::Counter(static_cast<double>(count), benchmark::Counter::kIsIterationInvariantRate);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(json.size()));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReadJSON)
    ->RangeMultiplier(10)
    ->Range(10'000, 1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace

BENCHMARK_MAIN();
