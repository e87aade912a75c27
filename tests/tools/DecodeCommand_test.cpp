#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tools/CliRunner.h"

namespace pavenda {
namespace {

using testing::quoted;
using testing::runCli;

// A two-digit payload whose tags are out of declaration order (55 before 26).
const std::string payload = "00020155020226060002id6304ABCD";

TEST(DecodeCommand, PrintsThePresentFieldsInDeclarationOrderOrPrettily) {
  const auto compact = runCli("decode " + quoted(payload));
  EXPECT_EQ(compact.status, 0) << compact.err;
  EXPECT_EQ(compact.out, R"({"scheme":"TLV01","fields":{"isTipAvailable":true,)"
                         R"("payloadFormatIndicator":"01","tag26":{"00":"id"},)"
                         R"("tipAndFeeIndicator":"02","crc":"ABCD"},)"
                         R"("crc":{"given":"ABCD","computed":"02EF","matches":false}})"
                         "\n");
  // The CRC the payload should have carried matches, in either letter case.
  const auto matching = runCli("decode " + quoted("00020155020226060002id630402ef"));
  EXPECT_EQ(nlohmann::json::parse(matching.out).at("crc"),
            nlohmann::json({{"given", "02ef"}, {"computed", "02EF"}, {"matches", true}}));
  EXPECT_FALSE(nlohmann::json::parse(runCli("decode 15HELLO").out).contains("crc"));
  const auto pretty = runCli("decode --pretty " + quoted(payload));
  EXPECT_EQ(pretty.status, 0);
  EXPECT_NE(pretty.out.find("\n  \"fields\": {\n    \"isTipAvailable\": true,\n"),
            std::string::npos)
      << pretty.out;
  EXPECT_EQ(nlohmann::ordered_json::parse(pretty.out), nlohmann::ordered_json::parse(compact.out));
}

// Standard input loses one line end only; errors are named, with status 1; extra arguments are
// refused.
TEST(DecodeCommand, ReadsStandardInputNamesErrorsRefusesExtras) {
  for (const char* input : {"15HELLO\r\n", "15HELLO\n", "15HELLO"})
    EXPECT_EQ(runCli("decode", input).out,
              R"({"scheme":"TLV00","fields":{"isTipAvailable":false,"merchantName":"HELLO"}})"
              "\n")
        << input;
  for (const auto& [argument, input, error] : {std::tuple{"", "15HELLO\n\n", "invalidLength"},
                                               {"000201", "", "invalidTag"},
                                               {"00020101", "", "invalidLength"},
                                               {"000201000201", "", "repeatedTag"}}) {
    const auto result = runCli(std::string("decode ") + argument, input);
    EXPECT_EQ(result.status, 1) << argument;
    EXPECT_EQ(result.out, std::string("{\"error\":\"") + error + "\"}\n") << argument;
  }
  EXPECT_EQ(runCli("decode 0002016304ABCD 15HELLO").status, 2);
}

} // namespace
} // namespace pavenda
