#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "validation/CheckHarness.h"

namespace pavenda {
namespace {

using testing_support::CheckHarness;
using testing_support::Codes;

struct IdCase {
  const char *name;
  std::optional<std::string> value;
  Codes primary;
  Codes secondary;
};

void PrintTo(const IdCase &c, std::ostream *os) {
  *os << c.name;
}

class TemplateIdentifiers : public ::testing::TestWithParam<IdCase> {};

TEST_P(TemplateIdentifiers, PrimaryRaisesItsCodes) {
  CheckHarness harness;
  harness.validator().validatePrimaryId(GetParam().value);
  EXPECT_EQ(harness.codes(), GetParam().primary);
}

TEST_P(TemplateIdentifiers, SecondaryRaisesItsCodes) {
  CheckHarness harness;
  harness.validator().validateSecondaryId(GetParam().value);
  EXPECT_EQ(harness.codes(), GetParam().secondary);
}

INSTANTIATE_TEST_SUITE_P(
    Template, TemplateIdentifiers,
    ::testing::Values(IdCase{"Absent", std::nullopt, {}, {}}, IdCase{"Plain", "ABC123", {}, {}},
                      IdCase{"TwentySix", std::string(26, 'i'), {}, {}},
                      IdCase{"TwentySeven", std::string(27, 'i'), {"20"}, {"24"}},
                      IdCase{"Empty", "", {"20", "21"}, {"24", "25"}},
                      IdCase{"QuestionMarkAlone", "?", {}, {}},
                      IdCase{"QuestionDigit", "?5", {}, {}}, IdCase{"QuestionLowerA", "?a", {}, {}},
                      IdCase{"QuestionUpperQ", "?Q", {}, {}},
                      IdCase{"QuestionZero", "?0", {"23"}, {"24"}},
                      IdCase{"QuestionLowerR", "?r", {"23"}, {"24"}},
                      IdCase{"QuestionUpperZ", "?Z", {"23"}, {"24"}},
                      IdCase{"QuestionThreeCharacters", "?5x", {"20"}, {"24"}},
                      IdCase{"QuestionThreeBadSecond", "?0x", {"20", "23"}, {"24"}},
                      IdCase{"QuestionLong", "?12345678901234567890123456", {"20"}, {"24"}},
                      IdCase{"QuestionNotFirst", "5?", {}, {}},
                      IdCase{"QuestionWithMark",
                             "?\xCC\x81"
                             "0",
                             {},
                             {}},
                      IdCase{"SecondCharacterCluster", "?0\xCC\x81", {"23"}, {"24"}},
                      IdCase{"PatternMatchesTheClustersFirstLetter", "?a\xCC\x81", {}, {}}));

struct TemplateCase {
  const char *name;
  std::optional<TextMap> map;
  Codes expected;
};

void PrintTo(const TemplateCase &c, std::ostream *os) {
  *os << c.name;
}

class TemplateAdditionalData : public ::testing::TestWithParam<TemplateCase> {};

TEST_P(TemplateAdditionalData, ChecksEverySubField) {
  CheckHarness harness;
  ZArodezPayMerchantTLV record;
  record.setAdditionalDataFieldTemplate(GetParam().map);
  harness.validator().validateAdditionalDataField(record);
  EXPECT_EQ(harness.codes(), GetParam().expected);
}

TextMap request(std::string value) {
  return TextMap{{"additionalConsumerDataRequest", value}};
}

INSTANTIATE_TEST_SUITE_P(
    Template, TemplateAdditionalData,
    ::testing::Values(
        TemplateCase{"Absent", std::nullopt, {}}, TemplateCase{"Empty", TextMap{}, {}},
        TemplateCase{"RequestA", request("A"), {}}, TemplateCase{"RequestME", request("ME"), {}},
        TemplateCase{"RequestAME", request("AME"), {}},
        TemplateCase{"RequestMEA", request("MEA"), {}},
        TemplateCase{"RequestAA", request("AA"), {}},
        TemplateCase{"RequestEmpty", request(""), {"46"}},
        TemplateCase{"RequestTooLong", request("AMEA"), {"46"}},
        TemplateCase{"RequestLowerCase", request("ame"), {"46"}},
        TemplateCase{"RequestOtherLetter", request("AX"), {"46"}},
        TemplateCase{"RequestLongAndWrongOnce", request("AMEX"), {"46"}},
        TemplateCase{"BillTwentyFive", TextMap{{"billID", std::string(25, 'b')}}, {}},
        TemplateCase{"BillTwentySix", TextMap{{"billID", std::string(26, 'b')}}, {"45"}},
        TemplateCase{"UnknownSubTag", TextMap{{"15", std::string(30, 'u')}}, {"45"}},
        TemplateCase{"EmptySubField", TextMap{{"terminalID", ""}}, {"45"}},
        TemplateCase{
            "InMapOrder",
            TextMap{{"billID", std::string(26, 'b')}, {"additionalConsumerDataRequest", "X"}},
            {"45", "46"}},
        TemplateCase{"RequestKeepsItsOwnRule",
                     TextMap{{"additionalConsumerDataRequest", std::string(26, 'A')}},
                     {"46"}}));

class TemplateLanguage : public ::testing::TestWithParam<TemplateCase> {};

TEST_P(TemplateLanguage, ChecksKnownAndPresentSubFields) {
  CheckHarness harness;
  ZArodezPayMerchantTLV record;
  record.setMerchantInformationLanguageTemplate(GetParam().map);
  harness.validator().validateMerchantInformationLanguageTemplate(record);
  EXPECT_EQ(harness.codes(), GetParam().expected);
}

const std::string name = "merchantNameAlternateLanguage";
const std::string city = "merchantCityAlternateLanguage";
const std::string preference = "languagePreference";

INSTANTIATE_TEST_SUITE_P(
    Template, TemplateLanguage,
    ::testing::Values(
        TemplateCase{"Absent", std::nullopt, {}},
        TemplateCase{"EmptyMissesBoth", TextMap{}, {"51", "52"}},
        TemplateCase{"OnlyName", TextMap{{name, "Kona"}}, {"51"}},
        TemplateCase{"OnlyPreference", TextMap{{preference, "EN"}}, {"52"}},
        TemplateCase{"Valid", TextMap{{preference, "EN"}, {name, "Caf\xC3\xA9"}}, {}},
        TemplateCase{"PreferenceTooLong", TextMap{{preference, "ENG"}, {name, "x"}}, {"53"}},
        TemplateCase{
            "NameTooLong", TextMap{{preference, "EN"}, {name, std::string(26, 'n')}}, {"54"}},
        TemplateCase{"CityOne", TextMap{{preference, "EN"}, {name, "x"}, {city, "c"}}, {"55"}},
        TemplateCase{"CityTwo", TextMap{{preference, "EN"}, {name, "x"}, {city, "cc"}}, {}},
        TemplateCase{"CityFifteen",
                     TextMap{{preference, "EN"}, {name, "x"}, {city, std::string(15, 'c')}},
                     {}},
        TemplateCase{"CitySixteen",
                     TextMap{{preference, "EN"}, {name, "x"}, {city, std::string(16, 'c')}},
                     {"55"}},
        TemplateCase{"OtherSubTagTooLong",
                     TextMap{{preference, "EN"}, {name, "x"}, {"03", std::string(100, 'o')}},
                     {"55"}},
        TemplateCase{"OtherSubTagNinetyNine",
                     TextMap{{preference, "EN"}, {name, "x"}, {"03", std::string(99, 'o')}},
                     {}},
        TemplateCase{"KnownKeysFirst", TextMap{{"03", ""}, {name, "x"}}, {"51", "55"}}));

} // namespace
} // namespace pavenda
