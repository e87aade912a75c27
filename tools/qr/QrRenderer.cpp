#include "qr/QrRenderer.h"

#include <memory>

#include <pavenda/Findings.h>

#include <png.h>
#include <qrencode.h>

namespace pavenda::qr {
namespace {

// The largest byte-mode payload of any version (40-L); longer text is refused before encoding.
constexpr std::size_t maxPayloadBytes = largestQrSymbolBytes(ErrorCorrection::L);

// The nominal size of an SVG module in pixels, for viewers that honour width and height.
constexpr int svgPixelsPerModule = 8;

QRecLevel toLevel(Ecc ecc) noexcept {
  switch (ecc) {
  case Ecc::L:
    return QR_ECLEVEL_L;
  case Ecc::M:
    return QR_ECLEVEL_M;
  case Ecc::Q:
    return QR_ECLEVEL_Q;
  case Ecc::H:
    return QR_ECLEVEL_H;
  }
  return QR_ECLEVEL_M;
}

struct QRcodeDeleter {
  void operator()(QRcode* code) const noexcept { QRcode_free(code); }
};

} // namespace

std::optional<Ecc> parseEcc(std::string_view name) noexcept {
  if (name.size() != 1)
    return std::nullopt;
  switch (name.front()) {
  case 'L':
  case 'l':
    return Ecc::L;
  case 'M':
  case 'm':
    return Ecc::M;
  case 'Q':
  case 'q':
    return Ecc::Q;
  case 'H':
  case 'h':
    return Ecc::H;
  default:
    return std::nullopt;
  }
}

std::optional<Matrix> Matrix::fromModules(int size, std::vector<bool> dark) {
  if (size < 1 || dark.size() != static_cast<std::size_t>(size) * static_cast<std::size_t>(size))
    return std::nullopt;
  return Matrix(size, std::move(dark));
}

std::optional<Matrix> encode(std::string_view payload, Ecc ecc) {
  if (payload.empty() || payload.size() > maxPayloadBytes)
    return std::nullopt;
  // Version 0 lets libqrencode pick the smallest version; byte mode keeps UTF-8 exactly as given.
  const std::unique_ptr<QRcode, QRcodeDeleter> code(
      QRcode_encodeData(static_cast<int>(payload.size()),
                        reinterpret_cast<const unsigned char*>(payload.data()), 0, toLevel(ecc)));
  if (!code || code->width < 1)
    return std::nullopt;
  const auto width = static_cast<std::size_t>(code->width);
  std::vector<bool> dark(width * width);
  for (std::size_t i = 0; i < dark.size(); ++i)
    dark[i] = (code->data[i] & 1) != 0; // the other bits describe the module's role
  return Matrix::fromModules(code->width, std::move(dark));
}

std::string toSvg(const Matrix& matrix, int quietZone) {
  const int margin = quietZone < 0 ? 0 : quietZone;
  const int side = matrix.size() + 2 * margin;
  const std::string extent = std::to_string(side);
  const std::string pixels = std::to_string(side * svgPixelsPerModule);
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" viewBox=\"0 0 " +
                    extent + ' ' + extent + "\" width=\"" + pixels + "\" height=\"" + pixels +
                    "\" shape-rendering=\"crispEdges\">\n"
                    "<rect width=\"" +
                    extent + "\" height=\"" + extent +
                    "\" fill=\"#ffffff\" stroke=\"none\"/>\n"
                    "<path fill=\"#000000\" stroke=\"none\" d=\"";
  // One closed rectangle per horizontal run of dark modules keeps the path short.
  for (int y = 0; y < matrix.size(); ++y) {
    for (int x = 0; x < matrix.size();) {
      if (!matrix.dark(x, y)) {
        ++x;
        continue;
      }
      int run = 1;
      while (matrix.dark(x + run, y))
        ++run;
      const std::string length = std::to_string(run);
      svg += 'M' + std::to_string(x + margin) + ' ' + std::to_string(y + margin) + 'h' + length +
             "v1h-" + length + 'z';
      x += run;
    }
  }
  svg += "\"/>\n</svg>\n";
  return svg;
}

std::optional<std::string> toPng(const Matrix& matrix, int scale, std::string* error) {
  if (scale < 1 || scale > maxPngScale) {
    if (error)
      *error = "scale must be from 1 to " + std::to_string(maxPngScale) + " pixels per module";
    return std::nullopt;
  }
  const int side = (matrix.size() + 2 * quietZoneModules) * scale;
  const auto stride = static_cast<std::size_t>(side);
  std::vector<png_byte> pixels(stride * stride, 0xFF);
  for (int y = 0; y < side; ++y) {
    const int row = y / scale - quietZoneModules;
    for (int x = 0; x < side; ++x) {
      if (matrix.dark(x / scale - quietZoneModules, row))
        pixels[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x)] = 0x00;
    }
  }
  // The simplified interface reports failures through its result, without longjmp across C++
  // frames. The first call measures, the second fills.
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(side);
  image.height = static_cast<png_uint_32>(side);
  image.format = PNG_FORMAT_GRAY;
  png_alloc_size_t size = 0;
  std::string bytes;
  bool written = png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(),
                                           static_cast<png_int_32>(stride), nullptr) != 0;
  if (written) {
    bytes.resize(size);
    written = png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels.data(),
                                        static_cast<png_int_32>(stride), nullptr) != 0;
    bytes.resize(size);
  }
  if (!written && error)
    *error = image.message;
  png_image_free(&image);
  if (!written)
    return std::nullopt;
  return bytes;
}

std::string toTerminal(const Matrix& matrix, bool forceColours) {
  static constexpr std::string_view upperHalf = "\u2580";
  static constexpr std::string_view lowerHalf = "\u2584";
  static constexpr std::string_view fullBlock = "\u2588";
  static constexpr std::string_view blackOnWhite = "\x1b[30;107m";
  static constexpr std::string_view reset = "\x1b[0m";

  const int first = -quietZoneModules;
  const int last = matrix.size() + quietZoneModules; // one past the final row and column
  std::string text;
  for (int y = first; y < last; y += 2) {
    if (forceColours)
      text += blackOnWhite;
    for (int x = first; x < last; ++x) {
      // With an odd row count the last line's lower half lies past the zone: light, like it.
      const bool top = matrix.dark(x, y);
      const bool bottom = matrix.dark(x, y + 1);
      if (top && bottom)
        text += fullBlock;
      else if (top)
        text += upperHalf;
      else if (bottom)
        text += lowerHalf;
      else
        text += ' ';
    }
    // Resetting before the newline keeps the background from bleeding into the rest of the line.
    if (forceColours)
      text += reset;
    text += '\n';
  }
  return text;
}

} // namespace pavenda::qr
