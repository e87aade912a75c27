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
            nlohmann::json({{"payload", valid}, {"errorCodes", nlohmann::json::array()}}));
  const auto second = nlohmann::json::parse(result.out.substr(newline + 1));
  EXPECT_EQ(second.at("errorCodes"), nlohmann::json::array({"0"}))
      << "text that is not UTF-8 is reported, not a crash";
}

TEST(ValidateCommand, UnknownOptionIsAUsageError) {
  EXPECT_EQ(runCli("validate --frobnicate").status, 2);
}

} // namespace
} // namespace pavenda
