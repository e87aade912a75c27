#include <gtest/gtest.h>

#include <cstddef>
#include <latch>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/Unicode.h"

namespace pavenda::unicode {
namespace {

constexpr std::size_t threadCount = 4;
constexpr std::size_t callsPerThread = 2000;

// What one call computes: character starts through the break iterator (a mark before Han), a
// match of one shared compiled pattern, lower-casing and caseless comparison.
struct Outcome {
  std::vector<std::size_t> starts;
  bool matched = false;
  std::string lowered;
  bool equal = false;

  bool operator==(const Outcome&) const = default;
};

std::string textOf(std::size_t i) {
  return "E\xCC\x81\xE4\xB8\xAD" + std::to_string(i) + (i % 2 == 0 ? "\xF0\x9F\x87\xAE" : "x");
}

Outcome outcomeOf(const Regex& pattern, std::size_t i) {
  const std::string text = textOf(i);
  Outcome outcome;
  const CharIndex index(text);
  for (std::size_t p = 0; p <= index.size(); ++p)
    outcome.starts.push_back(index.offset(p));
  outcome.matched = pattern.hasMatch(text);
  outcome.lowered = toLower(text);
  outcome.equal = equalsIgnoringCase(text, "\xC3\xA9\xE4\xB8\xAD" + std::to_string(i));
  return outcome;
}

// Each thread uses its own break iterator and its own clone of the compiled pattern: results from
// several threads at once must equal those from one.
TEST(UnicodeConcurrency, ThreadsShareCompiledPatternAndBreakRules) {
  const std::optional<Regex> pattern = Regex::compile("[\u4E00-\u9FFF][0-9]*[02468][^0-9]");
  ASSERT_TRUE(pattern);
  std::vector<Outcome> expected;
  for (std::size_t i = 0; i < callsPerThread; ++i)
    expected.push_back(outcomeOf(*pattern, i));
  EXPECT_NE(expected[0].matched, expected[1].matched);

  std::latch start(threadCount);
  std::vector<std::size_t> mismatches(threadCount, 0);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < threadCount; ++t)
    threads.emplace_back([&, t] {
      start.arrive_and_wait();
      for (std::size_t i = 0; i < callsPerThread; ++i)
        if (!(outcomeOf(*pattern, i) == expected[i]))
          ++mismatches[t];
    });
  for (std::thread& thread : threads)
    thread.join();
  for (std::size_t t = 0; t < threadCount; ++t)
    EXPECT_EQ(mismatches[t], 0U) << "thread " << t;
}

} // namespace
} // namespace pavenda::unicode
