#ifndef PAVENDA_SUPPORT_BITS_H
#define PAVENDA_SUPPORT_BITS_H

// The compiler built-ins the library uses, each with a plain C++ fallback, so that every toolchain
// an app uses (GCC, clang with libc++, any other conforming compiler) builds the same code, and
// word reads mean the same on little- and big-endian targets. The plain versions are always
// compiled, so tests check them against the built-ins on every host.

#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

#if defined(__GNUC__) || defined(__clang__)
#define PAVENDA_HAS_BUILTINS 1
#endif

// Carry-less multiplication is reachable on x86-64 with GCC or clang, whose target attribute lets
// one function use it while the rest of the library stays baseline x86-64.
#if defined(PAVENDA_HAS_BUILTINS) && defined(__x86_64__)
#define PAVENDA_HAS_X86_CLMUL 1
#endif

namespace pavenda::bits {

namespace plain {

constexpr std::uint16_t byteSwap(std::uint16_t v) noexcept {
  return static_cast<std::uint16_t>(v << 8 | v >> 8);
}

constexpr std::uint32_t byteSwap(std::uint32_t v) noexcept {
  return (v << 24) | ((v << 8) & 0x00FF0000U) | ((v >> 8) & 0x0000FF00U) | (v >> 24);
}

constexpr std::uint64_t byteSwap(std::uint64_t v) noexcept {
  return std::uint64_t{byteSwap(static_cast<std::uint32_t>(v))} << 32 |
         byteSwap(static_cast<std::uint32_t>(v >> 32));
}

} // namespace plain

/// `v` with its bytes in the opposite order; for 16-, 32- and 64-bit unsigned words.
template <typename Word> constexpr Word byteSwap(Word v) noexcept {
  static_assert(std::is_unsigned_v<Word> &&
                (sizeof(Word) == 2 || sizeof(Word) == 4 || sizeof(Word) == 8));
#ifdef PAVENDA_HAS_BUILTINS
  if constexpr (sizeof(Word) == 2)
    return __builtin_bswap16(v);
  else if constexpr (sizeof(Word) == 4)
    return __builtin_bswap32(v);
  else
    return __builtin_bswap64(v);
#else
  return plain::byteSwap(v);
#endif
}

static_assert(std::endian::native == std::endian::little || std::endian::native == std::endian::big,
              "mixed-endian targets are not supported");

/// The unsigned word stored at `p` (any alignment) in byte order `order`, on any target.
template <std::endian order, typename Word> Word load(const void* p) noexcept {
  Word word;
  std::memcpy(&word, p, sizeof word);
  if constexpr (std::endian::native != order)
    word = byteSwap(word);
  return word;
}

/// Lane i of the result is byte i of memory: the first byte is the least significant.
template <typename Word> Word loadLittleEndian(const void* p) noexcept {
  return load<std::endian::little, Word>(p);
}

/// The first byte is the most significant.
template <typename Word> Word loadBigEndian(const void* p) noexcept {
  return load<std::endian::big, Word>(p);
}

/// Whether the processor running the code multiplies without carries (x86's PCLMULQDQ); false
/// wherever the library has no kernel using it.
inline bool hasCarrylessMultiply() noexcept {
#ifdef PAVENDA_HAS_X86_CLMUL
  static const bool supported = __builtin_cpu_supports("pclmul") != 0;
  return supported;
#else
  return false;
#endif
}

} // namespace pavenda::bits

#endif
