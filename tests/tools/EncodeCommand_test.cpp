#include <gtest/gtest.h>

#include "tools/CliRunner.h"

namespace pavenda {
namespace {

using testing_support::runCli;

TEST(EncodeCommand, ReadsStandardInputAndFiles) {
  const auto fromStdin =
      runCli("encode", R"({"payloadFormatIndicator": "01", "currencyCode": "356"})");
  EXPECT_EQ(fromStdin.status, 0);
  EXPECT_EQ(fromStdin.out, "000201530335663044754\n");

  const auto fromFile =
      runCli("encode " + testing_support::quoted(PAVENDA_SOURCE_DIR "/examples/merchant.json"));
  EXPECT_EQ(fromFile.status, 0);
  EXPECT_TRUE(fromFile.out.starts_with("000201")) << fromFile.out;

  const auto nested = runCli("encode -", R"({"00": "01", "62": {"01": "1234"}})");
  EXPECT_EQ(nested.out, "0002016208010412346304EC13\n");
}

TEST(EncodeCommand, RejectsWhatIsNotAJSONObject) {
  for (const char* input : {"not json", "[1]", "{\"a\": "}) {
    const auto result = runCli("encode", input);
    EXPECT_EQ(result.status, 2) << input;
    EXPECT_EQ(result.out, "") << input;
    EXPECT_NE(result.err.find("pavenda:"), std::string::npos) << input;
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "one line: " << result.err;
  }
  EXPECT_NE(runCli("encode", "{\"a\": x}").err.find("column"), std::string::npos);
  const auto missing = runCli("encode /nonexistent/file.json");
  EXPECT_EQ(missing.status, 2);
}

TEST(EncodeCommand, HelpDescribesUse) {
  const auto help = runCli("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("encode"), std::string::npos);
  EXPECT_NE(runCli("encode --help").out.find("FILE"), std::string::npos);
  EXPECT_EQ(runCli("frobnicate").status, 2);
}

} // namespace
} // namespace pavenda
