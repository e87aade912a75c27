#include <gtest/gtest.h>

#include <pavenda/FieldDictionary.h>

namespace pavenda {
namespace {

TEST(FieldDictionary, KeepsInsertionOrderAndReplacesInPlace) {
  FieldDictionary dict{{"b", "1"}, {"a", "2"}};
  dict.set("c", "3");
  dict.set("b", "4");
  EXPECT_EQ(dict, (FieldDictionary{{"b", "4"}, {"a", "2"}, {"c", "3"}})) << "entries in order";
  EXPECT_TRUE(dict.erase("a") && !dict.erase("a") && dict.size() == 2U);
}

TEST(FieldDictionary, ValueKinds) {
  const FieldValue text(""), map(FieldDictionary{{"01", "y"}});
  EXPECT_EQ(text.kind(), FieldValue::Kind::text) << "an empty text is still a text";
  EXPECT_EQ(map.kind(), FieldValue::Kind::map);
  EXPECT_EQ(FieldValue::other().kind(), FieldValue::Kind::other);
  EXPECT_TRUE(text.map() == nullptr && map.text() == nullptr);
  EXPECT_EQ(*map.map()->find("01")->text(), "y");
}

TEST(FieldDictionary, ReadsJSONInTextOrder) {
  const auto dict = FieldDictionary::fromJSON(
      R"({"merchantName": "A", "00": "01", "62": {"01": "1234", "storeID": "S"}, "26": {"ab": "x"}})");
  ASSERT_TRUE(dict);
  const FieldDictionary nested{{"01", "1234"}, {"storeID", "S"}};
  EXPECT_EQ(*dict, (FieldDictionary{{"merchantName", "A"},
                                    {"00", "01"},
                                    {"62", nested},
                                    {"26", FieldDictionary{{"ab", "x"}}}}));
}

TEST(FieldDictionary, LargeDictionaryFindsReplacesAndErases) {
  // Past the linear-search size the hashed index must agree with the order kept beside it.
  FieldDictionary dict;
  for (int i = 0; i < 100; ++i)
    dict.set(std::string(1, 'k').append(std::to_string(i)), std::to_string(i));
  dict.set("k7", "seven");
  EXPECT_TRUE(dict.erase("k3") && !dict.erase("k3"));
  dict.set("k3", "back");
  EXPECT_EQ(dict.size(), 100U);
  EXPECT_EQ(*dict.find("k7")->text(), "seven");
  EXPECT_EQ(*dict.find("k99")->text(), "99") << "positions after the erased entry moved down";
  EXPECT_EQ(std::prev(dict.end())->first, "k3") << "a key set again goes to the end";
  EXPECT_EQ(dict.find("k100"), nullptr);
}

TEST(FieldDictionary, WritesWhatTwoLengthDigitsCount) {
  const auto accepted = [](const std::string& json) {
    std::string error;
    const bool read = FieldDictionary::fromJSON(json, &error).has_value();
    EXPECT_TRUE(read) << json << ": " << error;
  };
  accepted(R"({"merchantName": ")" + std::string(99, 'x') + "\"}");
  std::string accents;
  for (int i = 0; i < 99; ++i)
    accents += "\u00e9";
  accepted(R"({"merchantName": ")" + accents + "\"}"); // 198 bytes, 99 characters
  accepted(R"({"62": {"01": ")" + std::string(49, 'x') + R"(", "02": ")" + std::string(42, 'x') +
           "\"}}"); // 4 + 49 + 4 + 42 characters written
  accepted(R"({"tag26": {"é中": "x"}, "64": {"03": "x"}, "62": {"99": "x"}})");
  accepted(R"({"crc": ""})"); // never written: the CRC is computed
}

struct BadJSON {
  const char* name;
  const char* text;
  const char* reason; // a fragment the message must hold
  friend void PrintTo(const BadJSON& c, std::ostream* os) { *os << c.name; }
};

class RejectsJSON : public ::testing::TestWithParam<BadJSON> {};

TEST_P(RejectsJSON, WithAReason) {
  std::string error;
  EXPECT_FALSE(FieldDictionary::fromJSON(GetParam().text, &error));
  EXPECT_NE(error.find(GetParam().reason), std::string::npos) << error;
  EXPECT_EQ(error.find('\n'), std::string::npos) << "one line";
  EXPECT_FALSE(FieldDictionary::fromJSON(GetParam().text)) << "no error sink needed";
}

