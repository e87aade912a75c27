#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include <pavenda/Findings.h>
#include <pavenda/QRCodeGenerator.h>
#include <pavenda/TLVGenerator.h>

#include "encoding/ZArodezQRUtility.h"

namespace pavenda {

// Shows an advisory in a failed comparison.
void PrintTo(const Advisory& a, std::ostream* os) {
  *os << "{" << a.kind << " " << a.tag << " " << a.field << ": " << a.detail << "}";
}

namespace {

const std::string head = "02164000000000000002"
                         "52045812";
const std::string country = "5802IN";
const std::string name = "5904Shop";
const std::string city = "6006Mumbai";

std::string tlv01(const std::string& objects) {
  const std::string text = "000201" + objects + "6304";
  return text + ZArodezQRUtility::prefixZeros(ZArodezQRUtility::getCrc(text));
}

std::vector<Advisory> ofKind(const std::vector<Advisory>& all, std::string_view kind) {
  std::vector<Advisory> some;
  std::copy_if(all.begin(), all.end(), std::back_inserter(some),
               [&](const Advisory& a) { return a.kind == kind; });
  return some;
}

struct AdvisoryCase {
  const char* name;
  std::string payload;
  ErrorCorrection level;
  std::string kind;
  std::vector<Advisory> expected;
};

void PrintTo(const AdvisoryCase& c, std::ostream* os) {
  *os << c.name;
}

class Advisories : public ::testing::TestWithParam<AdvisoryCase> {};

TEST_P(Advisories, WarnWhereReadersTrip) {
  const AdvisoryCase& c = GetParam();
  const Explanation explanation = explainPayload(c.payload, c.level);
  EXPECT_EQ(ofKind(explanation.advisories, c.kind), c.expected);
  // Advisories sit beside the codes and never change them.
  EXPECT_EQ(explanation.errorCodes, TLVGenerator::tlvValidation(c.payload));
}

// The framing detail for a reader that stops inside merchantName.
std::string stopsInName(std::string_view reader) {
  return "a reader that counts " + std::string(reader) +
         " instead of user-perceived characters frames the payload differently from tag 59 on: it "
         "reads tags 59 and then fails where the payload has 59, 60, 63";
}

Advisory framing(std::string_view reader) {
  return {"framing", "59", "merchantName", stopsInName(reader)};
}

std::string padded(std::size_t bytes) {
  return "0002" + std::string(bytes - 4, 'x');
}

const std::string capacityAboveVersion15 =
    "bytes and needs a QR symbol above version 15 (77 modules a side, ";
const std::string smallModules =
    "); printed at sticker size, larger symbols have modules too small for many phone cameras";

INSTANTIATE_TEST_SUITE_P(
    EveryKind, Advisories,
    ::testing::Values(
        AdvisoryCase{"AsciiFramesAlike",
                     tlv01(head + "5303356" + country + name + city),
                     ErrorCorrection::M,
                     "framing",
                     {}},
        AdvisoryCase{"CombiningMark",
                     tlv01(head + "5303356" + country + "5904Cafe\u0301" + city),
                     ErrorCorrection::M,
                     "framing",
                     {framing("code points"), framing("UTF-16 code units"), framing("bytes")}},
        AdvisoryCase{"PrecomposedLetterOnlyBytes",
                     tlv01(head + "5303356" + country + "5904Caf\u00e9" + city),
                     ErrorCorrection::M,
                     "framing",
                     {framing("bytes")}},
        AdvisoryCase{"WithinComfortableSize", padded(412), ErrorCorrection::M, "capacity", {}},
        AdvisoryCase{"AboveComfortableSizeAtM",
                     padded(413),
                     ErrorCorrection::M,
                     "capacity",
                     {{"capacity", "", "",
                       "the payload has 413 " + capacityAboveVersion15 +
                           "412 bytes at error correction M" + smallModules}}},
        AdvisoryCase{"AboveComfortableSizeAtL",
                     padded(521),
                     ErrorCorrection::L,
                     "capacity",
                     {{"capacity", "", "",
                       "the payload has 521 " + capacityAboveVersion15 +
                           "520 bytes at error correction L" + smallModules}}},
        AdvisoryCase{"LargestSymbolAtL",
                     padded(2953),
                     ErrorCorrection::L,
                     "capacity",
                     {{"capacity", "", "",
                       "the payload has 2953 " + capacityAboveVersion15 +
                           "520 bytes at error correction L" + smallModules}}},
        AdvisoryCase{"BeyondLargestSymbolAtM",
                     padded(2332),
                     ErrorCorrection::M,
                     "capacity",
                     {{"capacity", "", "",
                       "the payload has 2332 bytes; the largest QR symbol holds 2331 in byte mode "
                       "at error correction M"}}},
        AdvisoryCase{"BeyondLargestSymbolAtL",
                     padded(2954),
                     ErrorCorrection::L,
                     "capacity",
                     {{"capacity", "", "",
                       "the payload has 2954 bytes; the largest QR symbol holds 2953 in byte mode "
                       "at error correction L"}}},
        AdvisoryCase{"YenHasNoMinorUnit",
                     tlv01(head + "5303392" + country + name + city + "5405100.5"),
                     ErrorCorrection::M,
                     "currency-decimals",
                     {{"currency-decimals", "54", "transactionAmount",
                       "transactionAmount (tag 54) is '100.5' with 1 decimal; JPY (currency 392) "
                       "has 0 decimals"}}},
        AdvisoryCase{"DollarHasTwo",
                     tlv01(head + "5303840" + country + name + city + "540612.505"),
                     ErrorCorrection::M,
                     "currency-decimals",
                     {{"currency-decimals", "54", "transactionAmount",
                       "transactionAmount (tag 54) is '12.505' with 3 decimals; USD (currency 840) "
                       "has 2 decimals"}}},
        AdvisoryCase{"DinarHasThree",
                     tlv01(head + "5303414" + country + name + city + "54051.234"),
                     ErrorCorrection::M,
                     "currency-decimals",
                     {}},
        AdvisoryCase{
            "FeeAmount",
            tlv01(head + "5303356" + "540510.00" + "550202" + "56051.005" + country + name + city),
            ErrorCorrection::M,
            "currency-decimals",
            {{"currency-decimals", "56", "convenienceFeeAmount",
              "convenienceFeeAmount (tag 56) is '1.005' with 3 decimals; INR (currency "
              "356) has 2 decimals"}}},
        AdvisoryCase{"SingleCharacterAmount",
                     "53392"
                     "631.5",
                     ErrorCorrection::M,
                     "currency-decimals",
                     {{"currency-decimals", "6", "transactionAmount",
                       "transactionAmount (tag 6) is '1.5' with 1 decimal; JPY (currency 392) has "
                       "0 decimals"}}},
        AdvisoryCase{"BidirectionalOverride",
                     tlv01(head + "5303356" + country + "5905Sh\u202Eop" + city),
                     ErrorCorrection::M,
                     "invisible-characters",
                     {{"invisible-characters", "59", "merchantName",
                       "merchantName (tag 59) holds U+202E RIGHT-TO-LEFT OVERRIDE at character 2; "
                       "invisible characters can make a text look like another"}}},
        AdvisoryCase{"ZeroWidthSpaceAndFiller",
                     tlv01(head + "5303356" + country + name + "6008Mum\u200Bb\u3164ai"),
                     ErrorCorrection::M,
                     "invisible-characters",
                     {{"invisible-characters", "60", "cityName",
                       "cityName (tag 60) holds U+200B ZERO WIDTH SPACE at character 3, U+3164 "
                       "HANGUL FILLER at character 5; invisible characters can make a text look "
                       "like another"}}},
        AdvisoryCase{"IsolateInTemplate",
                     tlv01(head + "5303356" + country + name + city + "62080104a\u2066bc"),
                     ErrorCorrection::M,
                     "invisible-characters",
                     {{"invisible-characters", "62", "billID",
                       "billID (tag 62) holds U+2066 LEFT-TO-RIGHT ISOLATE at character 1; "
                       "invisible characters can make a text look like another"}}},
        AdvisoryCase{"AccountTemplateSubTag",
                     tlv01(head + "5303356" + country + name + city + "26080004a\u200Ebc"),
                     ErrorCorrection::M,
                     "invisible-characters",
                     {{"invisible-characters", "26", "00",
                       "sub-tag 00 of tag 26 holds U+200E LEFT-TO-RIGHT MARK at character 1; "
                       "invisible characters can make a text look like another"}}},
        AdvisoryCase{"ControlCharacter",
                     "13a\tb",
                     ErrorCorrection::M,
                     "invisible-characters",
                     {{"invisible-characters", "1", "merchantName",
                       "merchantName (tag 1) holds U+0009 <control-0009> at character 1; invisible "
                       "characters can make a text look like another"}}},
        AdvisoryCase{"EmojiJoinerIsVisible",
                     tlv01(head + "5303356" + country + "5904\U0001F469\u200D\U0001F4BBDev" + city),
                     ErrorCorrection::M,
                     "invisible-characters",
                     {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GenerationAdvisories, CarryTheAdvisoriesOfThePayloadMade) {
  const FieldDictionary dictionary{
      {"payloadFormatIndicator", "01"}, {"zArodezMerchantID", "4000000000000002"},
      {"merchantCategoryCode", "5812"}, {"currencyCode", "392"},
      {"transactionAmount", "100.5"},   {"countryCode", "JP"},
      {"merchantName", "Sh\u202Eop"},   {"cityName", "Tokyo"}};
  const ExplainedResponse explained = generateQRCodeStringExplained(dictionary);
  EXPECT_EQ(explained.response, QRCodeGenerator::generateQRCodeString(dictionary));
  ASSERT_TRUE(explained.response.tlvString());
  const std::vector<Advisory> expected{
      framing("bytes"),
      {"currency-decimals", "54", "transactionAmount",
       "transactionAmount (tag 54) is '100.5' with 1 decimal; JPY (currency 392) has 0 decimals"},
      {"invisible-characters", "59", "merchantName",
       "merchantName (tag 59) holds U+202E RIGHT-TO-LEFT OVERRIDE at character 2; invisible "
       "characters can make a text look like another"}};
  EXPECT_EQ(explained.advisories, expected);

  // A refused dictionary keeps its codes and still says what a reader would have met.
  FieldDictionary refused = dictionary;
  refused.set("countryCode", "jp");
  const ExplainedResponse failed = generateQRCodeStringExplained(refused);
  EXPECT_FALSE(failed.response.tlvString());
  EXPECT_EQ(failed.advisories, expected);
}

} // namespace
} // namespace pavenda
