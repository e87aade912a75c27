#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "validation/CheckHarness.h"

namespace pavenda {
namespace {

using testing_support::CheckHarness;
using testing_support::Codes;

struct IdCase {
  const char* name;
  std::optional<std::string> value;
  Codes primary;
  Codes secondary;
};

void PrintTo(const IdCase& c, std::ostream* os) {
  *os << c.name;
}

class TemplateIdentifiers : public ::testing::TestWithParam<IdCase> {};

TEST_P(TemplateIdentifiers, RaiseTheirOwnCodes) {
  CheckHarness harness;
  harness.validator().validatePrimaryId(GetParam().value);
  EXPECT_EQ(harness.codes(), GetParam().primary);
  harness.validator().validatePayMerchantTLV00(nullptr);
  harness.validator().validateSecondaryId(GetParam().value);
  EXPECT_EQ(harness.codes(), GetParam().secondary);
}

INSTANTIATE_TEST_SUITE_P(
    Template, TemplateIdentifiers,
    ::testing::Values(IdCase{"Absent", std::nullopt, {}, {}}, IdCase{"Plain", "ABC123", {}, {}},
                      IdCase{"TwentySeven", std::string(27, 'i'), {"20"}, {"24"}},
                      IdCase{"Empty", "", {"20", "21"}, {"24", "25"}},
                      IdCase{"QuestionMarkAlone", "?", {}, {}},
                      IdCase{"QuestionDigit", "?5", {}, {}}, IdCase{"QuestionQ", "?Q", {}, {}},
                      IdCase{"QuestionZero", "?0", {"23"}, {"24"}},
                      IdCase{"QuestionLowerR", "?r", {"23"}, {"24"}},
                      IdCase{"QuestionThree", "?5x", {"20"}, {"24"}},
                      IdCase{"QuestionThreeBadSecond", "?0x", {"20", "23"}, {"24"}},
                      IdCase{"QuestionNotFirst", "5?", {}, {}},
                      IdCase{"MarkOnQuestion",
                             "?\xCC\x81"
                             "0",
                             {},
                             {}},
                      IdCase{"SecondCharacterCluster", "?0\xCC\x81", {"23"}, {"24"}}));

struct MapCase {
  const char* name;
  std::optional<TextMap> map;
  Codes expected;
};

void PrintTo(const MapCase& c, std::ostream* os) {
  *os << c.name;
}

class TemplateAdditionalData : public ::testing::TestWithParam<MapCase> {};

TEST_P(TemplateAdditionalData, ChecksEverySubField) {
  CheckHarness harness;
  ZArodezPayMerchantTLV record;
  record.setAdditionalDataFieldTemplate(GetParam().map);
  harness.validator().validateAdditionalDataField(record);
  EXPECT_EQ(harness.codes(), GetParam().expected);
}

TextMap request(const std::string& value) {
  return {{"additionalConsumerDataRequest", value}};
}

INSTANTIATE_TEST_SUITE_P(
    Template, TemplateAdditionalData,
    ::testing::Values(
        MapCase{"Absent", std::nullopt, {}}, MapCase{"RequestA", request("A"), {}},
        MapCase{"RequestMEA", request("MEA"), {}}, MapCase{"RequestAA", request("AA"), {}},
        MapCase{"RequestEmpty", request(""), {"46"}},
        MapCase{"RequestTooLong", request("AMEA"), {"46"}},
        MapCase{"RequestLowerCase", request("ame"), {"46"}},
        MapCase{"RequestLongAndWrongOnce", request("AMEX"), {"46"}},
        MapCase{"RequestKeepsItsOwnRule", request(std::string(26, 'A')), {"46"}},
        MapCase{"BillLongest", TextMap{{"billID", std::string(25, 'b')}}, {}},
        MapCase{"BillTooLong", TextMap{{"billID", std::string(26, 'b')}}, {"45"}},
        MapCase{"SubTagOutsideTheKeyTable", TextMap{{"15", std::string(30, 'u')}}, {"45"}},
        MapCase{"InMapOrder",
                TextMap{{"terminalID", ""}, {"additionalConsumerDataRequest", "X"}},
                {"45", "46"}}));

class TemplateLanguage : public ::testing::TestWithParam<MapCase> {};

TEST_P(TemplateLanguage, ChecksKnownAndPresentSubFields) {
  CheckHarness harness;
  ZArodezPayMerchantTLV record;
  record.setMerchantInformationLanguageTemplate(GetParam().map);
  harness.validator().validateMerchantInformationLanguageTemplate(record);
  EXPECT_EQ(harness.codes(), GetParam().expected);
}

const std::string pref = "languagePreference";
const std::string name = "merchantNameAlternateLanguage";
const std::string city = "merchantCityAlternateLanguage";

INSTANTIATE_TEST_SUITE_P(
    Template, TemplateLanguage,
    ::testing::Values(
        MapCase{"Absent", std::nullopt, {}}, MapCase{"OnlyName", TextMap{{name, "Kona"}}, {"51"}},
        MapCase{"OnlyPreference", TextMap{{pref, "EN"}}, {"52"}},
        MapCase{"Valid", TextMap{{pref, "EN"}, {name, "Caf\xC3\xA9"}}, {}},
        MapCase{"PreferenceTooLong", TextMap{{pref, "ENG"}, {name, "x"}}, {"53"}},
        MapCase{"NameTooLong", TextMap{{pref, "EN"}, {name, std::string(26, 'n')}}, {"54"}},
        MapCase{"CityOne", TextMap{{pref, "EN"}, {name, "x"}, {city, "c"}}, {"55"}},
        MapCase{
            "CityFifteen", TextMap{{pref, "EN"}, {name, "x"}, {city, std::string(15, 'c')}}, {}},
        MapCase{"CitySixteen",
                TextMap{{pref, "EN"}, {name, "x"}, {city, std::string(16, 'c')}},
                {"55"}},
        MapCase{"OtherSubTagTooLong",
                TextMap{{pref, "EN"}, {name, "x"}, {"03", std::string(100, 'o')}},
                {"55"}},
        MapCase{"KnownKeysFirst", TextMap{{"03", ""}, {name, "x"}}, {"51", "55"}}));

} // namespace
} // namespace pavenda
