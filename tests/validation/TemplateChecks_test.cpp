#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "validation/CheckHarness.h"

namespace pavenda {
namespace {

using testing_support::CheckHarness;
using testing_support::Codes;

struct Id {
  const char* name;
  std::optional<std::string> value;
  Codes primary;
  Codes secondary;
};

void PrintTo(const Id& c, std::ostream* os) {
  *os << c.name;
}

class TemplateIdentifiers : public ::testing::TestWithParam<Id> {};

TEST_P(TemplateIdentifiers, RaiseTheirOwnCodes) {
  CheckHarness primary, secondary;
  validation::validatePrimaryId(primary.list, testing_support::textOf(GetParam().value));
  EXPECT_EQ(primary.codes(), GetParam().primary);
  validation::validateSecondaryId(secondary.list, testing_support::textOf(GetParam().value));
  EXPECT_EQ(secondary.codes(), GetParam().secondary);
}

INSTANTIATE_TEST_SUITE_P(
    Template, TemplateIdentifiers,
    ::testing::Values(Id{"Absent", std::nullopt, {}, {}}, Id{"Plain", "ABC123", {}, {}},
                      Id{"TwentySeven", std::string(27, 'i'), {"20"}, {"24"}},
                      Id{"Empty", "", {"20", "21"}, {"24", "25"}}, Id{"QuestionAlone", "?", {}, {}},
                      Id{"QuestionDigit", "?5", {}, {}}, Id{"QuestionQ", "?Q", {}, {}},
                      Id{"QuestionZero", "?0", {"23"}, {"24"}},
                      Id{"QuestionLowerR", "?r", {"23"}, {"24"}},
                      Id{"QuestionThree", "?5x", {"20"}, {"24"}},
                      Id{"QuestionThreeBad", "?0x", {"20", "23"}, {"24"}},
                      Id{"QuestionNotFirst", "5?", {}, {}},
                      Id{"QuestionWithMark", std::string("?\u0301") + "0", {}, {}},
                      Id{"QuestionCluster", "?0\u0301", {"23"}, {"24"}}));

// One template map, put in the additional data template (62) or the language template (64).
struct Map {
  const char* name;
  bool language;
  std::optional<TextMap> map;
  Codes expected;
};

void PrintTo(const Map& c, std::ostream* os) {
  *os << c.name;
}

class TemplateMaps : public ::testing::TestWithParam<Map> {};

TEST_P(TemplateMaps, CheckEverySubField) {
  CheckHarness harness;
  ZArodezPayMerchantTLV record;
  if (GetParam().language) {
    record.setMerchantInformationLanguageTemplate(GetParam().map);
    harness.onRecord(validation::validateMerchantInformationLanguageTemplate, record);
  } else {
    record.setAdditionalDataFieldTemplate(GetParam().map);
    harness.onRecord(validation::validateAdditionalDataField, record);
  }
  EXPECT_EQ(harness.codes(), GetParam().expected);
}

const std::string request = "additionalConsumerDataRequest";

TextMap req(const std::string& value) {
  return {{request, value}};
}

const std::string pref = "languagePreference";
const std::string name = "merchantNameAlternateLanguage";
const std::string city = "merchantCityAlternateLanguage";
constexpr bool data = false, lang = true;

// A valid language template with `key` set to `value`.
TextMap valid(const std::string& key, const std::string& value) {
  TextMap map{{pref, "EN"}, {name, "x"}};
  map.insertOrAssign(key, value);
  return map;
}

INSTANTIATE_TEST_SUITE_P(
    Template, TemplateMaps,
    ::testing::Values(
        Map{"DataAbsent", data, std::nullopt, {}}, Map{"RequestA", data, req("A"), {}},
        Map{"RequestMEA", data, req("MEA"), {}}, Map{"RequestEmpty", data, req(""), {"46"}},
        Map{"RequestTooLong", data, req("AMEA"), {"46"}},
        Map{"RequestLowerCase", data, req("ame"), {"46"}},
        Map{"RequestTwoFaultsOnce", data, req("AMEX"), {"46"}},
        Map{"RequestOwnRule", data, req(std::string(26, 'A')), {"46"}},
        Map{"BillLongest", data, TextMap{{"billID", std::string(25, 'b')}}, {}},
        Map{"BillTooLong", data, TextMap{{"billID", std::string(26, 'b')}}, {"45"}},
        Map{"UnnamedSubTag", data, TextMap{{"15", std::string(30, 'u')}}, {"45"}},
        Map{"DataInMapOrder", data, TextMap{{"terminalID", ""}, {request, "X"}}, {"45", "46"}},
        Map{"LanguageAbsent", lang, std::nullopt, {}},
        Map{"OnlyName", lang, TextMap{{name, "Kona"}}, {"51"}},
        Map{"OnlyPreference", lang, TextMap{{pref, "EN"}}, {"52"}},
        Map{"CountsCharacters", lang, valid(pref, "e\u0301n"), {}},
        Map{"PreferenceTooLong", lang, valid(pref, "ENG"), {"53"}},
        Map{"NameTooLong", lang, valid(name, std::string(26, 'n')), {"54"}},
        Map{"CityOne", lang, valid(city, "c"), {"55"}},
        Map{"CityFifteen", lang, valid(city, std::string(15, 'c')), {}},
        Map{"CitySixteen", lang, valid(city, std::string(16, 'c')), {"55"}},
        Map{"OtherSubTagHundred", lang, valid("03", std::string(100, 'o')), {"55"}},
        Map{"KnownKeysFirst", lang, TextMap{{"03", ""}, {name, "x"}}, {"51", "55"}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace pavenda
