#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "tools/CliRunner.h"

// The tool's edges: it never aborts, never loses or removes a file it did not make, never drops a
// write error, and keeps line-oriented output one line per payload.

namespace pavenda {
namespace {

using testing_support::runCli;
using testing_support::runShell;

const std::string valid = "00020126580014br.gov.bcb.pix0136123e4567-e12b-12d1-a456-4266554400005204"
                          "000053039865802BR5913Fulano de Tal6008BRASILIA62070503***63041D3D";
const std::string wrongCrc = valid.substr(0, valid.size() - 4) + "0000";

struct ShellCase {
  const char* name;
  std::string script;
  int status;
  std::string out;
  std::string err;
  bool limitsAddressSpace =
      false; // cannot run under AddressSanitizer, whose shadow needs terabytes
  friend void PrintTo(const ShellCase& c, std::ostream* os) { *os << c.name; }
};

// GCC says AddressSanitizer is on with a macro, clang through __has_feature.
#if defined(__SANITIZE_ADDRESS__)
#define PAVENDA_TEST_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PAVENDA_TEST_ADDRESS_SANITIZER 1
#endif
#endif
#ifndef PAVENDA_TEST_ADDRESS_SANITIZER
#define PAVENDA_TEST_ADDRESS_SANITIZER 0
#endif

class CliEdges : public ::testing::TestWithParam<ShellCase> {};

TEST_P(CliEdges, AnswersWithStatusOutputAndMessage) {
  const ShellCase& c = GetParam();
#if PAVENDA_TEST_ADDRESS_SANITIZER
  if (c.limitsAddressSpace)
    GTEST_SKIP() << "ulimit -v and AddressSanitizer do not mix";
#endif
  const auto result = runShell(c.script);
  EXPECT_EQ(result.status, c.status);
  EXPECT_EQ(result.out, c.out);
  EXPECT_EQ(result.err, c.err);
}

const std::string merchant = "\"$EXAMPLES/merchant.json\"";
const std::string noSpace = "pavenda: write error: No space left on device\n";

// Input that cannot be read, or words that mean nothing, are named with the reason: exit 2.
INSTANTIATE_TEST_SUITE_P(
    Input, CliEdges,
    ::testing::Values(ShellCase{"GenerateDirectory", "mkdir d; $PAVENDA generate d", 2, "",
                                "pavenda: d: Is a directory\n"},
                      ShellCase{"EncodeDirectory", "mkdir d; $PAVENDA encode d", 2, "",
                                "pavenda: d: Is a directory\n"},
                      ShellCase{"ValidateFromDirectory", "$PAVENDA validate < .", 2, "",
                                "pavenda: standard input: Is a directory\n"},
                      ShellCase{"ValidateFromClosedInput", "$PAVENDA validate <&-", 2, "",
                                "pavenda: standard input: Bad file descriptor\n"},
                      ShellCase{"DecodeFromDirectory", "$PAVENDA decode < .", 2, "",
                                "pavenda: standard input: Is a directory\n"},
                      ShellCase{"MissingFile", "$PAVENDA generate nosuch.json", 2, "",
                                "pavenda: cannot read nosuch.json: No such file or directory\n"},
                      ShellCase{"UnknownCommand", "$PAVENDA frobnicate", 2, "",
                                "pavenda: unknown command 'frobnicate'\n"},
                      ShellCase{"ExtraArgumentsInOrder", "$PAVENDA decode a b c d", 2, "",
                                "pavenda: unexpected arguments 'b' 'c' 'd'\n"},
                      ShellCase{"UnknownOptionBeforeAnyOutput", "$PAVENDA validate 000201 --frob",
                                2, "", "pavenda: unexpected argument '--frob'\n"},
                      ShellCase{"BinaryWordNotEchoedRaw", "$PAVENDA $'\\x1b[2J'", 2, "",
                                "pavenda: unknown command '\\x1b[2J'\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// Every input has a stated limit and is refused past it with status 2, having read no more than
// the limit (the address space allowed is far less than what is offered).
const std::string overlongLine = "pavenda: standard input: a line has more than 65536 bytes, the "
                                 "most a payload may have; the lines after it were not read\n";

INSTANTIATE_TEST_SUITE_P(
    Limits, CliEdges,
    ::testing::Values(
        ShellCase{"ScanEndlessFile", "ulimit -v 400000; $PAVENDA scan /dev/zero", 2, "",
                  "pavenda: /dev/zero: more than 67108864 bytes, the most a picture file may "
                  "have\n",
                  true},
        ShellCase{"GenerateEndlessFile", "ulimit -v 150000; $PAVENDA generate /dev/zero", 2, "",
                  "pavenda: /dev/zero: more than 1048576 bytes, the most a field dictionary may "
                  "have\n",
                  true},
        ShellCase{"EncodeLargeFile", "head -c 1048577 /dev/zero > big; $PAVENDA encode big", 2, "",
                  "pavenda: big: more than 1048576 bytes, the most a field dictionary may have\n"},
        ShellCase{"DecodeEndlessInput", "ulimit -v 150000; $PAVENDA decode < /dev/zero", 2, "",
                  "pavenda: standard input: more than 65538 bytes, the most a payload and its "
                  "line end may have\n",
                  true},
        ShellCase{"DecodeLongInput", "head -c 65537 /dev/zero | tr '\\0' A | $PAVENDA decode", 2,
                  "",
                  "pavenda: standard input: more than 65536 bytes, the most a payload may have\n"},
        ShellCase{"DecodeLongestInput",
                  "{ head -c 65536 /dev/zero | tr '\\0' A; echo; } | $PAVENDA decode", 1,
                  "{\"error\":\"repeatedTag\"}\n", ""},
        ShellCase{"DecodeLongArgument", "$PAVENDA decode $(head -c 65537 /dev/zero | tr '\\0' A)",
                  2, "", "pavenda: PAYLOAD: more than 65536 bytes, the most a payload may have\n"},
        ShellCase{"ValidateLongArgument",
                  "$PAVENDA validate 000201 $(head -c 65537 /dev/zero | tr '\\0' A)", 2, "",
                  "pavenda: PAYLOAD: more than 65536 bytes, the most a payload may have\n"},
        // One line of 100 MB, one grapheme cluster (a letter and its combining accents): the
        // verdicts before it are written, nothing after it is read.
        ShellCase{"ValidateOneHugeCluster",
                  "ulimit -v 300000; { echo '" + valid +
                      "'; printf a; yes $'\\xcc\\x81' | tr -d '\\n' | head -c 100000000; echo; "
                      "echo '" +
                      valid + "'; } | $PAVENDA validate --jobs 2",
                  2, "valid\t" + valid + "\n", overlongLine, true},
        ShellCase{"ValidateLongLineAmongMany",
                  "set -o pipefail; { for i in $(seq 3000); do echo '" + valid +
                      "'; done; head -c 65537 /dev/zero | tr '\\0' A; echo; echo '" + valid +
                      "'; } | $PAVENDA validate --jobs 2 | uniq -c | sed 's/^ *//'",
                  2, "3000 valid\t" + valid + "\n", overlongLine},
        ShellCase{"ValidateLongestLine",
                  "{ head -c 65536 /dev/zero | tr '\\0' A; echo; } | $PAVENDA validate | cut -c1-3",
                  0, "0\tA\n", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Files are replaced only when complete; what the tool did not make is never removed or cut.
INSTANTIATE_TEST_SUITE_P(
    OutputFiles, CliEdges,
    ::testing::Values(
        // A private node of the full device where the tool may make one, so that a faulty tool
        // cannot remove the system's.
        ShellCase{"DeviceIsNeverRemoved",
                  "if mknod full c 1 7 2>/dev/null; then d=full; else d=/dev/full; fi; "
                  "$PAVENDA generate " +
                      merchant +
                      " --qr png -o $d 2>err; s=$?; sed \"s#$d#DEVICE#\" err; test -c $d && "
                      "echo device; exit $s",
                  2, "pavenda: cannot write DEVICE: No space left on device\ndevice\n", ""},
        ShellCase{"FailedWriteKeepsTheFileAndLeavesNoTemporary",
                  "echo old > code.png; trap '' XFSZ; ulimit -f 1; $PAVENDA generate " + merchant +
                      " --qr png -o code.png; s=$?; cat code.png; ls -A; exit $s",
                  2, "old\ncode.png\n", "pavenda: cannot write code.png: File too large\n"},
        ShellCase{"SymbolicLinkKeptItsTargetReplaced",
                  "echo old > target; ln -s target link; $PAVENDA generate " + merchant +
                      " --qr svg -o link >/dev/null; s=$?; test -L link && echo link; "
                      "head -n 1 target; ls -A; exit $s",
                  0, "link\n<?xml version=\"1.0\" encoding=\"UTF-8\"?>\nlink\ntarget\n", ""},
        ShellCase{"FifoWrittenDirectly",
                  "mkfifo f; cat f > got & $PAVENDA generate " + merchant +
                      " --qr svg -o f >/dev/null; s=$?; wait; test -p f && echo fifo; "
                      "tail -n 1 got; exit $s",
                  0, "fifo\n</svg>\n", ""},
        // As root the tool runs as another user, which may not enter the checkout (a clone in a
        // private folder): it runs a copy of the tool and the dictionary in this working folder.
        ShellCase{"ReadOnlyFolderLeftAsItWas",
                  "mkdir ro; echo old > ro/code.svg; as=; if [ \"$(id -u)\" = 0 ]; then "
                  "as='setpriv --reuid=65534 --regid=65534 --clear-groups'; else chmod 555 ro; "
                  "fi; cp \"$PAVENDA\" pavenda; cp " +
                      merchant +
                      " merchant.json; chmod 755 . .. pavenda; chmod 644 merchant.json; "
                      "$as ./pavenda generate merchant.json --qr svg -o ro/code.svg >/dev/null; "
                      "s=$?; chmod 755 ro; cat ro/code.svg; ls -A ro; exit $s",
                  2, "old\ncode.svg\n", "pavenda: cannot write ro/code.svg: Permission denied\n"},
        ShellCase{"PayloadToTheFileNamedByOutput",
                  "$PAVENDA generate " + merchant + " > direct; $PAVENDA generate " + merchant +
                      " -o pay.txt; s=$?; cmp direct pay.txt && echo same; exit $s",
                  0, "same\n", ""},
        ShellCase{"DashIsStandardOutput",
                  "$PAVENDA generate " + merchant + " > direct; $PAVENDA generate " + merchant +
                      " -o - > dash; s=$?; cmp direct dash && echo same; ls -A; exit $s",
                  0, "same\ndash\ndirect\n", ""},
        ShellCase{"PictureAloneOnStandardOutput",
                  "$PAVENDA generate " + merchant + " > direct; $PAVENDA generate " + merchant +
                      " --qr svg > picture 2> payload; s=$?; cmp direct payload && echo same; "
                      "head -n 1 picture; tail -n 1 picture; exit $s",
                  0, "same\n<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n</svg>\n", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Every write is checked, standard output's last buffer included.
INSTANTIATE_TEST_SUITE_P(
    WriteErrors, CliEdges,
    ::testing::Values(
        ShellCase{"ValidateArgument", "$PAVENDA validate 000201 > /dev/full", 2, "", noSpace},
        ShellCase{"ValidateStandardInput", "echo 000201 | $PAVENDA validate > /dev/full", 2, "",
                  noSpace},
        ShellCase{"Generate", "$PAVENDA generate " + merchant + " > /dev/full", 2, "", noSpace},
        ShellCase{"GenerateJson", "$PAVENDA generate --json " + merchant + " > /dev/full", 2, "",
                  noSpace},
        ShellCase{"GenerateFindings", "echo '{}' | $PAVENDA generate > /dev/full", 2, "", noSpace},
        ShellCase{"GenerateSvg", "$PAVENDA generate --qr svg " + merchant + " >/dev/full 2>&1", 2,
                  "", ""},
        ShellCase{"Decode", "$PAVENDA decode 15HELLO > /dev/full", 2, "", noSpace},
        ShellCase{"Encode", "$PAVENDA encode " + merchant + " > /dev/full", 2, "", noSpace},
        ShellCase{"Help", "$PAVENDA --help > /dev/full", 2, "", noSpace},
        ShellCase{"ClosedPipeStopsAtOnce",
                  "trap '' PIPE; yes 000201 2>/dev/null | head -n 200000 > in; $PAVENDA validate < "
                  "in 2> err "
                  "| head -c 1 > /dev/null; s=${PIPESTATUS[0]}; cat err; exit $s",
                  2, "pavenda: write error: Broken pipe\n", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Text output escapes what would break a line or reach a terminal raw; the verdict comes first.
TEST(CliEdges, TextOutputKeepsOnePayloadPerLine) {
  const auto result =
      runCli("validate \"$(printf 'S\\nh\\ro\\tp\\\\\\001\\177\\302\\205\\377é')\"");
  EXPECT_EQ(result.status, 1);
  const auto tab = result.out.find('\t');
  ASSERT_NE(tab, std::string::npos) << result.out;
  EXPECT_EQ(result.out.substr(tab + 1), "S\\nh\\ro\\tp\\\\\\x01\\x7f\\xc2\\x85\\xffé\n");
}

// LF, CR LF and a lone CR end a line; blank lines are no payloads.
TEST(CliEdges, LineEndsAndBlankLines) {
  const auto result =
      runCli("validate", "\n" + valid + "\r" + wrongCrc + "\r\n\r\n\n\r" + valid + "\n\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "valid\t" + valid + "\n48\t" + wrongCrc + "\nvalid\t" + valid + "\n");
  const auto blank = runCli("validate", "\n\r\n\r");
  EXPECT_EQ(blank.status, 0);
  EXPECT_EQ(blank.out, "");
}

// JSON echoes the payload exactly: as text when it is UTF-8, as its bytes in hex when it is not.
TEST(CliEdges, JsonEchoesThePayloadExactly) {
  const auto result = runCli("validate --json \"$(printf 'a\\tb\\001é')\" \"$(printf 'a\\377b')\"");
  EXPECT_EQ(result.status, 1);
  const auto newline = result.out.find('\n');
  ASSERT_NE(newline, std::string::npos);
  const auto first = nlohmann::json::parse(result.out.substr(0, newline));
  EXPECT_EQ(first.at("payload"), "a\tb\x01\xC3\xA9");
  const auto second = nlohmann::json::parse(result.out.substr(newline + 1));
  EXPECT_FALSE(second.contains("payload"));
  EXPECT_EQ(second.at("payloadHex"), "61ff62");
}

// Messages that quote the input (a JSON parse error) quote it escaped, one line.
TEST(CliEdges, MessagesNeverCarryRawBytes) {
  for (const char* input : {"\x1b[2J", "{\"a\":\"b\"\x1b]0;x\x07}", "\n\x9b"}) {
    const auto result = runCli("encode", input);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err.find_first_of("\x1b\x07\x9b"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
  }
}

TEST(CliEdges, HelpListsTheOptionsOfEveryCommand) {
  const auto help = runCli("--help-all");
  EXPECT_EQ(help.status, 0);
  for (const char* option : {"--pretty", "--qr", "--ecc", "--scale", "--output", "--jobs"})
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
}

// Any number of jobs gives the same bytes and status: blank lines, CR-only ends, invalid payloads,
// bytes that are not UTF-8, and a line longer than a read block, over several blocks.
// The bytes a `--json` verdict line echoes: "payload", or those of "payloadHex".
std::string echoed(const nlohmann::json& verdict) {
  if (verdict.contains("payload"))
    return verdict.at("payload");
  const std::string hex = verdict.at("payloadHex");
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

// Several batches (a line of 3 MiB among them), read while the batch before is validated: every
// line comes back once, in order, whatever the number of jobs.
TEST(CliEdges, JobsGiveIdenticalOutput) {
  std::string input;
  std::vector<std::string> lines;
  bool placed = false;
  for (int i = 0; i < 4000; ++i) {
    input += valid + (i % 3 == 0 ? "\r" : "\n") + "\n" + wrongCrc + "\r\n" + "\xFF" +
             std::to_string(i) + "\n";
    std::string odd = std::to_string(i);
    odd.insert(odd.begin(), '\xFF');
    lines.insert(lines.end(), {valid, wrongCrc, odd});
    // The longest line allowed, across the end of the first block read.
    if (!placed && input.size() >= (1 << 20) - 30000) {
      placed = true;
      input += std::string(65536, '7') + "\n";
      lines.push_back(std::string(65536, '7'));
    }
  }
  for (const char* format : {"", " --json"}) {
    const auto one = runCli(std::string("validate --jobs 1") + format, input);
    EXPECT_EQ(one.status, 1);
    EXPECT_EQ(static_cast<std::size_t>(std::count(one.out.begin(), one.out.end(), '\n')),
              lines.size());
    if (*format != '\0') {
      std::istringstream verdicts(one.out);
      std::size_t index = 0;
      for (std::string verdict; std::getline(verdicts, verdict); ++index)
        ASSERT_TRUE(index < lines.size() && echoed(nlohmann::json::parse(verdict)) == lines[index])
            << "line " << index;
    }
    for (const char* jobs : {"2", "7"}) {
      const auto many = runCli(std::string("validate --jobs ") + jobs + format, input);
      EXPECT_EQ(many.status, one.status) << jobs << format;
      EXPECT_TRUE(many.out == one.out) << jobs << format;
    }
  }
  EXPECT_EQ(runCli("validate --jobs 0").status, 2);
}

} // namespace
} // namespace pavenda
