#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <optional>

#include <pavenda/ErrorConstants.h>

#include "support/AsciiNumber.h"
#include "support/Unicode.h"
#include "validation/Checks.h"
#include "validation/Rules.h"

namespace pavenda {
namespace validation {
namespace {

namespace code = ZArodezErrorConstants;
namespace account = ZArodezErrorConstants::merchantAccountInformationTemplate;
using MapProperty = RecordView::MapProperty;

constexpr std::size_t panLength = 16;

// Whether the standard unsigned 64-bit parse accepts `text`: an optional "+", or a "-" followed
// only by zeros, then one or more digits 0-9 whose value fits in 64 bits.
bool parsesAsUnsigned64(std::string_view text) noexcept {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty())
    return false;
  constexpr std::uint64_t max = std::numeric_limits<std::uint64_t>::max();
  std::uint64_t value = 0;
  for (const char c : text) {
    if (!isAsciiDigit(c) || (negative && c != '0'))
      return false;
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (value > (max - digit) / 10)
      return false;
    value = value * 10 + digit;
  }
  return true;
}

// The value of a character that is one of 0-9, or 10 or more for any other.
constexpr unsigned digitValue(char c) noexcept {
  return static_cast<unsigned>(static_cast<unsigned char>(c)) - unsigned{'0'};
}

unsigned digitValue(std::string_view character) noexcept {
  return character.size() == 1 ? digitValue(character[0]) : 10;
}

// The Luhn test over `count` characters, `digitAt(k)` giving the value of character k (see
// `digitValue`); a character other than one of 0-9 adds nothing but keeps its position.
template <typename DigitAt> bool luhn(std::size_t count, DigitAt digitAt) {
  unsigned sum = 0;
  for (std::size_t i = 1; i <= count; ++i) {
    unsigned digit = digitAt(count - i);
    if (digit > 9)
      continue;
    if (i % 2 == 0) {
      digit *= 2;
      if (digit >= 10)
        digit -= 9;
    }
    sum += digit;
  }
  return sum % 10 == 0;
}

// Whether every byte of `text` is a character of its own: ASCII holding no CR LF.
bool bytesAreCharacters(std::string_view text) noexcept {
  return unicode::isAscii(text) && text.find("\r\n") == std::string_view::npos;
}

// Where character k of the PAN form of an identifier of n characters (7 <= n < 16) comes from: the
// identifier's character at the index answered, or a padding "0" for nothing. The zeros that fill
// the identifier to 16 characters go after its sixth character.
constexpr std::optional<std::size_t> panCharacterSource(std::size_t n, std::size_t k) noexcept {
  const std::size_t zeros = panLength - n;
  if (k < 6)
    return k;
  if (k < 6 + zeros)
    return std::nullopt;
  return k - zeros;
}

bool needsPanPadding(std::size_t n) noexcept {
  return n >= 7 && n < panLength;
}

} // namespace

std::string convertMerchantIdToPan(std::string_view id) {
  const unicode::CharIndex characters(id);
  const std::size_t n = characters.size();
  if (!needsPanPadding(n))
    return std::string(id);
  std::string pan;
  pan.reserve(id.size() + panLength - n);
  for (std::size_t k = 0; k < panLength; ++k) {
    const std::optional<std::size_t> source = panCharacterSource(n, k);
    pan += source ? characters.slice(*source, 1) : "0";
  }
  return pan;
}

bool luhnsAlgorithmCheck(std::string_view forMerchantPan) {
  const unicode::CharIndex characters(forMerchantPan);
  return luhn(characters.size(), [&](std::size_t k) { return digitValue(characters.slice(k, 1)); });
}

namespace {

// Whether a text of one or more ASCII digits fits in 64 bits, leading zeros aside.
bool digitsFitUnsigned64(std::string_view digits) noexcept {
  constexpr std::string_view max = rules::largestMerchantIdNumber;
  if (digits.size() < max.size())
    return true;
  const std::size_t first = digits.find_first_not_of('0');
  if (first == std::string_view::npos)
    return true;
  digits.remove_prefix(first);
  // Texts of digits of one length compare as their numbers do.
  return digits.size() < max.size() || (digits.size() == max.size() && digits <= max);
}

// The Luhn sum of a text in its PAN form, or nothing unless every byte is an ASCII digit. The
// padding zeros add nothing, so the PAN form is only assembled when it is short.
std::optional<unsigned> asciiLuhnSum(std::string_view text) noexcept {
  std::array<char, panLength> pan{};
  if (needsPanPadding(text.size())) {
    const std::size_t zeros = panLength - text.size();
    std::copy_n(text.begin(), 6, pan.begin());
    std::fill_n(pan.begin() + 6, zeros, '0');
    std::copy(text.begin() + 6, text.end(), pan.begin() + 6 + zeros);
    text = std::string_view(pan.data(), pan.size());
  }
  // From the right: every second digit is doubled, and a doubled digit above 4 loses 9.
  unsigned plain = 0;
  unsigned doubled = 0;
  unsigned aboveFour = 0;
  unsigned notDigit = 0;
  std::size_t k = text.size();
  for (; k >= 2; k -= 2) {
    const unsigned last = digitValue(text[k - 1]);
    const unsigned before = digitValue(text[k - 2]);
    notDigit |= static_cast<unsigned>(last > 9) | static_cast<unsigned>(before > 9);
    plain += last;
    doubled += before;
    aboveFour += static_cast<unsigned>(before > 4);
  }
  if (k == 1) {
    const unsigned first = digitValue(text[0]);
    notDigit |= static_cast<unsigned>(first > 9);
    plain += first;
  }
  if (notDigit != 0)
    return std::nullopt;
  return plain + 2 * doubled - 9 * aboveFour;
}

} // namespace

namespace {

// Code "3", with the form the Luhn test ran over as its fact.
void raiseCheckDigit(CodeList& codes, std::string_view id) {
  codes.append(code::merchantIdInvalidCheckDigit);
  if (Facts* facts = codes.facts())
    facts->merchantPan = convertMerchantIdToPan(id);
}

} // namespace

void validateMerchantID(CodeList& codes, Text id) {
  constexpr const rules::FieldRule& rule = rules::merchantId;
  static_assert(rule.allowed.size() == 1, "the starting digit is one character");
  if (!id)
    return;
  const std::string_view text = *id;
  if (const std::optional<unsigned> sum = asciiLuhnSum(text); sum && !text.empty()) {
    // The common form: each byte a character and a digit.
    if (text.front() != rule.allowed.front())
      codes.append(code::merchantIdInvalidStartingDigit);
    if (text.size() < rule.minLength || text.size() > rule.maxLength)
      codes.append(code::merchantIdInvalidLength);
    if (!digitsFitUnsigned64(text))
      codes.append(code::merchantIdInvalidFormat);
    if (*sum % 10 != 0)
      raiseCheckDigit(codes, text);
    return;
  }
  // The character index only where characters are not simply bytes.
  const bool bytes = bytesAreCharacters(text);
  std::optional<unicode::CharIndex> index;
  if (!bytes)
    index.emplace(text);
  const std::size_t n = bytes ? text.size() : index->size();
  if (n > 0 && (bytes ? text.substr(0, 1) : index->slice(0, 1)) != rule.allowed)
    codes.append(code::merchantIdInvalidStartingDigit);
  if (n < rule.minLength || n > rule.maxLength)
    codes.append(code::merchantIdInvalidLength);
  if (!parsesAsUnsigned64(text))
    codes.append(code::merchantIdInvalidFormat);

  const auto digitAt = [&](std::size_t k) {
    return bytes ? digitValue(text[k]) : digitValue(index->slice(k, 1));
  };
  // The PAN form is read in place rather than built as a new text.
  const bool luhnPasses = needsPanPadding(n) ? luhn(panLength,
                                                    [&](std::size_t k) {
                                                      const std::optional<std::size_t> source =
                                                          panCharacterSource(n, k);
                                                      return source ? digitAt(*source) : 0U;
                                                    })
                                             : luhn(n, digitAt);
  if (!luhnPasses)
    raiseCheckDigit(codes, text);
}

void validateMerchantAccountInformationTemplate(CodeList& codes, const RecordView& record) {
  constexpr auto first = static_cast<std::size_t>(MapProperty::tag26);
  constexpr auto last = static_cast<std::size_t>(MapProperty::tag51);
  static_assert(last - first == 25, "tag26 to tag51 must be consecutive properties");
  for (std::size_t property = first; property <= last; ++property) {
    const std::optional<TemplateView> accountTemplate =
        record.map(static_cast<MapProperty>(property));
    if (!accountTemplate)
      continue;
    const SubField* identifier = accountTemplate->field(rules::accountIdentifier.subtag);
    if (identifier == nullptr) {
      codes.append(account::missingUniqueIdentifier);
      continue;
    }
    const std::size_t length = identifier->characters();
    if (length < rules::accountIdentifier.minLength || length > rules::accountIdentifier.maxLength)
      codes.append(account::invalidLength);
  }
}

} // namespace validation

} // namespace pavenda
