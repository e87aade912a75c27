#include "encoding/ZArodezQRUtility.h"

#include <array>
#include <cassert>
#include <cstddef>
#include <cstring>

#include "encoding/TagCatalogue.h"
#include "support/Bits.h"

#ifdef PAVENDA_HAS_X86_CLMUL
#include <immintrin.h>
#endif

namespace pavenda {
namespace {

constexpr std::uint16_t payloadPolynomial = 0x1021;
constexpr std::uint16_t payloadInitialValue = 0xFFFF;
constexpr std::array<std::uint16_t, 256> payloadTable =
    ZArodezQRUtility::genCrc16TableMsb(payloadPolynomial);

// Slice-by-16: table k holds the CRC of a byte followed by k zero bytes, so sixteen input bytes
// combine in one step with the same result as the byte-wise loop. Entries are held as 32-bit
// words so that each one is combined straight from memory.
constexpr std::size_t sliceWidth = 16;
using SliceTables = std::array<std::array<std::uint32_t, 256>, sliceWidth>;

constexpr SliceTables makeSliceTables() {
  SliceTables tables{};
  const std::array<std::uint16_t, 256>& first = payloadTable;
  for (std::size_t b = 0; b < 256; ++b)
    tables[0][b] = first[b];
  for (std::size_t k = 1; k < tables.size(); ++k)
    for (std::size_t b = 0; b < 256; ++b) {
      const std::uint32_t previous = tables[k - 1][b];
      tables[k][b] = ((previous << 8) & 0xFFFF) ^ first[previous >> 8];
    }
  return tables;
}

constexpr SliceTables sliceTables = makeSliceTables();

std::uint16_t byteWise(const std::array<std::uint16_t, 256>& table,
                       std::span<const std::uint8_t> data, std::uint16_t crc) noexcept {
  for (const std::uint8_t b : data)
    crc = static_cast<std::uint16_t>(table[((crc >> 8) ^ b) & 0xFF] ^ ((crc << 8) & 0xFFFF));
  return crc;
}

std::uint16_t sliced(std::span<const std::uint8_t> data, std::uint16_t initial) noexcept {
  const auto& t = sliceTables;
  std::uint32_t crc = initial;
  const std::uint8_t* p = data.data();
  const std::uint8_t* const end = p + data.size();
  for (; end - p >= static_cast<std::ptrdiff_t>(sliceWidth); p += sliceWidth)
    crc = t[15][p[0] ^ (crc >> 8)] ^ t[14][p[1] ^ (crc & 0xFF)] ^ t[13][p[2]] ^ t[12][p[3]] ^
          t[11][p[4]] ^ t[10][p[5]] ^ t[9][p[6]] ^ t[8][p[7]] ^ t[7][p[8]] ^ t[6][p[9]] ^
          t[5][p[10]] ^ t[4][p[11]] ^ t[3][p[12]] ^ t[2][p[13]] ^ t[1][p[14]] ^ t[0][p[15]];
  if (end - p >= 8) {
    crc = t[7][p[0] ^ (crc >> 8)] ^ t[6][p[1] ^ (crc & 0xFF)] ^ t[5][p[2]] ^ t[4][p[3]] ^
          t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
    p += 8;
  }
  for (; p != end; ++p)
    crc = ((crc << 8) & 0xFFFF) ^ t[0][(crc >> 8) ^ *p];
  return static_cast<std::uint16_t>(crc);
}

#ifdef PAVENDA_HAS_X86_CLMUL
// x^power modulo the payload polynomial, for the folding constants.
constexpr std::uint64_t xPowerModulo(unsigned power) {
  std::uint32_t remainder = 1;
  for (unsigned i = 0; i < power; ++i) {
    remainder <<= 1;
    if ((remainder & 0x10000U) != 0)
      remainder ^= 0x10000U | payloadPolynomial;
  }
  return remainder;
}

std::uint64_t bigEndian64(const std::uint8_t* p) noexcept {
  return bits::loadBigEndian<std::uint64_t>(p);
}

// Carry-less multiplication folds the text sixteen bytes a step: a 128-bit prefix A followed by
// a block B is replaced by hi(A)·x^192 + lo(A)·x^128 + B reduced to 128 bits, which leaves the
// remainder modulo the polynomial, and so the CRC of what follows, unchanged. The initial value
// enters as the first sixteen bits of the text. The folded 128 bits, then the last 16 to 31 bytes,
// go through the tables.
[[gnu::target("pclmul")]] std::uint16_t folded(std::span<const std::uint8_t> data,
                                               std::uint16_t initial) noexcept {
  constexpr std::uint64_t x192 = xPowerModulo(192);
  constexpr std::uint64_t x128 = xPowerModulo(128);
  const __m128i constants =
      _mm_set_epi64x(static_cast<long long>(x192), static_cast<long long>(x128));
  const std::uint8_t* p = data.data();
  const std::uint8_t* const end = p + data.size();
  std::uint64_t high = bigEndian64(p) ^ (std::uint64_t{initial} << 48);
  std::uint64_t low = bigEndian64(p + 8);
  __m128i prefix = _mm_set_epi64x(static_cast<long long>(high), static_cast<long long>(low));
  for (p += 16; end - p >= 32; p += 16) {
    const __m128i block = _mm_set_epi64x(static_cast<long long>(bigEndian64(p)),
                                         static_cast<long long>(bigEndian64(p + 8)));
    prefix = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(prefix, constants, 0x11),
                                         _mm_clmulepi64_si128(prefix, constants, 0x00)),
                           block);
  }
  std::uint64_t lanes[2];
  _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes), prefix);
  high = bits::byteSwap(lanes[1]);
  low = bits::byteSwap(lanes[0]);
  std::array<std::uint8_t, 16> remainder;
  std::memcpy(remainder.data(), &high, 8);
  std::memcpy(remainder.data() + 8, &low, 8);
  const std::uint16_t crc = sliced(remainder, 0);
  return sliced(std::span(p, static_cast<std::size_t>(end - p)), crc);
}
#endif

