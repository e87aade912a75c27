#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <pavenda/FieldDictionary.h>
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

constexpr std::size_t mebibyte = 1 << 20, hundredK = 100000;

std::string repeatedTo(std::string_view unit, std::size_t length, std::string text = "") {
  while (text.size() < length)
    text += unit;
  return text;
}

std::string everyByte() {
  std::string bytes(256, '\0');
  for (std::size_t b = 0; b < bytes.size(); ++b)
    bytes[b] = static_cast<char>(b);
  return bytes;
}

const Codes malformed{"0"};
const invariants::Violations none{};

// A hostile input of type `Input`, and the codes it answers when the outcome is known exactly.
template <typename Input> struct Hostile {
  const char* name;
  std::function<Input()> make;
  std::optional<Codes> codes = malformed;
  friend void PrintTo(const Hostile& c, std::ostream* os) { *os << c.name; }
};

// The case's own name as the test's name.
template <typename Case> std::string nameOfCase(const ::testing::TestParamInfo<Case>& info) {
  return info.param.name;
}

// Hostile payloads: decoding answers; validation gives catalogue codes, each once, "0" on failure.
using PayloadCase = Hostile<std::string>;
class HostilePayload : public ::testing::TestWithParam<PayloadCase> {};

TEST_P(HostilePayload, AnswersWithCatalogueCodes) {
  const std::string payload = GetParam().make();
  EXPECT_EQ(invariants::ofPayload(payload), none);
  if (GetParam().codes) {
    EXPECT_EQ(TLVGenerator::tlvValidation(payload), *GetParam().codes);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Robustness, HostilePayload,
    ::testing::Values(
        PayloadCase{"MebibyteOfOneLetter", [] { return std::string(mebibyte, 'A'); }},
        PayloadCase{"MebibyteOfPayloads", [] { return repeatedTo(typicalPayload, mebibyte); }},
        PayloadCase{"MebibyteOfHan", [] { return repeatedTo("金龙茶馆", mebibyte); }},
        PayloadCase{"MebibyteOfCombiningMarks",
                    [] { return repeatedTo("e\xCC\x81", mebibyte, "00"); }},
        PayloadCase{"MebibyteOfCrLf", [] { return repeatedTo("\r\n", mebibyte, "00"); }},
        PayloadCase{"LongestTemplatesRepeated",
                    [] { return repeatedTo("2699" + std::string(99, '0'), mebibyte, "000201"); }},
        PayloadCase{"EveryByteValueAfterFormatIndicator", [] { return "000201" + everyByte(); }},
        PayloadCase{"NulInsideAValue",
                    [] {
                      return std::string(typicalPayload)
                          .replace(typicalPayload.find("Saffron") + 3, 1, 1, '\0');
                    },
                    Codes{"48"}},
        PayloadCase{"TruncatedSequence", [] { return typicalPayload + "\xE9\x87"; }}),
    nameOfCase<PayloadCase>);

// Every byte value alone, and as the value of a field: no crash, catalogue codes.
TEST(Robustness, EveryByteValueAloneAndAsAValue) {
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    EXPECT_EQ(invariants::ofPayload(byte), none) << b;
    EXPECT_EQ(invariants::ofPayload("0002015901" + byte + "6304ABCD"), none) << b;
    const FieldDictionary minimal{{"payloadFormatIndicator", "01"}, {"merchantName", byte}};
    EXPECT_EQ(invariants::ofGeneration(minimal), none) << b;
  }
}

// Hostile dictionaries: generation answers with a payload or codes and keeps its promises.
using DictionaryCase = Hostile<FieldDictionary>;
class HostileDictionary : public ::testing::TestWithParam<DictionaryCase> {};

TEST_P(HostileDictionary, GenerationKeepsItsPromises) {
  const FieldDictionary dictionary = GetParam().make();
  EXPECT_EQ(invariants::ofGeneration(dictionary), none);
  if (GetParam().codes) {
    const PavendaResponse response = QRCodeGenerator::generateQRCodeString(dictionary);
    EXPECT_EQ(response.qrCodeError() ? response.qrCodeError()->errorCodes() : Codes{},
              *GetParam().codes);
  }
}

// A merchant's dictionary with `key` set to `value`, made when the case runs.
std::function<FieldDictionary()> merchantWith(std::string key, FieldValue value) {
  return [key = std::move(key), value = std::move(value)] {
    FieldDictionary dictionary = *FieldDictionary::fromJSON(R"({"payloadFormatIndicator": "01",
    "zArodezMerchantID": "4000000000000002", "merchantCategoryCode": "5812", "countryCode": "IN",
    "currencyCode": "356", "merchantName": "Shop", "cityName": "Pune"})");
    dictionary.set(key, value);
    return dictionary;
  };
}

INSTANTIATE_TEST_SUITE_P(
    Robustness, HostileDictionary,
    ::testing::Values(
        DictionaryCase{"ValueOf100000Letters",
                       merchantWith("merchantName", std::string(hundredK, 'x'))},
        DictionaryCase{"ValueOf100000Han",
                       merchantWith("cityName", repeatedTo("北", 3 * hundredK))},
        DictionaryCase{"OneCharacterOf100000CombiningMarks",
                       merchantWith("merchantName", repeatedTo("\xCC\x81", 2 * hundredK + 1, "e")),
                       std::nullopt},
        DictionaryCase{"SubFieldOf100000Characters",
                       merchantWith("additionalDataFieldTemplate",
                                    FieldDictionary{{"billID", std::string(hundredK, '7')}})},
        DictionaryCase{"KeyOf100000Characters", merchantWith(std::string(hundredK, 'k'), "v"),
                       std::nullopt},
        DictionaryCase{"EveryByteValueInAValue", merchantWith("merchantName", everyByte())},
        DictionaryCase{"InvalidUtf8InATemplate",
                       merchantWith("merchantInformationLanguageTemplate",
                                    FieldDictionary{{"languagePreference", "Z\xFF"}})}),
    nameOfCase<DictionaryCase>);

// Hostile JSON: reading answers a dictionary or nothing with a reason, never throws, and what it
// reads generates within the promises.
struct JsonCase {
  const char* name;
  std::function<std::string()> make;
  bool reads;
  friend void PrintTo(const JsonCase& c, std::ostream* os) { *os << c.name; }
};

class HostileJson : public ::testing::TestWithParam<JsonCase> {};

TEST_P(HostileJson, ReadsOrAnswersWhy) {
  const std::string json = GetParam().make();
  std::string reason;
  const std::optional<FieldDictionary> dictionary = FieldDictionary::fromJSON(json, &reason);
  EXPECT_EQ(dictionary.has_value(), GetParam().reads) << reason;
  EXPECT_EQ(reason.empty(), GetParam().reads);
  EXPECT_EQ(invariants::ofJSON(json), none);
}

INSTANTIATE_TEST_SUITE_P(
    Robustness, HostileJson,
    ::testing::Values(
        // More characters than two length digits count: refused, not written with three.
        JsonCase{"MebibyteString",
                 [] { return "{\"merchantName\": \"" + std::string(mebibyte, 'x') + "\"}"; }, false},
        JsonCase{"NumberBeyondDouble", [] { return std::string("{\"a\": 1e99999}"); }, false},
        JsonCase{"EscapedNul", [] { return std::string(R"({"merchantName": "a\u0000b"})"); }, true},
        JsonCase{"LoneSurrogateEscape", [] { return std::string("{\"a\": \"\\ud800\"}"); }, false},
        JsonCase{"EveryByteValue", everyByte, false}),
    nameOfCase<JsonCase>);

} // namespace
} // namespace pavenda
