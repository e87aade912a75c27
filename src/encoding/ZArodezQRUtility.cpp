#include "encoding/ZArodezQRUtility.h"

#include <array>
#include <cstddef>

#include "encoding/TagCatalogue.h"

namespace pavenda {
namespace {

constexpr std::uint16_t payloadPolynomial = 0x1021;
constexpr std::uint16_t payloadInitialValue = 0xFFFF;

// Slice-by-16: table k holds the CRC of a byte followed by k zero bytes, so sixteen input bytes
// combine in one step with the same result as the byte-wise loop. Entries are held as 32-bit
// words so that each one is combined straight from memory.
constexpr std::size_t sliceWidth = 16;
using SliceTables = std::array<std::array<std::uint32_t, 256>, sliceWidth>;

constexpr SliceTables makeSliceTables() {
  SliceTables tables{};
  const std::array<std::uint16_t, 256> first =
      ZArodezQRUtility::genCrc16TableMsb(payloadPolynomial);
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
    return sliced(data, initialCrcValue);
  return byteWise(genCrc16TableMsb(poly), data, initialCrcValue);
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
