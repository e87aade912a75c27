#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/BoundaryInvariants.h"
#include "fuzz/ExplainInvariants.h"
#include "fuzz/Invariants.h"

namespace pavenda {
namespace {

// Every file of the fuzz corpora, crash files kept as regressions included, goes through the same
// checks as the fuzz targets run, so that the ordinary build catches a regression without clang.
struct CorpusFile {
  std::string target; // "decode", "explain", "generate", "json" or "roundtrip"
  std::filesystem::path path;
};

void PrintTo(const CorpusFile& c, std::ostream* os) {
  *os << c.target << '/' << c.path.filename();
}

constexpr const char* targets[] = {"decode", "explain", "generate", "json", "roundtrip"};

std::vector<CorpusFile> corpus() {
  std::vector<CorpusFile> files;
  for (const char* target : targets) {
    const std::filesystem::path dir =
        std::filesystem::path(PAVENDA_SOURCE_DIR) / "fuzz/corpus" / target;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
      if (entry.is_regular_file())
        files.push_back({target, entry.path()});
  }
  std::sort(files.begin(), files.end(),
            [](const CorpusFile& a, const CorpusFile& b) { return a.path < b.path; });
  return files;
}

std::string contents(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class CorpusReplay : public ::testing::TestWithParam<CorpusFile> {};

TEST_P(CorpusReplay, KeepsEveryInvariant) {
  const std::string input = contents(GetParam().path);
  const std::string& target = GetParam().target;
  const invariants::Violations violations = target == "decode"    ? invariants::ofPayload(input)
                                            : target == "explain" ? invariants::ofExplanation(input)
                                            : target == "generate" ? invariants::ofJSON(input)
                                            : target == "json" ? invariants::ofJSONBoundary(input)
                                                               : invariants::ofRoundTrip(input);
  EXPECT_EQ(violations, invariants::Violations{});
}

TEST(CorpusReplay, BothCorporaHaveSeeds) {
  const std::vector<CorpusFile> files = corpus();
  for (const char* target : targets)
    EXPECT_GE(std::count_if(files.begin(), files.end(),
                            [target](const CorpusFile& f) { return f.target == target; }),
              5)
        << target;
}

std::string nameOf(const ::testing::TestParamInfo<CorpusFile>& info) {
  std::string name = info.param.target + "_" + info.param.path.filename().string();
  std::replace_if(
      name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); },
      '_');
  return name;
}

INSTANTIATE_TEST_SUITE_P(Fuzz, CorpusReplay, ::testing::ValuesIn(corpus()), nameOf);

} // namespace
} // namespace pavenda
