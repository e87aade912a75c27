#ifndef PAVENDA_ENCODING_TLVENCODER_H
#define PAVENDA_ENCODING_TLVENCODER_H

#include <cstdint>
#include <string>

#include <pavenda/FieldDictionary.h>

#include "support/SmallVector.h"

namespace pavenda::encoding {

/// Where the encoder put one data object in its output, as byte offsets. A template written from a
/// nested map is followed by its sub-fields at depth 1; a template given as ready-made text has
/// none.
struct WrittenObject {
  std::uint32_t tagBegin;
  std::uint32_t valueBegin;
  std::uint32_t valueEnd;
  std::uint8_t depth;
  bool hasWrittenChildren;

  friend bool operator==(const WrittenObject&, const WrittenObject&) = default;
};

/// The record of an encoding; the objects of a usual payload fit inside it, so that recording them
/// on the stack spares the heap.
using WrittenObjects = SmallVector<WrittenObject, 64>;

/// The payload text of `dictionary` (see `TLVGenerator::encodeDictToTLV`), recording every data
/// object it writes, the closing CRC included, in `written` when that is not null (whatever it held
/// before is replaced).
std::string encode(const FieldDictionary& dictionary, WrittenObjects* written);

} // namespace pavenda::encoding

#endif
