#include <array>

#include "encoding/ZArodezQRUtility.h"

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

std::string ZArodezQRUtility::getCrc(std::string_view tlvStr) {
  static constexpr char digits[] = "0123456789ABCDEF";
  std::uint16_t crc = payloadCrc(tlvStr);
  std::string hex;
  do {
    hex.insert(hex.begin(), digits[crc & 0xF]);
    crc = static_cast<std::uint16_t>(crc >> 4);
  } while (crc != 0);
  return hex;
}

std::string ZArodezQRUtility::prefixZeros(std::string_view crc) {
  std::string filled(crc.size() < 4 ? 4 - crc.size() : 0, '0');
  filled += crc;
  return filled;
}

} // namespace pavenda
