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
      R"({"merchantName": "A", "00": "01", "62": {"01": "1234", "deep": {"x": "y"}, "n": 5},
          "amount": 12.5, "flag": true, "list": ["a"], "none": null})");
  ASSERT_TRUE(dict);
  const FieldValue other = FieldValue::other();
  const FieldDictionary nested{{"01", "1234"}, {"deep", other}, {"n", other}};
  FieldDictionary expected{{"merchantName", "A"}, {"00", "01"}, {"62", nested}};
  for (const char* key : {"amount", "flag", "list", "none"})
    expected.set(key, other);
  EXPECT_EQ(*dict, expected);
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

TEST(FieldDictionary, DeepNestingIsAnotherKindNotRecursion) {
  const auto dict = FieldDictionary::fromJSON("{\"a\": " + std::string(20000, '[') +
                                              std::string(20000, ']') + "}");
  EXPECT_TRUE(dict && dict->find("a")->kind() == FieldValue::Kind::other);
}

} // namespace
} // namespace pavenda
