#include <gtest/gtest.h>

#include <pavenda/FieldDictionary.h>

namespace pavenda {
namespace {

TEST(FieldDictionary, KeepsInsertionOrderAndReplacesInPlace) {
  FieldDictionary dict{{"b", "1"}, {"a", "2"}};
  dict.set("c", "3");
  dict.set("b", "4");
  std::vector<std::string> keys;
  for (const auto& [key, value] : dict)
    keys.push_back(key);
  EXPECT_EQ(keys, (std::vector<std::string>{"b", "a", "c"}));
  EXPECT_EQ(*dict.find("b")->text(), "4");
  EXPECT_TRUE(dict.erase("a"));
  EXPECT_FALSE(dict.erase("a"));
  EXPECT_EQ(dict.size(), 2U);
}

TEST(FieldDictionary, ValueKinds) {
  const FieldValue text("x");
  const FieldValue map(FieldDictionary{{"01", "y"}});
  const FieldValue other = FieldValue::other();
  EXPECT_EQ(text.kind(), FieldValue::Kind::text);
  EXPECT_EQ(map.kind(), FieldValue::Kind::map);
  EXPECT_EQ(other.kind(), FieldValue::Kind::other);
  EXPECT_EQ(text.map(), nullptr);
  EXPECT_EQ(map.text(), nullptr);
  EXPECT_EQ(*map.map()->find("01")->text(), "y");
  EXPECT_EQ(FieldValue(""), FieldValue(std::string())) << "an empty text is still a text";
  EXPECT_NE(FieldValue(""), FieldValue::other());
}

TEST(FieldDictionary, ReadsJSONInTextOrder) {
  const auto dict = FieldDictionary::fromJSON(
      R"({"merchantName": "A", "00": "01", "62": {"01": "1234", "deep": {"x": "y"}, "n": 5},
          "amount": 12.5, "flag": true, "list": ["a"], "none": null})");
  ASSERT_TRUE(dict);
  const FieldDictionary expected{
      {"merchantName", "A"},
      {"00", "01"},
      {"62",
       FieldDictionary{{"01", "1234"}, {"deep", FieldValue::other()}, {"n", FieldValue::other()}}},
      {"amount", FieldValue::other()},
      {"flag", FieldValue::other()},
      {"list", FieldValue::other()},
      {"none", FieldValue::other()}};
  EXPECT_EQ(*dict, expected);
}

struct BadJSON {
  const char* name;
  const char* text;
  const char* reason; // a fragment the message must hold
};

void PrintTo(const BadJSON& c, std::ostream* os) {
  *os << c.name;
}

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
                      BadJSON{"String", "\"text\"", "got string"},
                      BadJSON{"Empty", "", "invalid JSON"},
                      BadJSON{"InvalidUtf8", "{\"a\": \"\xC3\x28\"}", "invalid JSON"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FieldDictionary, DeepNestingIsAnotherKindNotRecursion) {
  std::string deep(20000, '[');
  deep += std::string(20000, ']');
  const auto dict = FieldDictionary::fromJSON("{\"a\": " + deep + "}");
  ASSERT_TRUE(dict);
  EXPECT_EQ(dict->find("a")->kind(), FieldValue::Kind::other);
}

} // namespace
} // namespace pavenda
