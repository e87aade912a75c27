#include <gtest/gtest.h>

#include <filesystem>

#include <nlohmann/json.hpp>

#include "tools/CliRunner.h"

namespace pavenda {
namespace {

using testing_support::quoted;
using testing_support::runCli;

const std::string example = quoted(PAVENDA_SOURCE_DIR "/examples/merchant.json");

TEST(GenerateCommand, PrintsThePayloadOfAValidDictionary) {
  const auto result = runCli("generate " + example);
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  ASSERT_TRUE(result.out.ends_with('\n'));
  const std::string payload = result.out.substr(0, result.out.size() - 1);
  EXPECT_TRUE(payload.starts_with("000201"));
  EXPECT_EQ(runCli("validate " + quoted(payload)).out, "valid\t" + payload + "\n");

  const auto json = runCli("generate --json " + example);
  EXPECT_EQ(json.status, 0);
  EXPECT_EQ(nlohmann::json::parse(json.out), nlohmann::json({{"tlvString", payload}}));
}

TEST(GenerateCommand, ListsFindingsWithMessages) {
  const std::string input = R"({"payloadFormatIndicator": "01", "merchantName": "Shop",
      "cityName": "Pune", "countryCode": "IN", "currencyCode": "356", "merchantCategoryCode": "5812",
      "transactionAmount": "0"})";
  const auto text = runCli("generate", input);
  EXPECT_EQ(text.status, 1);
  EXPECT_EQ(text.out, "17\tTransaction amount cannot be 0 or negative & cannot have invalid format "
                      "validator\n");

  const auto json = runCli("generate --json -", input);
  EXPECT_EQ(json.status, 1);
  const auto parsed = nlohmann::json::parse(json.out);
  EXPECT_EQ(parsed.at("errorCodes"), nlohmann::json::array({"17"}));
  EXPECT_EQ(parsed.at("errors").at(0).at("errorCode"), "17");
  EXPECT_EQ(json.out.find('\n'), json.out.size() - 1) << "one line";
}

TEST(GenerateCommand, BadInputIsAUsageError) {
  const auto result = runCli("generate", "{\"a\": ");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find("invalid JSON"), std::string::npos);
}

TEST(GenerateCommand, DrawsOnlyValidPayloads) {
  const auto dir = std::filesystem::temp_directory_path() / "pavenda-generate-qr";
  std::filesystem::create_directories(dir);
  const std::string svg = (dir / "code.svg").string();
  const auto drawn = testing_support::runCli("generate " + example + " --qr svg -o " +
                                             testing_support::quoted(svg));
  EXPECT_EQ(drawn.status, 0) << drawn.err;
  EXPECT_TRUE(testing_support::readFile(svg).starts_with("<?xml")) << "an SVG file";

  const std::string refused = (dir / "refused.svg").string();
  const auto findings =
      testing_support::runCli("generate --qr svg -o " + testing_support::quoted(refused), "{}");
  EXPECT_EQ(findings.status, 1);
  EXPECT_TRUE(findings.out.starts_with("0\t")) << "the findings are printed instead";
  EXPECT_FALSE(std::filesystem::exists(refused));

  EXPECT_EQ(testing_support::runCli("generate " + example + " --qr png").status, 2)
      << "png needs -o";
  EXPECT_EQ(testing_support::runCli("generate " + example + " --qr gif").status, 2);
  EXPECT_EQ(testing_support::runCli("generate " + example + " --ecc X").status, 2);
  std::filesystem::remove_all(dir);
}

} // namespace
} // namespace pavenda
