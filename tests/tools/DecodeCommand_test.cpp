#include <algorithm>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tools/CliRunner.h"

namespace pavenda {
namespace {

using testing::quoted;
using testing::runCli;

// A two-digit payload whose tags are out of declaration order (55 before 26).
const std::string payload = "000201"
                            "550202"
                            "26060002id"
                            "6304ABCD";

TEST(DecodeCommand, PrintsThePresentFieldsInDeclarationOrder) {
  const auto result = runCli("decode " + quoted(payload));
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, R"({"scheme":"TLV01","fields":{"isTipAvailable":true,)"
                        R"("payloadFormatIndicator":"01","tag26":{"00":"id"},)"
                        R"("tipAndFeeIndicator":"02","crc":"ABCD"}})"
                        "\n");
}

TEST(DecodeCommand, ReadsOnePayloadFromStandardInput) {
  const std::string expected =
      R"({"scheme":"TLV00","fields":{"isTipAvailable":false,"merchantName":"HELLO"}})"
      "\n";
  EXPECT_EQ(runCli("decode", "15HELLO\r\n").out, expected);
  EXPECT_EQ(runCli("decode", "15HELLO\n").out, expected);
  EXPECT_EQ(runCli("decode", "15HELLO").out, expected);
  // Only one line end is dropped; the second is part of the payload.
  const auto twoLineEnds = runCli("decode", "15HELLO\n\n");
  EXPECT_EQ(twoLineEnds.status, 1);
  EXPECT_EQ(twoLineEnds.out, "{\"error\":\"invalidLength\"}\n");
}

TEST(DecodeCommand, NamesTheDecodingError) {
  const auto noCrc = runCli("decode 000201");
  EXPECT_EQ(noCrc.status, 1);
  EXPECT_EQ(noCrc.out, "{\"error\":\"invalidTag\"}\n");
  const auto cutShort = runCli("decode 00020101");
  EXPECT_EQ(cutShort.status, 1);
  EXPECT_EQ(cutShort.out, "{\"error\":\"invalidLength\"}\n");
  EXPECT_EQ(runCli("decode " + quoted("000201"
                                      "000201"))
                .out,
            "{\"error\":\"repeatedTag\"}\n");
}

TEST(DecodeCommand, PrettyPrintsTheSameObject) {
  const auto compact = runCli("decode " + quoted(payload));
  const auto pretty = runCli("decode --pretty " + quoted(payload));
  EXPECT_EQ(pretty.status, 0);
  EXPECT_GT(std::count(pretty.out.begin(), pretty.out.end(), '\n'), 5);
  EXPECT_NE(pretty.out.find("\n  \"fields\": {\n"), std::string::npos) << pretty.out;
  EXPECT_EQ(nlohmann::ordered_json::parse(pretty.out), nlohmann::ordered_json::parse(compact.out));
}

TEST(DecodeCommand, RefusesExtraArguments) {
  EXPECT_EQ(runCli("decode 0002016304ABCD 15HELLO").status, 2);
  EXPECT_EQ(runCli("decode --frobnicate 0002016304ABCD").status, 2);
}

} // namespace
} // namespace pavenda
