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

// The checked pixel count of a `width` by `height` picture, or nothing when it is empty or too big.
std::optional<std::size_t> pixelCount(std::size_t width, std::size_t height) {
  if (width == 0 || height == 0 || width > maxImagePixels / height)
    return std::nullopt;
  return width * height;
}

std::string sizeRefused(std::size_t width, std::size_t height) {
  return "the picture is " + std::to_string(width) + " by " + std::to_string(height) +
         " pixels; at most " + std::to_string(maxImagePixels) + " pixels are read";
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
std::optional<GreyImage> decodePng(std::string_view bytes, std::string* error) {
  PngReader reader;
  png_image& image = reader.image;
  if (png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()) == 0)
    return failed(error, std::string("unreadable PNG: ") + image.message);
  const std::optional<std::size_t> count = pixelCount(image.width, image.height);
  if (!count)
    return failed(error, sizeRefused(image.width, image.height));
  image.format = PNG_FORMAT_GRAY;
  GreyImage grey{static_cast<int>(image.width), static_cast<int>(image.height),
                 std::vector<std::uint8_t>(*count)};
  png_color white{0xFF, 0xFF, 0xFF};
  if (png_image_finish_read(&image, &white, grey.pixels.data(), 0, nullptr) == 0)
    return failed(error, std::string("unreadable PNG: ") + image.message);
  return grey;
}

// libjpeg reports errors by calling back; the only way back out of it is longjmp, taken to the
// one frame that owns every object (`decodeJpeg`), so no C++ destructor is skipped.
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

std::optional<GreyImage> decodeJpeg(std::string_view bytes, std::string* error) {
  JpegReader reader;
  GreyImage grey;
  jpeg_decompress_struct& info = reader.info;
  if (setjmp(reader.failure.back) != 0)
    return failed(error, std::string("unreadable JPEG: ") + reader.failure.message);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  const std::optional<std::size_t> count = pixelCount(info.image_width, info.image_height);
  if (!count)
    return failed(error, sizeRefused(info.image_width, info.image_height));
  info.out_color_space = JCS_GRAYSCALE;
  jpeg_start_decompress(&info);
  grey.width = static_cast<int>(info.output_width);
  grey.height = static_cast<int>(info.output_height);
  grey.pixels.resize(*count);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = grey.pixels.data() + std::size_t{info.output_scanline} * info.output_width;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  return grey;
}

} // namespace

std::optional<GreyImage> decodeImage(std::string_view bytes, std::string* error) {
  if (bytes.starts_with(pngSignature))
    return decodePng(bytes, error);
  if (bytes.starts_with(jpegSignature))
    return decodeJpeg(bytes, error);
  return failed(error, bytes.empty() ? "empty file, not a PNG or JPEG picture"
                                     : "not a PNG or JPEG picture");
}

std::vector<std::string> readQrCodes(const GreyImage& image) {
  ZXing::DecodeHints hints;
  hints.setFormats(ZXing::BarcodeFormat::QRCode)
      .setTryHarder(true)
      .setTryRotate(true)
      .setTryDownscale(true);
  const ZXing::ImageView view(image.pixels.data(), image.width, image.height,
                              ZXing::ImageFormat::Lum);
  const ZXing::Results results = ZXing::ReadBarcodes(view, hints);

  struct Found {
    ZXing::PointI centre;
    std::string payload;
  };
  std::vector<Found> found;
  found.reserve(results.size());
  for (const ZXing::Result& result : results) {
    if (!result.isValid())
      continue;
    const ZXing::ByteArray& bytes = result.bytes();
    found.push_back({ZXing::Center(result.position()),
                     result.hasECI() ? result.text() : std::string(bytes.begin(), bytes.end())});
  }
  std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    return std::tie(a.centre.y, a.centre.x) < std::tie(b.centre.y, b.centre.x);
  });
  std::vector<std::string> payloads;
  payloads.reserve(found.size());
  for (Found& f : found)
    payloads.push_back(std::move(f.payload));
  return payloads;
}

} // namespace pavenda::qr
