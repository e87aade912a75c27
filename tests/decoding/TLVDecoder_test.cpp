#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include <pavenda/PayMerchantTLV.h>
#include <pavenda/TLVGenerator.h>

#include "decoding/Decode.h"
#include "decoding/RecordSupport.h"

namespace pavenda {
namespace {

using Error = TLVDecodingError;

// Payloads are written with '|' between their parts for reading; the decoder gets them without.
std::string tlv(std::string_view parts) {
  std::string payload;
  for (const char c : parts)
    if (c != '|')
      payload += c;
  return payload;
}

// "Tlv00" marks the single-character scheme. A decoded payload fills exactly `fields`.
struct Case {
  const char* name;
  std::string payload;
  Fields fields;
  std::optional<Error> error = std::nullopt;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class Decode : public ::testing::TestWithParam<Case> {};

// Whether `view` holds exactly the texts and template entries of `record`, in the same order.
::testing::AssertionResult sameFields(const decoding::RecordView& view,
                                      const ZArodezPayMerchantTLV& record) {
  for (std::size_t i = 0; i < ZARODEZMerchantTLV::textPropertyCount; ++i) {
    const auto property = static_cast<ZARODEZMerchantTLV::TextProperty>(i);
    const std::optional<std::string>& expected = record.text(property);
    if (view.text(property) != (expected ? decoding::Text(*expected) : std::nullopt))
      return ::testing::AssertionFailure() << "text property " << i;
  }
  for (std::size_t i = 0; i < ZARODEZMerchantTLV::mapPropertyCount; ++i) {
    const auto property = static_cast<ZARODEZMerchantTLV::MapProperty>(i);
    const std::optional<TextMap>& expected = record.map(property);
    const std::optional<decoding::TemplateView> seen = view.map(property);
    if (seen.has_value() != expected.has_value() ||
        (seen && !std::equal(seen->begin(), seen->end(), expected->begin(), expected->end(),
                             [](const decoding::SubField& field, const auto& entry) {
                               return field.key == entry.first && field.value == entry.second;
                             })))
      return ::testing::AssertionFailure() << "map property " << i;
  }
  return ::testing::AssertionSuccess();
}

// The record and the view that validation reads decode alike.
TEST_P(Decode, FillsTheFieldsOrRaisesTheError) {
  const std::string payload = tlv(GetParam().payload);
  ZArodezPayMerchantTLV record;
  EXPECT_EQ(record.decodeTLV(payload), GetParam().error);
  decoding::RecordView view;
  EXPECT_EQ(decoding::decode(view, payload).error, GetParam().error);
  if (!GetParam().error) {
    EXPECT_EQ(record, recordWith(GetParam().fields));
    EXPECT_TRUE(sameFields(view, recordWith(GetParam().fields)));
  }
}

// More sub-fields than the view holds inline: every template still reads back whole.
TEST(DecodeView, KeepsEveryTemplateBeyondItsInlineRoom) {
  std::string payload = "000201";
  for (int tag = 26; tag <= 51; ++tag)
    payload += std::to_string(tag) + "11000110102" + std::to_string(tag % 10) + "Y";
  for (int tag = 80; tag <= 99; ++tag)
    payload += std::to_string(tag) + "0500011";
  payload += "6304ABCD";
  ZArodezPayMerchantTLV record;
  ASSERT_EQ(record.decodeTLV(payload), std::nullopt);
  ASSERT_EQ(record.tag51(), (TextMap{{"00", "1"}, {"01", "1Y"}}));
  decoding::RecordView view;
  ASSERT_TRUE(decoding::decode(view, payload).ok());
  EXPECT_TRUE(sameFields(view, record));
}

// Decoding stops at the character where the refused element starts.
TEST(DecodeStop, NamesTheElementThatStoppedIt) {
  const std::pair<const char*, std::size_t> cases[] = {
      {"00|02|01|00|02|01", 6},                          // repeated tag
      {"00|02|01|26|10|00|01|a|00|01|b|63|04|ABCD", 15}, // repeated sub-tag
      {"00|02|01|62|05|00|01|x|63|04|ABCD", 10},         // sub-tag 00 of tag 62 refused
      {"00|02|01|26|06|00|03|ab|c|63|04|ABCD", 10},      // sub-field past the template's end
      {"00|02|01|AB|01|x|63|04|ABCD", 6},                // unknown tag
      {"1|1|x|C|1|x", 3},                                // single-character scheme, unknown tag
      {"3|2|\u5317\u4eac|1", 4}};                        // characters, not bytes, counted
  for (const auto& [parts, offset] : cases) {
    decoding::RecordView view;
    const decoding::DecodeResult result = decoding::decode(view, tlv(parts));
    EXPECT_FALSE(result.ok()) << parts;
    EXPECT_EQ(result.offset, offset) << parts;
  }
}

constexpr Error L = Error::invalidLength, R = Error::repeatedTag, T = Error::invalidTag;

INSTANTIATE_TEST_SUITE_P(
    Failure, Decode,
    ::testing::Values(
        Case{"Empty", "", {}, L}, Case{"Tlv00Character", "0", {}, L},
        Case{"NoCrcAtTheEnd", "00|02|01", {}, T},
        Case{"CrcNotLast", "00|02|01|63|04|ABCD|59|01|A", {}, T},
        Case{"RepeatedTag", "00|02|01|00|02|01", {}, R},
        Case{"TagWithoutLength", "00|02|01|01", {}, L},
        // A mark joined to a length's last digit makes the length no number.
        Case{"MarkOnLengthDigit", "00|02|01|59|04|\u0301abc|63|04|ABCD", {}, L},
        Case{"MarkOnSubFieldLengthDigit", "00|02|01|26|07|00|03|\u0301ab|63|04|ABCD", {}, L},
        Case{"TagCutShort", "00|02|01|6", {}, L}, Case{"LengthCutShort", "00|02|01|63|0", {}, L},
        Case{"ValueCutShort", "00|02|01|63|04|ABC", {}, L},
        Case{"LengthZero", "00|00|63|04|ABCD", {}, L},
        Case{"LengthMinusOne", "00|-1|63|04|ABCD", {}, L},
        // Read as 1 instead, each of these would decode.
        Case{"LengthMinusOneBeforeOneCharacter", "00|-1|1|63|04|ABCD", {}, L},
        Case{"SubLengthMinusOne", "00|02|01|26|05|00|-1|a|63|04|ABCD", {}, L},
        // A letter taken as a digit would read "0A" as 17.
        Case{"LengthOfLetters", "00|02|01|59|0A|" + std::string(17, 'x') + "|63|04|ABCD", {}, L},
        Case{"LengthOfOtherDigits", "00|\u0660\u0662|01|63|04|ABCD", {}, L},
        Case{"TagOfLetters", "00|02|01|AB|01|x|63|04|ABCD", {}, T},
        Case{"SingleCharacterMeaningReadAsTwoDigit", "0|0|1|5|HELLO", {}, L},
        Case{"SubFieldPastTemplateEnd", "00|02|01|26|06|00|03|ab|c|63|04|ABCD", {}, L},
        Case{"SubTagCutShort", "00|02|01|26|06|00|01|a|b|63|04|ABCD", {}, L},
        Case{"SubLengthCutShort", "00|02|01|26|03|00|1|63|04|ABCD", {}, L},
        Case{"SubLengthZero", "00|02|01|26|04|00|00|63|04|ABCD", {}, L},
        Case{"RepeatedSubTag", "00|02|01|26|10|00|01|a|00|01|b|63|04|ABCD", {}, R},
        Case{"RepeatedLetterSubTag", "00|02|01|80|10|xy|01|a|xy|01|b|63|04|ABCD", {}, R},
        Case{"AdditionalDataSubTag00", "00|02|01|62|05|00|01|x|63|04|ABCD", {}, T},
        Case{"Tlv00LastTagWithoutLength", "1|5|HELLO|2", {}, L},
        Case{"Tlv00CjkThenTagWithoutLength", "3|2|\u5317\u4eac|1", {}, L},
        Case{"Tlv00TagsCompareLowerCased", "a|1|x|A|1|y", {}, R},
        Case{"Tlv00UnknownTag", "C|1|x", {}, T}, Case{"Tlv00LengthNotBase36", "1|%|x", {}, L},
        Case{"Tlv00ValueCutShort", "1|4|abc", {}, L}, Case{"InvalidByte", "\xff\xfe", {}, L},
        Case{"TruncatedSequence", "00|02|01|59|01|\xc3", {}, L},
        Case{"OverlongSequence", "00|02|01|59|01|\xc0\xaf|63|04|ABCD", {}, L},
        Case{"EncodedSurrogate", "1|1|\xed\xa0\x80", {}, L}),
    caseName);

const Fields::value_type format{"payloadFormatIndicator", "01"}, crc{"crc", "ABCD"};

INSTANTIATE_TEST_SUITE_P(
    Success, Decode,
    ::testing::Values(
        Case{"FormatAndCrc", "00|02|01|63|04|ABCD", {format, crc}},
        Case{"LengthWithPlusSign", "00|+2|01|63|04|ABCD", {format, crc}},
        // One data object per line. Sub-tag 01 recurs at top level and in two templates; 62/20 has
        // no name of its own; the CJK values of tag 64 have the lengths 04 and 02.
        Case{"Merchant",
             "00|02|01|01|02|12|02|16|4000123456789012|55|02|01|59|09|Tea House|"
             "26|26|00|10|A000000677|01|08|MERCH001|"
             "27|10|01|01|b|xy|01|c|"
             "62|20|01|04|B001|20|02|xy|07|02|T1|"
             "64|25|00|02|ZH|01|04|\u8336\u9986\u5c0f\u5e97|02|02|\u5317\u4eac|03|01|x|"
             "63|04|ABCD",
             {format,
              {"isTipAvailable", true},
              {"pointOfInitiation", "12"},
              {"zArodezMerchantID", "4000123456789012"},
              {"zArodezMerchantPAN", "4000123456789012"},
              {"tipAndFeeIndicator", "01"},
              {"merchantName", "Tea House"},
              {"tag26", TextMap{{"00", "A000000677"}, {"01", "MERCH001"}}},
              {"tag27", TextMap{{"01", "b"}, {"xy", "c"}}},
              {"additionalDataField", "0104B0012002xy0702T1"},
              {"billID", "B001"},
              {"terminalID", "T1"},
              {"additionalDataFieldTemplate",
               TextMap{{"billID", "B001"}, {"20", "xy"}, {"terminalID", "T1"}}},
              {"merchantInformationLanguageTemplate",
               TextMap{{"languagePreference", "ZH"},
                       {"merchantNameAlternateLanguage", "\u8336\u9986\u5c0f\u5e97"},
                       {"merchantCityAlternateLanguage", "\u5317\u4eac"},
                       {"03", "x"}}},
              crc}},
        Case{"CombiningMarkAndCrLfAreOneCharacter",
             "00|02|01|59|04|Cafe\u0301|61|03|a\r\nb|63|04|ABCD",
             {format, {"merchantName", "Cafe\u0301"}, {"postalCode", "a\r\nb"}, crc}},
        // A mark joins the letter before it, so the value runs on past its last ASCII byte.
        Case{"MarkJoinsTheValuesLastLetter",
             "00|02|01|59|03|ab|c\u0301|26|06|00|02|x\u0301|y|63|04|ABCD",
             {format, {"merchantName", "abc\u0301"}, {"tag26", TextMap{{"00", "x\u0301y"}}}, crc}},
        Case{"Tlv00Plain", "1|5|HELLO", {{"merchantName", "HELLO"}}},
        Case{"Tlv00LetterLength", "1|A|ABCDEFGHIJ", {{"merchantName", "ABCDEFGHIJ"}}},
        Case{"Tlv00LengthThirtyFive",
             "1|z|" + std::string(35, 'n'),
             {{"merchantName", std::string(35, 'n')}}},
        // The Kelvin sign lower-cases to "k", the digit 20.
        Case{"Tlv00LengthLowerCasedFirst",
             "1|\u212a|" + std::string(20, 'k'),
             {{"merchantName", std::string(20, 'k')}}},
        Case{"Tlv00EmptyValue",
             "1|0|b|1|5",
             {{"merchantName", ""}, {"convenienceFeePercentage", "5"}}},
        Case{"Tlv00TipAndCjk",
             "9|2|01|3|2|\u5317\u4eac|0|2|M1",
             {{"tipAndFeeIndicator", "01"},
              {"isTipAvailable", true},
              {"cityName", "\u5317\u4eac"},
              {"zArodezMerchantID", "M1"}}}),
    caseName);

// Nothing is rolled back: a failure keeps what was stored before it. Text that is not UTF-8 is
// refused before anything is stored.
TEST(Decoder, KeepsWhatWasStoredBeforeAFailure) {
  ZArodezPayMerchantTLV record;
  EXPECT_EQ(record.decodeTLV(tlv("00|02|01|59|01|A|AB|01|x")), T);
  EXPECT_EQ(record, recordWith({format, {"merchantName", "A"}}));
  ZArodezPayMerchantTLV illFormed;
  EXPECT_EQ(illFormed.decodeTLV(tlv("00|02|01|59|01|A|60|01|\x80|63|04|ABCD")), L);
  EXPECT_EQ(illFormed, ZArodezPayMerchantTLV());
}

// Logs every call to the assignment operations; can accept the letter tag "AB".
class RecordingTLV : public ZArodezPayMerchantTLV {
public:
  std::vector<std::string> calls;
  bool acceptLetters = false;

