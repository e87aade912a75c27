#ifndef PAVENDA_TOOLS_QR_QRREADER_H
#define PAVENDA_TOOLS_QR_QRREADER_H

// Reading payloads back from pictures: PNG or JPEG files decoded to grey, QR symbols found with
// ZXing-cpp. Kept out of the library so that it needs no image code.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pavenda::qr {

/// An 8-bit greyscale picture: `width` by `height` pixels (both at least 1 once decoded), row by
/// row from the top left, 0 black to 255 white.
struct GreyImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels; // width * height
};

/// The most pixels `decodeImage` accepts unless told otherwise: 50 million, above the 48 and 50
/// megapixel photos of today's phones. A picture's memory and the time to search it grow with its
/// pixels, and a small file can declare a huge picture, so the header is checked before any pixel
/// is decoded.
inline constexpr std::size_t defaultMaxPixels = 50'000'000;

/// The picture in `bytes`, a PNG or a JPEG file told apart by its signature, in grey; transparent
/// parts of a PNG lie over white, CMYK JPEGs are converted by their ink. Nothing when the bytes are
/// neither, are truncated or corrupt (a damaged JPEG is refused, not filled in), or their header
/// declares more than `maxPixels` pixels; then the reason is in `error` when it is not null.
std::optional<GreyImage> decodeImage(std::string_view bytes, std::size_t maxPixels,
                                     std::string* error = nullptr);

/// The payload of every QR symbol found in `image`, however turned, dark on light or light on dark,
/// in reading order: by rows, top to bottom, then left to right within a row, where a symbol whose
/// centre lies less than half a symbol's height below the row's first is in that row. Each payload
/// is the symbol's content byte for byte; only a symbol that declares its character set (an ECI) is
/// converted from it to UTF-8. Empty when no symbol can be read.
std::vector<std::string> readQrCodes(GreyImage image);

} // namespace pavenda::qr

#endif
