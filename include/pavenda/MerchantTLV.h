#ifndef PAVENDA_MERCHANTTLV_H
#define PAVENDA_MERCHANTTLV_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include <pavenda/TextMap.h>

namespace pavenda {

/// One decoded payload: one property per field, every one absent until its tag is decoded.
///
/// Texts and maps are optional: absent (the tag did not occur) and empty (it occurred with an empty
/// value) are different states. The record checks nothing; it is a plain holder that the decoder
/// fills and the validator reads. Each property has a getter named as the property and a setter
/// named "set" plus the capitalised name (`merchantName()`, `setMerchantName()`); passing nothing
/// clears it.
class ZARODEZMerchantTLV {
public:
  /// The text properties, in declaration order.
  enum class TextProperty : std::uint8_t {
#define PAVENDA_TEXT_PROPERTY(name, Name) name,
#define PAVENDA_MAP_PROPERTY(name, Name)
#include <pavenda/MerchantTLVProperties.def>
  };

  /// The map properties, in declaration order.
  enum class MapProperty : std::uint8_t {
#define PAVENDA_TEXT_PROPERTY(name, Name)
#define PAVENDA_MAP_PROPERTY(name, Name) name,
#include <pavenda/MerchantTLVProperties.def>
  };

  /// How many text and map properties the record has, counted from their list.
  static constexpr std::size_t textPropertyCount = 0
#define PAVENDA_TEXT_PROPERTY(name, Name) +1
#define PAVENDA_MAP_PROPERTY(name, Name)
#include <pavenda/MerchantTLVProperties.def>
      ;
  static constexpr std::size_t mapPropertyCount = 0
#define PAVENDA_TEXT_PROPERTY(name, Name)
#define PAVENDA_MAP_PROPERTY(name, Name) +1
#include <pavenda/MerchantTLVProperties.def>
      ;

  /// A value read or written by name: nothing (absent, or clear on write), the flag, a text or a
  /// map.
  using PropertyValue = std::variant<std::monostate, bool, std::string, TextMap>;

  /// A record with `isTipAvailable` false and every other property absent.
  ZARODEZMerchantTLV() = default;
  ZARODEZMerchantTLV(const ZARODEZMerchantTLV&) = default;
  ZARODEZMerchantTLV& operator=(const ZARODEZMerchantTLV&) = default;
  ZARODEZMerchantTLV(ZARODEZMerchantTLV&&) = default;
  ZARODEZMerchantTLV& operator=(ZARODEZMerchantTLV&&) = default;
  /// Virtual: the decoding record derives from this one and may be deleted through it.
  virtual ~ZARODEZMerchantTLV() = default;

  /// Whether a tip-and-fee indicator of "01", "02" or "03" was decoded. Only decoding derives it;
  /// `setTipAndFeeIndicator` leaves it alone.
  bool isTipAvailable() const noexcept {
    return isTipAvailable_;
  }
  void setIsTipAvailable(bool value) noexcept {
    isTipAvailable_ = value;
  }

#define PAVENDA_TEXT_PROPERTY(name, Name)                                                          \
  const std::optional<std::string>& name() const noexcept {                                        \
    return text(TextProperty::name);                                                               \
  }                                                                                                \
  void set##Name(std::optional<std::string> value) {                                               \
    setText(TextProperty::name, std::move(value));                                                 \
  }
#define PAVENDA_MAP_PROPERTY(name, Name)                                                           \
  const std::optional<TextMap>& name() const noexcept {                                            \
    return map(MapProperty::name);                                                                 \
  }                                                                                                \
  void set##Name(std::optional<TextMap> value) {                                                   \
    setMap(MapProperty::name, std::move(value));                                                   \
  }
#include <pavenda/MerchantTLVProperties.def>

  /// A text property by its enumerator.
  const std::optional<std::string>& text(TextProperty property) const noexcept {
    return texts_[static_cast<std::size_t>(property)];
  }
  void setText(TextProperty property, std::optional<std::string> value) {
    texts_[static_cast<std::size_t>(property)] = std::move(value);
  }

  /// A map property by its enumerator.
  const std::optional<TextMap>& map(MapProperty property) const noexcept {
    return maps_[static_cast<std::size_t>(property)];
  }
  void setMap(MapProperty property, std::optional<TextMap> value) {
    maps_[static_cast<std::size_t>(property)] = std::move(value);
  }

  /// Sets the property named `key` (`merchantName`, `tag26`, `isTipAvailable`) to `value`: a text
  /// for a text property, a map for a map property, a Boolean for the flag, nothing to clear a text
  /// or map. An unknown name or a value of the wrong kind leaves the record unchanged and answers
  /// false.
  bool setProperty(std::string_view key, PropertyValue value);

  /// The value of the property named `key`, or nothing when it is absent or there is no such
  /// property.
  PropertyValue valueForKey(std::string_view key) const;

  /// Whether `key` names a property (a text or map property, or `isTipAvailable`).
  static bool isPropertyName(std::string_view key) noexcept;

  friend bool operator==(const ZARODEZMerchantTLV&, const ZARODEZMerchantTLV&) = default;

protected:
  /// Stores a copy of `value` in a text property, the way decoding fills the record: straight into
  /// its place, without an intermediate text.
  void storeText(TextProperty property, std::string_view value) {
    texts_[static_cast<std::size_t>(property)].emplace(value);
  }

private:
  bool isTipAvailable_ = false;
  std::array<std::optional<std::string>, textPropertyCount> texts_{};
  std::array<std::optional<TextMap>, mapPropertyCount> maps_{};
};

} // namespace pavenda

#endif
