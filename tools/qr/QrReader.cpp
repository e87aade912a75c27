#include "qr/QrReader.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio> // jpeglib.h uses FILE without declaring it
#include <tuple>

#include <jpeglib.h>
#include <png.h>

#include <ZXing/ReadBarcode.h>

namespace pavenda::qr {
namespace {

constexpr std::string_view pngSignature = "\x89PNG\r\n\x1a\n";
constexpr std::string_view jpegSignature = "\xFF\xD8\xFF";

std::optional<GreyImage> failed(std::string* error, std::string reason) {
  if (error)
    *error = std::move(reason);
  return std::nullopt;
}

// The checked pixel count of a `width` by `height` picture, or nothing when it is empty or has more
// than `maxPixels` pixels.
std::optional<std::size_t> pixelCount(std::size_t width, std::size_t height,
                                      std::size_t maxPixels) {
  if (width == 0 || height == 0 || width > maxPixels / height)
    return std::nullopt;
  return width * height;
}

std::string sizeRefused(std::size_t width, std::size_t height, std::size_t maxPixels) {
  return "the picture is " + std::to_string(width) + " by " + std::to_string(height) +
         " pixels; at most " + std::to_string(maxPixels) + " pixels are read (--max-pixels)";
}

// Frees what the simplified reader holds on every way out.
struct PngReader {
  png_image image{};
  PngReader() { image.version = PNG_IMAGE_VERSION; }
  PngReader(const PngReader&) = delete;
  PngReader& operator=(const PngReader&) = delete;
  ~PngReader() { png_image_free(&image); }
};

// libpng's simplified interface reports failures through its result, without longjmp across
// C++ frames.
std::optional<GreyImage> decodePng(std::string_view bytes, std::size_t maxPixels,
                                   std::string* error) {
  PngReader reader;
  png_image& image = reader.image;
  if (png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()) == 0)
    return failed(error, std::string("unreadable PNG: ") + image.message);
  const std::optional<std::size_t> count = pixelCount(image.width, image.height, maxPixels);
  if (!count)
    return failed(error, sizeRefused(image.width, image.height, maxPixels));
  image.format = PNG_FORMAT_GRAY;
  GreyImage grey{static_cast<int>(image.width), static_cast<int>(image.height),
                 std::vector<std::uint8_t>(*count)};
  png_color white{0xFF, 0xFF, 0xFF};
  if (png_image_finish_read(&image, &white, grey.pixels.data(), 0, nullptr) == 0)
    return failed(error, std::string("unreadable PNG: ") + image.message);
  return grey;
}

// libjpeg reports errors by calling back; the only way back out of it is longjmp. Each step that
// calls the library has a frame of its own that sets the jump, holds no object with a destructor
// and reads nothing of its own after the jump, so that no C++ object lives across it.
struct JpegFailure {
  jpeg_error_mgr manager; // first, so that the library's pointer to it is one to this
  std::jmp_buf back;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void jpegFailed(j_common_ptr info) {
  auto* failure = reinterpret_cast<JpegFailure*>(info->err);
  info->err->format_message(info, failure->message);
  std::longjmp(failure->back, 1);
}

// Warnings mean damaged data (a truncated file above all), which the library would fill in with
// grey; a code read from an invented picture is no answer, so they end the read like errors.
void jpegMessage(j_common_ptr info, int level) {
  if (level < 0)
    jpegFailed(info);
}

struct JpegReader {
  jpeg_decompress_struct info{};
  JpegFailure failure{};
  JpegReader() {
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = jpegFailed;
    failure.manager.emit_message = jpegMessage;
  }
  JpegReader(const JpegReader&) = delete;
  JpegReader& operator=(const JpegReader&) = delete;
  ~JpegReader() { jpeg_destroy_decompress(&info); }
};

bool readJpegHeader(JpegReader& reader, const unsigned char* bytes, unsigned long size) {
  if (setjmp(reader.failure.back) != 0)
    return false;
  jpeg_create_decompress(&reader.info);
  jpeg_mem_src(&reader.info, bytes, size);
  jpeg_read_header(&reader.info, TRUE);
  return true;
}

// One row of CMYK samples in grey: ink absorbs light, so each channel's light is what its ink and
// the black ink let through. Adobe's files (nearly all CMYK JPEGs) store the samples inverted.
void inkToGrey(const JSAMPLE* cmyk, std::uint8_t* grey, std::size_t width, bool inverted) {
  for (std::size_t x = 0; x < width; ++x, cmyk += 4) {
    const auto light = [inverted](JSAMPLE sample) {
      return inverted ? unsigned{sample} : 255U - sample;
    };
    const unsigned k = light(cmyk[3]);
    const unsigned r = light(cmyk[0]) * k, g = light(cmyk[1]) * k, b = light(cmyk[2]) * k;
    grey[x] = static_cast<std::uint8_t>((77 * r + 150 * g + 29 * b) / (256 * 255));
  }
}

// Decodes the picture into `pixels` (`output_width` by `output_height`); a CMYK picture goes
// through `cmykRow`, room for one row of four samples a pixel, which is null otherwise.
bool readJpegPixels(JpegReader& reader, std::uint8_t* pixels, JSAMPLE* cmykRow) {
  if (setjmp(reader.failure.back) != 0)
    return false;
  jpeg_start_decompress(&reader.info);
  const std::size_t width = reader.info.output_width;
  while (reader.info.output_scanline < reader.info.output_height) {
    std::uint8_t* const grey = pixels + std::size_t{reader.info.output_scanline} * width;
    JSAMPROW row = cmykRow != nullptr ? cmykRow : grey;
    jpeg_read_scanlines(&reader.info, &row, 1);
    if (cmykRow != nullptr)
      inkToGrey(cmykRow, grey, width, reader.info.saw_Adobe_marker != 0);
  }
  jpeg_finish_decompress(&reader.info);
  return true;
}

std::optional<GreyImage> decodeJpeg(std::string_view bytes, std::size_t maxPixels,
                                    std::string* error) {
  JpegReader reader;
  jpeg_decompress_struct& info = reader.info;
  if (!readJpegHeader(reader, reinterpret_cast<const unsigned char*>(bytes.data()),
                      static_cast<unsigned long>(bytes.size())))
    return failed(error, std::string("unreadable JPEG: ") + reader.failure.message);
  const std::optional<std::size_t> count =
      pixelCount(info.image_width, info.image_height, maxPixels);
  if (!count)
    return failed(error, sizeRefused(info.image_width, info.image_height, maxPixels));
  // libjpeg turns any colour space into grey but CMYK, which is converted here row by row.
  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = cmyk ? JCS_CMYK : JCS_GRAYSCALE;
  GreyImage grey{static_cast<int>(info.image_width), static_cast<int>(info.image_height),
                 std::vector<std::uint8_t>(*count)};
  std::vector<JSAMPLE> cmykRow(cmyk ? std::size_t{4} * info.image_width : 0);
  if (!readJpegPixels(reader, grey.pixels.data(), cmyk ? cmykRow.data() : nullptr))
    return failed(error, std::string("unreadable JPEG: ") + reader.failure.message);
  return grey;
}

} // namespace

std::optional<GreyImage> decodeImage(std::string_view bytes, std::size_t maxPixels,
                                     std::string* error) {
  if (bytes.starts_with(pngSignature))
    return decodePng(bytes, maxPixels, error);
  if (bytes.starts_with(jpegSignature))
    return decodeJpeg(bytes, maxPixels, error);
  return failed(error, bytes.empty() ? "empty file, not a PNG or JPEG picture"
                                     : "not a PNG or JPEG picture");
}

std::vector<std::string> readQrCodes(GreyImage image) {
  ZXing::DecodeHints hints;
  hints.setFormats(ZXing::BarcodeFormat::QRCode)
      .setTryHarder(true)
      .setTryRotate(true)
      .setTryDownscale(true);
  const ZXing::ImageView view(image.pixels.data(), image.width, image.height,
                              ZXing::ImageFormat::Lum);
  ZXing::Results results = ZXing::ReadBarcodes(view, hints);
  // The reader looks for dark modules on light only; a light-on-dark code is read inverted, in a
  // quicker search (rarer pictures, and a photo without any code then costs half as much again
  // rather than twice).
  if (std::none_of(results.begin(), results.end(),
                   [](const ZXing::Result& result) { return result.isValid(); })) {
    for (std::uint8_t& pixel : image.pixels)
      pixel = static_cast<std::uint8_t>(255 - pixel);
    results = ZXing::ReadBarcodes(view, hints.setTryHarder(false));
  }

  struct Found {
    ZXing::PointI centre;
    int height;
    std::string payload;
  };
  std::vector<Found> found;
  found.reserve(results.size());
  for (const ZXing::Result& result : results) {
    if (!result.isValid())
      continue;
    const ZXing::Position& corners = result.position();
    const auto [top, bottom] = std::minmax_element(
        corners.begin(), corners.end(),
        [](const ZXing::PointI& a, const ZXing::PointI& b) { return a.y < b.y; });
    const ZXing::ByteArray& bytes = result.bytes();
    found.push_back({ZXing::Center(corners), bottom->y - top->y,
                     result.hasECI() ? result.text() : std::string(bytes.begin(), bytes.end())});
  }
  // Rows first: symbols side by side are never exactly level in a photo, so a symbol belongs to
  // the row of the one above it unless its centre is lower by half a symbol or more.
  std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    return std::tie(a.centre.y, a.centre.x) < std::tie(b.centre.y, b.centre.x);
  });
  for (auto row = found.begin(); row != found.end();) {
    auto next = row + 1;
    while (next != found.end() &&
           2 * (next->centre.y - row->centre.y) < std::min(row->height, next->height))
      ++next;
    std::sort(row, next, [](const Found& a, const Found& b) { return a.centre.x < b.centre.x; });
    row = next;
  }
  std::vector<std::string> payloads;
  payloads.reserve(found.size());
  for (Found& f : found)
    payloads.push_back(std::move(f.payload));
  return payloads;
}

} // namespace pavenda::qr