// The folding kernel takes at least 32 bytes; shorter texts go through the tables.
std::uint16_t foldedOrSliced(std::span<const std::uint8_t> data, std::uint16_t initial) noexcept {
#ifdef PAVENDA_HAS_X86_CLMUL
  if (data.size() >= 32)
    return folded(data, initial);
#endif
  return sliced(data, initial);
}

} // namespace

std::map<std::string, std::string, std::less<>> ZArodezQRUtility::keyTagMapping() {
  std::map<std::string, std::string, std::less<>> mapping;
  for (const auto& [tag, key] : catalogue::tagKeyMap())
    mapping.emplace(key, tag);
  return mapping;
}

std::uint16_t ZArodezQRUtility::calculateCrcMsb(std::span<const std::uint8_t> data,
                                                std::uint16_t poly,
                                                std::uint16_t initialCrcValue) noexcept {
  if (poly == payloadPolynomial)
    return bits::hasCarrylessMultiply() ? foldedOrSliced(data, initialCrcValue)
                                        : sliced(data, initialCrcValue);
  return byteWise(genCrc16TableMsb(poly), data, initialCrcValue);
}

bool payloadCrcKernelAvailable(PayloadCrcKernel kernel) noexcept {
  return kernel != PayloadCrcKernel::folded || bits::hasCarrylessMultiply();
}

std::uint16_t payloadCrcBy(PayloadCrcKernel kernel, std::span<const std::uint8_t> data,
                           std::uint16_t initial) noexcept {
  assert(payloadCrcKernelAvailable(kernel));
  switch (kernel) {
  case PayloadCrcKernel::byteWise:
    return byteWise(payloadTable, data, initial);
  case PayloadCrcKernel::sliced:
    return sliced(data, initial);
  case PayloadCrcKernel::folded:
    return foldedOrSliced(data, initial);
  }
  return sliced(data, initial);
}

std::uint16_t ZArodezQRUtility::payloadCrc(std::string_view text) noexcept {
  return calculateCrcMsb(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                         payloadPolynomial, payloadInitialValue);
}

std::array<char, 4> ZArodezQRUtility::crcDigits(std::uint16_t crc) noexcept {
  static constexpr char digits[] = "0123456789ABCDEF";
  return {digits[crc >> 12], digits[(crc >> 8) & 0xF], digits[(crc >> 4) & 0xF], digits[crc & 0xF]};
}

std::string ZArodezQRUtility::getCrc(std::string_view tlvStr) {
  const std::array<char, 4> digits = crcDigits(payloadCrc(tlvStr));
  std::string_view hex(digits.data(), digits.size());
  while (hex.size() > 1 && hex.front() == '0')
    hex.remove_prefix(1);
  return std::string(hex);
}

std::string ZArodezQRUtility::prefixZeros(std::string_view crc) {
  std::string filled(crc.size() < 4 ? 4 - crc.size() : 0, '0');
  filled += crc;
  return filled;
}

} // namespace pavenda
