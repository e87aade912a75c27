#include <gtest/gtest.h>

#include <pavenda/ErrorConstants.h>
#include <pavenda/QRCodeGenerator.h>
#include <pavenda/TLVGenerator.h>

#include "encoding/ZArodezQRUtility.h"
#include "support/PublishedCatalogue.h"

namespace pavenda {
namespace {

using Codes = std::vector<std::string>;

const FieldDictionary validMerchant{
    {"payloadFormatIndicator", "01"},
    {"pointOfInitiation", "12"},
    {"zArodezMerchantID", "4000000000000002"},
    {"tag26", FieldDictionary{{"00", "com.example.acquirer"}, {"01", "MID-0042"}}},
    {"merchantCategoryCode", "5812"},
    {"currencyCode", "356"},
    {"transactionAmount", "450.00"},
    {"tipAndFeeIndicator", "02"},
    {"convenienceFeeAmount", "10.00"},
    {"countryCode", "IN"},
    {"merchantName", "Saffron Kitchen"},
    {"cityName", "Bengaluru"},
    {"additionalDataFieldTemplate", FieldDictionary{{"billID", "INV-17"}, {"terminalID", "T-07"}}},
    {"merchantInformationLanguageTemplate",
     FieldDictionary{{"languagePreference", "ZH"},
                     {"merchantNameAlternateLanguage", "\u85cf\u7ea2\u82b1\u53a8\u623f"}}}};

// The valid merchant with some fields replaced, or removed where the value is nothing.
FieldDictionary
validWith(std::initializer_list<std::pair<std::string, std::optional<FieldValue>>> changes) {
  FieldDictionary dict = validMerchant;
  for (const auto& [key, value] : changes)
    value ? dict.set(key, *value) : void(dict.erase(key));
  return dict;
}

FieldDictionary validWith(std::string key, FieldValue value) {
  return validWith({{key, value}});
}

Codes codesOf(const PavendaResponse& response) {
  return response.qrCodeError() ? response.qrCodeError()->errorCodes() : Codes{};
}

TEST(Generation, ValidDictionaryGivesTheEncodersPayload) {
  const PavendaResponse response = QRCodeGenerator::generateQRCodeString(validMerchant);
  ASSERT_TRUE(response.tlvString()) << ::testing::PrintToString(codesOf(response));
  EXPECT_EQ(*response.tlvString(), TLVGenerator::encodeDictToTLV(validMerchant));
  EXPECT_FALSE(response.qrCodeError() || response.qrErrors());
  EXPECT_EQ(TLVGenerator::tlvValidation(*response.tlvString()), Codes{});
}

struct FindingCase {
  const char* name;
  FieldDictionary dictionary;
  Codes codes;
  friend void PrintTo(const FindingCase& c, std::ostream* os) { *os << c.name; }
};

class GenerationFindings : public ::testing::TestWithParam<FindingCase> {};

TEST_P(GenerationFindings, AnswerTheCodesWithTheirMessagesAndNoPayload) {
  const PavendaResponse response = QRCodeGenerator::generateQRCodeString(GetParam().dictionary);
  EXPECT_FALSE(response.tlvString());
  EXPECT_EQ(codesOf(response), GetParam().codes);
  ASSERT_TRUE(response.qrErrors() && response.qrErrors()->size() == GetParam().codes.size());
  for (std::size_t i = 0; i < GetParam().codes.size(); ++i) {
    const std::string& code = GetParam().codes[i];
    EXPECT_EQ((*response.qrErrors())[i].errorCode(), code);
    EXPECT_EQ((*response.qrErrors())[i].errorDescription(),
              testing_support::publishedMessage(code).value_or(""));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Generation, GenerationFindings,
    ::testing::Values(
        FindingCase{"EmptyDictionary", {}, {"0"}},
        FindingCase{"EmptyValueDoesNotDecode", validWith("cityName", ""), {"0"}},
        FindingCase{"FieldRules", validWith("transactionAmount", "-5"), {"17"}},
        FindingCase{"PercentageAboveRange",
                    validWith({{"tipAndFeeIndicator", "03"}, {"convenienceFeePercentage", "100"}}),
                    {"36"}},
        FindingCase{
            "TipPercentageWithOnlyAFeeAmount", validWith("tipAndFeeIndicator", "03"), {"39"}},
        FindingCase{"CodesInTheDriversOrder",
                    validWith({{"countryCode", "in"},
                               {"transactionAmount", "0"},
                               {"merchantCategoryCode", "58A2"}}),
                    {"8", "17", "12"}},
        // A value of 100 characters is written with a three-digit length that the decoder reads as
        // two digits; here it would read back as another, valid payload.
        FindingCase{"HundredCharacterValue",
                    validWith("merchantName", "ABCDEFGHI6587" + std::string(87, 'X')),
                    {"0"}},
        FindingCase{"ThreeCharacterSubKey",
                    validWith("tag27", FieldDictionary{{"00", "id"}, {"abc", "v"}}),
                    {"0"}},
        FindingCase{"ValueStartingWithCombiningMark", validWith("cityName", "\u0301Paris"), {"0"}},
        FindingCase{"TextThatIsNotUtf8", validWith("cityName", "Par\xC3\x28s"), {"0"}},
        FindingCase{
            "NoFormatIndicator", validWith({{"payloadFormatIndicator", std::nullopt}}), {"0"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Each call starts afresh: findings or a failed decoding do not carry into the next call.
TEST(Generation, NothingLeaksFromOneCallIntoTheNext) {
  PavendaResponse (*generate)(const FieldDictionary&) = &QRCodeGenerator::generateQRCodeString;
  EXPECT_EQ(codesOf(generate(validWith("merchantName", ""))), Codes{"0"});
  EXPECT_EQ(codesOf(generate(validWith("transactionAmount", "abc"))), Codes{"17"});
  const PavendaResponse undecodable = generate({});
  EXPECT_EQ(codesOf(undecodable), Codes{"0"});
  EXPECT_TRUE(undecodable.qrErrors() && undecodable.qrErrors()->size() == 1U);
  const PavendaResponse succeeding = generate(validMerchant);
  EXPECT_TRUE(succeeding.tlvString() && !succeeding.qrCodeError() && !succeeding.qrErrors());
}

TEST(Generation, CompletionHandlerRunsOnceBeforeReturning) {
  std::vector<std::optional<PavendaResponse>> received;
  const auto handler = [&](std::optional<PavendaResponse> r) { received.push_back(std::move(r)); };
  QRCodeGenerator::generateQRCodeString(validMerchant, handler);
  ASSERT_EQ(received.size(), 1U);
  EXPECT_EQ(received[0], QRCodeGenerator::generateQRCodeString(validMerchant));
  QRCodeGenerator::generateQRCodeString({}, handler);
  ASSERT_TRUE(received.size() == 2U && received[1]) << "once more, with a response";
  EXPECT_EQ(codesOf(*received[1]), Codes{"0"});
  QRCodeGenerator::generateQRCodeString(validMerchant, nullptr);
}

struct PayloadCase {
  const char* name;
  std::string payload;
  Codes codes;
  friend void PrintTo(const PayloadCase& c, std::ostream* os) { *os << c.name; }
};

class PayloadValidation : public ::testing::TestWithParam<PayloadCase> {};

TEST_P(PayloadValidation, GivesTheCodes) {
  EXPECT_EQ(TLVGenerator::tlvValidation(GetParam().payload), GetParam().codes);
}

std::string withCrc(const std::string& objects) {
  const std::string text = objects + "6304";
  return text + ZArodezQRUtility::prefixZeros(ZArodezQRUtility::getCrc(text));
}

// The payload with its CRC's hex digits in lower case.
std::string lowerCaseCrc(std::string p) {
  for (std::size_t i = p.size() - 4; i < p.size(); ++i)
    p[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(p[i])));
  return p;
}

const std::string basic = "000201021640000000000000025204581253033565802IN5904Shop6009Bengaluru";

INSTANTIATE_TEST_SUITE_P(
    Generation, PayloadValidation,
    ::testing::Values(
        PayloadCase{"RealWorld",
                    "00020126580014br.gov.bcb.pix0136123e4567-e12b-12d1-a456-42665544000052040000"
                    "53039865802BR5913Fulano de Tal6008BRASILIA62070503***63041D3D",
                    {}},
        PayloadCase{"Basic", withCrc(basic), {}},
        PayloadCase{"LowerCaseCrc", lowerCaseCrc(withCrc(basic)), {}},
        PayloadCase{"WrongCrc", basic + "63040000", {"48"}},
        PayloadCase{"SignedCrc", basic + "6304+ABC", {"48"}},
        PayloadCase{"FieldCodesBeforeCrc",
                    "0002015303999"
                    "63040000",
                    {"9", "13", "7", "11", "48"}},
        PayloadCase{"Empty", "", {"0"}}, PayloadCase{"OneCharacter", "0", {"0"}},
        PayloadCase{"NotEndingWithCrc", "000201", {"0"}},
        PayloadCase{"InvalidUtf8", withCrc(basic + "6102\xFF\xFE"), {"0"}},
        PayloadCase{
            "SingleCharacterScheme", "04Abcd15HELLO", {"1", "2", "4", "9", "11", "13", "15"}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace pavenda
