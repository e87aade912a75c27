#include <gtest/gtest.h>

#include "decoding/ReadBack.h"
#include "encoding/TLVEncoder.h"

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
  written.pop_back();
  EXPECT_FALSE(decoding::readsBackAsWritten(payload, written));
}

} // namespace
} // namespace pavenda
