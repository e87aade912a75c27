#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

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
  EXPECT_EQ(nlohmann::json::parse(json.out),
            nlohmann::json({{"tlvString", payload}, {"advisories", nlohmann::json::array()}}));
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

// A Japanese merchant; `extra` adds members to the dictionary.
std::string yenMerchant(const std::string& extra) {
  return R"({"payloadFormatIndicator": "01", "zArodezMerchantID": "4000000000000002",
      "merchantCategoryCode": "5812", "currencyCode": "392", "countryCode": "JP",
      "cityName": "Tokyo")" +
         extra + "}";
}

TEST(GenerateCommand, SaysWhatReadersWouldTripOnBesideThePayload) {
  // Two decimals in yen and a zero-width space: valid by the rules, flagged by the advisories.
  const std::string input =
      yenMerchant(R"(, "merchantName": "Sh\u200bop", "transactionAmount": "10.50")");
  const auto text = runCli("generate", input);
  EXPECT_EQ(text.status, 0) << text.err;
  EXPECT_EQ(text.out.find("advisory"), std::string::npos) << "the payload line alone";
  EXPECT_EQ(std::count(text.out.begin(), text.out.end(), '\n'), 1);
  EXPECT_NE(text.err.find("advisory currency-decimals: transactionAmount (tag 54) is '10.50' with "
                          "2 decimals; JPY (currency 392) has 0 decimals\n"),
            std::string::npos)
      << text.err;
  EXPECT_NE(text.err.find("advisory invisible-characters: merchantName (tag 59) holds U+200B ZERO "
                          "WIDTH SPACE at character 2"),
            std::string::npos)
      << text.err;

  const auto json = runCli("generate --json", input);
  EXPECT_EQ(json.status, 0);
  const auto parsed = nlohmann::json::parse(json.out);
  std::vector<std::string> kinds;
  for (const auto& advisory : parsed.at("advisories"))
    kinds.push_back(advisory.at("kind"));
  EXPECT_EQ(kinds,
            (std::vector<std::string>{"framing", "currency-decimals", "invisible-characters"}));
  EXPECT_NE(parsed.at("tlvString").get<std::string>().find("Sh\u200Bop"), std::string::npos)
      << "the payload exactly";
  EXPECT_EQ(json.err, "") << "JSON carries the advisories";

  // --strict: an advisory is a finding; neither payload nor picture is handed out.
  const auto dir = std::filesystem::temp_directory_path() / "pavenda-generate-strict";
  std::filesystem::create_directories(dir);
  const std::string svg = (dir / "code.svg").string();
  for (const std::string& options : std::vector<std::string>{
           "--strict", "--strict --json", "--strict --qr svg -o " + quoted(svg)}) {
    const auto strict = runCli("generate " + options, input);
    EXPECT_EQ(strict.status, 1) << options;
    EXPECT_EQ(strict.out.find("0002"), std::string::npos) << options << ": " << strict.out;
    EXPECT_EQ(strict.err.find("0002"), std::string::npos) << options << ": " << strict.err;
  }
  EXPECT_FALSE(std::filesystem::exists(svg));
  const auto strictJson = nlohmann::json::parse(runCli("generate --strict --json", input).out);
  EXPECT_FALSE(strictJson.contains("tlvString"));
  EXPECT_EQ(strictJson.at("advisories").size(), 3U);
  EXPECT_EQ(runCli("generate --strict " + example).status, 0) << "no advisory, no refusal";
  std::filesystem::remove_all(dir);
}

TEST(GenerateCommand, ExplainsFindingsAsValidateDoes) {
  const std::string input = yenMerchant(R"(, "merchantName": "Shop", "transactionAmount": "0")");
  const auto text = runCli("generate --explain", input);
  EXPECT_EQ(text.status, 1);
  EXPECT_EQ(text.out, "17\tTransaction amount cannot be 0 or negative & cannot have invalid "
                      "format validator\n  17: transactionAmount (tag 54) is '0'; it must be "
                      "greater than 0\n");
  const auto json = nlohmann::json::parse(runCli("generate --explain --json", input).out);
  EXPECT_EQ(json.at("findings").at(0).at("field"), "transactionAmount");
  EXPECT_EQ(json.at("findings").at(0).at("value"), "0");
  EXPECT_TRUE(json.contains("crc") && json.contains("advisories"));
}

TEST(GenerateCommand, EscapesThePayloadInTextAndKeepsItExactElsewhere) {
  // A newline, a line separator and a right-to-left override in the name, all valid by the rules.
  const std::string input = yenMerchant(R"(, "merchantName": "Sh\nop\u2028\u202e")");
  const std::string exact = "000201021640000000000000025204581253033925802JP6005Tokyo5907Sh\nop"
                            "\u2028\u202e63041BD2";
  const auto text = runCli("generate", input);
  EXPECT_EQ(text.status, 0) << text.err;
  EXPECT_EQ(text.out, "000201021640000000000000025204581253033925802JP6005Tokyo5907Sh\\nop"
                      "\\u{2028}\\u{202e}63041BD2\n");
  EXPECT_NE(text.err.find("U+2028 LINE SEPARATOR at character 5"), std::string::npos) << text.err;
  EXPECT_NE(text.err.find("U+202E RIGHT-TO-LEFT OVERRIDE"), std::string::npos) << text.err;
  EXPECT_EQ(nlohmann::json::parse(runCli("generate --json", input).out).at("tlvString"), exact);
  const auto dir = std::filesystem::temp_directory_path() / "pavenda-generate-exact";
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "payload.txt").string();
  EXPECT_EQ(runCli("generate -o " + quoted(file), input).status, 0);
  EXPECT_EQ(testing_support::readFile(file), exact + "\n");
  std::filesystem::remove_all(dir);
}

TEST(GenerateCommand, SaysAGivenCrcIsIgnored) {
  const auto result = runCli("generate " + example + " --json");
  const std::string payload = nlohmann::json::parse(result.out).at("tlvString");
  const auto withCrc =
      runCli("generate",
             R"({"crc": "ABCD", )" +
                 testing_support::readFile(PAVENDA_SOURCE_DIR "/examples/merchant.json").substr(1));
  EXPECT_EQ(withCrc.status, 0) << withCrc.err;
  EXPECT_EQ(withCrc.out, payload + "\n") << "the CRC computed, not the one given";
  EXPECT_NE(withCrc.err.find("crc: the given value is ignored"), std::string::npos) << withCrc.err;
}

} // namespace
} // namespace pavenda