  bool assignTLV00(std::string_view tag, int length, std::string_view value) override {
    calls.push_back(std::string(tag) + "/" + std::to_string(length) + "/" + std::string(value));
    return ZArodezPayMerchantTLV::assignTLV00(tag, length, value);
  }

  bool assignTLV01(std::string_view tag, std::optional<std::string_view> subtag, int length,
                   std::string_view value, std::optional<TextMap> map) override {
    std::string call = std::string(tag) + "/" + std::string(subtag.value_or("-")) + "/" +
                       std::to_string(length) + "/" + std::string(value);
    for (const auto& [key, entry] : map.value_or(TextMap{}))
      call += "/" + key + ":" + entry;
    calls.push_back(call);
    return (acceptLetters && tag == "AB") ||
           ZArodezPayMerchantTLV::assignTLV01(tag, subtag, length, value, std::move(map));
  }
};

TEST(Decoder, HandsEachElementToTheOverridableAssignments) {
  RecordingTLV record;
  ASSERT_EQ(record.decodeTLV(tlv("00|02|01|62|08|01|04|abcd|26|06|00|02|id|63|04|ABCD")),
            std::nullopt);
  EXPECT_EQ(record.calls,
            (std::vector<std::string>{"00/-/2/01", "62/-/8/0104abcd", "62/01/4/abcd",
                                      "62/-/8//billID:abcd", "26/-/6//00:id", "63/-/4/ABCD"}));
  RecordingTLV single;
  ASSERT_EQ(single.decodeTLV(tlv("A|3|1.5|1|0")), std::nullopt);
  EXPECT_EQ(single.calls, (std::vector<std::string>{"a/3/1.5", "1/0/"}));

  const std::string letters = tlv("00|02|01|AB|01|x|AB|01|y|63|04|ABCD");
  RecordingTLV accepting;
  accepting.acceptLetters = true;
  EXPECT_EQ(accepting.decodeTLV(letters), R);
  EXPECT_EQ(RecordingTLV().decodeTLV(letters), T);
}

// The encoder writes lengths in characters too: accented, CJK, combining and CR LF.
TEST(Decoder, ReadsWhatTheEncoderWrites) {
  const std::string hindi = "\u091a\u093e\u092f", language = "merchantInformationLanguageTemplate";
  const std::string payload = TLVGenerator::encodeDictToTLV(
      {{"merchantName", "Caf\u00e9"},
       {"payloadFormatIndicator", "01"},
       {"cityName", "\u5317\u4eac"},
       {"postalCode", "a\r\nb"},
       {language,
        FieldDictionary{{"languagePreference", "HI"}, {"merchantNameAlternateLanguage", hindi}}}});
  ZArodezPayMerchantTLV record;
  ASSERT_EQ(record.decodeTLV(payload), std::nullopt) << payload;
  EXPECT_EQ(record, recordWith({format,
                                {"merchantName", "Caf\u00e9"},
                                {"cityName", "\u5317\u4eac"},
                                {"postalCode", "a\r\nb"},
                                {language, TextMap{{"languagePreference", "HI"},
                                                   {"merchantNameAlternateLanguage", hindi}}},
                                {"crc", payload.substr(payload.size() - 4)}}))
      << payload;
}

} // namespace
} // namespace pavenda
