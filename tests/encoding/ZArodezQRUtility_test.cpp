#include <gtest/gtest.h>

#include <array>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "encoding/ZArodezQRUtility.h"
#include "support/Bits.h"

namespace pavenda {
namespace {

std::uint16_t bitwiseReference(std::string_view text, std::uint16_t initial = 0xFFFF) {
  std::uint16_t crc = initial;
  for (const unsigned char byte : text) {
    crc ^= static_cast<std::uint16_t>(byte << 8);
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 0x8000) != 0 ? static_cast<std::uint16_t>((crc << 1) ^ 0x1021)
                                : static_cast<std::uint16_t>(crc << 1);
  }
  return crc;
}

// The hexadecimal text drops leading zeros; the four digits of tag 63 keep them.
TEST(Crc16, HexadecimalText) {
  const std::array<std::array<const char*, 3>, 5> cases = {{{"123456789", "29B1", "29B1"},
                                                            {"6304", "6007", "6007"},
                                                            {"J", "87E", "087E"},
                                                            {"B4", "76", "0076"},
                                                            {"HM", "3", "0003"}}};
  for (const auto& [text, hex, digits] : cases) {
    EXPECT_EQ(ZArodezQRUtility::getCrc(text), hex) << text;
    EXPECT_EQ(ZArodezQRUtility::prefixZeros(hex), digits) << text;
    const std::array<char, 4> four =
        ZArodezQRUtility::crcDigits(ZArodezQRUtility::payloadCrc(text));
    EXPECT_EQ(std::string_view(four.data(), four.size()), digits) << text;
  }
}

TEST(Crc16, TableEntries) {
  const auto table = ZArodezQRUtility::genCrc16TableMsb(0x1021);
  EXPECT_EQ(table[0], 0);
  EXPECT_EQ(table[1], 0x1021);
  EXPECT_EQ(table[128], 0x9188);
}

TEST(Crc16, NonAsciiEntersAsUtf8Bytes) {
  EXPECT_EQ(ZArodezQRUtility::payloadCrc("caf\u00e9"), bitwiseReference("caf\xC3\xA9"));
}

// Every kernel agrees with the one-bit-at-a-time definition at every length from 0 to 300 and
// every alignment of the start within a 16-byte step, including every tail shorter than one step,
// and for any initial value. The folding kernel runs only where the processor offers it.
class Crc16Kernel : public ::testing::TestWithParam<PayloadCrcKernel> {};

TEST_P(Crc16Kernel, MatchesBitwiseDefinitionAtEveryLengthAndAlignment) {
  if (!payloadCrcKernelAvailable(GetParam()))
    GTEST_SKIP() << "this processor has no carry-less multiplication";
  std::mt19937 random(7);
  constexpr std::size_t maxLength = 300;
  constexpr std::size_t alignments = 16;
  std::vector<std::uint8_t> buffer(maxLength + alignments);
  for (std::uint8_t& b : buffer)
    b = static_cast<std::uint8_t>(random() & 0xFF);
  for (std::size_t length = 0; length <= maxLength; ++length)
    for (std::size_t offset = 0; offset < alignments; ++offset) {
      const std::span<const std::uint8_t> bytes(buffer.data() + offset, length);
      const std::string_view text(reinterpret_cast<const char*>(bytes.data()), length);
      for (const std::uint16_t initial : {0xFFFF, 0x0000, 0x1D0F})
        ASSERT_EQ(payloadCrcBy(GetParam(), bytes, initial), bitwiseReference(text, initial))
            << "length " << length << " offset " << offset << " from " << initial;
    }
}

INSTANTIATE_TEST_SUITE_P(Kernels, Crc16Kernel,
                         ::testing::Values(PayloadCrcKernel::byteWise, PayloadCrcKernel::sliced,
                                           PayloadCrcKernel::folded));

// The automatic choice gives the same as the definition, whichever kernel it takes.
TEST(Crc16, AutomaticKernelMatchesBitwiseDefinition) {
  std::mt19937 random(11);
  for (std::size_t length = 0; length <= 300; ++length) {
    std::string text(length, '\0');
    for (char& c : text)
      c = static_cast<char>(random() & 0xFF);
    ASSERT_EQ(ZArodezQRUtility::payloadCrc(text), bitwiseReference(text)) << length;
  }
}

// Without carry-less multiplication (arm64, any non-x86 target) the folding kernel is unavailable;
// on x86-64 it is there whenever the processor has it.
TEST(Crc16, FoldingAvailableExactlyWithCarrylessMultiply) {
  EXPECT_EQ(payloadCrcKernelAvailable(PayloadCrcKernel::folded), bits::hasCarrylessMultiply());
#ifndef PAVENDA_HAS_X86_CLMUL
  EXPECT_FALSE(payloadCrcKernelAvailable(PayloadCrcKernel::folded));
#endif
  EXPECT_TRUE(payloadCrcKernelAvailable(PayloadCrcKernel::sliced));
  EXPECT_TRUE(payloadCrcKernelAvailable(PayloadCrcKernel::byteWise));
}

// Published check values of "123456789" for CRC variants without reflection or final XOR; the
// non-zero initial values matter on both the payload polynomial's path and the general one.
TEST(Crc16, PublishedCheckValues) {
  struct Variant {
    const char* name;
    std::uint16_t poly;
    std::uint16_t init;
    std::uint16_t check;
  };
  const Variant variants[] = {{"CCITT-FALSE", 0x1021, 0xFFFF, 0x29B1},
                              {"XMODEM", 0x1021, 0x0000, 0x31C3},
                              {"CMS", 0x8005, 0xFFFF, 0xAEE7},
                              {"UMTS", 0x8005, 0x0000, 0xFEE8},
                              {"CDMA2000", 0xC867, 0xFFFF, 0x4C06}};
  const std::string text = "123456789";
  const std::span bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  for (const Variant& v : variants)
    EXPECT_EQ(ZArodezQRUtility::calculateCrcMsb(bytes, v.poly, v.init), v.check) << v.name;
}

} // namespace
} // namespace pavenda
