#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include <pavenda/ErrorConstants.h>
#include <pavenda/TLVGenerator.h>
#include <pavenda/pavenda_c.h>

#include "tools/CliRunner.h"

// What a user meets first: line ends of every kind read in linear time, verdicts as soon as a
// line arrives on a pipe, "--" before arguments that look like options, output files of any
// valid name that never lose data, and usage mistakes named.

namespace pavenda {
namespace {

using testing_support::runShell;

const std::string valid = "00020126580014br.gov.bcb.pix0136123e4567-e12b-12d1-a456-4266554400005204"
                          "000053039865802BR5913Fulano de Tal6008BRASILIA62070503***63041D3D";
const std::string merchant = "\"$EXAMPLES/merchant.json\"";

struct ShellCase {
  const char* name;
  std::string script;
  int status;
  std::string out;
  std::string err;
  friend void PrintTo(const ShellCase& c, std::ostream* os) { *os << c.name; }
};

class CliSurface : public ::testing::TestWithParam<ShellCase> {};

TEST_P(CliSurface, AnswersWithStatusOutputAndMessage) {
  const ShellCase& c = GetParam();
  const auto result = runShell(c.script);
  EXPECT_EQ(result.status, c.status);
  EXPECT_EQ(result.out, c.out);
  EXPECT_EQ(result.err, c.err);
}

// 16 MB of line ends take a few hundredths of a second of CPU when each byte is looked at a fixed
// number of times; looking again from every line end to the end of the block takes minutes. The
// CPU-time limit (not a wall-clock one) stops a run that does such work.
INSTANTIATE_TEST_SUITE_P(
    LineEnds, CliSurface,
    ::testing::Values(
        ShellCase{"CarriageReturnsReadInLinearTime",
                  "{ head -c 16000000 /dev/zero | tr '\\0' '\\r'; echo " + valid +
                      "; } > in; ulimit -t 4; $PAVENDA validate --jobs 1 < in",
                  0, "valid\t" + valid + "\n", ""},
        ShellCase{"MixedLineEndsReadInLinearTime",
                  "{ head -c 8000000 /dev/zero | tr '\\0' '\\r'; head -c 8000000 /dev/zero | "
                  "tr '\\0' '\\n'; printf '%s\\r\\n' '" +
                      valid + "'; } > in; ulimit -t 4; $PAVENDA validate --jobs 1 < in",
                  0, "valid\t" + valid + "\n", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// A writer that waits for each verdict before sending the next line gets it: the second line is
// written only once the first verdict has been read back, so a tool that answers at end of input
// leaves `read` waiting until its time-out.
const std::string conversation =
    "mkfifo in out; $PAVENDA validate JOBS < in > out & exec 3> in 4< out; "
    "echo " +
    valid +
    " >&3; read -r -t 20 -u 4 first || echo 'no first verdict'; echo 000201 >&3; "
    "read -r -t 20 -u 4 second || echo 'no second verdict'; exec 3>&-; wait $!; s=$?; "
    "echo \"$first\"; echo \"$second\"; exit $s";

std::string talk(const std::string& jobs) {
  std::string script = conversation;
  return script.replace(script.find("JOBS"), 4, jobs);
}

INSTANTIATE_TEST_SUITE_P(
    Pipes, CliSurface,
    ::testing::Values(ShellCase{"VerdictAsSoonAsTheLineIsComplete", talk("--jobs 1"), 1,
                                "valid\t" + valid + "\n0\t000201\n", ""},
                      ShellCase{"VerdictAsSoonAsTheLineIsCompleteOnTwoJobs", talk("--jobs 2"), 1,
                                "valid\t" + valid + "\n0\t000201\n", ""},
                      ShellCase{"JsonVerdictAsSoonAsTheLineIsComplete", talk("--json"), 1,
                                "{\"payload\":\"" + valid +
                                    "\",\"errorCodes\":[],\"errorMessages\":[]}\n"
                                    "{\"payload\":\"000201\",\"errorCodes\":[\"0\"],"
                                    "\"errorMessages\":[\"Tags except 00, 63 NOT in "
                                    "sequence/Malformed/Unrecognized tags\"]}\n",
                                ""}),
    [](const auto& info) { return std::string(info.param.name); });

// "--" ends the options of every command; the words after it are arguments, however they start.
INSTANTIATE_TEST_SUITE_P(
    EndOfOptions, CliSurface,
    ::testing::Values(
        ShellCase{"ValidateDashPayload", "$PAVENDA validate -- -x --json --", 1,
                  "0\t-x\n0\t--json\n0\t--\n", ""},
        ShellCase{"ValidateOptionsBefore", "$PAVENDA validate --json -- -x", 1,
                  "{\"payload\":\"-x\",\"errorCodes\":[\"0\"],\"errorMessages\":[\"Tags except "
                  "00, 63 NOT in sequence/Malformed/Unrecognized tags\"]}\n",
                  ""},
        ShellCase{"DecodeDashPayload", "$PAVENDA decode -- -x", 1,
                  "{\"error\":\"invalidLength\"}\n", ""},
        ShellCase{"GenerateDashFile",
                  "cp " + merchant +
                      " ./-m.json; $PAVENDA generate -- -m.json > a; $PAVENDA generate " +
                      merchant + " > b; cmp a b && echo same",
                  0, "same\n", ""},
        ShellCase{"EncodeDashFile",
                  "cp " + merchant +
                      " ./-m.json; $PAVENDA encode -- -m.json > a; $PAVENDA encode " + merchant +
                      " > b; cmp a b && echo same",
                  0, "same\n", ""},
        ShellCase{"ExtraAfterMarkerNamed", "$PAVENDA decode -- a b", 2, "",
                  "pavenda: unexpected argument 'b'\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// `-o`: any valid file name, data on the disk before the rename, no temporary file left by a stop
// signal, the mode of the file replaced kept, and standard output never replaced behind its back.
const std::string longName(255, 'n');

INSTANTIATE_TEST_SUITE_P(
    OutputFiles, CliSurface,
    ::testing::Values(
        ShellCase{"LongestFileName",
                  "$PAVENDA generate " + merchant + " -o " + longName +
                      "; s=$?; $PAVENDA generate " + merchant + " > direct; cmp direct " +
                      longName + " && echo same; rm direct; ls -A | wc -l; exit $s",
                  0, "same\n1\n", ""},
        ShellCase{"LongestSvgName",
                  "echo old > " + longName + "; $PAVENDA generate " + merchant + " --qr svg -o " +
                      longName + " > /dev/null; s=$?; tail -n 1 " + longName +
                      "; ls -A | wc -l; exit $s",
                  0, "</svg>\n1\n", ""},
        // The stop signal arrives as the data is flushed to the disk: after that call, before the
        // rename.
        // The subshell keeps bash's own "Terminated" off standard error.
        ShellCase{"TerminatedLeavesNoTemporary",
                  "echo old > code.svg; (strace -f -qq -o /dev/null -e trace=fsync "
                  "-e inject=fsync:signal=TERM $PAVENDA generate " +
                      merchant +
                      " --qr svg -o code.svg > /dev/null; echo $?) 2> /dev/null; cat code.svg; "
                      "ls -A",
                  0, "143\nold\ncode.svg\n", ""},
        ShellCase{"InterruptedLeavesNoTemporary",
                  "strace -f -qq -o /dev/null -e trace=fsync -e inject=fsync:signal=INT $PAVENDA "
                  "generate " +
                      merchant + " -o pay.txt; echo $?; ls -A",
                  0, "130\n", ""},
        ShellCase{"ModeOfTheReplacedFileKept",
                  "echo old > code.svg; chmod 640 code.svg; $PAVENDA generate " + merchant +
                      " --qr svg -o code.svg > /dev/null; s=$?; stat -c %a code.svg; exit $s",
                  0, "640\n", ""},
        // The hard link is the old file: it keeps the old content, the name gets the new one.
        ShellCase{"HardLinkKeepsTheOldContent",
                  "echo old > code.svg; ln code.svg other; $PAVENDA generate " + merchant +
                      " --qr svg -o code.svg > /dev/null; s=$?; cat other; tail -n 1 code.svg; "
                      "exit $s",
                  0, "old\n</svg>\n", ""},
        ShellCase{"StandardOutputByNameKeepsWhatCameBefore",
                  "$PAVENDA generate " + merchant + " > direct; { echo before; $PAVENDA generate " +
                      merchant +
                      " -o /dev/stdout; } > both; s=$?; { echo before; cat direct; } | cmp - both "
                      "&& echo same; exit $s",
                  0, "same\n", ""},
        ShellCase{"PictureToStandardOutputByNamePayloadToError",
                  "$PAVENDA generate " + merchant + " > direct; $PAVENDA generate " + merchant +
                      " --qr svg -o /dev/stdout > picture 2> payload; s=$?; cmp direct payload && "
                      "echo same; tail -n 1 picture; exit $s",
                  0, "same\n</svg>\n", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Usage mistakes are named, with exit status 2 and nothing on standard output.
INSTANTIATE_TEST_SUITE_P(
    Usage, CliSurface,
    ::testing::Values(ShellCase{"NoCommand", "$PAVENDA", 2, "",
                                "pavenda: no command given; pavenda --help lists the commands\n"},
                      ShellCase{"ScaleWithoutQr", "$PAVENDA generate " + merchant + " --scale 4", 2,
                                "", "pavenda: --scale requires --qr\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// Each --json verdict line is the very bytes nlohmann-json writes for what it reads back from it,
// and reads back as the payload given: every control character, quote, backslash, DEL, U+2028,
// U+2029, CJK and four-byte characters, in lines short and as long as a payload may be (64 KiB).
// Bytes that are not UTF-8 come back as "payloadHex".
TEST(CliSurface, JsonVerdictReadsBackExactly) {
  std::vector<std::string> payloads = {
      "\"", "\\", "a\x7F", "\xE2\x80\xA8\xE2\x80\xA9", "金龙\"茶馆\\", "\xF0\x9F\x98\x80/", valid};
  for (int c = 1; c < 0x20; ++c)
    payloads.push_back(std::string{'x', static_cast<char>(c), 'y'});
  std::string longLine;
  while (longLine.size() + 12 <= 65536) // the longest payload the tool takes
    longLine += "金\"\x01\\abcdefgh";
  payloads.push_back(longLine);
  std::string arguments = "validate --json";
  for (const std::string& payload : payloads) {
    arguments += ' ';
    arguments += testing_support::quoted(payload);
  }
  const auto result = testing_support::runCli(arguments);
  EXPECT_EQ(result.status, 1);
  std::istringstream lines(result.out);
  std::string line;
  for (const std::string& payload : payloads) {
    ASSERT_TRUE(std::getline(lines, line));
    const auto verdict = nlohmann::ordered_json::parse(line);
    EXPECT_EQ(verdict.dump(), line) << payload.substr(0, 40);
    EXPECT_EQ(verdict.at("payload"), payload);
    const std::vector<std::string> codes = verdict.at("errorCodes");
    EXPECT_EQ(codes, TLVGenerator::tlvValidation(payload));
    ASSERT_EQ(verdict.at("errorMessages").size(), codes.size());
    for (std::size_t i = 0; i < codes.size(); ++i)
      EXPECT_EQ(verdict.at("errorMessages")[i],
                ZArodezErrorConstantsMap::message(codes[i]).value_or(""));
  }
  EXPECT_FALSE(std::getline(lines, line));

  for (const auto& [bytes, hex] :
       std::vector<std::pair<std::string, std::string>>{{"\xC3", "c3"},
                                                        {"a\xED\xA0\x80", "61eda080"},
                                                        {"\xC0\xAF", "c0af"},
                                                        {"\xF4\x90\x80\x80", "f4908080"}}) {
    const auto verdict =
        nlohmann::ordered_json::parse(testing_support::runCli("validate --json", bytes + "\n").out);
    EXPECT_FALSE(verdict.contains("payload")) << hex;
    EXPECT_EQ(verdict.at("payloadHex"), hex);
  }
}

// Text verdicts escape the echo the same with or without the runs copied whole: CJK between
// controls, a lone continuation byte, a cut three-byte form, and a long line.
TEST(CliSurface, TextEchoEscapesAroundPlainRuns) {
  const auto result =
      testing_support::runCli("validate " + testing_support::quoted("金\x01龙\x80\xE9\x87"
                                                                    "a\\茶\xE2\x80\xA8館\t"));
  EXPECT_EQ(result.out, "0\t金\\x01龙\\x80\\xe9\\x87a\\\\茶\\u{2028}館\\t\n");
}

// The field keys and the error codes, each line as the catalogues give it.
TEST(CliSurface, FieldsAndCodesListTheCatalogues) {
  const auto fields = testing_support::runCli("fields");
  EXPECT_EQ(fields.status, 0);
  EXPECT_NE(fields.out.find("\n59\tmerchantName\n"), std::string::npos);
  EXPECT_NE(fields.out.find("\n6201\tbillID\n"), std::string::npos);
  EXPECT_EQ(static_cast<std::size_t>(std::count(fields.out.begin(), fields.out.end(), '\n')),
            pavenda_field_count());
  const auto fieldsJson = nlohmann::json::parse(testing_support::runCli("fields --json").out);
  ASSERT_EQ(fieldsJson.size(), pavenda_field_count());
  EXPECT_EQ(fieldsJson[0], nlohmann::json({{"tag", "00"}, {"key", "payloadFormatIndicator"}}));

  const auto codes = testing_support::runCli("codes");
  EXPECT_EQ(codes.status, 0);
  std::string expected;
  for (const auto& [code, message] : ZArodezErrorConstantsMap::errorDict())
    expected += code + "\t" + message + "\n";
  std::string sorted = codes.out; // in numeric order; the catalogue map is in text order
  std::vector<std::string> outLines, expectedLines;
  for (std::istringstream in(codes.out); std::getline(in, sorted);)
    outLines.push_back(sorted);
  for (std::istringstream in(expected); std::getline(in, sorted);)
    expectedLines.push_back(sorted);
  std::sort(outLines.begin(), outLines.end());
  std::sort(expectedLines.begin(), expectedLines.end());
  EXPECT_EQ(outLines, expectedLines);
  EXPECT_EQ(codes.out.substr(0, 2), "0\t");
  const auto codesJson = nlohmann::json::parse(testing_support::runCli("codes --json").out);
  ASSERT_EQ(codesJson.size(), ZArodezErrorConstantsMap::errorDict().size());
  for (const auto& entry : codesJson)
    EXPECT_EQ(entry.at("message"),
              ZArodezErrorConstantsMap::message(entry.at("code").get<std::string>()).value_or("?"));
}

} // namespace
} // namespace pavenda
