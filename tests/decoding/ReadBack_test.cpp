#include <gtest/gtest.h>

#include "decoding/Decode.h"
#include "decoding/ReadBack.h"
#include "encoding/TLVEncoder.h"
#include "public/PayloadValidation.h"

namespace pavenda {
namespace {

struct ReadBackCase {
  const char* name;
  FieldDictionary dictionary;
  bool readsBack;
};

void PrintTo(const ReadBackCase& c, std::ostream* os) {
  *os << c.name;
}

class ReadBack : public ::testing::TestWithParam<ReadBackCase> {};

TEST_P(ReadBack, ComparesTheDecodersFramingWithTheEncoders) {
  encoding::WrittenObjects written;
  const std::string payload = encoding::encode(GetParam().dictionary, &written);
  EXPECT_EQ(decoding::readsBackAsWritten(payload, written), GetParam().readsBack) << payload;
  // Generation makes the check while it decodes for validation: the same answer either way.
  const detail::ValidationResult expected =
      GetParam().readsBack ? detail::validatePayload(payload, true) : detail::malformed();
  EXPECT_EQ(detail::validateWritten(payload, written).codes, expected.codes) << payload;
}

const FieldDictionary base{{"payloadFormatIndicator", "01"}, {"merchantName", "Shop"}};

FieldDictionary with(std::string key, FieldValue value) {
  FieldDictionary dict = base;
  dict.set(std::move(key), std::move(value));
  return dict;
}

INSTANTIATE_TEST_SUITE_P(
    Generation, ReadBack,
    ::testing::Values(
        ReadBackCase{"Plain", base, true},
        ReadBackCase{"Templates",
                     with("62", FieldDictionary{{"01", "1234"}, {"07", "T1"}, {"50", "x"}}), true},
        ReadBackCase{"LanguageTemplate",
                     with("64", FieldDictionary{{"languagePreference", "ZH"},
                                                {"merchantNameAlternateLanguage",
                                                 "\u5317\u4eac\u996d\u5e97"}}),
                     true},
        ReadBackCase{"ReadyMadeTemplateText", with("62", "0104abcd"), true},
        ReadBackCase{"MapUnderPlainTag", with("merchantName", FieldDictionary{{"01", "x"}}), true},
        ReadBackCase{"NinetyNineCharacters", with("tag65", std::string(99, 'x')), true},
        ReadBackCase{"HundredCharacters",
                     with("merchantName", "ABCDEFGHI6587" + std::string(87, 'X')), false},
        ReadBackCase{"ThreeCharacterSubKey",
                     with("tag26", FieldDictionary{{"00", "id"}, {"abc", "v"}}), false},
        ReadBackCase{"OneCharacterSubKey", with("tag26", FieldDictionary{{"0", "0000"}}), false},
        ReadBackCase{"UnknownLanguageSubKey", with("64", FieldDictionary{{"other", "xy"}}), false},
        ReadBackCase{"CrLfIsOneCharacter", with("cityName", "a\r\nb"), true},
        ReadBackCase{"LeadingCombiningMark", with("cityName", "\u0301Paris"), false},
        ReadBackCase{"EmptyValue", with("cityName", ""), false},
        ReadBackCase{"NoFormatIndicator", FieldDictionary{{"merchantName", "Shop"}}, false},
        ReadBackCase{"InvalidUtf8", with("cityName", "\xC3\x28"), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadBack, RefusesAPayloadThatIsNotTheEncodersOutput) {
  encoding::WrittenObjects written;
  const std::string payload = encoding::encode(base, &written);
  EXPECT_FALSE(decoding::readsBackAsWritten(payload + "0201x", written));
  decoding::RecordView view;
  EXPECT_FALSE(decoding::decodeOrdinaryAsWritten(view, payload + "0201x", written));
  written.pop_back();
  EXPECT_FALSE(decoding::readsBackAsWritten(payload, written));
  view.clear();
  EXPECT_FALSE(decoding::decodeOrdinaryAsWritten(view, payload, written));
}

// The check made while decoding: an ordinary payload passes it when every object lies where it
// was written, and fails it when any one of them, a template's sub-field included, lies elsewhere.
TEST(ReadBack, DecodingForValidationComparesEveryObject) {
  const FieldDictionary dictionary =
      with("62", FieldDictionary{{"01", "1234"}, {"07", "T1"}, {"50", "x"}});
  encoding::WrittenObjects written;
  const std::string payload = encoding::encode(dictionary, &written);
  decoding::RecordView view;
  ASSERT_TRUE(decoding::decodeOrdinaryAsWritten(view, payload, written)) << payload;
  for (std::size_t i = 0; i < written.size(); ++i) {
    encoding::WrittenObjects moved = written;
    ++moved[i].valueEnd;
    view.clear();
    EXPECT_FALSE(decoding::decodeOrdinaryAsWritten(view, payload, moved)) << "object " << i;
  }
}

} // namespace
} // namespace pavenda
