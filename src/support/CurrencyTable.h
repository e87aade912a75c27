#ifndef PAVENDA_SUPPORT_CURRENCYTABLE_H
#define PAVENDA_SUPPORT_CURRENCYTABLE_H

// The currencies the library accepts, compiled in so that the accepted set never depends on the
// locale data of the machine it runs on.

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace pavenda {

/// One accepted currency: its ISO 4217 numeric code (008 is 8) and its alphabetic code.
struct ISOCurrency {
  int number;
  std::string_view code;
};

/// A fixed, read-only map from numeric currency code to alphabetic code. Lookups take no lock and
/// allocate nothing; the rows are constant data of the library.
class ISOCurrencyTable {
public:
  /// The number of entries (179).
  std::size_t size() const noexcept;

  /// The alphabetic code of `number`, or nothing when the table has no such key.
  std::optional<std::string_view> lookup(int number) const noexcept;

  /// Whether `number` is a key of the table; any int, negative ones included.
  bool contains(int number) const noexcept;

  /// Every entry, in ascending order of the numeric code.
  std::span<const ISOCurrency> entries() const noexcept;
};

/// Groups the currency table; it has no instances.
struct ISOCountryCodes {
  ISOCountryCodes() = delete;

  /// The accepted currencies: the ISO 4217 codes with their numeric codes, keeping some withdrawn
  /// codes (BYR, HRK, LTL, MRO, STD, USS, VEF), without SVC and the successor codes BYN, MRU, STN
  /// and VES, and with 932 paired with ZWD.
  static constexpr ISOCurrencyTable availableISOCurrencies{};
};

} // namespace pavenda

#endif
