#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include <pavenda/PayMerchantTLV.h>
#include <pavenda/TLVGenerator.h>

#include "decoding/RecordSupport.h"
#include "encoding/ZArodezQRUtility.h"

namespace pavenda {
namespace {

using Error = TLVDecodingError;

// A payload written element by element, for reading.
std::string join(std::initializer_list<std::string_view> parts) {
  std::string joined;
  for (const std::string_view part : parts)
    joined += part;
  return joined;
}

std::string withCrc(const std::string &objects) {
  const std::string text = objects + "6304";
  return text + ZArodezQRUtility::prefixZeros(ZArodezQRUtility::getCrc(text));
}

struct FailureCase {
  const char *name;
  std::string payload;
  Error error;
};

void PrintTo(const FailureCase &c, std::ostream *os) {
  *os << c.name;
}

class DecodeFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(DecodeFailure, RaisesTheCase) {
  ZArodezPayMerchantTLV record;
  EXPECT_EQ(record.decodeTLV(GetParam().payload), GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Decoder, DecodeFailure,
    ::testing::Values(
        FailureCase{"Empty", "", Error::invalidLength},
        FailureCase{"OneCharacter", "0", Error::invalidLength},
        FailureCase{"NoCrcAtTheEnd", join({"00", "02", "01"}), Error::invalidTag},
        FailureCase{"CrcNotLast", join({"00", "02", "01", "63", "04", "ABCD", "59", "01", "A"}),
                    Error::invalidTag},
        FailureCase{"RepeatedTopLevelTag", join({"00", "02", "01", "00", "02", "01"}),
                    Error::repeatedTag},
        FailureCase{"TagWithoutLength", join({"00", "02", "01", "01"}), Error::invalidLength},
        FailureCase{"TagCutShort", join({"00", "02", "01", "6"}), Error::invalidLength},
        FailureCase{"LengthCutShort", join({"00", "02", "01", "63", "0"}), Error::invalidLength},
        FailureCase{"ValueCutShort", join({"00", "02", "01", "63", "04", "ABC"}),
                    Error::invalidLength},
        FailureCase{"LengthZero", join({"00", "00", "63", "04", "ABCD"}), Error::invalidLength},
        FailureCase{"LengthMinusOne", join({"00", "-1", "63", "04", "ABCD"}), Error::invalidLength},
        FailureCase{"LengthOfLetters", join({"00", "0A", "01", "63", "04", "ABCD"}),
                    Error::invalidLength},
        FailureCase{"LengthOfOtherDigits", join({"00", "\u0660\u0662", "01", "63", "04", "ABCD"}),
                    Error::invalidLength},
        FailureCase{"TagOfLetters", join({"00", "02", "01", "AB", "01", "x", "63", "04", "ABCD"}),
                    Error::invalidTag},
        FailureCase{"SingleCharacterMeaningReadAsTwoDigit", join({"0", "0", "1", "5", "HELLO"}),
                    Error::invalidLength},
        FailureCase{"SubFieldPastTemplateEnd",
                    join({"00", "02", "01", "26", "06", "00", "03", "ab", "c", "63", "04", "ABCD"}),
                    Error::invalidLength},
        FailureCase{"SubTagCutShortInTemplate",
                    join({"00", "02", "01", "26", "05", "00", "01", "a", "b", "63", "04", "ABCD"}),
                    Error::invalidLength},
        FailureCase{"SubLengthCutShortInTemplate",
                    join({"00", "02", "01", "26", "03", "00", "1", "63", "04", "ABCD"}),
                    Error::invalidLength},
        FailureCase{"SubLengthZero",
                    join({"00", "02", "01", "26", "04", "00", "00", "63", "04", "ABCD"}),
                    Error::invalidLength},
        FailureCase{"RepeatedSubTag",
                    join({"00", "02", "01", "26", "10", "00", "01", "a", "00", "01", "b", "63",
                          "04", "ABCD"}),
                    Error::repeatedTag},
        FailureCase{"RepeatedLetterSubTag",
                    join({"00", "02", "01", "80", "10", "xy", "01", "a", "xy", "01", "b", "63",
                          "04", "ABCD"}),
                    Error::repeatedTag},
        FailureCase{"AdditionalDataSubTag00",
                    join({"00", "02", "01", "62", "05", "00", "01", "x", "63", "04", "ABCD"}),
                    Error::invalidTag},
        FailureCase{"AdditionalDataLetterSubTag",
                    join({"00", "02", "01", "62", "05", "ab", "01", "x", "63", "04", "ABCD"}),
                    Error::invalidTag},
        FailureCase{"SingleCharacterLastTagWithoutLength", join({"1", "5", "HELLO", "2"}),
                    Error::invalidLength},
        FailureCase{"SingleCharacterCjkThenTagWithoutLength", join({"3", "2", "\u5317\u4eac", "1"}),
                    Error::invalidLength},
        FailureCase{"SingleCharacterTagsCompareLowerCased", join({"a", "1", "x", "A", "1", "y"}),
                    Error::repeatedTag},
        FailureCase{"SingleCharacterUnknownTag", join({"C", "1", "x"}), Error::invalidTag},
        FailureCase{"SingleCharacterLengthNotBase36", join({"1", "%", "x"}), Error::invalidLength},
        FailureCase{"SingleCharacterValueCutShort", join({"1", "9", "abc"}), Error::invalidLength},
        FailureCase{"InvalidByte", "\xff\xfe", Error::invalidLength},
        FailureCase{"TruncatedSequence", join({"00", "02", "01", "59", "01", "\xc3"}),
                    Error::invalidLength},
        FailureCase{"OverlongSequence",
                    join({"00", "02", "01", "59", "01", "\xc0\xaf", "63", "04", "ABCD"}),
                    Error::invalidLength},
        FailureCase{"EncodedSurrogate", join({"1", "1", "\xed\xa0\x80"}), Error::invalidLength}),
    [](const auto &info) { return std::string(info.param.name); });

struct SuccessCase {
  const char *name;
  std::string payload;
  Fields fields;
};

void PrintTo(const SuccessCase &c, std::ostream *os) {
  *os << c.name;
}

class DecodeSuccess : public ::testing::TestWithParam<SuccessCase> {};

TEST_P(DecodeSuccess, FillsExactlyTheseFields) {
  ZArodezPayMerchantTLV record;
  EXPECT_EQ(record.decodeTLV(GetParam().payload), std::nullopt);
  EXPECT_EQ(record, recordWith(GetParam().fields));
}

INSTANTIATE_TEST_SUITE_P(
    Decoder, DecodeSuccess,
    ::testing::Values(
        SuccessCase{"FormatAndCrc",
                    join({"00", "02", "01", "63", "04", "ABCD"}),
                    {{"payloadFormatIndicator", "01"}, {"crc", "ABCD"}}},
        SuccessCase{"LengthWithPlusSign",
                    join({"00", "+2", "01", "63", "04", "ABCD"}),
                    {{"payloadFormatIndicator", "01"}, {"crc", "ABCD"}}},
        SuccessCase{
            "MerchantIDAndTip",
            join({"00", "02", "01", "02", "03", "M-1", "55", "02", "02", "63", "04", "ABCD"}),
            {{"payloadFormatIndicator", "01"},
             {"zArodezMerchantID", "M-1"},
             {"zArodezMerchantPAN", "M-1"},
             {"tipAndFeeIndicator", "02"},
             {"isTipAvailable", true},
             {"crc", "ABCD"}}},
        SuccessCase{"AdditionalData",
                    join({"00", "02", "01", "62", "07", "01", "03", "abc", "63", "04", "ABCD"}),
                    {{"payloadFormatIndicator", "01"},
                     {"additionalDataField", "0103abc"},
                     {"billID", "abc"},
                     {"additionalDataFieldTemplate", TextMap{{"billID", "abc"}}},
                     {"crc", "ABCD"}}},
        SuccessCase{"AdditionalDataUnnamedSubTag",
                    join({"00", "02", "01", "62", "11", "20", "02", "xy", "07", "01", "T", "63",
                          "04", "ABCD"}),
                    {{"payloadFormatIndicator", "01"},
                     {"additionalDataField", "2002xy0701T"},
                     {"terminalID", "T"},
                     {"additionalDataFieldTemplate", TextMap{{"20", "xy"}, {"terminalID", "T"}}},
                     {"crc", "ABCD"}}},
        SuccessCase{"SubTagsAreTheirOwnKeysInAccountTemplates",
                    join({"00", "02", "01", "01", "02", "11", "26", "05", "01", "01", "a",
                          "27", "10", "01", "01", "b",  "xy", "01", "c",  "63", "04", "ABCD"}),
                    {{"payloadFormatIndicator", "01"},
                     {"pointOfInitiation", "11"},
                     {"tag26", TextMap{{"01", "a"}}},
                     {"tag27", TextMap{{"01", "b"}, {"xy", "c"}}},
                     {"crc", "ABCD"}}},
        SuccessCase{"LanguageTemplateKeys",
                    join({"00", "02", "01", "64", "17", "00", "02", "ZH", "03", "01", "x", "02",
                          "02", "\u5317\u4eac", "63", "04", "ABCD"}),
                    {{"payloadFormatIndicator", "01"},
                     {"merchantInformationLanguageTemplate",
                      TextMap{{"languagePreference", "ZH"},
                              {"03", "x"},
                              {"merchantCityAlternateLanguage", "\u5317\u4eac"}}},
                     {"crc", "ABCD"}}},
        SuccessCase{
            "CombiningMarkCountsWithItsLetter",
            join({"00", "02", "01", "59", "04", "Cafe\u0301", "63", "04", "ABCD"}),
            {{"payloadFormatIndicator", "01"}, {"merchantName", "Cafe\u0301"}, {"crc", "ABCD"}}},
        SuccessCase{"SingleCharacter", join({"1", "5", "HELLO"}), {{"merchantName", "HELLO"}}},
        SuccessCase{"SingleCharacterLetterLength",
                    join({"1", "A", "ABCDEFGHIJ"}),
                    {{"merchantName", "ABCDEFGHIJ"}}},
        SuccessCase{"SingleCharacterLengthThirtyFive",
                    join({"1", "z"}) + std::string(35, 'n'),
                    {{"merchantName", std::string(35, 'n')}}},
        // The Kelvin sign lower-cases to "k", the digit 20.
        SuccessCase{"SingleCharacterLengthLowerCasedFirst",
                    join({"1", "\u212a"}) + std::string(20, 'k'),
                    {{"merchantName", std::string(20, 'k')}}},
        SuccessCase{"SingleCharacterEmptyValue",
                    join({"1", "0", "b", "1", "5"}),
                    {{"merchantName", ""}, {"convenienceFeePercentage", "5"}}},
        SuccessCase{"SingleCharacterTipAndCjk",
                    join({"9", "2", "01", "3", "2", "\u5317\u4eac", "0", "2", "M1"}),
                    {{"tipAndFeeIndicator", "01"},
                     {"isTipAvailable", true},
                     {"cityName", "\u5317\u4eac"},
                     {"zArodezMerchantID", "M1"}}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Decoder, ReadsAPayloadWithCjkNames) {
  // One data object per line, a template's header before its sub-fields; the CJK values of tag 64
  // have the lengths 04 and 02.
  const std::string payload = withCrc(join({
      "000201",
      "010212",
      "02164000123456789012",
      "2626",
      "0010A000000677",
      "0108MERCH001",
      "52045812",
      "5303156",
      "5406100.00",
      "550201",
      "5802CN",
      "5909Tea House",
      "6007Beijing",
      "6106100000",
      "6214",
      "0104B001",
      "0702T1",
      "6420",
      "0002ZH",
      "0104\u8336\u9986\u5c0f\u5e97",
      "0202\u5317\u4eac",
  }));
  ZArodezPayMerchantTLV record;
  ASSERT_EQ(record.decodeTLV(payload), std::nullopt);
  EXPECT_EQ(record,
            recordWith(
                {{"isTipAvailable", true},
                 {"payloadFormatIndicator", "01"},
                 {"pointOfInitiation", "12"},
                 {"zArodezMerchantID", "4000123456789012"},
                 {"zArodezMerchantPAN", "4000123456789012"},
                 {"tag26", TextMap{{"00", "A000000677"}, {"01", "MERCH001"}}},
                 {"merchantCategoryCode", "5812"},
                 {"currencyCode", "156"},
                 {"transactionAmount", "100.00"},
                 {"tipAndFeeIndicator", "01"},
                 {"countryCode", "CN"},
                 {"merchantName", "Tea House"},
                 {"cityName", "Beijing"},
                 {"postalCode", "100000"},
                 {"additionalDataField", "0104B0010702T1"},
                 {"billID", "B001"},
                 {"terminalID", "T1"},
                 {"additionalDataFieldTemplate", TextMap{{"billID", "B001"}, {"terminalID", "T1"}}},
                 {"merchantInformationLanguageTemplate",
                  TextMap{{"languagePreference", "ZH"},
                          {"merchantNameAlternateLanguage", "\u8336\u9986\u5c0f\u5e97"},
                          {"merchantCityAlternateLanguage", "\u5317\u4eac"}}},
                 {"crc", payload.substr(payload.size() - 4)}}));
}

TEST(Decoder, KeepsWhatWasStoredBeforeAFailure) {
  ZArodezPayMerchantTLV record;
  EXPECT_EQ(record.decodeTLV(join({"00", "02", "01", "59", "01", "A", "AB", "01", "x"})),
            Error::invalidTag);
  EXPECT_EQ(record, recordWith({{"payloadFormatIndicator", "01"}, {"merchantName", "A"}}));
}

TEST(Decoder, StoresNothingFromIllFormedText) {
  ZArodezPayMerchantTLV record;
  EXPECT_EQ(record.decodeTLV(
                join({"00", "02", "01", "59", "01", "A", "60", "01", "\x80", "63", "04", "ABCD"})),
            Error::invalidLength);
  EXPECT_EQ(record, ZArodezPayMerchantTLV());
}

// Every element reaches the record through the assignment operations, in their documented shapes.
class RecordingTLV : public ZArodezPayMerchantTLV {
public:
  std::vector<std::string> calls;
  bool acceptLetters = false;

  bool assignTLV00(std::string_view tag, int length, std::string_view value) override {
    calls.push_back(std::string(tag) + "/" + std::to_string(length) + "/" + std::string(value));
    return ZArodezPayMerchantTLV::assignTLV00(tag, length, value);
  }

  bool assignTLV01(std::string_view tag, std::optional<std::string_view> subtag, int length,
                   std::string_view value, std::optional<TextMap> valueDictionary) override {
    std::string call = std::string(tag) + "/" + std::string(subtag.value_or("-")) + "/" +
                       std::to_string(length) + "/" + std::string(value);
    if (valueDictionary) {
      call += "/{";
      for (const auto &[key, entry] : *valueDictionary)
        call += key + ":" + entry + ";";
      call += "}";
    }
    calls.push_back(call);
    if (acceptLetters && tag == "AB")
      return true;
    return ZArodezPayMerchantTLV::assignTLV01(tag, subtag, length, value,
                                              std::move(valueDictionary));
  }
};

TEST(Decoder, HandsEachElementToTheAssignmentOperations) {
  RecordingTLV record;
  ASSERT_EQ(record.decodeTLV(join({"00", "02", "01", "62", "08", "01", "04", "abcd", "26", "06",
                                   "00", "02", "id", "63", "04", "ABCD"})),
            std::nullopt);
  const std::vector<std::string> expected{"00/-/2/01",        "62/-/8/0104abcd",
                                          "62/01/4/abcd",     "62/-/8//{billID:abcd;}",
                                          "26/-/6//{00:id;}", "63/-/4/ABCD"};
  EXPECT_EQ(record.calls, expected);
}

TEST(Decoder, UsesAnOverridingAssignment) {
  const std::string payload =
      join({"00", "02", "01", "AB", "01", "x", "AB", "01", "y", "63", "04", "ABCD"});
  RecordingTLV refusing;
  EXPECT_EQ(refusing.decodeTLV(payload), Error::invalidTag);
  RecordingTLV accepting;
  accepting.acceptLetters = true;
  EXPECT_EQ(accepting.decodeTLV(payload), Error::repeatedTag);

  RecordingTLV single;
  ASSERT_EQ(single.decodeTLV(join({"A", "3", "1.5", "1", "0"})), std::nullopt);
  EXPECT_EQ(single.calls, (std::vector<std::string>{"a/3/1.5", "1/0/"}));
}

struct RoundTripCase {
  const char *name;
  FieldDictionary dictionary;
  Fields fields; // besides the crc
};

void PrintTo(const RoundTripCase &c, std::ostream *os) {
  *os << c.name;
}

class RoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, DecodesWhatTheEncoderWrites) {
  const std::string payload = TLVGenerator::encodeDictToTLV(GetParam().dictionary);
  ZArodezPayMerchantTLV record;
  ASSERT_EQ(record.decodeTLV(payload), std::nullopt) << payload;
  Fields fields = GetParam().fields;
  fields.emplace_back("crc", payload.substr(payload.size() - 4));
  EXPECT_EQ(record, recordWith(fields)) << payload;
}

INSTANTIATE_TEST_SUITE_P(
    Decoder, RoundTrip,
    ::testing::Values(
        RoundTripCase{"FormatAndCurrency",
                      {{"payloadFormatIndicator", "01"}, {"currencyCode", "356"}},
                      {{"payloadFormatIndicator", "01"}, {"currencyCode", "356"}}},
        RoundTripCase{"TagNumberKeys",
                      {{"00", "01"}, {"62", FieldDictionary{{"01", "1234"}}}},
                      {{"payloadFormatIndicator", "01"},
                       {"additionalDataField", "01041234"},
                       {"billID", "1234"},
                       {"additionalDataFieldTemplate", TextMap{{"billID", "1234"}}}}},
        RoundTripCase{
            "LanguageTemplate",
            {{"payloadFormatIndicator", "01"},
             {"merchantInformationLanguageTemplate",
              FieldDictionary{{"languagePreference", "ZH"}}}},
            {{"payloadFormatIndicator", "01"},
             {"merchantInformationLanguageTemplate", TextMap{{"languagePreference", "ZH"}}}}},
        RoundTripCase{"FormatIndicatorWrittenFirst",
                      {{"merchantName", "A"}, {"payloadFormatIndicator", "01"}},
                      {{"payloadFormatIndicator", "01"}, {"merchantName", "A"}}},
        RoundTripCase{"CharactersNotBytes",
                      {{"payloadFormatIndicator", "01"},
                       {"merchantName", "Caf\u00e9"},
                       {"cityName", "\u5317\u4eac"},
                       {"postalCode", "a\r\nb"}},
                      {{"payloadFormatIndicator", "01"},
                       {"merchantName", "Caf\u00e9"},
                       {"cityName", "\u5317\u4eac"},
                       {"postalCode", "a\r\nb"}}},
        RoundTripCase{
            "Merchant",
            {{"payloadFormatIndicator", "01"},
             {"pointOfInitiation", "11"},
             {"zArodezMerchantID", "4000123456789012"},
             {"tag26", FieldDictionary{{"00", "A000000677"}, {"01", "MERCH001"}}},
             {"merchantCategoryCode", "5812"},
             {"currencyCode", "356"},
             {"transactionAmount", "250.00"},
             {"tipAndFeeIndicator", "02"},
             {"convenienceFeeAmount", "10.00"},
             {"countryCode", "IN"},
             {"merchantName", "Chai Point"},
             {"cityName", "Mumbai"},
             {"postalCode", "400001"},
             {"additionalDataFieldTemplate",
              FieldDictionary{{"billID", "B-77"}, {"terminalID", "T01"}, {"30", "extra"}}},
             {"merchantInformationLanguageTemplate",
              FieldDictionary{{"languagePreference", "HI"},
                              {"merchantNameAlternateLanguage", "\u091a\u093e\u092f"}}}},
            {{"payloadFormatIndicator", "01"},
             {"pointOfInitiation", "11"},
             {"zArodezMerchantID", "4000123456789012"},
             {"zArodezMerchantPAN", "4000123456789012"},
             {"tag26", TextMap{{"00", "A000000677"}, {"01", "MERCH001"}}},
             {"merchantCategoryCode", "5812"},
             {"currencyCode", "356"},
             {"transactionAmount", "250.00"},
             {"tipAndFeeIndicator", "02"},
             {"isTipAvailable", true},
             {"convenienceFeeAmount", "10.00"},
             {"countryCode", "IN"},
             {"merchantName", "Chai Point"},
             {"cityName", "Mumbai"},
             {"postalCode", "400001"},
             {"additionalDataField", join({"0104B-770703T01", "3005extra"})},
             {"billID", "B-77"},
             {"terminalID", "T01"},
             {"additionalDataFieldTemplate",
              TextMap{{"billID", "B-77"}, {"terminalID", "T01"}, {"30", "extra"}}},
             {"merchantInformationLanguageTemplate",
              TextMap{{"languagePreference", "HI"},
                      {"merchantNameAlternateLanguage", "\u091a\u093e\u092f"}}}}}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace pavenda
