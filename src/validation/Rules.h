#ifndef PAVENDA_VALIDATION_RULES_H
#define PAVENDA_VALIDATION_RULES_H

// Every bound, class and allowed set of the field checks, written once. The checks test a value
// against these rules; the explanations and the documentation tables word them. Changing a bound
// here changes the check, its explanation and the docs together. Tags are the catalogue's, looked
// up by field key, never written here.

#include <array>
#include <cstddef>
#include <string_view>

#include <pavenda/ErrorConstants.h>

namespace pavenda::validation::rules {

/// The characters a field may hold.
enum class Characters : unsigned char {
  any,             ///< no class is tested
  decimalDigits,   ///< Unicode decimal digits (general category Nd)
  letters,         ///< Unicode letters and marks (general categories L and M)
  digitsAndPeriod, ///< decimal digits and the period
  allowedSet,      ///< only the characters or values of `allowed`
};

/// The rule of one text field or sub-field: whether it must be there, its length in `unit`s
/// (user-perceived characters) and its characters, with the codes raised when broken.
struct FieldRule {
  std::string_view field;              ///< field key; for a rule of any sub-field, the template's
  std::string_view subtag{};           ///< the sub-tag the rule itself names, if any
  std::string_view lengthCode;         ///< raised when the length (or value) is out of bounds
  std::string_view absentCode{};       ///< raised when the field is absent; "" when optional
  std::size_t minLength;               ///< inclusive
  std::size_t maxLength;               ///< inclusive
  std::string_view unit = "character"; ///< what the length counts, in words
  Characters characters = Characters::any;
  std::string_view allowed{}; ///< the allowed characters, or the one allowed value
  std::string_view meaning;   ///< what the field holds, in words
};

namespace code = ZArodezErrorConstants;
namespace account = code::merchantAccountInformationTemplate;
namespace language = code::merchantLanguageInformationTemplate;

inline constexpr FieldRule payloadFormatIndicator{.field = "payloadFormatIndicator",
                                                  .lengthCode =
                                                      code::payloadFormatIndicatorInvalidLength,
                                                  .minLength = 2,
                                                  .maxLength = 2,
                                                  .unit = "digit",
                                                  .characters = Characters::decimalDigits,
                                                  .allowed = "01",
                                                  .meaning = "payload format indicator"};

inline constexpr FieldRule merchantId{
    .field = "zArodezMerchantID",
    .lengthCode = code::merchantIdInvalidLength,
    .minLength = 8,
    .maxLength = 16,
    .characters = Characters::decimalDigits,
    .allowed = "4", // the starting digit
    .meaning = "merchant ID: a decimal number starting with 4 whose 16-digit form passes the "
               "Luhn test"};
/// The largest number the merchant ID may hold: the largest unsigned 64-bit number.
inline constexpr std::string_view largestMerchantIdNumber = "18446744073709551615";

inline constexpr FieldRule merchantCategoryCode{.field = "merchantCategoryCode",
                                                .lengthCode =
                                                    code::merchantCategoryCodeInvalidLength,
                                                .absentCode = code::merchantCategoryCodeNotPresent,
                                                .minLength = 4,
                                                .maxLength = 4,
                                                .unit = "digit",
                                                .characters = Characters::decimalDigits,
                                                .meaning = "merchant category code"};

inline constexpr FieldRule currencyCode{.field = "currencyCode",
                                        .lengthCode = code::currencyCodeInvaidLength,
                                        .absentCode = code::currencyCodeNotPresent,
                                        .minLength = 3,
                                        .maxLength = 3,
                                        .unit = "digit",
                                        .characters = Characters::decimalDigits,
                                        .meaning = "ISO 4217 numeric currency code"};

/// All digits: up to `maxLength`; with a period (or anything else), one more.
inline constexpr FieldRule transactionAmount{.field = "transactionAmount",
                                             .lengthCode = code::transactionAmountInvalidLength,
                                             .minLength = 1,
                                             .maxLength = 12,
                                             .unit = "digit",
                                             .characters = Characters::digitsAndPeriod,
                                             .meaning = "transaction amount, above 0"};
inline constexpr std::size_t transactionAmountMaxLengthWithPeriod = 13;

/// The indicator's allowed values.
inline constexpr std::string_view tipPrompt = "01";
inline constexpr std::string_view fixedFee = "02";
inline constexpr std::string_view percentageFee = "03";
inline constexpr FieldRule tipAndFeeIndicator{
    .field = "tipAndFeeIndicator",
    .lengthCode = code::tipAndFeeIndicatorInvalidCriteria,
    .minLength = 2,
    .maxLength = 2,
    .unit = "digit",
    .characters = Characters::allowedSet,
    .meaning = "tip or convenience fee: 01 prompt for a tip, 02 fixed fee, 03 percentage fee"};

inline constexpr FieldRule convenienceFeeAmount{.field = "convenienceFeeAmount",
                                                .lengthCode =
                                                    code::convenienceFeeAmountInvalidLength,
                                                .minLength = 1,
                                                .maxLength = 13,
                                                .characters = Characters::digitsAndPeriod,
                                                .meaning = "fixed convenience fee, above 0"};

inline constexpr FieldRule convenienceFeePercentage{.field = "convenienceFeePercentage",
                                                    .lengthCode =
                                                        code::convenienceFeePercentageInvalidLength,
                                                    .minLength = 1,
                                                    .maxLength = 5,
                                                    .characters = Characters::digitsAndPeriod,
                                                    .meaning = "convenience fee percentage"};
/// The percentage's bounds, both inclusive.
inline constexpr double minimumPercentage = 0.01;
inline constexpr double maximumPercentage = 99.99;

inline constexpr FieldRule countryCode{.field = "countryCode",
                                       .lengthCode = code::countryCodeInvalidLengthOrCharacters,
                                       .absentCode = code::countryCodeNotPresent,
                                       .minLength = 2,
                                       .maxLength = 2,
                                       .unit = "letter",
                                       .characters = Characters::letters,
                                       .meaning = "ISO 3166-1 two-letter region code, upper case"};

inline constexpr FieldRule merchantName{.field = "merchantName",
                                        .lengthCode = code::merchantNameInvalidLengthOrCharacters,
                                        .absentCode = code::merchantNameNotPresent,
                                        .minLength = 1,
                                        .maxLength = 25,
                                        .meaning = "merchant name"};

inline constexpr FieldRule cityName{.field = "cityName",
                                    .lengthCode = code::cityNameInvalidLengthOrCharacters,
                                    .absentCode = code::cityNameNotPresent,
                                    .minLength = 1,
                                    .maxLength = 15,
                                    .meaning = "merchant city"};

inline constexpr FieldRule postalCode{.field = "postalCode",
                                      .lengthCode = code::postalCodeIndicatorInvalidLength,
                                      .minLength = 1,
                                      .maxLength = 10,
                                      .meaning = "postal code"};

inline constexpr FieldRule crc{.field = "crc",
                               .lengthCode = code::crcInvalidValue,
                               .minLength = 4,
                               .maxLength = 4,
                               .characters = Characters::allowedSet,
                               .meaning = "CRC-16 of everything before its value, 4 hexadecimal "
                                          "digits"};

/// Identifiers of the single-character scheme: 1 to 26 characters, or `shortFormPrefix` alone or
/// followed by one character of the identifier's pattern.
inline constexpr FieldRule primaryId{.field = "primaryID",
                                     .lengthCode = code::primaryIdInvalidLengthOrCharacters,
                                     .minLength = 1,
                                     .maxLength = 26,
                                     .meaning = "primary identifier"};
inline constexpr FieldRule secondaryId{.field = "secondaryID",
                                       .lengthCode = code::secondaryIdInvalidLengthOrCharacters,
                                       .minLength = 1,
                                       .maxLength = 26,
                                       .meaning = "secondary identifier"};
inline constexpr std::string_view shortFormPrefix = "?";
inline constexpr std::size_t shortFormMaxLength = 2;

/// Every sub-field of the additional data template but the consumer data request.
inline constexpr FieldRule additionalDataSubField{.field = "additionalDataFieldTemplate",
                                                  .lengthCode =
                                                      code::additionalDataInformationInvalidLength,
                                                  .minLength = 1,
                                                  .maxLength = 25,
                                                  .meaning = "additional data sub-field"};

inline constexpr FieldRule additionalConsumerDataRequest{
    .field = "additionalConsumerDataRequest",
    .lengthCode = code::additionalConsumerDataInvalidValue,
    .minLength = 1,
    .maxLength = 3,
    .characters = Characters::allowedSet,
    .allowed = "AME",
    .meaning = "consumer data the app asks for: A address, M mobile number, E email"};

/// The unique identifier in a sub-tag of each merchant account template, tags 26 to 51.
inline constexpr FieldRule accountIdentifier{.field = "",
                                             .subtag = "00",
                                             .lengthCode = account::invalidLength,
                                             .absentCode = account::missingUniqueIdentifier,
                                             .minLength = 1,
                                             .maxLength = 32,
                                             .meaning = "globally unique identifier of a merchant "
                                                        "account template"};
inline constexpr int firstAccountTemplate = 26;
inline constexpr int lastAccountTemplate = 51;

/// The sub-fields of the alternate-language template, and the rule of any other sub-field there.
inline constexpr FieldRule languagePreference{
    .field = "languagePreference",
    .lengthCode = language::languagePreferenceInvalidTagLength,
    .absentCode = language::missingLanguagePreferenceTag,
    .minLength = 2,
    .maxLength = 2,
    .meaning = "language of the alternate texts (ISO 639-1)"};
inline constexpr FieldRule merchantNameAlternateLanguage{
    .field = "merchantNameAlternateLanguage",
    .lengthCode = language::merchantNameInvalidTagLength,
    .absentCode = language::missingMerchantNameTag,
    .minLength = 1,
    .maxLength = 25,
    .meaning = "merchant name in that language"};
inline constexpr FieldRule merchantCityAlternateLanguage{.field = "merchantCityAlternateLanguage",
                                                         .lengthCode = language::invalidLengthTag,
                                                         .minLength = 2,
                                                         .maxLength = 15,
                                                         .meaning =
                                                             "merchant city in that language"};
inline constexpr FieldRule otherLanguageSubField{.field = "merchantInformationLanguageTemplate",
                                                 .lengthCode = language::invalidLengthTag,
                                                 .minLength = 1,
                                                 .maxLength = 99,
                                                 .meaning = "any other sub-field of the "
                                                            "alternate-language template"};

/// The rule of the language template's sub-field `key`.
constexpr const FieldRule& languageSubField(std::string_view key) noexcept {
  for (const FieldRule* rule :
       {&languagePreference, &merchantNameAlternateLanguage, &merchantCityAlternateLanguage})
    if (rule->field == key)
      return *rule;
  return otherLanguageSubField;
}

/// Every rule, for the documentation.
inline constexpr std::array all = {
    &payloadFormatIndicator,
    &merchantId,
    &merchantCategoryCode,
    &currencyCode,
    &transactionAmount,
    &tipAndFeeIndicator,
    &convenienceFeeAmount,
    &convenienceFeePercentage,
    &countryCode,
    &merchantName,
    &cityName,
    &postalCode,
    &crc,
    &primaryId,
    &secondaryId,
    &additionalDataSubField,
    &additionalConsumerDataRequest,
    &accountIdentifier,
    &languagePreference,
    &merchantNameAlternateLanguage,
    &merchantCityAlternateLanguage,
    &otherLanguageSubField,
};

} // namespace pavenda::validation::rules

#endif
