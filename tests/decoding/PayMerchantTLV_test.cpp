#include <gtest/gtest.h>

#include <optional>
#include <string>

#include <pavenda/PayMerchantTLV.h>

#include "decoding/RecordSupport.h"

namespace pavenda {
namespace {

TEST(DecodingError, NamesEachCase) {
  EXPECT_EQ(toString(TLVDecodingError::invalidLength), "invalidLength");
  EXPECT_EQ(toString(TLVDecodingError::invalidTagLength), "invalidTagLength");
  EXPECT_EQ(toString(TLVDecodingError::repeatedTag), "repeatedTag");
  EXPECT_EQ(toString(TLVDecodingError::invalidTag), "invalidTag");
}

TEST(SingleCharacterTags, AreExactlyTheTwelveRawValues) {
  for (const char *raw : {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "A", "B"}) {
    const auto tag = payMerchantValidTLV00(raw);
    ASSERT_TRUE(tag) << raw;
    EXPECT_EQ(static_cast<char>(*tag), raw[0]);
  }
  EXPECT_EQ(payMerchantValidTLV00("9"), PayMerchantValidTLV00::TipAndFeeIndicator);
  EXPECT_EQ(payMerchantValidTLV00("B"), PayMerchantValidTLV00::ConvenienceFeePercentage);
  for (const char *raw : {"a", "b", "C", "Z", "", "00", "1 ", "AB", "\xc3\x80", "-"})
    EXPECT_FALSE(payMerchantValidTLV00(raw)) << raw;
}

struct AssignCase {
  const char *name;
  std::string tag;
  std::optional<std::string> subtag;
  std::string value;
  std::optional<TextMap> map;
  bool accepted;
  Fields changes; // what the record holds afterwards, on top of a fresh record
};

void PrintTo(const AssignCase &c, std::ostream *os) {
  *os << c.name;
}

class AssignSingleCharacter : public ::testing::TestWithParam<AssignCase> {};

TEST_P(AssignSingleCharacter, StoresInTheTagsProperty) {
  const AssignCase &c = GetParam();
  ZArodezPayMerchantTLV record;
  EXPECT_EQ(record.assignTLV00(c.tag, static_cast<int>(c.value.size()), c.value), c.accepted);
  EXPECT_EQ(record, recordWith(c.changes));
}

INSTANTIATE_TEST_SUITE_P(
    Assignment, AssignSingleCharacter,
    ::testing::Values(
        AssignCase{"MerchantIDWithoutPAN",
                   "0",
                   {},
                   "M1",
                   {},
                   true,
                   {{"zArodezMerchantID", std::string("M1")}}},
        AssignCase{
            "MerchantName", "1", {}, "HELLO", {}, true, {{"merchantName", std::string("HELLO")}}},
        AssignCase{"CategoryCode",
                   "2",
                   {},
                   "5812",
                   {},
                   true,
                   {{"merchantCategoryCode", std::string("5812")}}},
        AssignCase{"City", "3", {}, "Pune", {}, true, {{"cityName", std::string("Pune")}}},
        AssignCase{"Country", "4", {}, "IN", {}, true, {{"countryCode", std::string("IN")}}},
        AssignCase{"Currency", "5", {}, "356", {}, true, {{"currencyCode", std::string("356")}}},
        AssignCase{
            "Amount", "6", {}, "10.5", {}, true, {{"transactionAmount", std::string("10.5")}}},
        AssignCase{"PrimaryID", "7", {}, "P", {}, true, {{"primaryID", std::string("P")}}},
        AssignCase{"SecondaryID", "8", {}, "S", {}, true, {{"secondaryID", std::string("S")}}},
        AssignCase{"TipIndicatorWithTip",
                   "9",
                   {},
                   "02",
                   {},
                   true,
                   {{"tipAndFeeIndicator", std::string("02")}, {"isTipAvailable", true}}},
        AssignCase{"TipIndicatorWithoutTip",
                   "9",
                   {},
                   "04",
                   {},
                   true,
                   {{"tipAndFeeIndicator", std::string("04")}}},
        AssignCase{"TipIndicatorNeedsTheLeadingZero",
                   "9",
                   {},
                   "2",
                   {},
                   true,
                   {{"tipAndFeeIndicator", std::string("2")}}},
        AssignCase{"LowerCaseTagIsUpperCased",
                   "a",
                   {},
                   "5.00",
                   {},
                   true,
                   {{"convenienceFeeAmount", std::string("5.00")}}},
        AssignCase{"FeePercentage",
                   "B",
                   {},
                   "3",
                   {},
                   true,
                   {{"convenienceFeePercentage", std::string("3")}}},
        AssignCase{"EmptyValueIsStored", "1", {}, "", {}, true, {{"merchantName", std::string()}}},
        AssignCase{"UnknownLetterRefused", "Z", {}, "x", {}, false, {}},
        AssignCase{"LetterCRefused", "c", {}, "x", {}, false, {}},
        AssignCase{"LongerTagRefused", "10", {}, "x", {}, false, {}},
        AssignCase{"EmptyTagRefused", "", {}, "x", {}, false, {}},
        AssignCase{"NonAsciiTagRefused", "\xc3\xa0", {}, "x", {}, false, {}}),
    [](const auto &info) { return std::string(info.param.name); });

class AssignTwoDigit : public ::testing::TestWithParam<AssignCase> {};

TEST_P(AssignTwoDigit, StoresWhatTheTagMeans) {
  const AssignCase &c = GetParam();
  ZArodezPayMerchantTLV record;
  const std::optional<std::string_view> subtag =
      c.subtag ? std::optional<std::string_view>(*c.subtag) : std::nullopt;
  EXPECT_EQ(record.assignTLV01(c.tag, subtag, static_cast<int>(c.value.size()), c.value, c.map),
            c.accepted);
  EXPECT_EQ(record, recordWith(c.changes));
}

const TextMap languages{{"languagePreference", "ZH"}, {"merchantNameAlternateLanguage", "\u8336"}};

INSTANTIATE_TEST_SUITE_P(
    Assignment, AssignTwoDigit,
    ::testing::Values(
        AssignCase{"FormatIndicator",
                   "00",
                   {},
                   "01",
                   {},
                   true,
                   {{"payloadFormatIndicator", std::string("01")}}},
        AssignCase{
            "MerchantIDCopiedToPAN",
            "02",
            {},
            "M1",
            {},
            true,
            {{"zArodezMerchantID", std::string("M1")}, {"zArodezMerchantPAN", std::string("M1")}}},
        AssignCase{"TipIndicatorWithFee",
                   "55",
                   {},
                   "03",
                   {},
                   true,
                   {{"tipAndFeeIndicator", std::string("03")}, {"isTipAvailable", true}}},
        AssignCase{"TipIndicatorOther",
                   "55",
                   {},
                   "04",
                   {},
                   true,
                   {{"tipAndFeeIndicator", std::string("04")}}},
        AssignCase{
            "TipIndicatorEmpty", "55", {}, "", {}, true, {{"tipAndFeeIndicator", std::string()}}},
        AssignCase{"Crc", "63", {}, "ABCD", {}, true, {{"crc", std::string("ABCD")}}},
        AssignCase{"PlainTag65", "65", {}, "x", {}, true, {{"tag65", std::string("x")}}},
        AssignCase{"CompositeTagAtTopLevel",
                   "6207",
                   {},
                   "T1",
                   {},
                   true,
                   {{"terminalID", std::string("T1")}}},
        AssignCase{"AccountTemplate",
                   "26",
                   {},
                   "",
                   TextMap{{"00", "id"}},
                   true,
                   {{"tag26", TextMap{{"00", "id"}}}}},
        AssignCase{"LanguageTemplate",
                   "64",
                   {},
                   "",
                   languages,
                   true,
                   {{"merchantInformationLanguageTemplate", languages}}},
        AssignCase{"OtherTemplate", "99", {}, "", TextMap{}, true, {{"tag99", TextMap{}}}},
        AssignCase{"AdditionalDataWholeValue",
                   "62",
                   {},
                   "0103abc",
                   {},
                   true,
                   {{"additionalDataField", std::string("0103abc")}}},
        AssignCase{"AdditionalDataEmptyValueRefused", "62", {}, "", {}, false, {}},
        AssignCase{"AdditionalDataMapIgnoresValue",
                   "62",
                   {},
                   "ignored",
                   TextMap{{"billID", "abc"}},
                   true,
                   {{"additionalDataFieldTemplate", TextMap{{"billID", "abc"}}}}},
        AssignCase{"SubTag01", "62", "01", "abc", {}, true, {{"billID", std::string("abc")}}},
        AssignCase{"SubTag05", "62", "05", "r", {}, true, {{"referenceID", std::string("r")}}},
        AssignCase{"SubTag14", "62", "14", "n", {}, true, {{"addDataNpci2", std::string("n")}}},
        AssignCase{"SubTag15AcceptedNotStored", "62", "15", "x", {}, true, {}},
        AssignCase{"SubTag99AcceptedNotStored", "62", "99", "x", {}, true, {}},
        AssignCase{"SubTag00Refused", "62", "00", "x", {}, false, {}},
        AssignCase{"SubTagOfLettersRefused", "62", "ab", "x", {}, false, {}},
        AssignCase{"SubTagWithSignRefused", "62", "+1", "x", {}, false, {}},
        AssignCase{"SubTagOfOneDigitRefused", "62", "5", "x", {}, false, {}},
        AssignCase{"SubTagOfOtherDigitsRefused", "62", "\u0661\u0662", "x", {}, false, {}},
        AssignCase{"SubTagWithMapRefused", "62", "01", "", TextMap{{"a", "b"}}, false, {}},
        AssignCase{"MapForTextPropertyRefused", "59", {}, "", TextMap{{"a", "b"}}, false, {}},
        AssignCase{"TextForMapPropertyRefused", "26", {}, "0002id", {}, false, {}},
        AssignCase{"TextForLanguageTemplateRefused", "64", {}, "0002ZH", {}, false, {}},
        AssignCase{"LettersRefused", "AB", {}, "x", {}, false, {}},
        AssignCase{"UnknownCompositeRefused", "6215", {}, "x", {}, false, {}},
        AssignCase{"ThreeDigitsRefused", "100", {}, "x", {}, false, {}},
        AssignCase{"EmptyTagRefused", "", {}, "x", {}, false, {}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Assignment, TipFlagFollowsOnlyTheIndicator) {
  ZArodezPayMerchantTLV record;
  ASSERT_TRUE(record.assignTLV01("55", std::nullopt, 2, "03", std::nullopt));
  EXPECT_TRUE(record.isTipAvailable());
  ASSERT_TRUE(record.assignTLV01("59", std::nullopt, 4, "Shop", std::nullopt));
  EXPECT_TRUE(record.isTipAvailable());
  ASSERT_TRUE(record.assignTLV00("9", 2, "05"));
  EXPECT_FALSE(record.isTipAvailable());
  EXPECT_EQ(record.tipAndFeeIndicator(), "05");
}

TEST(Assignment, RefusalLeavesEarlierValues) {
  ZArodezPayMerchantTLV record;
  ASSERT_TRUE(record.assignTLV01("02", std::nullopt, 2, "M1", std::nullopt));
  EXPECT_FALSE(record.assignTLV01("02", std::nullopt, 0, "", TextMap{{"a", "b"}}));
  EXPECT_EQ(record.zArodezMerchantID(), "M1");
  EXPECT_EQ(record.zArodezMerchantPAN(), "M1");
}

} // namespace
} // namespace pavenda
