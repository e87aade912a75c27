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

/// The most pixels `decodeImage` accepts (about 268 million, far above any phone's photo), so that
/// a forged header cannot ask for unbounded memory.
inline constexpr std::size_t maxImagePixels = std::size_t{1} << 28;

/// The picture in `bytes`, a PNG or a JPEG file told apart by its signature, in grey; transparent
/// parts of a PNG lie over white. Nothing when the bytes are neither, are truncated or corrupt
/// (a damaged JPEG is refused, not filled in), or hold more than `maxImagePixels` pixels; then the
/// reason is in `error` when it is not null.
std::optional<GreyImage> decodeImage(std::string_view bytes, std::string* error = nullptr);

/// The payload of every QR symbol found in `image`, however turned, in reading order (by each
/// symbol's centre: top to bottom, then left to right). Each payload is the symbol's content byte
/// for byte; only a symbol that declares its character set (an ECI) is converted from it to UTF-8.
/// Empty when no symbol can be read.
std::vector<std::string> readQrCodes(const GreyImage& image);

} // namespace pavenda::qr

#endif
