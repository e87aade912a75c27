#include "support/CurrencyTable.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace pavenda {
namespace {

// The rows in alphabetical order of the alphabetic code, as the table is maintained. Each number is
// the ISO 4217 one, except that 932 stays paired with ZWD (not ZWL), as the accepted set always had
// it.
constexpr std::array<ISOCurrency, 179> alphabetical = {{
    {784, "AED"}, {971, "AFN"}, {8, "ALL"},   {51, "AMD"},  {532, "ANG"}, {973, "AOA"},
    {32, "ARS"},  {36, "AUD"},  {533, "AWG"}, {944, "AZN"}, {977, "BAM"}, {52, "BBD"},
    {50, "BDT"},  {975, "BGN"}, {48, "BHD"},  {108, "BIF"}, {60, "BMD"},  {96, "BND"},
    {68, "BOB"},  {984, "BOV"}, {986, "BRL"}, {44, "BSD"},  {64, "BTN"},  {72, "BWP"},
    {974, "BYR"}, {84, "BZD"},  {124, "CAD"}, {976, "CDF"}, {947, "CHE"}, {756, "CHF"},
    {948, "CHW"}, {990, "CLF"}, {152, "CLP"}, {156, "CNY"}, {170, "COP"}, {970, "COU"},
    {188, "CRC"}, {931, "CUC"}, {192, "CUP"}, {132, "CVE"}, {203, "CZK"}, {262, "DJF"},
    {208, "DKK"}, {214, "DOP"}, {12, "DZD"},  {818, "EGP"}, {232, "ERN"}, {230, "ETB"},
    {978, "EUR"}, {242, "FJD"}, {238, "FKP"}, {826, "GBP"}, {981, "GEL"}, {936, "GHS"},
    {292, "GIP"}, {270, "GMD"}, {324, "GNF"}, {320, "GTQ"}, {328, "GYD"}, {344, "HKD"},
    {340, "HNL"}, {191, "HRK"}, {332, "HTG"}, {348, "HUF"}, {360, "IDR"}, {376, "ILS"},
    {356, "INR"}, {368, "IQD"}, {364, "IRR"}, {352, "ISK"}, {388, "JMD"}, {400, "JOD"},
    {392, "JPY"}, {404, "KES"}, {417, "KGS"}, {116, "KHR"}, {174, "KMF"}, {408, "KPW"},
    {410, "KRW"}, {414, "KWD"}, {136, "KYD"}, {398, "KZT"}, {418, "LAK"}, {422, "LBP"},
    {144, "LKR"}, {430, "LRD"}, {426, "LSL"}, {440, "LTL"}, {434, "LYD"}, {504, "MAD"},
    {498, "MDL"}, {969, "MGA"}, {807, "MKD"}, {104, "MMK"}, {496, "MNT"}, {446, "MOP"},
    {478, "MRO"}, {480, "MUR"}, {462, "MVR"}, {454, "MWK"}, {484, "MXN"}, {979, "MXV"},
    {458, "MYR"}, {943, "MZN"}, {516, "NAD"}, {566, "NGN"}, {558, "NIO"}, {578, "NOK"},
    {524, "NPR"}, {554, "NZD"}, {512, "OMR"}, {590, "PAB"}, {604, "PEN"}, {598, "PGK"},
    {608, "PHP"}, {586, "PKR"}, {985, "PLN"}, {600, "PYG"}, {634, "QAR"}, {946, "RON"},
    {941, "RSD"}, {643, "RUB"}, {646, "RWF"}, {682, "SAR"}, {90, "SBD"},  {690, "SCR"},
    {938, "SDG"}, {752, "SEK"}, {702, "SGD"}, {654, "SHP"}, {694, "SLL"}, {706, "SOS"},
    {968, "SRD"}, {728, "SSP"}, {678, "STD"}, {760, "SYP"}, {748, "SZL"}, {764, "THB"},
    {972, "TJS"}, {934, "TMT"}, {788, "TND"}, {776, "TOP"}, {949, "TRY"}, {780, "TTD"},
    {901, "TWD"}, {834, "TZS"}, {980, "UAH"}, {800, "UGX"}, {840, "USD"}, {997, "USN"},
    {998, "USS"}, {940, "UYI"}, {858, "UYU"}, {860, "UZS"}, {937, "VEF"}, {704, "VND"},
    {548, "VUV"}, {882, "WST"}, {950, "XAF"}, {961, "XAG"}, {959, "XAU"}, {955, "XBA"},
    {956, "XBB"}, {957, "XBC"}, {958, "XBD"}, {951, "XCD"}, {960, "XDR"}, {952, "XOF"},
    {964, "XPD"}, {953, "XPF"}, {962, "XPT"}, {994, "XSU"}, {963, "XTS"}, {965, "XUA"},
    {999, "XXX"}, {886, "YER"}, {710, "ZAR"}, {967, "ZMW"}, {932, "ZWD"},
}};

constexpr bool byNumber(const ISOCurrency& a, const ISOCurrency& b) {
  return a.number < b.number;
}

// The same rows ordered by number, for binary search.
constexpr std::array<ISOCurrency, alphabetical.size()> byNumberTable = [] {
  std::array<ISOCurrency, alphabetical.size()> rows = alphabetical;
  std::sort(rows.begin(), rows.end(), byNumber);
  return rows;
}();

constexpr bool strictlyIncreasing(auto key, const auto& rows) {
  for (std::size_t i = 1; i < rows.size(); ++i)
    if (!(key(rows[i - 1]) < key(rows[i])))
      return false;
  return true;
}

static_assert(strictlyIncreasing([](const ISOCurrency& r) { return r.code; }, alphabetical),
              "rows must be listed alphabetically, each alphabetic code once");
static_assert(strictlyIncreasing([](const ISOCurrency& r) { return r.number; }, byNumberTable),
              "each numeric code must occur once");

// One bit per number below the largest key, so that the checks test membership without a search.
constexpr int largestNumber = byNumberTable.back().number;
using NumberBits = std::array<std::uint64_t, largestNumber / 64 + 1>;

constexpr NumberBits numberBits = [] {
  NumberBits bits{};
  for (const ISOCurrency& row : byNumberTable)
    bits[static_cast<std::size_t>(row.number) / 64] |= std::uint64_t{1} << (row.number % 64);
  return bits;
}();

static_assert(byNumberTable.front().number >= 0, "numeric codes are not negative");

} // namespace

bool ISOCurrencyTable::contains(int number) const noexcept {
  if (number < 0 || number > largestNumber)
    return false;
  const auto n = static_cast<std::size_t>(number);
  return ((numberBits[n / 64] >> (n % 64)) & 1U) != 0;
}

std::size_t ISOCurrencyTable::size() const noexcept {
  return byNumberTable.size();
}

std::optional<std::string_view> ISOCurrencyTable::lookup(int number) const noexcept {
  const auto found = std::lower_bound(byNumberTable.begin(), byNumberTable.end(),
                                      ISOCurrency{number, {}}, byNumber);
  if (found == byNumberTable.end() || found->number != number)
    return std::nullopt;
  return found->code;
}

std::span<const ISOCurrency> ISOCurrencyTable::entries() const noexcept {
  return byNumberTable;
}

} // namespace pavenda
