#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <optional>
#include <string>

#include <pavenda/ErrorConstants.h>

#include "encoding/ZArodezQRUtility.h"
#include "validation/CheckHarness.h"

namespace pavenda {
namespace {

using testing_support::CheckHarness;
using testing_support::Codes;

// `objects` closed with "6304" and the CRC of everything before it, in upper case.
std::string payloadOf(const std::string &objects) {
  const std::string text = objects + "6304";
  return text + ZArodezQRUtility::prefixZeros(ZArodezQRUtility::getCrc(text));
}

// A record whose every checked field is valid for the two-digit scheme.
ZArodezPayMerchantTLV validRecord() {
  ZArodezPayMerchantTLV record;
  record.setPayloadFormatIndicator("01");
  record.setZArodezMerchantID("4000000000000002");
  record.setMerchantCategoryCode("5812");
  record.setCurrencyCode("356");
  record.setTransactionAmount("12.50");
  record.setTipAndFeeIndicator("02");
  record.setConvenienceFeeAmount("1.00");
  record.setCountryCode("IN");
  record.setMerchantName("Corner Cafe");
  record.setCityName("Pune");
  record.setPostalCode("411001");
  record.setAdditionalDataFieldTemplate(TextMap{{"billID", "1234"}, {"terminalID", "T1"}});
  record.setMerchantInformationLanguageTemplate(
      TextMap{{"languagePreference", "HI"}, {"merchantNameAlternateLanguage", "Kona"}});
  record.setTag26(TextMap{{"00", "br.gov.bcb.pix"}, {"01", "key"}});
  return record;
}

TEST(ValidatorFrame, AppendKeepsTheFirstPlaceOfEachCode) {
  CheckHarness harness;
  harness.validator().append("2");
  harness.validator().append("3");
  harness.validator().append("2");
  harness.validator().append("20");
  harness.validator().append("3");
  EXPECT_EQ(harness.codes(), (Codes{"2", "3", "20"}));
}

TEST(ValidatorFrame, SharedValidatorIsOneInstance) {
  EXPECT_EQ(&ZArodezPayMerchantTLVValidator::sharedValidator(),
            &ZArodezPayMerchantTLVValidator::sharedValidator());
}

TEST(ValidatorFrame, ValidRecordLeavesNoCodes) {
  CheckHarness harness;
  const ZArodezPayMerchantTLV record = validRecord();
  EXPECT_EQ(harness.validator().validatePayMerchantTLV01(&record), Codes{});
  harness.validator().validateCRC(
      "1D3D", std::string_view("00020126580014br.gov.bcb.pix0136123e4567-e12b-12d1-"
                               "a456-4266554400005204000053039865802BR5913Fulano de "
                               "Tal6008BRASILIA62070503***63041D3D"));
  EXPECT_EQ(harness.codes(), Codes{});
  EXPECT_TRUE(harness.validator().errorObjects().empty());
}

// Every check in the two-digit driver raises something, so the list shows the order they ran in.
TEST(ValidatorFrame, TwoDigitDriverRunsItsChecksInOrder) {
  CheckHarness harness;
  ZArodezPayMerchantTLV record;
  record.setPayloadFormatIndicator("1");                                            // 41
  record.setZArodezMerchantID("5123456789012345");                                  // 1, 3
  record.setTransactionAmount("");                                                  // 16, 17, 18
  record.setTipAndFeeIndicator("04");                                               // 28
  record.setPostalCode("");                                                         // 43
  record.setAdditionalDataFieldTemplate(TextMap{{"billID", std::string(26, 'b')}}); // 45
  record.setMerchantInformationLanguageTemplate(
      TextMap{{"merchantNameAlternateLanguage", "x"}}); // 51
  record.setTag26(TextMap{});                           // 49
  record.setPrimaryID("");                              // not checked in this scheme
  record.setSecondaryID("");
  EXPECT_EQ(harness.validator().validatePayMerchantTLV01(&record),
            (Codes{"41", "1", "3", "9", "15", "16", "17", "18", "28", "13", "7", "11", "43", "45",
                   "51", "49"}));
}

TEST(ValidatorFrame, SingleCharacterDriverRunsItsChecksInOrder) {
  CheckHarness harness;
  ZArodezPayMerchantTLV record;
  record.setZArodezMerchantID("5123456789012345"); // 1, 3
  record.setTransactionAmount("");                 // 16, 17, 18
  record.setPrimaryID("");                         // 20, 21
  record.setSecondaryID("");                       // 24, 25
  record.setTipAndFeeIndicator("");                // 28, 30
  record.setPostalCode("");                        // not checked in this scheme
  record.setTag26(TextMap{});
  record.setAdditionalDataFieldTemplate(TextMap{{"billID", ""}});
  record.setMerchantInformationLanguageTemplate(TextMap{});
  EXPECT_EQ(harness.validator().validatePayMerchantTLV00(&record),
            (Codes{"1", "3", "7", "9", "11", "13", "15", "16", "17", "18", "20", "21", "24", "25",
                   "28", "30"}));
}

TEST(ValidatorFrame, SingleCharacterDriverSkipsFormatIndicator) {
  CheckHarness harness;
  ZArodezPayMerchantTLV record = validRecord();
  record.setPayloadFormatIndicator("XYZ");
  EXPECT_EQ(harness.validator().validatePayMerchantTLV00(&record), Codes{});
}

TEST(ValidatorFrame, EachDriverRunStartsFromAnEmptyList) {
  CheckHarness harness;
  ZArodezPayMerchantTLV first = validRecord();
  first.setMerchantName(std::nullopt);
  ZArodezPayMerchantTLV second = validRecord();
  second.setCityName(std::nullopt);
  EXPECT_EQ(harness.validator().validatePayMerchantTLV01(&first), Codes{"7"});
  EXPECT_EQ(harness.validator().validatePayMerchantTLV01(&second), Codes{"11"});
  EXPECT_EQ(harness.validator().validatePayMerchantTLV00(&first), Codes{"7"});
}

TEST(ValidatorFrame, AbsentRecordEmptiesTheList) {
  CheckHarness harness;
  harness.validator().append("48");
  EXPECT_EQ(harness.validator().validatePayMerchantTLV01(nullptr), Codes{});
  harness.validator().append("48");
  EXPECT_EQ(harness.validator().validatePayMerchantTLV00(nullptr), Codes{});
}

TEST(ValidatorFrame, CodeRaisedTwiceKeepsItsFirstPosition) {
  CheckHarness harness;
  ZArodezPayMerchantTLV record = validRecord();
  record.setTipAndFeeIndicator(std::nullopt); // with both fees present: 29, once
  record.setConvenienceFeePercentage("5");
  record.setCountryCode("usa"); // 12 from two of its tests, once
  EXPECT_EQ(harness.validator().validatePayMerchantTLV01(&record), (Codes{"29", "12"}));
}

// A text of objects whose payload CRC is `crc`, found by trying serial numbers in a merchant name.
std::string objectsWithCrc(std::uint16_t crc) {
  for (unsigned serial = 0;; ++serial) {
    const std::string objects = "0002015911MERCH" + std::to_string(100000 + serial);
    if (ZArodezQRUtility::payloadCrc(objects + "6304") == crc)
      return objects;
  }
}

struct CrcCase {
  const char *name;
  std::optional<std::string> crc;
  std::optional<std::string> tlvString;
  Codes expected;
};

void PrintTo(const CrcCase &c, std::ostream *os) {
  *os << c.name;
}

class ValidatorCrc : public ::testing::TestWithParam<CrcCase> {};

TEST_P(ValidatorCrc, RaisesOnlyForAWrongValue) {
  CheckHarness harness;
  const CrcCase &c = GetParam();
  const std::optional<std::string_view> tlv =
      c.tlvString ? std::optional<std::string_view>(*c.tlvString) : std::nullopt;
  harness.validator().validateCRC(c.crc, tlv);
  EXPECT_EQ(harness.codes(), c.expected);
}

const std::string upper = payloadOf("0002015904Cafe6002NY");
const std::string upperCrc = upper.substr(upper.size() - 4);
const std::string objectsABC = objectsWithCrc(0x0ABC);
const std::string objectsZero = objectsWithCrc(0x0000);
const std::string accented = payloadOf("0002015905Caf\xC3\xA9");

std::string lowered(std::string text) {
  for (char &c : text)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

INSTANTIATE_TEST_SUITE_P(
    ValidatorFrame, ValidatorCrc,
    ::testing::Values(CrcCase{"Matching", upperCrc, upper, {}},
                      CrcCase{"LowerCaseMatches", lowered(upperCrc), upper, {}},
                      CrcCase{"LeadingZeroValue", "0ABC", objectsABC + "63040ABC", {}},
                      CrcCase{"LeadingZeroValueLowerCase", "0abc", objectsABC + "63040abc", {}},
                      CrcCase{"PlusSignIsNoDigit", "+ABC", objectsABC + "6304+ABC", {"48"}},
                      CrcCase{"MinusZeroIsNoDigit", "-000", objectsZero + "6304-000", {"48"}},
                      CrcCase{"ZeroValue", "0000", objectsZero + "63040000", {}},
                      CrcCase{"Mismatch", "0000", upper, {"48"}},
                      CrcCase{"ThreeCharacters", "ABC", upper, {"48"}},
                      CrcCase{"FiveCharacters", "0ABCD", upper, {"48"}},
                      CrcCase{"NotHexadecimal", "12G4", upper, {"48"}},
                      CrcCase{"BlankInside", " ABC", objectsABC + "6304 ABC", {"48"}},
                      CrcCase{"FullWidthDigits",
                              "\xEF\xBC\x90\xEF\xBC\x90\xEF\xBC\x90\xEF\xBC\x90",
                              objectsZero + "6304\xEF\xBC\x90\xEF\xBC\x90\xEF\xBC\x90\xEF\xBC\x90",
                              {"48"}},
                      CrcCase{
                          "NonAsciiPayload", accented.substr(accented.size() - 4), accented, {}},
                      CrcCase{"AbsentCrc", std::nullopt, upper, {}},
                      CrcCase{"AbsentPayload", "ABCD", std::nullopt, {}},
                      CrcCase{"ShortPayloadCoversNothing", "FFFF", std::string("ab"), {}},
                      CrcCase{"CombiningMarkOnTheLastDigit", upperCrc, upper + "\xCC\x81", {}}));

TEST(ValidatorFrame, CrcCheckAppendsToTheDriversCodes) {
  CheckHarness harness;
  ZArodezPayMerchantTLV record = validRecord();
  record.setMerchantName(std::nullopt);
  harness.validator().validatePayMerchantTLV01(&record);
  harness.validator().validateCRC("0000", std::string_view(upper));
  EXPECT_EQ(harness.codes(), (Codes{"7", "48"}));
}

struct SubfieldCase {
  const char *name;
  std::string type;
  std::string key;
  std::optional<TextMap> map;
  bool isMandatory;
  int minimum;
  int maximum;
  Codes expected;
};

void PrintTo(const SubfieldCase &c, std::ostream *os) {
  *os << c.name;
}

class ValidatorSubfield : public ::testing::TestWithParam<SubfieldCase> {};

TEST_P(ValidatorSubfield, ChoosesTheCode) {
  CheckHarness harness;
  const SubfieldCase &c = GetParam();
  harness.validator().tagMandatoryLengthCheck(c.type, c.key, c.map, c.isMandatory, c.minimum,
                                              c.maximum);
  EXPECT_EQ(harness.codes(), c.expected);
}

const std::string language = "merchantInformationLanguageTemplate";
const std::string additional = "AdditionalDataField";

INSTANTIATE_TEST_SUITE_P(
    ValidatorFrame, ValidatorSubfield,
    ::testing::Values(
        SubfieldCase{"MissingMapLanguagePreference",
                     language,
                     "languagePreference",
                     std::nullopt,
                     true,
                     2,
                     2,
                     {"51"}},
        SubfieldCase{"MissingMapMerchantName",
                     language,
                     "merchantNameAlternateLanguage",
                     std::nullopt,
                     true,
                     1,
                     25,
                     {"52"}},
        SubfieldCase{"MissingMapCity",
                     language,
                     "merchantCityAlternateLanguage",
                     std::nullopt,
                     true,
                     2,
                     15,
                     {}},
        SubfieldCase{
            "MissingKeyNotMandatory", language, "languagePreference", TextMap{}, false, 2, 2, {}},
        SubfieldCase{"MissingKeyMandatory",
                     language,
                     "languagePreference",
                     TextMap{{"merchantNameAlternateLanguage", "x"}},
                     true,
                     2,
                     2,
                     {"51"}},
        SubfieldCase{"BillIdTwentySix",
                     additional,
                     "billID",
                     TextMap{{"billID", std::string(26, 'b')}},
                     false,
                     1,
                     25,
                     {"45"}},
        SubfieldCase{"BillIdTwentyFive",
                     additional,
                     "billID",
                     TextMap{{"billID", std::string(25, 'b')}},
                     false,
                     1,
                     25,
                     {}},
        SubfieldCase{"LanguagePreferenceLength",
                     language,
                     "languagePreference",
                     TextMap{{"languagePreference", "ENG"}},
                     true,
                     2,
                     2,
                     {"53"}},
        SubfieldCase{"LanguageKeyWinsOverType",
                     additional,
                     "languagePreference",
                     TextMap{{"languagePreference", "ENG"}},
                     false,
                     2,
                     2,
                     {"53"}},
        SubfieldCase{"MerchantNameLength",
                     language,
                     "merchantNameAlternateLanguage",
                     TextMap{{"merchantNameAlternateLanguage", ""}},
                     true,
                     1,
                     25,
                     {"54"}},
        SubfieldCase{"OtherLanguageKey",
                     language,
                     "03",
                     TextMap{{"03", std::string(100, 'x')}},
                     false,
                     1,
                     99,
                     {"55"}},
        SubfieldCase{"TypeIsCaseSensitive",
                     "MerchantInformationLanguageTemplate",
                     "03",
                     TextMap{{"03", ""}},
                     false,
                     1,
                     99,
                     {"45"}},
        SubfieldCase{"KeyIsCaseSensitive",
                     language,
                     "LanguagePreference",
                     TextMap{{"LanguagePreference", "ENG"}},
                     false,
                     2,
                     2,
                     {"55"}},
        SubfieldCase{"CountsCharacters",
                     language,
                     "languagePreference",
                     TextMap{{"languagePreference", "e\xCC\x81n"}},
                     true,
                     2,
                     2,
                     {}}));

TEST(ValidatorFrame, ErrorObjectsFollowTheCodes) {
  CheckHarness harness;
  harness.validator().append("48");
  harness.validator().append("40");
  harness.validator().append("9");
  const std::vector<QRError> objects = harness.validator().errorObjects();
  ASSERT_EQ(objects.size(), 3U);
  EXPECT_EQ(objects[0].errorCode(), "48");
  EXPECT_EQ(objects[0].errorDescription(), ZArodezErrorConstantsMap::message("48").value());
  EXPECT_EQ(objects[1].errorCode(), "40");
  EXPECT_EQ(objects[1].errorDescription(), "") << "the catalogue has no message for 40";
  EXPECT_EQ(objects[2].errorCode(), "9");
  EXPECT_EQ(objects[2].errorDescription(), ZArodezErrorConstantsMap::message("8").value());
  EXPECT_EQ(harness.codes(), (Codes{"48", "40", "9"})) << "reading objects keeps the codes";
}

} // namespace
} // namespace pavenda
