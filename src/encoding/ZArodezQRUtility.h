#ifndef PAVENDA_ENCODING_ZARODEZQRUTILITY_H
#define PAVENDA_ENCODING_ZARODEZQRUTILITY_H

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>

namespace pavenda {

/// The tag maps and the payload CRC: CRC-16/CCITT-FALSE (polynomial 0x1021, initial value 0xFFFF,
/// most significant bit first, no reflection, no final XOR) over the UTF-8 bytes of a text.
class ZArodezQRUtility {
public:
  /// A new map from field key to tag, the exact inverse of the tag-to-key map.
  static std::map<std::string, std::string, std::less<>> keyTagMapping();

  /// The 256-entry table of `poly`, entry i being the CRC register after shifting i through it.
  static constexpr std::array<std::uint16_t, 256> genCrc16TableMsb(std::uint16_t poly) noexcept {
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
      unsigned v = i << 8;
      for (int bit = 0; bit < 8; ++bit)
        v = (v & 0x8000U) != 0 ? (v << 1) ^ poly : v << 1;
      table[i] = static_cast<std::uint16_t>(v & 0xFFFFU);
    }
    return table;
  }

  /// The CRC of `data` for `poly` from `initialCrcValue`. The payload polynomial takes the fastest
  /// kernel of `PayloadCrcKernel` the processor runs; any other polynomial builds its table.
  static std::uint16_t calculateCrcMsb(std::span<const std::uint8_t> data, std::uint16_t poly,
                                       std::uint16_t initialCrcValue) noexcept;

  /// The CRC of the UTF-8 bytes of `tlvStr` in upper-case hexadecimal digits, without leading
  /// zeros.
  static std::string getCrc(std::string_view tlvStr);

  /// `crc` as four upper-case hexadecimal digits, leading zeros kept: the form tag 63 carries.
  static std::array<char, 4> crcDigits(std::uint16_t crc) noexcept;

  /// `crc` filled with "0" on the left to four characters.
  static std::string prefixZeros(std::string_view crc);

  /// The payload CRC of `text`: `calculateCrcMsb` with 0x1021 and 0xFFFF over its bytes.
  static std::uint16_t payloadCrc(std::string_view text) noexcept;
};

/// The ways of computing the payload CRC, all giving the same result: one table step a byte;
/// sixteen bytes a step through compile-time tables (the portable kernel, used on every target);
/// carry-less multiplication folding sixteen bytes a step (x86-64 with PCLMULQDQ only).
enum class PayloadCrcKernel { byteWise, sliced, folded };

/// Whether `kernel` is built into the library and runs on this processor.
bool payloadCrcKernelAvailable(PayloadCrcKernel kernel) noexcept;

/// The payload CRC of `data` from `initial` by `kernel` alone, for tests and benchmarks; `kernel`
/// must be available.
std::uint16_t payloadCrcBy(PayloadCrcKernel kernel, std::span<const std::uint8_t> data,
                           std::uint16_t initial) noexcept;

} // namespace pavenda

#endif
