#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <pavenda/ErrorConstants.h>
#include <pavenda/Findings.h>
#include <pavenda/TLVGenerator.h>

#include "encoding/ZArodezQRUtility.h"

namespace pavenda {

// Shows a field in a failed comparison.
void PrintTo(const FindingField& f, std::ostream* os) {
  *os << "{" << f.tag << "/" << f.subtag.value_or("-") << " " << f.field << " = "
      << (f.value ? "'" + *f.value + "'" : "absent") << "}";
}

namespace {

// Valid two-digit fields, each with its own tag and length.
const std::string id = "02164000000000000002";
const std::string category = "52045812";
const std::string currency = "5303356";
const std::string country = "5802IN";
const std::string name = "5904Shop";
const std::string city = "6006Mumbai";
const std::string valid = id + category + currency + country + name + city;

// A two-digit payload of `objects` after the format indicator, closed by a correct CRC.
std::string tlv01(const std::string& objects) {
  const std::string text = "000201" + objects + "6304";
  return text + ZArodezQRUtility::prefixZeros(ZArodezQRUtility::getCrc(text));
}

// Valid single-character fields.
const std::string valid00 = "0G4000000000000002"
                            "14Shop"
                            "245812"
                            "36Mumbai"
                            "42IN"
                            "53356";

std::optional<std::string> absent() {
  return std::nullopt;
}

const std::string singleCharacterNote =
    " (read in the single-character scheme because it does not start with 00)";

struct FindingCase {
  const char* name;
  std::string payload;
  std::string code;
  std::vector<FindingField> fields;
  std::string detail;
};

void PrintTo(const FindingCase& c, std::ostream* os) {
  *os << c.name;
}

class Findings : public ::testing::TestWithParam<FindingCase> {};

TEST_P(Findings, NameTheFieldAndTheBrokenRule) {
  const FindingCase& c = GetParam();
  const Explanation explanation = explainPayload(c.payload);
  EXPECT_EQ(explanation.errorCodes, TLVGenerator::tlvValidation(c.payload));
  ASSERT_EQ(explanation.findings.size(), explanation.errorCodes.size());
  const auto found = std::find_if(explanation.findings.begin(), explanation.findings.end(),
                                  [&](const Finding& f) { return f.code == c.code; });
  ASSERT_NE(found, explanation.findings.end()) << "no finding for code " << c.code;
  EXPECT_EQ(found->fields, c.fields);
  // A payload that does not start with 00 is said to be read in the other scheme.
  EXPECT_EQ(found->detail, c.detail + (c.payload.starts_with("00") ? "" : singleCharacterNote));
  EXPECT_EQ(found->message, ZArodezErrorConstantsMap::message(c.code).value_or(""));
}

FindingField f01(std::string tag, std::string field, std::optional<std::string> value,
                 std::optional<std::string> subtag = std::nullopt) {
  return {std::move(tag), std::move(subtag), std::move(field), std::move(value)};
}

const std::string name31 = "Sunrise Bakery and Coffee House"; // 31 characters
const std::string b26 = "INV-0000000000000000000026";         // 26 characters
const std::string id33 = "com.example.acquirer.of.payments1"; // 33 characters
const std::string alt26 = "Alternate Merchant Name 26";       // 26 characters

INSTANTIATE_TEST_SUITE_P(
    EveryCode, Findings,
    ::testing::Values(
        FindingCase{"StartingDigit", tlv01("02165123456789012345" + category + currency + country +
                                           name + city),
                    "1", {f01("02", "zArodezMerchantID", "5123456789012345")},
                    "zArodezMerchantID (tag 02) starts with '5'; it must start with 4"},
        FindingCase{"IdTooShort", tlv01("02074123456" + category + currency + country + name + city),
                    "2", {f01("02", "zArodezMerchantID", "4123456")},
                    "zArodezMerchantID (tag 02) has 7 characters; at least 8 are required"},
        FindingCase{"CheckDigit", tlv01("020841234567" + category + currency + country + name + city),
                    "3", {f01("02", "zArodezMerchantID", "41234567")},
                    "zArodezMerchantID (tag 02) fails the Luhn check-digit test, taken over its "
                    "16-digit form 4123450000000067"},
        FindingCase{"IdNotANumber", tlv01("02164A23456789012345" + category + currency + country +
                                          name + city),
                    "4", {f01("02", "zArodezMerchantID", "4A23456789012345")},
                    "zArodezMerchantID (tag 02) holds 'A', which is not a digit 0-9"},
        FindingCase{"NameTooLong", tlv01(id + category + currency + country + "5931" + name31 + city),
                    "6", {f01("59", "merchantName", name31)},
                    "merchantName (tag 59) has 31 characters; at most 25 are allowed"},
        FindingCase{"NameAbsent", tlv01(id + category + currency + country + city), "7",
                    {f01("59", "merchantName", absent())},
                    "merchantName (tag 59) is absent; it is required"},
        FindingCase{"CategoryLetter", tlv01(id + "520458A2" + currency + country + name + city), "8",
                    {f01("52", "merchantCategoryCode", "58A2")},
                    "merchantCategoryCode (tag 52) holds 'A', which is not a decimal digit"},
        FindingCase{"CategoryShort", tlv01(id + "5203581" + currency + country + name + city), "8",
                    {f01("52", "merchantCategoryCode", "581")},
                    "merchantCategoryCode (tag 52) has 3 digits; exactly 4 are required"},
        FindingCase{"CategoryAbsent", tlv01(id + currency + country + name + city), "9",
                    {f01("52", "merchantCategoryCode", absent())},
                    "merchantCategoryCode (tag 52) is absent; it is required"},
        FindingCase{"CityTooLong", tlv01(id + category + currency + country + name +
                                         "6016Thiruvananthapur"),
                    "10", {f01("60", "cityName", "Thiruvananthapur")},
                    "cityName (tag 60) has 16 characters; at most 15 are allowed"},
        FindingCase{"CityAbsent", tlv01(id + category + currency + country + name), "11",
                    {f01("60", "cityName", absent())}, "cityName (tag 60) is absent; it is required"},
        FindingCase{"CountryLowerCase", tlv01(id + category + currency + "5802in" + name + city), "12",
                    {f01("58", "countryCode", "in")},
                    "countryCode (tag 58) is 'in', which is not an ISO 3166-1 two-letter region "
                    "code in upper case"},
        FindingCase{"CountryLong", tlv01(id + category + currency + "5803IND" + name + city), "12",
                    {f01("58", "countryCode", "IND")},
                    "countryCode (tag 58) has 3 letters; exactly 2 are required"},
        FindingCase{"CountryAbsent", tlv01(id + category + currency + name + city), "13",
                    {f01("58", "countryCode", absent())},
                    "countryCode (tag 58) is absent; it is required"},
        FindingCase{"CurrencyUnknown", tlv01(id + category + "5303123" + country + name + city), "14",
                    {f01("53", "currencyCode", "123")},
                    "currencyCode (tag 53) is '123', which is not a known ISO 4217 numeric "
                    "currency code"},
        FindingCase{"CurrencyLetter", tlv01(id + category + "530303A" + country + name + city), "14",
                    {f01("53", "currencyCode", "03A")},
                    "currencyCode (tag 53) holds 'A', which is not a decimal digit"},
        FindingCase{"CurrencyShort", tlv01(id + category + "530236" + country + name + city), "14",
                    {f01("53", "currencyCode", "36")},
                    "currencyCode (tag 53) has 2 digits; exactly 3 are required"},
        FindingCase{"CurrencyAbsent", tlv01(id + category + country + name + city), "15",
                    {f01("53", "currencyCode", absent())},
                    "currencyCode (tag 53) is absent; it is required"},
        FindingCase{"AmountDigits", tlv01(valid + "54131234567890123"), "16",
                    {f01("54", "transactionAmount", "1234567890123")},
                    "transactionAmount (tag 54) has 13 digits; at most 12 are allowed"},
        FindingCase{"AmountZero", tlv01(valid + "54040.00"), "17",
                    {f01("54", "transactionAmount", "0.00")},
                    "transactionAmount (tag 54) is '0.00'; it must be greater than 0"},
        FindingCase{"AmountComma", tlv01(valid + "54051,000"), "17",
                    {f01("54", "transactionAmount", "1,000")},
                    "transactionAmount (tag 54) holds ',', which is neither a decimal digit nor a "
                    "period"},
        FindingCase{"AmountLetter", tlv01(valid + "54031e5"), "17",
                    {f01("54", "transactionAmount", "1e5")},
                    "transactionAmount (tag 54) holds the letter 'e'"},
        FindingCase{"AmountTwoPeriods", tlv01(valid + "54051.2.3"), "17",
                    {f01("54", "transactionAmount", "1.2.3")},
                    "transactionAmount (tag 54) '1.2.3' is not a decimal number (digits 0-9 with "
                    "at most one period)"},
        FindingCase{"AmountEmpty", valid00 + "60", "18", {f01("6", "transactionAmount", "")},
                    "transactionAmount (tag 6) is present but empty; leave the tag out when it has "
                    "no value"},
        FindingCase{"PrimaryIdLong", valid00 + "7R" + std::string(27, 'p'), "20",
                    {f01("7", "primaryID", std::string(27, 'p'))},
                    "primaryID (tag 7) has 27 characters; at most 26 are allowed"},
        FindingCase{"PrimaryIdShortForm", valid00 + "73?5x", "20", {f01("7", "primaryID", "?5x")},
                    "primaryID (tag 7) starts with '?', and an identifier starting with '?' has at "
                    "most 2 characters"},
        FindingCase{"PrimaryIdEmpty", valid00 + "70", "21", {f01("7", "primaryID", "")},
                    "primaryID (tag 7) is present but empty; leave the tag out when it has no value"},
        FindingCase{"PrimaryIdFormat", valid00 + "72?0", "23", {f01("7", "primaryID", "?0")},
                    "primaryID (tag 7) has '0' after '?'; only 1-9, a-q or A-Q may follow it"},
        FindingCase{"SecondaryIdFormat", valid00 + "82?r", "24", {f01("8", "secondaryID", "?r")},
                    "secondaryID (tag 8) has 'r' after '?'; only 1-9, a-q or A-Q may follow it"},
        FindingCase{"SecondaryIdEmpty", valid00 + "80", "25", {f01("8", "secondaryID", "")},
                    "secondaryID (tag 8) is present but empty; leave the tag out when it has no "
                    "value"},
        FindingCase{"IndicatorValue", tlv01(valid + "550204"), "28",
                    {f01("55", "tipAndFeeIndicator", "04")},
                    "tipAndFeeIndicator (tag 55) is '04'; it must be 01, 02 or 03"},
        FindingCase{"FeeWithoutIndicator", tlv01(valid + "56015"), "29",
                    {f01("55", "tipAndFeeIndicator", absent()),
                     f01("56", "convenienceFeeAmount", "5")},
                    "convenienceFeeAmount (tag 56) is present although tipAndFeeIndicator (tag 55) "
                    "is absent; a fee field needs the indicator 02 or 03"},
        FindingCase{"FeesWithTipOnly", tlv01(valid + "550201" + "56015" + "57012"), "29",
                    {f01("55", "tipAndFeeIndicator", "01"), f01("56", "convenienceFeeAmount", "5"),
                     f01("57", "convenienceFeePercentage", "2")},
                    "convenienceFeeAmount (tag 56) is present although tipAndFeeIndicator (tag 55) "
                    "is '01'; a fee field needs the indicator 02 or 03; convenienceFeePercentage "
                    "(tag 57) is present although tipAndFeeIndicator (tag 55) is '01'; a fee field "
                    "needs the indicator 02 or 03"},
        FindingCase{"IndicatorEmpty", valid00 + "90", "30", {f01("9", "tipAndFeeIndicator", "")},
                    "tipAndFeeIndicator (tag 9) is present but empty; leave the tag out when it "
                    "has no value"},
        FindingCase{"FeeLetter", tlv01(valid + "550202" + "5603abc"), "31",
                    {f01("56", "convenienceFeeAmount", "abc")},
                    "convenienceFeeAmount (tag 56) holds the letter 'a'"},
        FindingCase{"FeeLong", tlv01(valid + "550202" + "561412345678901234"), "31",
                    {f01("56", "convenienceFeeAmount", "12345678901234")},
                    "convenienceFeeAmount (tag 56) has 14 characters; at most 13 are allowed"},
        FindingCase{"FeeComma", tlv01(valid + "550202" + "56045,00"), "32",
                    {f01("56", "convenienceFeeAmount", "5,00")},
                    "convenienceFeeAmount (tag 56) holds ',', which is neither a decimal digit nor "
                    "a period"},
        FindingCase{"FeeZero", tlv01(valid + "550202" + "56010"), "32",
                    {f01("56", "convenienceFeeAmount", "0")},
                    "convenienceFeeAmount (tag 56) is '0'; it must be greater than 0"},
        FindingCase{"FeeEmpty", valid00 + "9202" + "A0", "34", {f01("A", "convenienceFeeAmount", "")},
                    "convenienceFeeAmount (tag A) is present but empty; leave the tag out when it "
                    "has no value"},
        FindingCase{"PercentageLong", tlv01(valid + "550203" + "570699.995"), "35",
                    {f01("57", "convenienceFeePercentage", "99.995")},
                    "convenienceFeePercentage (tag 57) has 6 characters; at most 5 are allowed"},
        FindingCase{"PercentageAbove", tlv01(valid + "550203" + "5703100"), "36",
                    {f01("57", "convenienceFeePercentage", "100")},
                    "convenienceFeePercentage (tag 57) is '100'; it must be from 0.01 to 99.99"},
        FindingCase{"PercentageSign", tlv01(valid + "550203" + "5702-1"), "36",
                    {f01("57", "convenienceFeePercentage", "-1")},
                    "convenienceFeePercentage (tag 57) holds '-', which is neither a decimal digit "
                    "nor a period"},
        FindingCase{"PercentageEmpty", valid00 + "9203" + "B0", "38",
                    {f01("B", "convenienceFeePercentage", "")},
                    "convenienceFeePercentage (tag B) is present but empty; leave the tag out when "
                    "it has no value"},
        FindingCase{"FixedFeeMissing", tlv01(valid + "550202"), "39",
                    {f01("55", "tipAndFeeIndicator", "02"),
                     f01("56", "convenienceFeeAmount", absent())},
                    "tipAndFeeIndicator (tag 55) is '02' (a fixed fee) but convenienceFeeAmount "
                    "(tag 56) is absent"},
        FindingCase{"FixedFeeWithPercentage", tlv01(valid + "550202" + "56015" + "57012"), "39",
                    {f01("55", "tipAndFeeIndicator", "02"),
                     f01("57", "convenienceFeePercentage", "2")},
                    "tipAndFeeIndicator (tag 55) is '02' (a fixed fee) but convenienceFeePercentage "
                    "(tag 57) is present; only the fixed fee belongs with it"},
        FindingCase{"PercentageMissing", tlv01(valid + "550203"), "39",
                    {f01("55", "tipAndFeeIndicator", "03"),
                     f01("57", "convenienceFeePercentage", absent())},
                    "tipAndFeeIndicator (tag 55) is '03' (a percentage fee) but "
                    "convenienceFeePercentage (tag 57) is absent"},
        FindingCase{"AmountForPercentage", tlv01(valid + "550203" + "56015"), "39",
                    {f01("55", "tipAndFeeIndicator", "03"),
                     f01("57", "convenienceFeePercentage", absent()),
                     f01("56", "convenienceFeeAmount", "5")},
                    "tipAndFeeIndicator (tag 55) is '03' (a percentage fee) but the payload gives "
                    "convenienceFeeAmount (tag 56) instead of convenienceFeePercentage (tag 57)"},
        FindingCase{"AmountForPercentageSingleCharacter", valid00 + "9203" + "A15", "40",
                    {f01("9", "tipAndFeeIndicator", "03"),
                     f01("B", "convenienceFeePercentage", absent()),
                     f01("A", "convenienceFeeAmount", "5")},
                    "tipAndFeeIndicator (tag 9) is '03' (a percentage fee) but the payload gives "
                    "convenienceFeeAmount (tag A) instead of convenienceFeePercentage (tag B)"},
        FindingCase{"FormatIndicatorLength",
                    [] {
                      const std::string text = "00011" + valid + "6304";
                      return text + ZArodezQRUtility::prefixZeros(ZArodezQRUtility::getCrc(text));
                    }(),
                    "41", {f01("00", "payloadFormatIndicator", "1")},
                    "payloadFormatIndicator (tag 00) has 1 digit; exactly 2 are required"},
        FindingCase{"FormatIndicatorValue",
                    [] {
                      const std::string text = "000202" + valid + "6304";
                      return text + ZArodezQRUtility::prefixZeros(ZArodezQRUtility::getCrc(text));
                    }(),
                    "42", {f01("00", "payloadFormatIndicator", "02")},
                    "payloadFormatIndicator (tag 00) is '02'; it must be 01"},
        FindingCase{"PostalCodeLong", tlv01(valid + "611112345678901"), "43",
                    {f01("61", "postalCode", "12345678901")},
                    "postalCode (tag 61) has 11 characters; at most 10 are allowed"},
        FindingCase{"BillNumberLong", tlv01(valid + "62300126" + b26), "45",
                    {f01("62", "billID", b26, "01")},
                    "billID (tag 62, sub-tag 01) has 26 characters; at most 25 are allowed"},
        FindingCase{"SubTagOutsideTheTable", tlv01(valid + "62302026" + b26), "45",
                    {f01("62", "20", b26, "20")},
                    "20 (tag 62, sub-tag 20) has 26 characters; at most 25 are allowed"},
        FindingCase{"ConsumerDataLetters", tlv01(valid + "62060902AX"), "46",
                    {f01("62", "additionalConsumerDataRequest", "AX", "09")},
                    "additionalConsumerDataRequest (tag 62, sub-tag 09) holds 'X'; only A, M and E "
                    "are allowed"},
        FindingCase{"CrcWrong", "000201" + valid + "6304ABCD", "48", {f01("63", "crc", "ABCD")},
                    "crc (tag 63) is 'ABCD'; the CRC of the payload before it is '84E1'"},
        FindingCase{"TemplatesWithoutIdentifier", tlv01(valid + "26060102ab" + "30060102cd"), "49",
                    {f01("26", "tag26", absent(), "00"), f01("30", "tag30", absent(), "00")},
                    "template tag26 (tag 26) has no sub-tag 00; it needs a unique identifier in "
                    "sub-tag 00; template tag30 (tag 30) has no sub-tag 00; it needs a unique "
                    "identifier in sub-tag 00"},
        FindingCase{"TemplateIdentifierLong", tlv01(valid + "26370033" + id33), "50",
                    {f01("26", "tag26", id33, "00")},
                    "tag26 (tag 26, sub-tag 00) has 33 characters; at most 32 are allowed"},
        FindingCase{"LanguageMissing", tlv01(valid + "64080104Shop"), "51",
                    {f01("64", "languagePreference", absent(), "00")},
                    "languagePreference (tag 64, sub-tag 00) is missing; the alternate-language "
                    "template requires it"},
        FindingCase{"AlternateNameMissing", tlv01(valid + "64060002EN"), "52",
                    {f01("64", "merchantNameAlternateLanguage", absent(), "01")},
                    "merchantNameAlternateLanguage (tag 64, sub-tag 01) is missing; the "
                    "alternate-language template requires it"},
        FindingCase{"LanguageLong", tlv01(valid + "64150003ENG0104Shop"), "53",
                    {f01("64", "languagePreference", "ENG", "00")},
                    "languagePreference (tag 64, sub-tag 00) has 3 characters; exactly 2 are "
                    "required"},
        FindingCase{"AlternateNameLong", tlv01(valid + "64360002EN0126" + alt26), "54",
                    {f01("64", "merchantNameAlternateLanguage", alt26, "01")},
                    "merchantNameAlternateLanguage (tag 64, sub-tag 01) has 26 characters; at most "
                    "25 are allowed"},
        FindingCase{"AlternateCityShort", tlv01(valid + "64190002EN0104Shop0201M"), "55",
                    {f01("64", "merchantCityAlternateLanguage", "M", "02")},
                    "merchantCityAlternateLanguage (tag 64, sub-tag 02) has 1 character; at least 2 "
                    "are required"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- payloads that do not decode ----

struct DecodeCase {
  const char* name;
  std::string payload;
  std::size_t offset;
  std::string reason;
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
  *os << c.name;
}

class DecodeFailures : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeFailures, SayWhereAndWhy) {
  const DecodeCase& c = GetParam();
  const Explanation explanation = explainPayload(c.payload);
  ASSERT_EQ(explanation.errorCodes, std::vector<std::string>{"0"});
  ASSERT_TRUE(explanation.decodeError);
  EXPECT_EQ(explanation.decodeError->offset, c.offset);
  EXPECT_EQ(explanation.decodeError->reason, c.reason);
  ASSERT_EQ(explanation.findings.size(), 1U);
  EXPECT_TRUE(explanation.findings[0].fields.empty());
  EXPECT_EQ(explanation.findings[0].detail,
            "at character " + std::to_string(c.offset) + ": " + c.reason);
  EXPECT_EQ(explanation.crc, CrcCheck{});
}

INSTANTIATE_TEST_SUITE_P(
    EveryReason, DecodeFailures,
    ::testing::Values(
        DecodeCase{"Empty", "", 0, "the payload has 0 characters; the shortest element has 2"},
        DecodeCase{"OneCharacter", "0", 0,
                   "the payload has 1 character; the shortest element has 2"},
        DecodeCase{"NotUtf8",
                   "0002\xFF"
                   "01",
                   4, "the text is not well-formed UTF-8"},
        DecodeCase{"TagCutShort", "0002016", 6,
                   "only 1 character ('6') remains before the end of the payload, too few for a "
                   "two-digit tag"},
        DecodeCase{"RepeatedTag", "000201000201", 6, "tag '00' occurs a second time"},
        DecodeCase{"LengthCutShort", "00020159", 8,
                   "tag '59' has no two-digit length field before the end of the payload"},
        DecodeCase{"LengthNotDigits", "00020159I Shop", 8, "length field 'I ' is not two digits"},
        DecodeCase{"LengthCountsCharacters", "0002015904Café60I Mumbai", 16,
                   "length field 'I ' is not two digits"},
        DecodeCase{"LengthZero", "0002015900", 8, "length field '00' is below 01"},
        DecodeCase{
            "ValueCutShort", "0002015931Shop", 10,
            "tag '59' declares 31 characters but only 4 remain before the end of the payload"},
        DecodeCase{
            "SubFieldCutShort", "00020162050103abc6304ABCD", 14,
            "sub-tag '01' of template 62 declares 3 characters but only 1 remains before the "
            "end of template 62"},
        DecodeCase{"UnknownTag", "000201XY02ab6304ABCD", 6,
                   "tag 'XY' is not a field this format accepts"},
        DecodeCase{"RefusedSubTag", "00020162060002ab6304ABCD", 10,
                   "sub-tag '00' of template 62 is not a field this format accepts there"},
        DecodeCase{"NoClosingCrc", "0002015904Shop", 6,
                   "the payload ends with tag '59'; it must end with tag 63 (CRC)"},
        DecodeCase{"SingleCharacterLength", "1*Shop", 1,
                   "length character '*' is not a digit 0-9 or a letter a-z" + singleCharacterNote},
        DecodeCase{"SingleCharacterRepeated", "11A11B", 3,
                   "tag '1' occurs a second time" + singleCharacterNote},
        DecodeCase{"SingleCharacterNoLength", "14Shop2", 7,
                   "tag '2' has no length character after it" + singleCharacterNote},
        DecodeCase{"SingleCharacterUnknownTag", "C1x", 0,
                   "tag 'C' is not a field this format accepts" + singleCharacterNote},
        // A mistyped start: read in the other scheme, and said so.
        DecodeCase{"TwoDigitLookingPayload", "0a1BShop", 2,
                   "tag '0' declares 10 characters but only 6 remain before the end of the "
                   "payload" +
                       singleCharacterNote},
        // A lone combining mark is shown on a dotted circle, never on the quote before it.
        DecodeCase{"LoneCombiningMark", "\u0301abc", 2,
                   "tag '\u25CC\u0301' declares 10 characters but only 2 remain before the end "
                   "of the payload" +
                       singleCharacterNote}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the CRC ----

TEST(CrcCheck, GivesTheValueGivenAndTheValueComputed) {
  const Explanation wrong = explainPayload("000201" + valid + "6304ABCD");
  EXPECT_EQ(wrong.crc.given, "ABCD");
  EXPECT_EQ(wrong.crc.computed, "84E1");
  EXPECT_FALSE(wrong.crc.matches());

  const Explanation lowerCase = explainPayload("000201" + valid + "630484e1");
  EXPECT_EQ(lowerCase.errorCodes, std::vector<std::string>{});
  EXPECT_EQ(lowerCase.crc.given, "84e1");
  EXPECT_EQ(lowerCase.crc.computed, "84E1");
  EXPECT_TRUE(lowerCase.crc.matches());

  EXPECT_EQ(explainPayload(valid00).crc, CrcCheck{});
}

} // namespace
} // namespace pavenda
