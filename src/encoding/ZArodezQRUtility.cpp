#include "encoding/ZArodezQRUtility.h"

#include <array>

#include "encoding/TagCatalogue.h"

namespace pavenda {
namespace {

constexpr std::uint16_t payloadPolynomial = 0x1021;
constexpr std::uint16_t payloadInitialValue = 0xFFFF;

// Slice-by-8: table k holds the CRC of a byte followed by k zero bytes, so eight input bytes
// combine in one step with the same result as the byte-wise loop.
using SliceTables = std::array<std::array<std::uint16_t, 256>, 8>;

constexpr SliceTables makeSliceTables() {
  SliceTables tables{};
  tables[0] = ZArodezQRUtility::genCrc16TableMsb(payloadPolynomial);
  for (std::size_t k = 1; k < tables.size(); ++k)
    for (std::size_t b = 0; b < 256; ++b) {
      const std::uint16_t previous = tables[k - 1][b];
      tables[k][b] = static_cast<std::uint16_t>((previous << 8) ^ tables[0][previous >> 8]);
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

std::uint16_t sliceBy8(std::span<const std::uint8_t> data, std::uint16_t crc) noexcept {
  const auto& t = sliceTables;
  std::size_t i = 0;
  for (; i + 8 <= data.size(); i += 8) {
    const std::uint8_t* p = data.data() + i;
    crc = static_cast<std::uint16_t>(t[7][p[0] ^ (crc >> 8)] ^ t[6][p[1] ^ (crc & 0xFF)] ^
                                     t[5][p[2]] ^ t[4][p[3]] ^ t[3][p[4]] ^ t[2][p[5]] ^
                                     t[1][p[6]] ^ t[0][p[7]]);
  }
  return byteWise(t[0], data.subspan(i), crc);
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
    return sliceBy8(data, initialCrcValue);
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
