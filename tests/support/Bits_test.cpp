#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>

#include "support/Bits.h"

namespace pavenda {
namespace {

// The plain fallbacks are what a compiler without the built-ins uses; they and whatever this
// compiler uses must agree with the byte order written out by hand.
TEST(Bits, ByteSwapPlainAndBuiltIn) {
  EXPECT_EQ(bits::plain::byteSwap(std::uint16_t{0x1234}), 0x3412);
  EXPECT_EQ(bits::plain::byteSwap(std::uint32_t{0x12345678}), 0x78563412U);
  EXPECT_EQ(bits::plain::byteSwap(std::uint64_t{0x0123456789ABCDEF}), 0xEFCDAB8967452301U);
  std::mt19937_64 random(3);
  for (int i = 0; i < 1000; ++i) {
    const std::uint64_t v = random();
    EXPECT_EQ(bits::byteSwap(v), bits::plain::byteSwap(v));
    EXPECT_EQ(bits::byteSwap(static_cast<std::uint32_t>(v)),
              bits::plain::byteSwap(static_cast<std::uint32_t>(v)));
    EXPECT_EQ(bits::byteSwap(static_cast<std::uint16_t>(v)),
              bits::plain::byteSwap(static_cast<std::uint16_t>(v)));
  }
  static_assert(bits::plain::byteSwap(std::uint32_t{0xAABBCCDD}) == 0xDDCCBBAAU);
}

// Lane i is byte i of memory for little-endian loads, whatever the target's own byte order; the
// first byte is the most significant for big-endian loads. Read at every misalignment.
TEST(Bits, LoadsKnowTheirByteOrder) {
  const std::array<std::uint8_t, 16> bytes = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,
                                              0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10};
  for (std::size_t at = 0; at + 8 <= bytes.size(); ++at) {
    std::uint64_t little = 0, big = 0;
    for (std::size_t k = 0; k < 8; ++k) {
      little |= std::uint64_t{bytes[at + k]} << (8 * k);
      big = big << 8 | bytes[at + k];
    }
    EXPECT_EQ(bits::loadLittleEndian<std::uint64_t>(bytes.data() + at), little) << at;
    EXPECT_EQ(bits::loadBigEndian<std::uint64_t>(bytes.data() + at), big) << at;
    EXPECT_EQ(bits::loadLittleEndian<std::uint32_t>(bytes.data() + at),
              static_cast<std::uint32_t>(little))
        << at;
  }
}

} // namespace
} // namespace pavenda
