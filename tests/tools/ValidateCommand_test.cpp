#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tools/CliRunner.h"

namespace pavenda {
namespace {

using testing_support::quoted;
using testing_support::runCli;

const std::string valid = "00020126580014br.gov.bcb.pix0136123e4567-e12b-12d1-a456-4266554400005204"
                          "000053039865802BR5913Fulano de Tal6008BRASILIA62070503***63041D3D";

TEST(ValidateCommand, ArgumentsOneLineEach) {
  const auto result = runCli("validate " + quoted(valid) + " 000201 ''");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "valid\t" + valid + "\n0\t000201\n0\t\n");
  EXPECT_EQ(runCli("validate " + quoted(valid)).status, 0);
}

TEST(ValidateCommand, StandardInputDropsOneLineEnd) {
  const std::string wrongCrc = valid.substr(0, valid.size() - 4) + "0000";
  const auto result = runCli("validate", valid + "\r\n" + wrongCrc + "\n" + valid);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "valid\t" + valid + "\n48\t" + wrongCrc + "\nvalid\t" + valid + "\n");
  EXPECT_EQ(runCli("validate", valid + "\n").out, "valid\t" + valid + "\n");
}

TEST(ValidateCommand, JsonLines) {
  const auto result = runCli("validate --json", valid + "\n\xFF\n");
  EXPECT_EQ(result.status, 1);
  const auto newline = result.out.find('\n');
  ASSERT_NE(newline, std::string::npos);
  EXPECT_EQ(nlohmann::json::parse(result.out.substr(0, newline)),
            nlohmann::json({{"payload", valid},
                            {"errorCodes", nlohmann::json::array()},
                            {"errorMessages", nlohmann::json::array()}}));
  const auto second = nlohmann::json::parse(result.out.substr(newline + 1));
  EXPECT_EQ(second.at("errorCodes"), nlohmann::json::array({"0"}))
      << "text that is not UTF-8 is reported, not a crash";
}

TEST(ValidateCommand, JsonGivesEachCodesMessage) {
  const std::string wrongCrc = valid.substr(0, valid.size() - 4) + "0000";
  EXPECT_EQ(
      nlohmann::json::parse(runCli("validate --json " + quoted(wrongCrc)).out).at("errorMessages"),
      nlohmann::json::array(
          {"Check if the CRC of all the tags till 62 matches the value in  tag 63"}));
}

// Hand-checked: the name has 31 characters, the CRC of everything before "ABCD" is 2BE7.
const std::string longName = "000201021640000000000000025204581253033565802IN"
                             "5931Sunrise Bakery and Coffee House6006Mumbai6304ABCD";

TEST(ValidateCommand, ExplainIndentsOneLinePerFindingAndAdvisory) {
  const auto result =
      runCli("validate --explain " + quoted(longName) + " " + quoted("00020159I Shop"));
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out,
            "6 48\t" + longName +
                "\n  6: merchantName (tag 59) has 31 characters; at most 25 are allowed"
                "\n  48: crc (tag 63) is 'ABCD'; the CRC of the payload before it is '2BE7'"
                "\n0\t00020159I Shop\n  0: at character 8: length field 'I ' is not two digits\n");
  // Control characters in a value are escaped in the detail as in the payload.
  const auto escapedLine = runCli("validate --explain", "13a\x01"
                                                        "b\n");
  EXPECT_NE(escapedLine.out.find("\n  advisory invisible-characters: merchantName (tag 1) holds "
                                 "U+0001 <control-0001> at character 1;"),
            std::string::npos)
      << escapedLine.out;
  EXPECT_EQ(escapedLine.out.find('\x01'), std::string::npos);
}

TEST(ValidateCommand, ExplainJsonHasTheFindingsTheirPlaceAndTheCrc) {
  const auto findings =
      nlohmann::json::parse(runCli("validate --explain --json " + quoted(longName)).out);
  EXPECT_EQ(findings.at("errorCodes"), nlohmann::json::array({"6", "48"}));
  EXPECT_EQ(findings.at("findings").at(0),
            nlohmann::json(
                {{"code", "6"},
                 {"message", "Length of merchant name must be from 1-25 alphanumeric characters"},
                 {"tag", "59"},
                 {"field", "merchantName"},
                 {"value", "Sunrise Bakery and Coffee House"},
                 {"detail", "merchantName (tag 59) has 31 characters; at most 25 are "
                            "allowed"},
                 {"fields",
                  {{{"tag", "59"},
                    {"subtag", nullptr},
                    {"field", "merchantName"},
                    {"value", "Sunrise Bakery and Coffee House"}}}}}));
  EXPECT_EQ(findings.at("crc"), nlohmann::json({{"given", "ABCD"}, {"computed", "2BE7"}}));
  EXPECT_FALSE(findings.contains("decodeError"));
  EXPECT_EQ(findings.at("advisories"), nlohmann::json::array());

  const auto undecodable =
      nlohmann::json::parse(runCli("validate --explain --json " + quoted("00020159I Shop")).out);
  EXPECT_EQ(undecodable.at("decodeError"),
            nlohmann::json({{"reason", "length field 'I ' is not two digits"}, {"offset", 8}}));
  EXPECT_EQ(undecodable.at("findings").at(0).at("tag"), nullptr);
  EXPECT_EQ(undecodable.at("crc"), nlohmann::json({{"given", nullptr}, {"computed", nullptr}}));
}

TEST(ValidateCommand, UnknownOptionIsAUsageError) {
  EXPECT_EQ(runCli("validate --frobnicate").status, 2);
}

} // namespace
} // namespace pavenda
