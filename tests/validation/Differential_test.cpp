// Mutated payloads against the outcomes recorded from an earlier build: decoding errors and
// validation codes must stay byte-identical when the decoder or the checks are made faster.
// To record again (only when a change of outcome is intended):
//   PAVENDA_RECORD_DIFFERENTIAL=tests/data/differential-expected.txt
//     build/bin/pavenda_tests --gtest_filter='Differential.*'   (one command line)

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <pavenda/PayMerchantTLV.h>
#include <pavenda/TLVGenerator.h>

#include "decoding/Decode.h"
#include "encoding/ZArodezQRUtility.h"
#include "support/Unicode.h"

namespace pavenda {
namespace {

const std::filesystem::path sourceDir = PAVENDA_SOURCE_DIR;

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  EXPECT_TRUE(in.good() || in.eof()) << path;
  return text.str();
}

std::vector<std::string> seeds() {
  std::vector<std::string> found;
  std::istringstream lines(readFile(sourceDir / "tests/data/mixed-payloads.txt"));
  for (std::string line; std::getline(lines, line);)
    found.push_back(line);
  std::vector<std::filesystem::path> corpus;
  for (const auto& entry : std::filesystem::directory_iterator(sourceDir / "fuzz/corpus/decode"))
    corpus.push_back(entry.path());
  std::sort(corpus.begin(), corpus.end());
  for (const auto& path : corpus)
    found.push_back(readFile(path));
  return found;
}

// Bytes that move the decoder off its ASCII paths: CR LF, a combining mark, Chinese, ill-formed.
const std::vector<std::string> insertions = {
    "\r\n", "\r", "\xCC\x81", "\xE4\xB8\xAD", "\xFF", "0", "9", "A", "6304", "62", "\xC3\xA9"};

// One to three random edits; half the results then carry a correct CRC so that the checks decide.
std::string mutate(std::string text, std::mt19937& random, bool recomputeCrc) {
  const unsigned edits = 1 + random() % 3;
  for (unsigned e = 0; e < edits; ++e) {
    const std::size_t at = text.empty() ? 0 : random() % (text.size() + 1);
    switch (random() % 5) {
    case 0:
      if (at < text.size())
        text[at] = static_cast<char>(random() % 256);
      break;
    case 1:
      text.insert(at, insertions[random() % insertions.size()]);
      break;
    case 2:
      if (at < text.size())
        text.erase(at, 1 + random() % 3);
      break;
    case 3:
      if (at < text.size())
        text[at] = static_cast<char>('0' + random() % 10);
      break;
    default:
      text.resize(std::min(text.size(), at + 8));
      break;
    }
  }
  if (recomputeCrc && text.size() >= 4) {
    text.resize(text.size() - 4);
    char digits[5];
    std::snprintf(digits, sizeof digits, "%04X",
                  static_cast<unsigned>(ZArodezQRUtility::payloadCrc(text)));
    text += digits;
  }
  return text;
}

// FNV-1a, so that a change of the generated inputs shows as such rather than as changed outcomes.
std::uint32_t fingerprint(const std::string& text) {
  std::uint32_t hash = 2166136261u;
  for (const char c : text)
    hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  return hash;
}

std::string outcome(const std::string& payload) {
  std::ostringstream line;
  line << std::hex << fingerprint(payload) << std::dec << ' ';
  const auto error = ZArodezPayMerchantTLV().decodeTLV(payload);
  line << (error ? std::to_string(static_cast<int>(*error)) : "-") << ' ';
  const std::vector<std::string> codes = TLVGenerator::tlvValidation(payload);
  for (std::size_t i = 0; i < codes.size(); ++i)
    line << (i == 0 ? "" : ",") << codes[i];
  return line.str();
}

TEST(Differential, MutatedPayloadsKeepTheirRecordedOutcomes) {
  std::mt19937 random(20261207);
  std::vector<std::string> outcomes;
  for (const std::string& seed : seeds()) {
    outcomes.push_back(outcome(seed));
    for (int i = 0; i < 8; ++i)
      outcomes.push_back(outcome(mutate(seed, random, i % 2 == 0)));
  }
  if (const char* record = std::getenv("PAVENDA_RECORD_DIFFERENTIAL")) {
    std::ofstream out(record, std::ios::binary);
    for (const std::string& line : outcomes)
      out << line << '\n';
    out.close();
    ASSERT_TRUE(out) << record;
    GTEST_SKIP() << "recorded " << outcomes.size() << " outcomes to " << record;
  }
  std::istringstream expected(readFile(sourceDir / "tests/data/differential-expected.txt"));
  std::size_t index = 0, differing = 0;
  for (std::string line; std::getline(expected, line); ++index) {
    ASSERT_LT(index, outcomes.size()) << "more recorded outcomes than payloads";
    if (line != outcomes[index] && ++differing <= 10)
      ADD_FAILURE() << "payload " << index << ": recorded " << line << ", now " << outcomes[index];
  }
  EXPECT_EQ(index, outcomes.size());
  EXPECT_EQ(differing, 0u);
}

// Whether every text and sub-field of `view` holds the number of characters a count of the text on
// its own gives: decoding hands the declared lengths to the checks in place of such counts.
bool countsMatchTheTexts(const decoding::RecordView& view) {
  for (std::size_t i = 0; i < ZARODEZMerchantTLV::textPropertyCount; ++i) {
    const decoding::Text text = view.text(static_cast<ZARODEZMerchantTLV::TextProperty>(i));
    if (text && text.characters() != unicode::characterCount(*text))
      return false;
  }
  for (std::size_t i = 0; i < ZARODEZMerchantTLV::mapPropertyCount; ++i)
    if (const auto map = view.map(static_cast<ZARODEZMerchantTLV::MapProperty>(i)))
      for (const decoding::SubField& field : *map)
        if (field.characters() != unicode::characterCount(field.value))
          return false;
  return true;
}

// The fast path of decoding accepts only what the general decoder accepts, and fills the view
// alike; it must also take nearly every payload of the two-digit scheme that decodes (the rest
// have letters or signs where digits belong), or validation would not be fast.
TEST(Differential, FastDecoderAgreesWithTheGeneralOne) {
  std::mt19937 random(20261207);
  std::size_t decoded = 0, fast = 0;
  for (const std::string& seed : seeds()) {
    std::vector<std::string> payloads{seed};
    for (int i = 0; i < 8; ++i)
      payloads.push_back(mutate(seed, random, i % 2 == 0));
    for (const std::string& payload : payloads) {
      decoding::RecordView general;
      const bool generalDecodes = decoding::decodeGeneral(general, payload).ok();
      decoded += generalDecodes && payload.starts_with("00") ? 1 : 0;
      if (generalDecodes) {
        ASSERT_TRUE(countsMatchTheTexts(general)) << payload;
      }
      decoding::RecordView view;
      if (!decoding::decodeOrdinary(view, payload))
        continue;
      ++fast;
      ASSERT_TRUE(generalDecodes) << "accepted only by the fast path: " << payload;
      ASSERT_TRUE(view == general) << payload;
    }
  }
  EXPECT_GT(fast * 100, decoded * 95) << fast << " of " << decoded << " decodable payloads";
}

} // namespace
} // namespace pavenda
