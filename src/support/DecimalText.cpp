#include "support/DecimalText.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>

#include "support/AsciiNumber.h"

namespace pavenda {
namespace {

// A non-negative integer of up to `capacity` 32-bit limbs, least significant first, without
// leading zero limbs; fixed in size so that parsing takes no heap. Only what exact
// decimal-to-binary rounding needs.
class BigInt {
public:
  // The largest operand is below 3,800 bits: 10^1104 (a 780-digit value not yet rounded to zero is
  // divided by at most that, about 3,670 bits) shifted left by 57 bits twice in the division.
  static constexpr std::size_t capacity = 128;

  explicit BigInt(std::uint32_t v = 0) noexcept {
    if (v != 0)
      limbs_[size_++] = v;
  }

  void multiplyAdd(std::uint32_t factor, std::uint32_t addend) noexcept {
    std::uint64_t carry = addend;
    for (std::size_t i = 0; i < size_; ++i) {
      const std::uint64_t product = std::uint64_t{limbs_[i]} * factor + carry;
      limbs_[i] = static_cast<std::uint32_t>(product);
      carry = product >> 32;
    }
    if (carry != 0)
      limbs_[size_++] = static_cast<std::uint32_t>(carry);
  }

  void multiplyByPowerOfTen(std::size_t exponent) noexcept {
    for (; exponent >= 9; exponent -= 9)
      multiplyAdd(1'000'000'000U, 0);
    static constexpr std::array<std::uint32_t, 9> small = {
        1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
    multiplyAdd(small[exponent], 0);
  }

  void shiftLeft(std::size_t bits) noexcept {
    if (size_ == 0)
      return;
    const std::size_t whole = bits / 32, part = bits % 32;
    if (part != 0) {
      std::uint32_t carry = 0;
      for (std::size_t i = 0; i < size_; ++i) {
        const std::uint32_t next = limbs_[i] >> (32 - part);
        limbs_[i] = limbs_[i] << part | carry;
        carry = next;
      }
      if (carry != 0)
        limbs_[size_++] = carry;
    }
    std::copy_backward(limbs_.begin(), limbs_.begin() + static_cast<std::ptrdiff_t>(size_),
                       limbs_.begin() + static_cast<std::ptrdiff_t>(size_ + whole));
    std::fill_n(limbs_.begin(), whole, 0U);
    size_ += whole;
  }

  std::size_t bitLength() const noexcept {
    if (size_ == 0)
      return 0;
    return 32 * size_ - static_cast<std::size_t>(std::countl_zero(limbs_[size_ - 1]));
  }

  bool isZero() const noexcept { return size_ == 0; }

  friend bool operator<(const BigInt& a, const BigInt& b) noexcept {
    if (a.size_ != b.size_)
      return a.size_ < b.size_;
    for (std::size_t i = a.size_; i-- > 0;)
      if (a.limbs_[i] != b.limbs_[i])
        return a.limbs_[i] < b.limbs_[i];
    return false;
  }

  // *this -= other, where other <= *this.
  void subtract(const BigInt& other) noexcept {
    std::uint32_t borrow = 0;
    for (std::size_t i = 0; i < size_; ++i) {
      const std::uint64_t take = std::uint64_t{i < other.size_ ? other.limbs_[i] : 0U} + borrow;
      borrow = limbs_[i] < take ? 1 : 0;
      limbs_[i] = static_cast<std::uint32_t>(limbs_[i] - take);
    }
    while (size_ > 0 && limbs_[size_ - 1] == 0)
      --size_;
  }

private:
  std::array<std::uint32_t, capacity> limbs_{};
  std::size_t size_ = 0;
};

// Digits kept before the rest is folded into one sticky digit: a double lies halfway between two
// neighbours at a decimal of at most 767 significant digits, so a value cut after more digits,
// with a digit 1 standing for a non-zero rest, rounds exactly as the whole value.
constexpr std::size_t keptDigits = 780;

// The correctly rounded double of `significand` x 2^-`shift`, where `significand` has 56 or 57
// bits and `rest` tells whether the exact value lies above it (by less than one unit of its last
// bit).
double roundBinary(std::uint64_t significand, int shift, bool rest) noexcept {
  const int length = std::bit_width(significand);
  const int exponent = length - 1 - shift; // of the leading bit
  if (exponent > DBL_MAX_EXP - 1)
    return std::numeric_limits<double>::infinity();
  constexpr int minExponent = DBL_MIN_EXP - 1;                // -1022
  constexpr int lowestBit = minExponent - (DBL_MANT_DIG - 1); // -1074
  const int kept = exponent >= minExponent ? DBL_MANT_DIG : exponent - lowestBit + 1;
  if (kept < 0)
    return 0.0;
  const int dropped = length - kept; // at least 3, below 64
  std::uint64_t mantissa = significand >> dropped;
  const std::uint64_t half = std::uint64_t{1} << (dropped - 1);
  const std::uint64_t below = significand & (half | (half - 1));
  if (below > half || (below == half && (rest || (mantissa & 1U) != 0)))
    ++mantissa;
  return std::ldexp(static_cast<double>(mantissa), dropped - shift);
}

// The digits of `text` after leading zeros, at most `keptDigits` and trailing zeros trimmed, and
// the power of ten they are multiplied by.
struct Significant {
  std::array<char, keptDigits + 1> digits{};
  std::size_t count = 0;
  long exponent = 0;
};

Significant significantDigits(std::string_view text) noexcept {
  Significant s;
  long point = -1; // the count of digits before the period, once seen
  long seen = 0;   // digits from the first non-zero one on
  bool truncated = false;
  long leadingFractionZeros = 0;
  for (const char c : text) {
    if (c == '.') {
      point = seen;
      continue;
    }
    if (s.count == 0 && c == '0') {
      if (point >= 0)
        ++leadingFractionZeros;
      continue;
    }
    ++seen;
    if (s.count < keptDigits)
      s.digits[s.count++] = c;
    else if (c != '0')
      truncated = true;
  }
  if (point < 0)
    point = seen;
  // value = 0.d1d2... x 10^(point - leadingFractionZeros)
  const long scale = point - leadingFractionZeros;
  if (truncated)
    s.digits[s.count++] = '1';
  while (s.count > 0 && s.digits[s.count - 1] == '0')
    --s.count;
  s.exponent = scale - static_cast<long>(s.count);
  return s;
}

double exactValue(const Significant& s) noexcept {
  // 0.d1d2... x 10^scale: at or above 10^309 every value overflows; below 10^-324 none reaches
  // half the smallest subnormal (about 2.5e-324).
  const long scale = s.exponent + static_cast<long>(s.count);
  if (scale > 309)
    return std::numeric_limits<double>::infinity();
  if (scale < -323)
    return 0.0;

#if FLT_EVAL_METHOD == 0
  // Both operands exact in a double: one correctly rounded operation gives the answer.
  static constexpr std::array<double, 23> powers = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                    1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                    1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  if (s.count <= 15 && s.exponent >= -22 && s.exponent <= 22) {
    std::uint64_t n = 0;
    for (std::size_t i = 0; i < s.count; ++i)
      n = n * 10 + static_cast<std::uint64_t>(s.digits[i] - '0');
    const double value = static_cast<double>(n);
    return s.exponent >= 0 ? value * powers[static_cast<std::size_t>(s.exponent)]
                           : value / powers[static_cast<std::size_t>(-s.exponent)];
  }
#endif

  BigInt numerator;
  for (std::size_t i = 0; i < s.count; ++i)
    numerator.multiplyAdd(10, static_cast<std::uint32_t>(s.digits[i] - '0'));
  BigInt denominator(1);
  if (s.exponent >= 0)
    numerator.multiplyByPowerOfTen(static_cast<std::size_t>(s.exponent));
  else
    denominator.multiplyByPowerOfTen(static_cast<std::size_t>(-s.exponent));

  // Scale the quotient to 56 or 57 bits: value = quotient x 2^-shift, plus what the remainder adds.
  const int shift =
      56 - (static_cast<int>(numerator.bitLength()) - static_cast<int>(denominator.bitLength()));
  if (shift > 0)
    numerator.shiftLeft(static_cast<std::size_t>(shift));
  else
    denominator.shiftLeft(static_cast<std::size_t>(-shift));

  // Long division, one quotient bit a step from the highest the quotient can have.
  std::uint64_t quotient = 0;
  for (int b = 57; b >= 0; --b) {
    BigInt step = denominator;
    step.shiftLeft(static_cast<std::size_t>(b));
    if (!(numerator < step)) {
      numerator.subtract(step);
      quotient |= std::uint64_t{1} << b;
    }
  }
  return roundBinary(quotient, shift, !numerator.isZero());
}

} // namespace

std::optional<double> parseDecimal(std::string_view text) noexcept {
  bool sawDigit = false;
  bool sawPeriod = false;
  for (const char c : text) {
    if (c == '.') {
      if (sawPeriod)
        return std::nullopt;
      sawPeriod = true;
    } else if (isAsciiDigit(c)) {
      sawDigit = true;
    } else {
      return std::nullopt;
    }
  }
  if (!sawDigit)
    return std::nullopt;
  const Significant s = significantDigits(text);
  if (s.count == 0)
    return 0.0;
  return exactValue(s);
}

} // namespace pavenda
