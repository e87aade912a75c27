#ifndef PAVENDA_TLVGENERATOR_H
#define PAVENDA_TLVGENERATOR_H

#include <string>
#include <string_view>
#include <vector>

#include <pavenda/FieldDictionary.h>

namespace pavenda {

/// Encoding of a field dictionary and validation of a payload text. Stateless.
class TLVGenerator {
public:
  /// The payload text of `qrCodeDictionary` in the two-digit scheme: the payload format indicator
  /// first, every other field in the dictionary's order (templates with their sub-fields nested),
  /// and "6304" with the CRC last. Keys given as tag numbers are read as their field keys. Checks
  /// nothing and never fails: what it writes is judged by validation. The dictionary is only read.
  /// Throws `std::bad_alloc` when memory runs out, nothing else.
  static std::string encodeDictToTLV(const FieldDictionary& qrCodeDictionary);

  /// The error codes of a payload text, empty when it is valid. A text that does not decode (or is
  /// not valid UTF-8) gives the single code "0". Either scheme is accepted: a text starting with
  /// "00" is read in the two-digit scheme and has its CRC checked, any other in the
  /// single-character one. Throws `std::bad_alloc` when memory runs out, nothing else. Safe to
  /// call from several threads at once.
  static std::vector<std::string> tlvValidation(std::string_view tlvString);
};

} // namespace pavenda

#endif
