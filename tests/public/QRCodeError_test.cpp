#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <pavenda/QRCodeError.h>

namespace pavenda {
namespace {

struct RenderingCase {
  const char* name;
  std::vector<std::string> codes;
  std::string description;
  std::vector<long long> numbers;
};

void PrintTo(const RenderingCase& c, std::ostream* os) {
  *os << c.name;
}

class Renderings : public ::testing::TestWithParam<RenderingCase> {};

TEST_P(Renderings, PlainTextAndJSON) {
  const QRCodeError error(GetParam().codes);
  EXPECT_EQ(error.description(), GetParam().description);
  const std::string text = error.getJSONOutput();
  EXPECT_NE(text.find('\n'), std::string::npos) << "pretty-printed";
  const auto json = nlohmann::json::parse(text);
  ASSERT_EQ(json.size(), 2U);
  EXPECT_EQ(json.at("qrCodeError").get<std::vector<long long>>(), GetParam().numbers);
  EXPECT_TRUE(json.at("qrCodeData").is_object());
  EXPECT_TRUE(json.at("qrCodeData").empty());
}

INSTANTIATE_TEST_SUITE_P(
    QRCodeError, Renderings,
    ::testing::Values(
        RenderingCase{"Empty", {}, "", {}}, RenderingCase{"TwoCodes", {"0", "9"}, "0 9 ", {0, 9}},
        RenderingCase{"OrderKept", {"16", "48"}, "16 48 ", {16, 48}},
        RenderingCase{"RepetitionKept", {"16", "16"}, "16 16 ", {16, 16}},
        RenderingCase{"NotANumberLeftOut", {"7", "x", "", "+-1", "2"}, "7 x  +-1 2 ", {7, 2}},
        RenderingCase{"SignAndZerosParse", {"+5", "007", "-3"}, "+5 007 -3 ", {5, 7, -3}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QRCodeError, CodesCanBeReplaced) {
  QRCodeError error({"1"});
  error.setErrorCodes({"2", "3"});
  EXPECT_EQ(error.errorCodes(), (std::vector<std::string>{"2", "3"}));
  EXPECT_EQ(error.description(), "2 3 ");
}

TEST(QRError, DictionaryOutputHasExactlyTheTwoKeys) {
  QRError error("48", "message");
  EXPECT_EQ(error.dictionaryOutput(), (std::map<std::string, std::string>{
                                          {"errorCode", "48"}, {"errorDescription", "message"}}));
  error.setErrorDescription("other");
  error.setErrorCode("0");
  EXPECT_EQ(error.dictionaryOutput().at("errorDescription"), "other");
  EXPECT_EQ(error.dictionaryOutput().at("errorCode"), "0");
}

} // namespace
} // namespace pavenda
