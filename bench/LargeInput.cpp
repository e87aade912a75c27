// Validation of 64 MiB on one line, more than any payload can hold, for texts of every make-up the
// character index treats differently. Time must be linear in the input; "extra_MiB" is how much the
// peak resident memory grew beyond the text itself while validating, and must stay near zero.

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstddef>
#include <string>
#include <string_view>

#include <pavenda/TLVGenerator.h>

namespace pavenda::bench {
namespace {

constexpr std::size_t largeBytes = std::size_t{64} << 20;

// The peak resident memory of this process so far, in KiB.
long peakKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// A payload start, then `unit` repeated to `largeBytes`, then `last`.
std::string largeText(std::string_view unit, std::string_view last) {
  std::string text = "000201a";
  text.reserve(largeBytes + last.size());
  while (text.size() + unit.size() <= largeBytes)
    text += unit;
  text += last;
  return text;
}

void validateLarge(benchmark::State& state, std::string_view unit, std::string_view last) {
  const std::string text = largeText(unit, last);
  const long before = peakKiB();
  for (auto _ : state)
    benchmark::DoNotOptimize(TLVGenerator::tlvValidation(text));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
  state.counters["extra_MiB"] = static_cast<double>(peakKiB() - before) / 1024.0;
}

struct LargeCase {
  const char* name;
  std::string_view unit;
  std::string_view last;
};

constexpr LargeCase largeCases[] = {
    {"BM_ValidateLarge/ascii_then_letter", "a", "\xC3\xA9"},
    {"BM_ValidateLarge/letters", "\xC3\xA9", ""},
    {"BM_ValidateLarge/han", "\xE4\xB8\xAD", ""},
    {"BM_ValidateLarge/combining_marks", "\xCC\x81", ""},
};

const bool registered = [] {
  for (const LargeCase& c : largeCases)
    benchmark::RegisterBenchmark(c.name, validateLarge, c.unit, c.last)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
  return true;
}();

} // namespace
} // namespace pavenda::bench
