#ifndef PAVENDA_DECODEDFIELDS_H
#define PAVENDA_DECODEDFIELDS_H

#include <string>

#include <pavenda/PayMerchantTLV.h>

namespace pavenda {

/// The fields of a decoded record as JSON: {"scheme":"TLV01"|"TLV00","fields":{...}}, the scheme
/// "TLV01" when the record holds a payload format indicator. "fields" holds "isTipAvailable"
/// always, then every present property under its name, in declaration order (texts as strings,
/// templates as objects of sub-tag to text). `indent` below 0 gives one line; 0 or more gives one
/// member per line, indented by that many blanks per level. Bytes that are not UTF-8 are written as
/// U+FFFD. Throws only std::bad_alloc.
std::string decodedFieldsJSON(const ZArodezPayMerchantTLV& record, int indent = -1);

} // namespace pavenda

#endif
