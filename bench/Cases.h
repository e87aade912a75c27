#ifndef PAVENDA_BENCH_CASES_H
#define PAVENDA_BENCH_CASES_H

// The field dictionaries the benchmarks measure, from a bare static code to one with every field
// at its longest. All of them generate a payload.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include <pavenda/FieldDictionary.h>

namespace pavenda::bench {

/// A text of `length` letters and digits, different for each `seed`.
inline std::string filler(std::size_t length, std::size_t seed) {
  static constexpr std::string_view alphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::string text(length, ' ');
  for (std::size_t i = 0; i < length; ++i)
    text[i] = alphabet[(seed * 7 + i) % alphabet.size()];
  return text;
}

/// A static code: the eight fields every code carries.
inline FieldDictionary minimalCase() {
  return {{"payloadFormatIndicator", "01"},
          {"pointOfInitiation", "11"},
          {"zArodezMerchantID", "4111111111111111"},
          {"merchantCategoryCode", "5499"},
          {"currencyCode", "356"},
          {"countryCode", "IN"},
          {"merchantName", "Lakshmi Stores"},
          {"cityName", "Chennai"}};
}

/// A dynamic code of 14 fields: amount, tip indicator 02 with a fixed fee, an account template and
/// the additional data template with bill number and terminal.
inline FieldDictionary typicalCase() {
  return {{"payloadFormatIndicator", "01"},
          {"pointOfInitiation", "12"},
          {"zArodezMerchantID", "4000000000000002"},
          {"tag26", FieldDictionary{{"00", "com.example.acquirer"}, {"01", "MID-0042"}}},
          {"merchantCategoryCode", "5812"},
          {"currencyCode", "356"},
          {"transactionAmount", "450.00"},
          {"tipAndFeeIndicator", "02"},
          {"convenienceFeeAmount", "10.00"},
          {"countryCode", "IN"},
          {"merchantName", "Saffron Kitchen"},
          {"cityName", "Bengaluru"},
          {"postalCode", "560001"},
          {"additionalDataFieldTemplate",
           FieldDictionary{{"billID", "INV-20261206-17"}, {"terminalID", "T-07"}}}};
}

/// The typical code with a second account template and the alternate-language template in Chinese:
/// about 250 characters.
inline FieldDictionary cjkCase() {
  FieldDictionary dictionary = typicalCase();
  dictionary.set("tag27", FieldDictionary{{"00", "cn.example.unionpay"}, {"01", "62284800123"}});
  dictionary.set("merchantInformationLanguageTemplate",
                 FieldDictionary{{"languagePreference", "ZH"},
                                 {"merchantNameAlternateLanguage", "金龙茶馆藏红花厨房"},
                                 {"merchantCityAlternateLanguage", "上海浦东新区"}});
  return dictionary;
}

/// Every field at the longest the checks accept: fields with a check at its maximum, free-text
/// fields at 99 characters (the most a two-digit length holds), every template filled to 99
/// characters with its identifier at its maximum. Tip indicator 02 excludes the fee percentage.
inline FieldDictionary longCase() {
  FieldDictionary dictionary{{"payloadFormatIndicator", "01"},
                             {"pointOfInitiation", "12"},
                             {"zArodezMerchantID", "4111111111111111"}};
  const auto accountTemplate = [](std::size_t seed) {
    return FieldDictionary{{"00", filler(32, seed)}, {"01", filler(59, seed + 1)}};
  };
  const auto twoDigits = [](int n) {
    return std::string{static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
  };
  for (int tag = 3; tag <= 25; ++tag)
    dictionary.set(twoDigits(tag), filler(99, static_cast<std::size_t>(tag)));
  for (int tag = 26; tag <= 51; ++tag)
    dictionary.set(twoDigits(tag), accountTemplate(static_cast<std::size_t>(tag)));
  dictionary.set("merchantCategoryCode", "5812");
  dictionary.set("currencyCode", "356");
  dictionary.set("transactionAmount", "1234567890.12");
  dictionary.set("tipAndFeeIndicator", "02");
  dictionary.set("convenienceFeeAmount", "9876543210.98");
  dictionary.set("countryCode", "IN");
  dictionary.set("merchantName", filler(25, 59));
  dictionary.set("cityName", filler(15, 60));
  dictionary.set("postalCode", filler(10, 61));
  dictionary.set("additionalDataFieldTemplate", FieldDictionary{{"billID", filler(25, 1)},
                                                                {"mobileNumber", filler(25, 2)},
                                                                {"storeID", filler(25, 3)},
                                                                {"terminalID", filler(8, 7)}});
  dictionary.set("merchantInformationLanguageTemplate",
                 FieldDictionary{{"languagePreference", "ZH"},
                                 {"merchantNameAlternateLanguage", filler(25, 64)},
                                 {"merchantCityAlternateLanguage", filler(15, 65)}});
  for (int tag = 65; tag <= 79; ++tag)
    dictionary.set(twoDigits(tag), filler(99, static_cast<std::size_t>(tag)));
  for (int tag = 80; tag <= 99; ++tag)
    dictionary.set(twoDigits(tag), accountTemplate(static_cast<std::size_t>(tag)));
  return dictionary;
}

/// A named benchmark case.
struct Case {
  std::string_view name;
  FieldDictionary (*make)();
};

/// The four cases, in order of size.
inline constexpr std::array<Case, 4> cases{
    {{"minimal", minimalCase}, {"typical", typicalCase}, {"cjk", cjkCase}, {"long", longCase}}};

} // namespace pavenda::bench

#endif