INSTANTIATE_TEST_SUITE_P(
    FieldDictionary, RejectsJSON,
    ::testing::Values(BadJSON{"NotJSON", "merchantName", "line 1, column 1"},
                      BadJSON{"Truncated", "{\"a\": \"b\"", "line 1, column 10"},
                      BadJSON{"SecondLine", "{\n  \"a\": x}", "line 2"},
                      BadJSON{"Array", "[1, 2]", "expected a JSON object, got array"},
                      BadJSON{"InvalidUtf8", "{\"a\": \"\xC3\x28\"}", "invalid JSON"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FieldDictionary, DeepNestingIsRefusedWithoutRecursion) {
  std::string error;
  auto refusal = FieldDictionary::JSONRefusal::syntax;
  std::string json = "{\"a\": ";
  json.append(20000, '[').append(20000, ']') += '}';
  EXPECT_FALSE(FieldDictionary::fromJSON(json, &error, &refusal));
  EXPECT_EQ(refusal, FieldDictionary::JSONRefusal::unwritableField);
  EXPECT_EQ(error, "a: an array where text belongs; write one text");
}

struct Unwritable {
  const char* name;
  std::string text;
  const char* reason; // the whole message
  FieldDictionary::JSONRefusal kind = FieldDictionary::JSONRefusal::unwritableField;
  friend void PrintTo(const Unwritable& c, std::ostream* os) { *os << c.name; }
};

class RefusesJSON : public ::testing::TestWithParam<Unwritable> {};

TEST_P(RefusesJSON, NamingTheKeyPath) {
  std::string error;
  auto refusal = GetParam().kind == FieldDictionary::JSONRefusal::syntax
                     ? FieldDictionary::JSONRefusal::unwritableField
                     : FieldDictionary::JSONRefusal::syntax;
  EXPECT_FALSE(FieldDictionary::fromJSON(GetParam().text, &error, &refusal));
  EXPECT_EQ(error, GetParam().reason);
  EXPECT_EQ(refusal, GetParam().kind);
}

using namespace std::string_literals;
constexpr auto syntax = FieldDictionary::JSONRefusal::syntax;

INSTANTIATE_TEST_SUITE_P(
    FieldDictionary, RefusesJSON,
    ::testing::Values(
        Unwritable{
            "Number", R"({"transactionAmount": 450.00})",
            R"(transactionAmount: a number where text belongs; write it as a string: "450.00")"},
        Unwritable{"Integer", R"({"62": {"billID": 7}})",
                   R"(62.billID: a number where text belongs; write it as a string: "7")"},
        Unwritable{"Boolean", R"({"merchantName": true})",
                   R"(merchantName: a Boolean where text belongs; write it as a string: "true")"},
        Unwritable{"Null", R"({"cityName": null})",
                   "cityName: null where text belongs; write the text, or leave the key out"},
        Unwritable{"Array", R"({"cityName": ["X"]})",
                   "cityName: an array where text belongs; write one text"},
        Unwritable{"ObjectInTemplate", R"({"62": {"01": {"x": "y"}}})",
                   "62.01: an object where text belongs; write it as text"},
        Unwritable{"MapUnderTextField", R"({"transactionAmount": {"9": "99"}})",
                   "transactionAmount: a map under a field that is not a template; write its "
                   "value as text"},

        Unwritable{"UnknownKey", R"({"merchantNmae": "Shop"})",
                   R"(merchantNmae: not a field key; did you mean "merchantName"?)"},
        Unwritable{"UnknownSubKey", R"({"additionalDataFieldTemplate": {"bilID": "1"}})",
                   R"(additionalDataFieldTemplate.bilID: not a field key; did you mean "billID"?)"},
        Unwritable{"UnknownLanguageKey", R"({"64": {"languagePref": "ZH"}})",
                   R"(64.languagePref: not a field key; did you mean "languagePreference"?)"},
        Unwritable{
            "TwoCharacterLanguageKey", R"({"64": {"ZH": "x"}})",
            R"(64.ZH: not a sub-field key; write a sub-field key such as "languagePreference" or a two-digit sub-tag such as "03")"},
        Unwritable{
            "LongSubKeyInOtherTemplate", R"({"tag26": {"guid": "x"}})",
            R"(tag26.guid: not a sub-field key; write a two-character sub-tag such as "01")"},
        Unwritable{"CaseOfAKey", R"({"MerchantName": "x"})",
                   R"(MerchantName: not a field key; did you mean "merchantName"?)"},
        // Keys that name no tag of their level are refused, never written as tags of their own.
        Unwritable{
            "LettersAsTag", R"({"ab": "x"})",
            R"(ab: not a field key; write a field key such as "merchantName" or a two-digit tag such as "59")"},
        Unwritable{
            "LetterAndDigitAsTag", R"({"k0": "x"})",
            R"(k0: not a field key; write a field key such as "merchantName" or a two-digit tag such as "59")"},
        Unwritable{
            "TwoWideCharactersAsTag", R"({"é中": "x"})",
            R"(é中: not a field key; write a field key such as "merchantName" or a two-digit tag such as "59")"},
        Unwritable{
            "LettersAsSubTag", R"({"62": {"k0": "x"}})",
            R"(62.k0: not a sub-field key; write a sub-field key such as "billID" or a two-digit sub-tag such as "15")"},
        Unwritable{"SubTag00OfAdditionalData", R"({"62": {"00": "x"}})",
                   "62.00: the additional data template has no sub-tag 00; write one of 01 to 99"},
        // No suggestion that has nothing to do with the key.
        Unwritable{
            "EmptyKey", R"({"": "x"})",
            R"("": not a field key; write a field key such as "merchantName" or a two-digit tag such as "59")"},
        Unwritable{
            "FarFromEveryKey", R"({"payee": "x"})",
            R"(payee: not a field key; write a field key such as "merchantName" or a two-digit tag such as "59")"},
        Unwritable{"BeginningOfAKey", R"({"64": {"languagePref": "ZH"}})",
                   R"(64.languagePref: not a field key; did you mean "languagePreference"?)"},
        // A key of another level inside a template.
        Unwritable{"TopLevelFieldInTemplate",
                   R"({"additionalDataFieldTemplate": {"cityName": "Pune"}})",
                   "additionalDataFieldTemplate.cityName: a top-level field, not a sub-field of "
                   "this template; write it at the top, or sub-tag 60 as \"60\""},
        Unwritable{"TopLevelFieldInAccountTemplate", R"({"tag26": {"merchantName": "x"}})",
                   "tag26.merchantName: a top-level field, not a sub-field of this template; "
                   "write it at the top, or sub-tag 59 as \"59\""},
        Unwritable{"AdditionalDataFieldInLanguageTemplate", R"({"64": {"6201": "x"}})",
                   "64.6201: a sub-field of the additional data template; write it inside "
                   "\"additionalDataFieldTemplate\""},
        Unwritable{"LanguageFieldAtTop", R"({"languagePreference": "ZH"})",
                   "languagePreference: a sub-field of the language template; write it inside "
                   "\"merchantInformationLanguageTemplate\""},
        // One sub-field by name and by sub-tag number.
        Unwritable{"NameAndSubTag", R"({"62": {"billID": "a", "01": "b"}})",
                   R"(62.01: sub-tag 01 given twice, as "billID" and as "01"; keep one)"},
        Unwritable{"TagAndSubTag", R"({"62": {"6201": "a", "01": "b"}})",
                   R"(62.01: sub-tag 01 given twice, as "6201" and as "01"; keep one)"},
        Unwritable{
            "LanguageNameAndSubTag", R"({"64": {"languagePreference": "ZH", "00": "EN"}})",
            R"(64.00: sub-tag 00 given twice, as "languagePreference" and as "00"; keep one)"},
        // Nothing to write, or more than two length digits count.
        Unwritable{"EmptyValue", R"({"merchantName": ""})",
                   "merchantName: empty; leave the key out or give it a value"},
        Unwritable{"EmptySubValue", R"({"62": {"billID": ""}})",
                   "62.billID: empty; leave the key out or give it a value"},
        Unwritable{"EmptyTemplate", R"({"additionalDataFieldTemplate": {}})",
                   "additionalDataFieldTemplate: an empty template; leave the key out or give it "
                   "a sub-field"},
        Unwritable{"HundredCharacters", R"({"merchantName": ")" + std::string(100, 'x') + "\"}",
                   "merchantName: 100 characters, more than the 99 a field holds; shorten it"},
        Unwritable{"HundredCharactersInTemplate",
                   R"({"tag80": {"01": ")" + std::string(100, 'x') + "\"}}",
                   "tag80.01: 100 characters, more than the 99 a field holds; shorten it"},
        Unwritable{"TemplateOfHundredCharacters",
                   R"({"62": {"01": ")" + std::string(50, 'x') + R"(", "02": ")" +
                       std::string(42, 'x') + "\"}}",
                   "62: its sub-fields take 100 characters written, more than the 99 a "
                   "template holds; shorten them"},
        Unwritable{"SubFieldAtTop", R"({"billID": "1"})",
                   "billID: a sub-field of the additional data template; write it inside "
                   "\"additionalDataFieldTemplate\""},
        Unwritable{"DuplicateKey", R"({"merchantName": "A", "merchantName": "B"})",
                   "merchantName: given twice in one object; keep one"},
        Unwritable{"DuplicateSubKey", R"({"62": {"billID": "1", "billID": "2"}})",
                   "62.billID: given twice in one object; keep one"},
        Unwritable{"NameAndTag", R"({"merchantName": "A", "59": "B"})",
                   "59: merchantName given both by name and by tag number 59; keep one"},
        Unwritable{"NameAndTagInTemplate", R"({"62": {"6201": "1", "billID": "2"}})",
                   R"(62.billID: sub-tag 01 given twice, as "6201" and as "billID"; keep one)"},
        Unwritable{"ControlCharacterInKey", "{\"merchant\\nName\": \"x\"}",
                   R"(merchant\x0AName: not a field key; did you mean "merchantName"?)"},
        Unwritable{"BytesAfterObject", R"({"merchantName": "A"} {})",
                   "invalid JSON: parse error at line 1, column 23: syntax error while parsing "
                   "value - unexpected '{'; expected end "
                   "of input",
                   syntax},
        Unwritable{"NulAfterObject", "{\"merchantName\": \"A\"}\0{}"s,
                   "invalid JSON: a NUL byte at byte 22", syntax},
        Unwritable{"SyntaxErrorWinsOverField", R"({"transactionAmount": 1,)",
                   "invalid JSON: parse error at line 1, column 25: syntax error while parsing "
                   "object key - unexpected end of "
                   "input; expected string literal",
                   syntax}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace pavenda
