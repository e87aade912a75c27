#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include <pavenda/ErrorConstants.h>

#include "encoding/ZArodezQRUtility.h"
#include "support/PublishedCatalogue.h"
#include "validation/CheckHarness.h"
#include "validation/SharedValidator.h"

namespace pavenda {
namespace {

using testing_support::CheckHarness;
using testing_support::Codes;

// Every check of a driver raises something, so each list shows the order the checks ran in; each
// driver leaves the other scheme's fields alone.
TEST(ValidatorFrame, DriversRunTheirChecksInOrder) {
  ZArodezPayMerchantTLV record;
  record.setPayloadFormatIndicator("1");           // 41
  record.setZArodezMerchantID("5123456789012345"); // 1, 3
  record.setTransactionAmount("");                 // 16, 17, 18
  record.setTipAndFeeIndicator("");                // 28, 30
  record.setCountryCode("usa");                    // 12, once for two of its tests
  record.setPostalCode("");                        // 43
  record.setAdditionalDataFieldTemplate(TextMap{{"billID", std::string(26, 'b')}}); // 45
  record.setMerchantInformationLanguageTemplate(TextMap{{"merchantNameAlternateLanguage", "x"}});
  record.setTag26(TextMap{}); // 49
  record.setPrimaryID("");    // 20, 21
  record.setSecondaryID("");  // 24, 25; absent: category 9, currency 15, name 7, city 11
  CheckHarness tlv01, tlv00;
  tlv01.onRecord(validation::validatePayMerchantTLV01, record);
  EXPECT_EQ(tlv01.codes(), (Codes{"41", "1", "3", "9", "15", "16", "17", "18", "28", "30", "12",
                                  "7", "11", "43", "45", "51", "49"}));
  tlv00.onRecord(validation::validatePayMerchantTLV00, record);
  EXPECT_EQ(tlv00.codes(), (Codes{"1", "3", "7", "9", "11", "12", "15", "16", "17", "18", "20",
                                  "21", "24", "25", "28", "30"}));
}

// The shared instance, kept for callers who use it as a frame, under its lock.
class SharedValidator {
public:
  SharedValidator() : lock_(validator().lock()) { validator().validatePayMerchantTLV01(nullptr); }

  static ZArodezPayMerchantTLVValidator& validator() {
    return ZArodezPayMerchantTLVValidator::sharedValidator();
  }

  Codes codes() const { return validator().errorCodes(); }

private:
  std::unique_lock<std::mutex> lock_;
};

TEST(ValidatorFrame, EachDriverRunStartsFromAnEmptyList) {
  SharedValidator harness;
  ZArodezPayMerchantTLV record;
  record.setPayloadFormatIndicator("01");
  record.setMerchantCategoryCode("5812");
  record.setCurrencyCode("356");
  record.setCountryCode("IN");
  record.setMerchantName("Corner Cafe");
  EXPECT_EQ(harness.validator().validatePayMerchantTLV01(&record), Codes{"11"});
  record.setCityName("Pune");
  EXPECT_EQ(harness.validator().validatePayMerchantTLV01(&record), Codes{});
  EXPECT_TRUE(harness.validator().errorObjects().empty());
  record.setMerchantName(std::nullopt);
  EXPECT_EQ(harness.validator().validatePayMerchantTLV00(&record), Codes{"7"});
  EXPECT_EQ(harness.validator().validatePayMerchantTLV00(nullptr), Codes{});
}

// Objects whose payload CRC is `crc`, found by trying serial numbers in a merchant name.
std::string objectsWithCrc(std::uint16_t crc) {
  for (unsigned serial = 100000;; ++serial) {
    const std::string objects = "0002015911MERCH" + std::to_string(serial) + "6304";
    if (ZArodezQRUtility::payloadCrc(objects) == crc)
      return objects;
  }
}

// Only four hexadecimal digits of the right value are a CRC: no sign. The payload's last four
// characters are the CRC's, counted as user-perceived characters.
TEST(ValidatorFrame, CrcCheckRaisesOnlyForAWrongValue) {
  const auto codes = [](std::optional<std::string> crc, std::optional<std::string> tlvString) {
    CheckHarness harness;
    validation::validateCRC(harness.list, testing_support::textOf(crc),
                            testing_support::textOf(tlvString));
    return harness.codes();
  };
  const std::string abc = objectsWithCrc(0x0ABC), beef = objectsWithCrc(0xBEEF),
                    zero = objectsWithCrc(0x0000);
  const Codes none, bad{"48"};
  EXPECT_EQ(codes("0ABC", abc + "0ABC"), none);
  EXPECT_EQ(codes("BEEF", beef + "BEEF"), none);
  EXPECT_EQ(codes("beef", beef + "beef"), none);
  EXPECT_EQ(codes("0000", zero + "0000"), none);
  EXPECT_EQ(codes("0ABD", abc + "0ABD"), bad);
  EXPECT_EQ(codes("+ABC", abc + "+ABC"), bad);
  EXPECT_EQ(codes("-000", zero + "-000"), bad);
  EXPECT_EQ(codes("ABC", abc + "0ABC"), bad);
  EXPECT_EQ(codes("00ABC", abc + "0ABC"), bad);
  EXPECT_EQ(codes("0ABG", abc + "0ABG"), bad);
  EXPECT_EQ(codes("0ABC", abc + "0ABC\u0301"), none);
  EXPECT_EQ(codes(std::nullopt, abc + "0ABD"), none);
  EXPECT_EQ(codes("0ABD", std::nullopt), none);
}

// The key decides the code before the template type does; an absent map counts as absent, and only
// the preference and the name are ever missing. The template checks cover the other branches.
TEST(ValidatorFrame, SubfieldCheckChoosesTheCodeByKeyFirst) {
  SharedValidator harness;
  ZArodezPayMerchantTLVValidator& validator = harness.validator();
  const std::string language = "merchantInformationLanguageTemplate", pref = "languagePreference";
  validator.tagMandatoryLengthCheck(language, pref, std::nullopt, true, 2, 2);
  validator.tagMandatoryLengthCheck(language, "merchantCityAlternateLanguage", std::nullopt, true,
                                    2, 15);
  validator.tagMandatoryLengthCheck("AdditionalDataField", pref, TextMap{{pref, "ENG"}}, false, 2,
                                    2);
  EXPECT_EQ(harness.codes(), (Codes{"51", "53"}));
}

// A code is appended only at its first raising; one error object per code, in the same order, even
// for a code that the catalogue has no message for (40).
TEST(ValidatorFrame, AppendKeepsTheFirstPlaceAndErrorObjectsFollow) {
  SharedValidator harness;
  for (const char* code : {"48", "40", "48", "9", "40"})
    harness.validator().append(code);
  EXPECT_EQ(harness.codes(), (Codes{"48", "40", "9"}));
  const auto message = [](const char* code) {
    return std::string(testing_support::publishedMessage(code).value_or("(none)"));
  };
  EXPECT_EQ(harness.validator().errorObjects(),
            (std::vector<QRError>{QRError("48", message("48")), QRError("40", ""),
                                  QRError("9", message("9"))}));
}

} // namespace
} // namespace pavenda
