#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <pavenda/FieldDictionary.h>
#include <pavenda/PayMerchantTLV.h>
#include <pavenda/QRCodeGenerator.h>
#include <pavenda/TLVGenerator.h>

#include "fuzz/Invariants.h"

namespace pavenda {
namespace {

using Codes = std::vector<std::string>;

const std::string typicalPayload =
    "0002010102120216400000000000000226360020com.example.acquirer0108MID-004252045812530335654064"
    "50.00550202560510.005802IN5915Saffron Kitchen6009Bengaluru610656000162270115INV-20261206-17"
    "0704T-0763044BC6";

constexpr std::size_t mebibyte = 1 << 20;

std::string repeatedTo(std::string_view unit, std::size_t length) {
  std::string text;
  text.reserve(length + unit.size());
  while (text.size() < length)
    text += unit;
  return text;
}

// `a` followed by `b` (appending, where "literal" + text would insert at the front).
std::string concat(std::string_view a, std::string_view b) {
  std::string text;
  text.reserve(a.size() + b.size());
  text += a;
  text += b;
  return text;
}

std::string everyByte() {
  std::string bytes(256, '\0');
  for (std::size_t b = 0; b < bytes.size(); ++b)
    bytes[b] = static_cast<char>(b);
  return bytes;
}

// The case's own name as the test's name.
template <typename Case> std::string nameOfCase(const ::testing::TestParamInfo<Case>& info) {
  return info.param.name;
}

// Hostile payload texts: whatever they hold, decoding answers and validation gives catalogue codes
// only, each once, with "0" exactly when decoding fails.
struct PayloadCase {
  const char* name;
  std::function<std::string()> make;
  std::optional<Codes> codes; // when the outcome is known exactly
};

void PrintTo(const PayloadCase& c, std::ostream* os) {
  *os << c.name;
}

class HostilePayload : public ::testing::TestWithParam<PayloadCase> {};

TEST_P(HostilePayload, AnswersWithCatalogueCodes) {
  const std::string payload = GetParam().make();
  EXPECT_EQ(invariants::ofPayload(payload), invariants::Violations{});
  if (GetParam().codes) {
    EXPECT_EQ(TLVGenerator::tlvValidation(payload), *GetParam().codes);
  }
}

const Codes malformed{"0"};

INSTANTIATE_TEST_SUITE_P(
    Robustness, HostilePayload,
    ::testing::Values(
        PayloadCase{"MebibyteOfOneLetter", [] { return std::string(mebibyte, 'A'); }, malformed},
        PayloadCase{"MebibyteOfPayloads", [] { return repeatedTo(typicalPayload, mebibyte); },
                    malformed},
        PayloadCase{"MebibyteOfHan", [] { return repeatedTo("金龙茶馆", mebibyte); }, malformed},
        PayloadCase{"MebibyteOfCombiningMarks",
                    [] { return concat("00", repeatedTo("e\xCC\x81", mebibyte)); }, malformed},
        PayloadCase{"MebibyteOfCrLf", [] { return concat("00", repeatedTo("\r\n", mebibyte)); },
                    malformed},
        PayloadCase{
            "LongestTemplatesRepeated",
            [] { return concat("000201", repeatedTo("2699" + std::string(99, '0'), mebibyte)); },
            malformed},
        PayloadCase{"EveryByteValue", everyByte, malformed},
        PayloadCase{"EveryByteValueAfterFormatIndicator",
                    [] { return concat("000201", everyByte()); }, malformed},
        PayloadCase{"NulInsideAValue",
                    [] {
                      std::string p = typicalPayload;
                      p[p.find("Saffron") + 3] = '\0';
                      return p;
                    },
                    Codes{"48"}},
        PayloadCase{"LoneCrAsAValue", [] { return std::string("0002015901\r6304FFFF"); },
                    std::nullopt},
        PayloadCase{"TruncatedSequence", [] { return typicalPayload + "\xE9\x87"; }, malformed}),
    nameOfCase<PayloadCase>);

// Every byte value alone, and as the value of a field: no crash, catalogue codes.
TEST(Robustness, EveryByteValueAloneAndAsAValue) {
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    EXPECT_EQ(invariants::ofPayload(byte), invariants::Violations{}) << b;
    EXPECT_EQ(invariants::ofPayload(concat(concat("0002015901", byte), "6304ABCD")),
              invariants::Violations{})
        << b;
    EXPECT_EQ(invariants::ofGeneration({{"payloadFormatIndicator", "01"}, {"merchantName", byte}}),
              invariants::Violations{})
        << b;
  }
}

// Hostile dictionaries: generation answers with a payload or codes and keeps its promises.
struct DictionaryCase {
  const char* name;
  std::function<FieldDictionary()> make;
  std::optional<Codes> codes; // when the outcome is known exactly
};

void PrintTo(const DictionaryCase& c, std::ostream* os) {
  *os << c.name;
}

class HostileDictionary : public ::testing::TestWithParam<DictionaryCase> {};

TEST_P(HostileDictionary, GenerationKeepsItsPromises) {
  const FieldDictionary dictionary = GetParam().make();
  EXPECT_EQ(invariants::ofGeneration(dictionary), invariants::Violations{});
  if (GetParam().codes) {
    const PavendaResponse response = QRCodeGenerator::generateQRCodeString(dictionary);
    ASSERT_TRUE(response.qrCodeError());
    EXPECT_EQ(response.qrCodeError()->errorCodes(), *GetParam().codes);
  }
}

FieldDictionary merchantWith(std::string key, FieldValue value) {
  FieldDictionary dictionary{{"payloadFormatIndicator", "01"},
                             {"zArodezMerchantID", "4000000000000002"},
                             {"merchantCategoryCode", "5812"},
                             {"currencyCode", "356"},
                             {"countryCode", "IN"},
                             {"merchantName", "Shop"},
                             {"cityName", "Pune"}};
  dictionary.set(std::move(key), std::move(value));
  return dictionary;
}

constexpr std::size_t hundredThousand = 100000;

INSTANTIATE_TEST_SUITE_P(
    Robustness, HostileDictionary,
    ::testing::Values(
        DictionaryCase{
            "ValueOf100000Letters",
            [] { return merchantWith("merchantName", std::string(hundredThousand, 'x')); },
            malformed},
        DictionaryCase{
            "ValueOf100000Han",
            [] { return merchantWith("cityName", repeatedTo("北", 3 * hundredThousand)); },
            malformed},
        DictionaryCase{"OneCharacterOf100000CombiningMarks",
                       [] {
                         return merchantWith(
                             "merchantName",
                             concat("e", repeatedTo("\xCC\x81", 2 * hundredThousand)));
                       },
                       std::nullopt},
        DictionaryCase{"SubFieldOf100000Characters",
                       [] {
                         return merchantWith(
                             "additionalDataFieldTemplate",
                             FieldDictionary{{"billID", std::string(hundredThousand, '7')}});
                       },
                       malformed},
        DictionaryCase{"KeyOf100000Characters",
                       [] { return merchantWith(std::string(hundredThousand, 'k'), "v"); },
                       std::nullopt},
        DictionaryCase{"EveryByteValueInAValue",
                       [] { return merchantWith("merchantName", everyByte()); }, malformed},
        DictionaryCase{"LoneCrValue", [] { return merchantWith("cityName", "\r"); }, std::nullopt},
        DictionaryCase{"InvalidUtf8InATemplate",
                       [] {
                         return merchantWith("merchantInformationLanguageTemplate",
                                             FieldDictionary{{"languagePreference", "Z\xFF"}});
                       },
                       malformed}),
    nameOfCase<DictionaryCase>);

// Hostile JSON: reading answers a dictionary or nothing with a reason, never throws, and what it
// reads generates within the promises.
struct JsonCase {
  const char* name;
  std::function<std::string()> make;
  bool reads;
};

void PrintTo(const JsonCase& c, std::ostream* os) {
  *os << c.name;
}

class HostileJson : public ::testing::TestWithParam<JsonCase> {};

TEST_P(HostileJson, ReadsOrAnswersWhy) {
  const std::string json = GetParam().make();
  std::string reason;
  const std::optional<FieldDictionary> dictionary = FieldDictionary::fromJSON(json, &reason);
  EXPECT_EQ(dictionary.has_value(), GetParam().reads) << reason;
  EXPECT_EQ(reason.empty(), GetParam().reads);
  EXPECT_EQ(invariants::ofJSON(json), invariants::Violations{});
}

INSTANTIATE_TEST_SUITE_P(
    Robustness, HostileJson,
    ::testing::Values(
        JsonCase{"MebibyteString",
                 [] { return "{\"merchantName\": \"" + std::string(mebibyte, 'x') + "\"}"; }, true},
        JsonCase{"NumberBeyondDouble", [] { return std::string("{\"a\": 1e99999}"); }, false},
        JsonCase{"EscapedNul", [] { return std::string("{\"merchantName\": \"a\\u0000b\"}"); },
                 true},
        JsonCase{"LoneSurrogateEscape", [] { return std::string("{\"a\": \"\\ud800\"}"); }, false},
        JsonCase{"EveryByteValue", everyByte, false},
        JsonCase{"NulBytesOnly", [] { return std::string(64, '\0'); }, false}),
    nameOfCase<JsonCase>);

} // namespace
} // namespace pavenda
