#ifndef PAVENDA_PAYMERCHANTTLV_H
#define PAVENDA_PAYMERCHANTTLV_H

#include <optional>
#include <string_view>

#include <pavenda/MerchantTLV.h>
#include <pavenda/TextMap.h>

namespace pavenda {

/// Why a payload did not decode.
enum class TLVDecodingError {
  invalidLength =
      0, ///< too short to hold an element (and any cut-short element, as `decodeTLV` reports it)
  invalidTagLength =
      1, ///< a tag, length or value runs past its enclosing text, or a length is not a number
  repeatedTag = 2, ///< a tag occurs twice at one level
  invalidTag = 3,  ///< an element was refused, or a two-digit payload does not end with tag 63
};

/// The case name of `error` as written in the enumeration, for example "invalidTag"; a static text,
/// valid for the life of the process. A value outside the four cases gives "unknown".
std::string_view toString(TLVDecodingError error) noexcept;

/// The twelve tags of the single-character scheme; each raw value is the tag character ("0" to "9",
/// then "A" and "B"), and each case names the field that the tag holds. Decoding reads a tag after
/// upper-casing it.
enum class PayMerchantValidTLV00 : char {
  MerchantID = '0',
  MerchantName = '1',
  MerchantCategoryCode = '2',
  CityName = '3',
  CountryCode = '4',
  CurrencyCode = '5',
  TransactionAmount = '6',
  PrimaryID = '7',
  SecondaryID = '8',
  TipAndFeeIndicator = '9',
  ConvenienceFeeAmount = 'A',
  ConvenienceFeePercentage = 'B',
};

/// The case whose raw value is exactly `rawValue` (case-sensitive), or nothing.
std::optional<PayMerchantValidTLV00> payMerchantValidTLV00(std::string_view rawValue) noexcept;

/// The record the decoder fills: a `ZARODEZMerchantTLV` with the decoder and the operations through
/// which it stores each decoded element.
class ZArodezPayMerchantTLV : public ZARODEZMerchantTLV {
public:
  ZArodezPayMerchantTLV() = default;
  ZArodezPayMerchantTLV(const ZArodezPayMerchantTLV&) = default;
  ZArodezPayMerchantTLV& operator=(const ZArodezPayMerchantTLV&) = default;
  ZArodezPayMerchantTLV(ZArodezPayMerchantTLV&&) = default;
  ZArodezPayMerchantTLV& operator=(ZArodezPayMerchantTLV&&) = default;
  ~ZArodezPayMerchantTLV() override = default;

  /// Decodes `payload` into this record: the two-digit scheme when it starts with "00", the
  /// single-character scheme otherwise. Answers nothing on success, or the error that stopped it
  /// (the record then keeps what was stored before). Positions and lengths count user-perceived
  /// characters; text that is not valid UTF-8 fails with `invalidLength`.
  std::optional<TLVDecodingError> decodeTLV(std::string_view payload);

  /// Stores one single-character-scheme element; false (record unchanged) for a tag outside
  /// `PayMerchantValidTLV00` after upper-casing. `length` is not used: the value is already cut.
  virtual bool assignTLV00(std::string_view tag, int length, std::string_view value);

  /// Stores one two-digit-scheme element, a sub-field of tag 62 (with `subtag`) or a whole template
  /// (with `valueDictionary`); false (record unchanged) when the element is not accepted.
  virtual bool assignTLV01(std::string_view tag, std::optional<std::string_view> subtag, int length,
                           std::string_view value, std::optional<TextMap> valueDictionary);
};

} // namespace pavenda

#endif
