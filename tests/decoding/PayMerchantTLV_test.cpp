#include <gtest/gtest.h>

#include <optional>
#include <string>

#include <pavenda/PayMerchantTLV.h>

#include "decoding/RecordSupport.h"

namespace pavenda {
namespace {

TEST(DecodingError, NamesEachCase) {
  for (const auto& [error, name] : {std::pair{TLVDecodingError::invalidLength, "invalidLength"},
                                    {TLVDecodingError::invalidTagLength, "invalidTagLength"},
                                    {TLVDecodingError::repeatedTag, "repeatedTag"},
                                    {TLVDecodingError::invalidTag, "invalidTag"},
                                    {static_cast<TLVDecodingError>(4), "unknown"}})
    EXPECT_EQ(toString(error), name);
}

TEST(SingleCharacterTags, AreExactlyTheTwelveRawValues) {
  for (const char* raw : {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "A", "B"})
    EXPECT_EQ(payMerchantValidTLV00(raw), static_cast<PayMerchantValidTLV00>(raw[0])) << raw;
  for (const char* raw : {"a", "b", "C", "Z", "", "00", "1 ", "\xc3\x80", "-"})
    EXPECT_FALSE(payMerchantValidTLV00(raw)) << raw;
}

// Each single-character tag lands in its own property; the tag is upper-cased first.
TEST(Assignment, SingleCharacterTagsStoreInTheirProperties) {
  for (const std::string_view row :
       {"0:zArodezMerchantID", "1:merchantName", "2:merchantCategoryCode", "3:cityName",
        "4:countryCode", "5:currencyCode", "6:transactionAmount", "7:primaryID", "8:secondaryID",
        "a:convenienceFeeAmount", "B:convenienceFeePercentage", "9:tipAndFeeIndicator"}) {
    ZArodezPayMerchantTLV record;
    EXPECT_TRUE(record.assignTLV00(row.substr(0, 1), 2, "ab")) << row;
    EXPECT_EQ(record, recordWith({{std::string(row.substr(2)), "ab"}})) << row;
  }
  for (const char* refused : {"Z", "c", "10", "", "\xc3\xa0"}) {
    ZArodezPayMerchantTLV record;
    EXPECT_FALSE(record.assignTLV00(refused, 1, "x")) << refused;
    EXPECT_EQ(record, ZArodezPayMerchantTLV()) << refused;
  }
}

// Only "01" to "03" mean a tip; a later field leaves the flag alone; a refusal changes nothing.
TEST(Assignment, TipFlagFollowsOnlyTheIndicator) {
  ZArodezPayMerchantTLV record;
  for (const auto& [value, tip] : {std::pair{"02", true}, {"04", false}, {"2", false}}) {
    ASSERT_TRUE(record.assignTLV00("9", 2, value));
    EXPECT_EQ(record.isTipAvailable(), tip) << value;
  }
  ASSERT_TRUE(record.assignTLV01("55", std::nullopt, 2, "03", std::nullopt));
  ASSERT_TRUE(record.assignTLV01("59", std::nullopt, 4, "Shop", std::nullopt));
  EXPECT_TRUE(record.isTipAvailable());
  ASSERT_TRUE(record.assignTLV01("02", std::nullopt, 2, "M1", std::nullopt));
  EXPECT_FALSE(record.assignTLV01("02", std::nullopt, 0, "", TextMap{{"a", "b"}}));
  EXPECT_EQ(record, recordWith({{"isTipAvailable", true},
                                {"tipAndFeeIndicator", "03"},
                                {"merchantName", "Shop"},
                                {"zArodezMerchantID", "M1"},
                                {"zArodezMerchantPAN", "M1"}}));
}

// `property` receives the map when one is given, else the value; "" when nothing is stored.
struct Assign {
  const char* name;
  std::string tag;
  std::optional<std::string> subtag;
  std::string value;
  std::optional<TextMap> map;
  bool accepted;
  std::string property;
};

void PrintTo(const Assign& c, std::ostream* os) {
  *os << c.name;
}

class AssignTwoDigit : public ::testing::TestWithParam<Assign> {};

TEST_P(AssignTwoDigit, StoresWhatTheTagMeans) {
  const Assign& c = GetParam();
  ZArodezPayMerchantTLV record;
  const auto subtag = c.subtag ? std::optional<std::string_view>(*c.subtag) : std::nullopt;
  EXPECT_EQ(record.assignTLV01(c.tag, subtag, static_cast<int>(c.value.size()), c.value, c.map),
            c.accepted);
  Fields stored;
  if (!c.property.empty())
    stored.emplace_back(c.property, c.map ? ZARODEZMerchantTLV::PropertyValue(*c.map) : c.value);
  EXPECT_EQ(record, recordWith(stored));
}

const TextMap id{{"00", "id"}}, bill{{"billID", "abc"}};
const std::nullopt_t none = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Assignment, AssignTwoDigit,
    ::testing::Values(
        Assign{"TipIndicatorEmpty", "55", none, "", none, true, "tipAndFeeIndicator"},
        Assign{"Crc", "63", none, "ABCD", none, true, "crc"},
        Assign{"CompositeTagAtTopLevel", "6207", none, "T1", none, true, "terminalID"},
        Assign{"AccountTemplate", "26", none, "", id, true, "tag26"},
        Assign{"OtherTemplateEmptyMap", "99", none, "", TextMap{}, true, "tag99"},
        Assign{"LanguageTemplate", "64", none, "", id, true, "merchantInformationLanguageTemplate"},
        Assign{"AdditionalDataWholeValue", "62", none, "0103abc", none, true,
               "additionalDataField"},
        Assign{"AdditionalDataEmptyValueRefused", "62", none, "", none, false, ""},
        Assign{"AdditionalDataMapIgnoresValue", "62", none, "x", bill, true,
               "additionalDataFieldTemplate"},
        Assign{"SubTag05", "62", "05", "r", none, true, "referenceID"},
        Assign{"SubTag14", "62", "14", "n", none, true, "addDataNpci2"},
        Assign{"SubTag15AcceptedNotStored", "62", "15", "x", none, true, ""},
        Assign{"SubTag99AcceptedNotStored", "62", "99", "x", none, true, ""},
        Assign{"SubTag00Refused", "62", "00", "x", none, false, ""},
        Assign{"SubTagOfLettersRefused", "62", "ab", "x", none, false, ""},
        Assign{"SubTagOfOneDigitRefused", "62", "5", "x", none, false, ""},
        Assign{"SubTagWithMapRefused", "62", "01", "", bill, false, ""},
        Assign{"MapForTextPropertyRefused", "59", none, "", bill, false, ""},
        Assign{"TextForMapPropertyRefused", "26", none, "0002id", none, false, ""},
        Assign{"LettersRefused", "AB", none, "x", none, false, ""},
        Assign{"UnknownCompositeRefused", "6215", none, "x", none, false, ""}),
    caseName);

} // namespace
} // namespace pavenda
