#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include <pavenda/QRCodeTag.h>
#include <pavenda/TLVGenerator.h>

#include "encoding/TLVEncoder.h"
#include "encoding/ZArodezQRUtility.h"

namespace pavenda {
namespace {

// The payload of the given data objects, closed with "6304" and its CRC (checked on its own in the
// CRC tests).
std::string withCrc(const std::string& objects) {
  const std::string text = objects + "6304";
  return text + ZArodezQRUtility::prefixZeros(ZArodezQRUtility::getCrc(text));
}

struct EncoderCase {
  const char* name;
  FieldDictionary dictionary;
  std::string payload;
};

void PrintTo(const EncoderCase& c, std::ostream* os) {
  *os << c.name;
}

class EncoderExamples : public ::testing::TestWithParam<EncoderCase> {};

TEST_P(EncoderExamples, WritesThePayload) {
  const FieldDictionary before = GetParam().dictionary;
  EXPECT_EQ(TLVGenerator::encodeDictToTLV(GetParam().dictionary), GetParam().payload);
  EXPECT_EQ(GetParam().dictionary, before) << "the caller's dictionary must not change";
}

INSTANTIATE_TEST_SUITE_P(
    Encoder, EncoderExamples,
    ::testing::Values(
        EncoderCase{"FormatAndCurrency",
                    {{"payloadFormatIndicator", "01"}, {"currencyCode", "356"}},
                    "000201530335663044754"},
        EncoderCase{"TagNumberKeys",
                    {{"00", "01"}, {"62", FieldDictionary{{"01", "1234"}}}},
                    "0002016208010412346304EC13"},
        EncoderCase{"FieldKeys",
                    {{"payloadFormatIndicator", "01"},
                     {"additionalDataFieldTemplate", FieldDictionary{{"billID", "1234"}}}},
                    "0002016208010412346304EC13"},
        EncoderCase{"LanguageTemplate",
                    {{"payloadFormatIndicator", "01"},
                     {"merchantInformationLanguageTemplate",
                      FieldDictionary{{"languagePreference", "ZH"}}}},
                    "00020164060002ZH63041963"},
        EncoderCase{"Empty", {}, "63046007"},
        EncoderCase{"GivenCrcIgnored", {{"crc", "ABCD"}}, "63046007"},
        EncoderCase{"SubFieldAtTopLevelDropped", {{"billID", "1234"}}, "63046007"},
        EncoderCase{"TagNumberWinsAtFieldKeyPlace",
                    {{"merchantName", "A"}, {"cityName", "C"}, {"59", "B"}},
                    withCrc("5901B6001C")},
        EncoderCase{
            "TagNumberKeepsItsPlaceAlone", {{"cityName", "C"}, {"59", "B"}}, withCrc("6001C5901B")},
        EncoderCase{"TagNumberBeforeFieldKey",
                    {{"59", "B"}, {"cityName", "C"}, {"merchantName", "A"}},
                    withCrc("6001C5901B")},
        EncoderCase{"TagNumberWinsForTagsAfter62",
                    {{"merchantInformationLanguageTemplate", FieldDictionary{{"00", "ZH"}}},
                     {"cityName", "C"},
                     {"64", FieldDictionary{{"00", "EN"}}}},
                    withCrc("6406"
                            "0002EN"
                            "6001C")},
        EncoderCase{"FormatIndicatorFirst",
                    {{"merchantName", "A"}, {"payloadFormatIndicator", "01"}},
                    withCrc("0002015901A")},
        EncoderCase{"FormatIndicatorNotTextDropped",
                    {{"payloadFormatIndicator", FieldValue::other()}, {"merchantName", "A"}},
                    withCrc("5901A")},
        EncoderCase{"OtherKindsSkipped",
                    {{"merchantName", FieldValue::other()},
                     {"62", FieldDictionary{{"01", FieldValue::other()},
                                            {"02", FieldDictionary{{"x", "y"}}}}}},
                    withCrc("6200")},
        EncoderCase{"ReadyMadeTemplateText", {{"62", "0104abcd"}}, withCrc("62080104abcd")},
        EncoderCase{
            "UnknownTwoCharacterKeyIsItsOwnTag", {{"AB", "x"}, {"ABC", "y"}}, withCrc("AB01x")},
        EncoderCase{"UnknownTwoCharacterKeyWithMapDropped",
                    {{"AB", FieldDictionary{{"01", "x"}}}},
                    "63046007"},
        EncoderCase{"EmptyTextKeepsLengthZero", {{"merchantName", ""}}, withCrc("5900")},
        EncoderCase{"TemplateWithoutTexts", {{"tag26", FieldDictionary{}}}, withCrc("2600")},
        EncoderCase{"SubKeysKeptAsWritten",
                    {{"tag26", FieldDictionary{{"00", "id"}, {"abc", "v"}}}},
                    withCrc("26120002idabc01v")},
        EncoderCase{"CatalogueSubKeyUsesLastTwoDigits",
                    {{"tag80", FieldDictionary{{"merchantName", "n"}, {"6207", "t"}}}},
                    withCrc("80105901n0701t")},
        EncoderCase{
            "UnknownLanguageSubKeyHasNoSubtag",
            {{"64", FieldDictionary{{"merchantCityAlternateLanguage", "City"}, {"other", "xy"}}}},
            withCrc("6412"
                    "0204City"
                    "02xy")},
        EncoderCase{"SubFieldKeyWithMapUsesItsFourDigitTag",
                    {{"billID", FieldDictionary{{"01", "a"}}}},
                    withCrc("6201050101a")},
        EncoderCase{"CharactersNotBytes",
                    {{"merchantName", "Caf\u00e9"}, {"cityName", "\u5317\u4eac"}},
                    withCrc("5904Caf\u00e9"
                            "6002\u5317\u4eac")},
        EncoderCase{"CrLfIsOneCharacter", {{"merchantName", "a\r\nb"}}, withCrc("5903a\r\nb")},
        EncoderCase{
            "TemplateLengthInCharacters",
            {{"64", FieldDictionary{{"merchantNameAlternateLanguage", "\u5317\u4eac\u996d\u5e97"}}},
             {"62", FieldDictionary{{"05", "a\r\nb"}}}},
            withCrc("6408"
                    "0104\u5317\u4eac\u996d\u5e97"
                    "6207"
                    "0503a\r\nb")},
        EncoderCase{"TemplateOfHundredCharactersWithAccent",
                    {{"62", FieldDictionary{{"01", "\u00e9" + std::string(95, 'x')}}}},
                    withCrc("62100"
                            "0196\u00e9" +
                            std::string(95, 'x'))}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Encoder, LengthFieldGrowsPastNinetyNine) {
  const std::string x96(96, 'x'), x99(99, 'x'), x100(100, 'x');
  const std::pair<FieldDictionary, std::string> cases[] = {
      {{{"merchantName", x99}}, "5999" + x99},
      {{{"merchantName", x100}}, "59100" + x100},
      {{{"62", FieldDictionary{{"01", x96}}}},
       "62100"
       "0196" +
           x96},
      {{{"tag26", FieldDictionary{{"00", "a"}, {"01", x96}}}},
       "26105"
       "0001a"
       "0196" +
           x96}};
  for (const auto& [dictionary, objects] : cases)
    EXPECT_EQ(TLVGenerator::encodeDictToTLV(dictionary), withCrc(objects)) << objects.substr(0, 8);
}

TEST(Encoder, CountsCharactersWhereverTheOutputLeavesAscii) {
  // The encoder counts bytes and checks the whole output afterwards: an "é" (two bytes, one
  // character) or a CR LF (one character) is found at every place of short and long outputs.
  const std::pair<std::string, std::size_t> odd[] = {{"", 0}, {"\u00e9", 1}, {"\r\n", 1}};
  for (const std::size_t after : {0, 25})
    for (std::size_t before = 0; before <= 70; ++before)
      for (const auto& [text, characters] : odd) {
        const std::string value = std::string(before, 'a') + text + std::string(after, 'b');
        const std::size_t length = before + characters + after;
        const std::string digits{static_cast<char>('0' + length / 10),
                                 static_cast<char>('0' + length % 10)};
        EXPECT_EQ(TLVGenerator::encodeDictToTLV({{"merchantName", value}}),
                  withCrc("59" + digits + value))
            << before << " bytes, " << text.size() << " others, " << after << " bytes";
      }
}

TEST(Encoder, TagAccessorsNameTheCatalogueTags) {
  EXPECT_EQ(QRCodeTag::merchantName(), "59");
  EXPECT_EQ(QRCodeTag::billID(), "6201");
  EXPECT_EQ(QRCodeTag::crc(), "63");
  EXPECT_EQ(QRCodeTag::languagePreference(), "6400");
  EXPECT_EQ(QRCodeTag::merchantCityAlternateLanguage(), "6402");
  EXPECT_EQ(TLVGenerator::encodeDictToTLV({{std::string(QRCodeTag::countryCode()), "IN"}}),
            withCrc("5802IN"));
}

TEST(Encoder, RecordsWhereEachObjectWasWritten) {
  encoding::WrittenObjects written;
  const std::string payload = encoding::encode(
      {{"payloadFormatIndicator", "01"}, {"62", FieldDictionary{{"01", "1234"}, {"07", "T1"}}}},
      &written);
  ASSERT_EQ(payload.substr(0, 28), "000201621401041234070"
                                   "2T1"
                                   "6304");
  const encoding::WrittenObjects expected{{0, 4, 6, 0, false},
                                          {6, 10, 24, 0, true},
                                          {10, 14, 18, 1, false},
                                          {18, 22, 24, 1, false},
                                          {24, 28, 32, 0, false}};
  EXPECT_EQ(written, expected);
}

TEST(Encoder, FieldGivenBothWaysRecordsOnlyWhatItWrites) {
  // The field given twice is found only after other objects were written, a template among them.
  const std::pair<FieldDictionary, std::vector<encoding::WrittenObject>> cases[] = {
      {{{"payloadFormatIndicator", "01"},
        {"tag26",
         FieldDictionary{{"00", "id"}, {"pointOfInitiation", "A"}, {"07", "x"}, {"01", "B"}}}},
       {{0, 4, 6, 0, false},
        {6, 10, 26, 0, true},
        {10, 14, 16, 1, false},
        {16, 20, 21, 1, false},
        {21, 25, 26, 1, false},
        {26, 30, 34, 0, false}}},
      {{{"payloadFormatIndicator", "01"},
        {"merchantName", "A"},
        {"62", FieldDictionary{{"01", "x"}}},
        {"59", "B"}},
       {{0, 4, 6, 0, false},
        {6, 10, 11, 0, false},
        {11, 15, 20, 0, true},
        {15, 19, 20, 1, false},
        {20, 24, 28, 0, false}}}};
  const std::string payloads[] = {withCrc("000201"
                                          "2616"
                                          "0002id0101B0701x"),
                                  withCrc("000201"
                                          "5901B"
                                          "6205"
                                          "0101x")};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    encoding::WrittenObjects written;
    EXPECT_EQ(encoding::encode(cases[i].first, &written), payloads[i]);
    EXPECT_TRUE(
        std::equal(written.begin(), written.end(), cases[i].second.begin(), cases[i].second.end()))
        << payloads[i];
  }
}

} // namespace
} // namespace pavenda
