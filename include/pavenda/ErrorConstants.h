#ifndef PAVENDA_ERRORCONSTANTS_H
#define PAVENDA_ERRORCONSTANTS_H

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace pavenda {

/// The error codes that validation raises, by name. Codes are texts and compare as texts.
///
/// Codes "5", "22", "26", "27", "44" and "47" have a message but no constant (nothing raises them);
/// "19", "33" and "37" have neither.
namespace ZArodezErrorConstants {
inline constexpr std::string_view malformedTags = "0";
inline constexpr std::string_view merchantIdInvalidStartingDigit = "1";
inline constexpr std::string_view merchantIdInvalidLength = "2";
inline constexpr std::string_view merchantIdInvalidCheckDigit = "3";
inline constexpr std::string_view merchantIdInvalidFormat = "4";
inline constexpr std::string_view merchantNameInvalidLengthOrCharacters = "6";
inline constexpr std::string_view merchantNameNotPresent = "7";
inline constexpr std::string_view merchantCategoryCodeInvalidLength = "8";
inline constexpr std::string_view merchantCategoryCodeNotPresent = "9";
inline constexpr std::string_view cityNameInvalidLengthOrCharacters = "10";
inline constexpr std::string_view cityNameNotPresent = "11";
inline constexpr std::string_view countryCodeInvalidLengthOrCharacters = "12";
inline constexpr std::string_view countryCodeNotPresent = "13";
inline constexpr std::string_view currencyCodeInvaidLength = "14";
inline constexpr std::string_view currencyCodeNotPresent = "15";
inline constexpr std::string_view transactionAmountInvalidLength = "16";
inline constexpr std::string_view transactionAmountIncorrectValue = "17";
inline constexpr std::string_view transactionAmountTagPresentWithoutAmountValue = "18";
inline constexpr std::string_view primaryIdInvalidLengthOrCharacters = "20";
inline constexpr std::string_view primaryIdTagPresentWithoutValue = "21";
inline constexpr std::string_view primaryIdInvalidFormat = "23";
inline constexpr std::string_view secondaryIdInvalidLengthOrCharacters = "24";
inline constexpr std::string_view secondaryIdTagPresentWithoutValue = "25";
inline constexpr std::string_view tipAndFeeIndicatorInvalidCriteria = "28";
inline constexpr std::string_view tipAndFeeIndicatorInvalidTagsPresent = "29";
inline constexpr std::string_view tipAndFeeIndicatorTagPresentWithoutValue = "30";
inline constexpr std::string_view convenienceFeeAmountInvalidLength = "31";
inline constexpr std::string_view convenienceFeeAmountIncorrectValue = "32";
inline constexpr std::string_view convenienceFeeTagPresentWithoutValue = "34";
inline constexpr std::string_view convenienceFeePercentageInvalidLength = "35";
inline constexpr std::string_view convenienceFeePercentageIncorrectValue = "36";
inline constexpr std::string_view convenienceFeePercentageTagPresentWithoutValue = "38";
inline constexpr std::string_view convenienceInvalidTagPresent = "39";
inline constexpr std::string_view convenienceFeePercentageInvalidTagPresent = "40";
inline constexpr std::string_view payloadFormatIndicatorInvalidLength = "41";
inline constexpr std::string_view payloadFormatIndicatorInvalidValue = "42";
inline constexpr std::string_view postalCodeIndicatorInvalidLength = "43";
inline constexpr std::string_view additionalDataInformationInvalidLength = "45";
inline constexpr std::string_view additionalConsumerDataInvalidValue = "46";
inline constexpr std::string_view crcInvalidValue = "48";

/// Codes of the merchant account information templates (tags 26 to 51).
namespace merchantAccountInformationTemplate {
inline constexpr std::string_view missingUniqueIdentifier = "49";
inline constexpr std::string_view invalidLength = "50";
} // namespace merchantAccountInformationTemplate

/// Codes of the alternate-language template (tag 64).
namespace merchantLanguageInformationTemplate {
inline constexpr std::string_view missingLanguagePreferenceTag = "51";
inline constexpr std::string_view missingMerchantNameTag = "52";
inline constexpr std::string_view languagePreferenceInvalidTagLength = "53";
inline constexpr std::string_view merchantNameInvalidTagLength = "54";
inline constexpr std::string_view invalidLengthTag = "55";
} // namespace merchantLanguageInformationTemplate
} // namespace ZArodezErrorConstants

/// The catalogue of messages, one per code that has one (52 entries).
class ZArodezErrorConstantsMap {
public:
  /// The whole catalogue, code to message; built once, never changed.
  static const std::map<std::string, std::string, std::less<>>& errorDict();

  /// The message of `code`, or nothing for a code without one ("19", "33", "37", "40" or any other
  /// text). The view refers to the catalogue and stays valid for the life of the process.
  static std::optional<std::string_view> message(std::string_view code) noexcept;
};

} // namespace pavenda

#endif
