#include <gtest/gtest.h>

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
  record.setAdditionalDataFieldTemplate(TextMap{{"billID", "1234"}});
  record.setMerchantInformationLanguageTemplate(
      TextMap{{"languagePreference", "HI"}, {"merchantNameAlternateLanguage", "Kona"}});
  record.setTag26(TextMap{{"00", "br.gov.bcb.pix"}});
  return record;
}

TEST(ValidatorFrame, AppendKeepsTheFirstPlaceOfEachCode) {
  CheckHarness harness;
  for (const char* code : {"2", "3", "2", "20", "3"})
    harness.validator().append(code);
  EXPECT_EQ(harness.codes(), (Codes{"2", "3", "20"}));
}

// Every check of a driver raises something, so the list shows the order the checks ran in.
TEST(ValidatorFrame, TwoDigitDriverRunsItsChecksInOrder) {
  CheckHarness harness;
  ZArodezPayMerchantTLV record;
  record.setPayloadFormatIndicator("1");           // 41
  record.setZArodezMerchantID("5123456789012345"); // 1, 3
  record.setTransactionAmount("");                 // 16, 17, 18
  record.setTipAndFeeIndicator("04");              // 28
  record.setCountryCode("usa");                    // 12, once for two of its tests
  record.setPostalCode("");                        // 43
  record.setAdditionalDataFieldTemplate(TextMap{{"billID", std::string(26, 'b')}}); // 45
  record.setMerchantInformationLanguageTemplate(TextMap{{"merchantNameAlternateLanguage", "x"}});
  record.setTag26(TextMap{}); // 49
  record.setPrimaryID("");    // not a field of this scheme
  EXPECT_EQ(harness.validator().validatePayMerchantTLV01(&record),
            (Codes{"41", "1", "3", "9", "15", "16", "17", "18", "28", "12", "7", "11", "43", "45",
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
  record.setPayloadFormatIndicator(std::nullopt);  // the fields below are not of this scheme
  record.setPostalCode("");
  record.setTag26(TextMap{});
  record.setMerchantInformationLanguageTemplate(TextMap{});
  EXPECT_EQ(harness.validator().validatePayMerchantTLV00(&record),
            (Codes{"1", "3", "7", "9", "11", "13", "15", "16", "17", "18", "20", "21", "24", "25",
                   "28", "30"}));
}

TEST(ValidatorFrame, EachDriverRunStartsFromAnEmptyList) {
  CheckHarness harness;
  ZArodezPayMerchantTLV record = validRecord();
  EXPECT_EQ(harness.validator().validatePayMerchantTLV01(&record), Codes{});
  EXPECT_TRUE(harness.validator().errorObjects().empty());
  record.setCityName(std::nullopt);
  EXPECT_EQ(harness.validator().validatePayMerchantTLV01(&record), Codes{"11"});
  record = validRecord();
  record.setMerchantName(std::nullopt);
  EXPECT_EQ(harness.validator().validatePayMerchantTLV00(&record), Codes{"7"});
  EXPECT_EQ(harness.validator().validatePayMerchantTLV00(nullptr), Codes{});
}

// Objects whose payload CRC is `crc`, found by trying serial numbers in a merchant name.
std::string objectsWithCrc(std::uint16_t crc) {
  for (unsigned serial = 100000;; ++serial) {
    const std::string objects = "0002015911MERCH" + std::to_string(serial);
    if (ZArodezQRUtility::payloadCrc(objects + "6304") == crc)
      return objects;
  }
}

struct CrcCase {
  const char* name;
  std::optional<std::string> crc;
  std::optional<std::string> tlvString;
  Codes expected;
};

void PrintTo(const CrcCase& c, std::ostream* os) {
  *os << c.name;
}

class ValidatorCrc : public ::testing::TestWithParam<CrcCase> {};

TEST_P(ValidatorCrc, RaisesOnlyForAWrongValue) {
  CheckHarness harness;
  const CrcCase& c = GetParam();
  harness.validator().validateCRC(c.crc, c.tlvString);
  EXPECT_EQ(harness.codes(), c.expected);
}

const std::string abc = objectsWithCrc(0x0ABC) + "6304";
const std::string zero = objectsWithCrc(0x0000) + "6304";

INSTANTIATE_TEST_SUITE_P(
    ValidatorFrame, ValidatorCrc,
    ::testing::Values(CrcCase{"Matching", "0ABC", abc + "0ABC", {}},
                      CrcCase{"LowerCase", "0abc", abc + "0abc", {}},
                      CrcCase{"ZeroValue", "0000", zero + "0000", {}},
                      CrcCase{"Mismatch", "0ABD", abc + "0ABD", {"48"}},
                      CrcCase{"PlusSign", "+ABC", abc + "+ABC", {"48"}},
                      CrcCase{"MinusZero", "-000", zero + "-000", {"48"}},
                      CrcCase{"ThreeCharacters", "ABC", abc + "0ABC", {"48"}},
                      CrcCase{"FiveCharacters", "00ABC", abc + "0ABC", {"48"}},
                      CrcCase{"NotHexadecimal", "0ABG", abc + "0ABG", {"48"}},
                      CrcCase{"LastDigitWithMark", "0ABC", abc + "0ABC\xCC\x81", {}},
                      CrcCase{"AbsentCrc", std::nullopt, abc + "0ABD", {}},
                      CrcCase{"AbsentPayload", "0ABD", std::nullopt, {}}));

struct SubfieldCase {
  const char* name;
  std::string type;
  std::string key;
  std::optional<TextMap> map;
  bool isMandatory;
  int minimum;
  int maximum;
  Codes expected;
};

void PrintTo(const SubfieldCase& c, std::ostream* os) {
  *os << c.name;
}

class ValidatorSubfield : public ::testing::TestWithParam<SubfieldCase> {};

TEST_P(ValidatorSubfield, ChoosesTheCode) {
  CheckHarness harness;
  const SubfieldCase& c = GetParam();
  harness.validator().tagMandatoryLengthCheck(c.type, c.key, c.map, c.isMandatory, c.minimum,
                                              c.maximum);
  EXPECT_EQ(harness.codes(), c.expected);
}

const std::string lang = "merchantInformationLanguageTemplate";
const std::string data = "AdditionalDataField";
const std::string pref = "languagePreference";
const std::string name = "merchantNameAlternateLanguage";

INSTANTIATE_TEST_SUITE_P(
    ValidatorFrame, ValidatorSubfield,
    ::testing::Values(
        SubfieldCase{"MissingPreference", lang, pref, std::nullopt, true, 2, 2, {"51"}},
        SubfieldCase{"MissingName", lang, name, TextMap{}, true, 1, 25, {"52"}},
        SubfieldCase{"MissingCity", lang, "merchantCityAlternateLanguage", {}, true, 2, 15, {}},
        SubfieldCase{"MissingNotMandatory", lang, pref, TextMap{}, false, 2, 2, {}},
        SubfieldCase{"BillTooLong",
                     data,
                     "billID",
                     TextMap{{"billID", std::string(26, 'b')}},
                     false,
                     1,
                     25,
                     {"45"}},
        SubfieldCase{"BillLongest",
                     data,
                     "billID",
                     TextMap{{"billID", std::string(25, 'b')}},
                     false,
                     1,
                     25,
                     {}},
        SubfieldCase{
            "PreferenceKeyWinsOverType", data, pref, TextMap{{pref, "ENG"}}, false, 2, 2, {"53"}},
        SubfieldCase{"NameLength", lang, name, TextMap{{name, ""}}, true, 1, 25, {"54"}},
        SubfieldCase{"OtherLanguageKey", lang, "03", TextMap{{"03", ""}}, false, 1, 99, {"55"}},
        SubfieldCase{
            "CountsCharacters", lang, pref, TextMap{{pref, "e\xCC\x81n"}}, true, 2, 2, {}}));

TEST(ValidatorFrame, ErrorObjectsFollowTheCodes) {
  CheckHarness harness;
  for (const char* code : {"48", "40", "9"})
    harness.validator().append(code);
  const std::vector<QRError> objects = harness.validator().errorObjects();
  ASSERT_EQ(objects.size(), 3U);
  EXPECT_EQ(objects[0], QRError("48", std::string(*ZArodezErrorConstantsMap::message("48"))));
  EXPECT_EQ(objects[1], QRError("40", "")) << "the catalogue has no message for 40";
  EXPECT_EQ(objects[2], QRError("9", std::string(*ZArodezErrorConstantsMap::message("9"))));
  EXPECT_EQ(harness.codes(), (Codes{"48", "40", "9"}));
}

} // namespace
} // namespace pavenda
