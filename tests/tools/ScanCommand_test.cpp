#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numbers>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <nlohmann/json.hpp>
#include <png.h>
#include <qrencode.h>
#include <zlib.h>

#include "qr/QrReader.h"
#include "qr/QrRenderer.h"
#include "tools/CliRunner.h"

// Photo tests: the project's payloads are drawn as QR codes, then handled as a camera and a phone
// would (turned, shrunk, blurred, noisy, seen at an angle, saved as JPEG), and `pavenda scan` must
// give every payload back byte for byte. Every transform is deterministic.

namespace pavenda {
namespace {

using qr::GreyImage;
using testing_support::CliResult;
using testing_support::quoted;
using testing_support::runCli;
using testing_support::runShell;

GreyImage blank(int width, int height) {
  return {width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width * height), 0xFF)};
}

std::uint8_t& at(GreyImage& image, int x, int y) {
  return image.pixels[static_cast<std::size_t>(y * image.width + x)];
}

std::uint8_t at(const GreyImage& image, int x, int y) {
  return x < 0 || y < 0 || x >= image.width || y >= image.height
             ? 0xFF
             : image.pixels[static_cast<std::size_t>(y * image.width + x)];
}

// Drawn from the symbol's modules directly, so the picture does not depend on the reader.
GreyImage drawn(const std::string& payload, int scale) {
  const qr::Matrix matrix = qr::encode(payload, qr::Ecc::M).value();
  const int side = (matrix.size() + 2 * qr::quietZoneModules) * scale;
  GreyImage image = blank(side, side);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x)
      if (matrix.dark(x / scale - qr::quietZoneModules, y / scale - qr::quietZoneModules))
        at(image, x, y) = 0;
  return image;
}

struct Camera {
  double degrees = 0; // turn
  double scale = 1;   // output pixels per source pixel
  double tiltX = 0;   // perspective: how fast the picture shrinks towards the right
  double tiltY = 0;   // and towards the bottom
};

// `source` as a camera sees it, on a white square `side` pixels wide: each output pixel maps back
// through a projective transform and is sampled bilinearly.
GreyImage photographed(const GreyImage& source, int side, const Camera& camera) {
  GreyImage out = blank(side, side);
  const double turn = camera.degrees * std::numbers::pi / 180;
  const double c = std::cos(turn) / camera.scale, s = std::sin(turn) / camera.scale;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const double qx = x + 0.5 - side / 2.0, qy = y + 0.5 - side / 2.0;
      const double w = 1 + camera.tiltX * qx + camera.tiltY * qy;
      const double u = (c * qx + s * qy) / w + source.width / 2.0 - 0.5;
      const double v = (-s * qx + c * qy) / w + source.height / 2.0 - 0.5;
      const int u0 = static_cast<int>(std::floor(u)), v0 = static_cast<int>(std::floor(v));
      const double fu = u - u0, fv = v - v0;
      const double top = at(source, u0, v0) * (1 - fu) + at(source, u0 + 1, v0) * fu;
      const double bottom = at(source, u0, v0 + 1) * (1 - fu) + at(source, u0 + 1, v0 + 1) * fu;
      at(out, x, y) = static_cast<std::uint8_t>(std::lround(top * (1 - fv) + bottom * fv));
    }
  }
  return out;
}

// A box blur of `radius` pixels, across then down.
GreyImage blurred(GreyImage image, int radius) {
  for (const bool across : {true, false}) {
    const GreyImage source = image;
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x) {
        int sum = 0;
        for (int d = -radius; d <= radius; ++d)
          sum += across ? at(source, x + d, y) : at(source, x, y + d);
        at(image, x, y) = static_cast<std::uint8_t>(sum / (2 * radius + 1));
      }
  }
  return image;
}

// Uniform noise of up to `amplitude` grey levels; minstd_rand's sequence is fixed by the standard.
GreyImage noisy(GreyImage image, int amplitude) {
  std::minstd_rand random(12345);
  for (std::uint8_t& p : image.pixels) {
    const int noise = static_cast<int>(random() % static_cast<unsigned>(2 * amplitude + 1));
    p = static_cast<std::uint8_t>(std::clamp(p + noise - amplitude, 0, 255));
  }
  return image;
}

// `image` copied onto `canvas` with its top left at (`left`, `top`).
void paste(GreyImage& canvas, const GreyImage& image, int left, int top) {
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      at(canvas, left + x, top + y) = at(image, x, y);
}

// `image` as a JPEG of `components` samples a pixel in `space`, each row's samples made by `fill`.
std::string jpegOf(const GreyImage& image, int quality, int components, J_COLOR_SPACE space,
                   const std::function<void(const std::uint8_t* grey, JSAMPLE* row)>& fill) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(image.width);
  info.image_height = static_cast<JDIMENSION>(image.height);
  info.input_components = components;
  info.in_color_space = space;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(components) * info.image_width);
  while (info.next_scanline < info.image_height) {
    fill(image.pixels.data() + std::size_t{info.next_scanline} * info.image_width, row.data());
    JSAMPROW rows = row.data();
    jpeg_write_scanlines(&info, &rows, 1);
  }
  jpeg_finish_compress(&info);
  std::string bytes(reinterpret_cast<const char*>(buffer), size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return bytes;
}

std::string toJpeg(const GreyImage& image, int quality) {
  return jpegOf(image, quality, 1, JCS_GRAYSCALE, [&image](const std::uint8_t* grey, JSAMPLE* row) {
    std::copy_n(grey, image.width, row);
  });
}

// `image` as a CMYK JPEG the way Adobe's programs write one (samples inverted, an Adobe marker):
// dark as cyan and black ink, light as bare paper.
std::string toCmykJpeg(const GreyImage& image) {
  return jpegOf(image, 90, 4, JCS_CMYK, [&image](const std::uint8_t* grey, JSAMPLE* row) {
    for (int x = 0; x < image.width; ++x, row += 4) {
      const int ink = 255 - grey[x];
      row[0] = static_cast<JSAMPLE>(255 - ink * 200 / 255);
      row[1] = row[2] = 255;
      row[3] = static_cast<JSAMPLE>(255 - ink * 220 / 255);
    }
  });
}

std::string toPng(const GreyImage& image) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.width);
  png.height = static_cast<png_uint_32>(image.height);
  png.format = PNG_FORMAT_GRAY;
  png_alloc_size_t size = 0;
  EXPECT_NE(png_image_write_to_memory(&png, nullptr, &size, 0, image.pixels.data(), 0, nullptr), 0);
  std::string bytes(size, '\0');
  EXPECT_NE(
      png_image_write_to_memory(&png, bytes.data(), &size, 0, image.pixels.data(), 0, nullptr), 0);
  bytes.resize(size);
  return bytes;
}

// A folder of pictures for one test, removed with it.
class Pictures {
public:
  Pictures()
      : dir_(std::filesystem::temp_directory_path() /
             ("pavenda-scan-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    std::filesystem::create_directories(dir_);
  }
  ~Pictures() { std::filesystem::remove_all(dir_); }

  // The quoted path of a new file `name` holding `bytes`.
  std::string put(const std::string& name, const std::string& bytes) const {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
    return quoted((dir_ / name).string());
  }

  // The path of `name`, unquoted.
  std::string path(const std::string& name) const { return (dir_ / name).string(); }

private:
  std::filesystem::path dir_;
};

// The payloads of `scan --json`'s lines: "payload", or the bytes of "payloadHex".
std::vector<std::string> scannedPayloads(const CliResult& result) {
  std::vector<std::string> payloads;
  std::size_t start = 0;
  for (std::size_t end; (end = result.out.find('\n', start)) != std::string::npos;
       start = end + 1) {
    const auto verdict = nlohmann::json::parse(result.out.substr(start, end - start));
    if (verdict.contains("payload")) {
      payloads.push_back(verdict["payload"]);
      continue;
    }
    const std::string hex = verdict.at("payloadHex");
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
      bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    payloads.push_back(bytes);
  }
  return payloads;
}

// The project's example payloads (Chinese names among them) and bytes that are not UTF-8, which
// must come back as they are rather than be read as some other character set.
std::vector<std::string> projectPayloads() {
  std::vector<std::string> payloads;
  for (const char* example : {"merchant.json", "alternate-language.json", "dynamic-with-fee.json",
                              "static-merchant.json"}) {
    const CliResult generated =
        runCli("generate " + quoted(std::string(PAVENDA_SOURCE_DIR "/examples/") + example));
    EXPECT_EQ(generated.status, 0) << example << ": " << generated.err;
    payloads.push_back(generated.out.substr(0, generated.out.find('\n')));
  }
  payloads.push_back("000201\xE9\xE8\xFF\x01 caf\xC3\xA9");
  return payloads;
}

struct Photo {
  const char* name;
  std::function<std::string(const std::string& payload)> picture;
};

TEST(ScanCommand, PhotosGiveEveryPayloadBackByteForByte) {
  const std::vector<Photo> photos = {
      {"plain.png", [](const std::string& p) { return toPng(drawn(p, 4)); }},
      {"turned.jpg",
       [](const std::string& p) {
         return toJpeg(photographed(drawn(p, 6), 700, {.degrees = 23}), 85);
       }},
      {"upside-down.png",
       [](const std::string& p) {
         return toPng(photographed(drawn(p, 4), 400, {.degrees = 180}));
       }},
      {"shrunk.png",
       [](const std::string& p) {
         return toPng(photographed(blurred(drawn(p, 10), 2), 260, {.scale = 0.27}));
       }},
      {"blurred.png", [](const std::string& p) { return toPng(blurred(drawn(p, 6), 2)); }},
      {"noisy.jpg", [](const std::string& p) { return toJpeg(noisy(drawn(p, 5), 70), 90); }},
      {"slanted.png",
       [](const std::string& p) {
         return toPng(photographed(drawn(p, 5), 600, {.tiltX = 0.0007, .tiltY = 0.0004}));
       }},
      {"photo.jpg",
       [](const std::string& p) {
         const Camera camera{.degrees = -12, .scale = 0.6, .tiltX = 0.0009, .tiltY = -0.0005};
         return toJpeg(noisy(blurred(photographed(drawn(p, 8), 600, camera), 1), 40), 70);
       }},
  };
  const Pictures pictures;
  const std::vector<std::string> payloads = projectPayloads();
  for (const Photo& photo : photos) {
    for (std::size_t i = 0; i < payloads.size(); ++i) {
      const std::string path =
          pictures.put(std::to_string(i) + "-" + photo.name, photo.picture(payloads[i]));
      const CliResult result = runCli("scan --json " + path);
      EXPECT_EQ(scannedPayloads(result), std::vector<std::string>{payloads[i]})
          << photo.name << ", payload " << i << ": " << result.err;
      EXPECT_NE(result.status, 2) << photo.name << ", payload " << i << ": " << result.err;
    }
  }
}

// A code that declares its character set is read as that set and given back as UTF-8.
TEST(ScanCommand, DeclaredCharacterSetBecomesUtf8) {
  QRinput* input = QRinput_new2(0, QR_ECLEVEL_M);
  ASSERT_NE(input, nullptr);
  const std::string latin1 = "Caf\xE9 M\xFCnchen"; // ECI 3: ISO 8859-1
  QRinput_appendECIheader(input, 3);
  QRinput_append(input, QR_MODE_8, static_cast<int>(latin1.size()),
                 reinterpret_cast<const unsigned char*>(latin1.data()));
  QRcode* code = QRcode_encodeInput(input);
  QRinput_free(input);
  ASSERT_NE(code, nullptr);
  constexpr int scale = 4, margin = 4 * scale;
  GreyImage image = blank(code->width * scale + 2 * margin, code->width * scale + 2 * margin);
  for (int y = 0; y < code->width * scale; ++y)
    for (int x = 0; x < code->width * scale; ++x)
      if (code->data[(y / scale) * code->width + x / scale] & 1)
        at(image, margin + x, margin + y) = 0;
  QRcode_free(code);
  const Pictures pictures;
  const CliResult result = runCli("scan --json " + pictures.put("eci.png", toPng(image)));
  EXPECT_EQ(scannedPayloads(result), std::vector<std::string>{"Caf\xC3\xA9 M\xC3\xBCnchen"})
      << result.err;
}

TEST(ScanCommand, TwoCodesInOnePictureComeInReadingOrder) {
  const std::vector<std::string> payloads = projectPayloads();
  const GreyImage first = drawn(payloads[1], 4), second = drawn(payloads[0], 4);
  GreyImage canvas = blank(first.width + second.width + 40, first.height + second.height + 40);
  paste(canvas, first, 10, 10);
  paste(canvas, second, first.width + 30, first.height + 30);
  const Camera camera{.degrees = 8, .scale = 0.9, .tiltX = 0.0003};
  const GreyImage photo = noisy(photographed(canvas, canvas.width, camera), 30);
  const Pictures pictures;
  const CliResult result = runCli("scan --json " + pictures.put("two.jpg", toJpeg(photo, 80)));
  EXPECT_EQ(scannedPayloads(result), (std::vector<std::string>{payloads[1], payloads[0]}))
      << result.err;
}

TEST(ScanCommand, ExamplePhotoHoldsTheAlternateLanguagePayload) {
  const CliResult result =
      runCli("scan " + quoted(PAVENDA_SOURCE_DIR "/examples/sticker-photo.jpg"));
  EXPECT_EQ(result.out, "valid\t" + projectPayloads()[1] + "\n") << result.err;
  EXPECT_EQ(result.status, 0);
}

TEST(ScanCommand, VerdictsAreValidatesInEveryFormat) {
  const std::string valid = projectPayloads()[1];
  const std::string wrongCrc = valid.substr(0, valid.size() - 4) + "0000";
  const Pictures pictures;
  const std::string good = pictures.put("good.png", toPng(drawn(valid, 4)));
  const std::string bad = pictures.put("bad.png", toPng(drawn(wrongCrc, 4)));
  for (const std::string format : {"", " --explain"}) {
    const CliResult validGood = runCli("validate" + format + " " + quoted(valid));
    const CliResult validBad = runCli("validate" + format + " " + quoted(wrongCrc));
    EXPECT_EQ(runCli("scan" + format + " " + good).out, validGood.out) << format;
    // With several pictures each verdict starts with its file's name.
    const CliResult scanned = runCli("scan" + format + " " + good + " " + bad);
    EXPECT_EQ(scanned.out, pictures.path("good.png") + ": " + validGood.out +
                               pictures.path("bad.png") + ": " + validBad.out)
        << format;
    EXPECT_EQ(scanned.status, 1) << format;
  }
  for (const std::string format : {" --json", " --json --explain"}) {
    const CliResult scanned = runCli("scan" + format + " " + good + " " + bad);
    const std::vector<std::pair<std::string, std::string>> expected = {{"good.png", valid},
                                                                       {"bad.png", wrongCrc}};
    std::istringstream lines(scanned.out);
    for (const auto& [name, payload] : expected) {
      std::string line;
      ASSERT_TRUE(std::getline(lines, line)) << format;
      nlohmann::ordered_json verdict = nlohmann::ordered_json::parse(line);
      EXPECT_EQ(verdict.begin().key(), "file") << format;
      EXPECT_EQ(verdict["file"], pictures.path(name)) << format;
      verdict.erase("file");
      EXPECT_EQ(verdict.dump() + "\n", runCli("validate" + format + " " + quoted(payload)).out)
          << format;
    }
    EXPECT_EQ(scanned.status, 1) << format;
  }
  EXPECT_EQ(runCli("scan " + good).status, 0);
  EXPECT_EQ(runCli("scan -", toPng(drawn(valid, 4))).out, "valid\t" + valid + "\n")
      << "'-' reads standard input";
}

// Pictures are read several at a time; verdicts and errors still come in the order given.
TEST(ScanCommand, AnyNumberOfJobsKeepsTheOrderGiven) {
  const std::vector<std::string> payloads = projectPayloads();
  const Pictures pictures;
  const std::string broken = pictures.put("broken.png", "no picture");
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < payloads.size(); ++i) {
    paths.push_back(pictures.put(std::to_string(i) + ".png", toPng(drawn(payloads[i], 4))));
    if (i == 1)
      paths.push_back(broken);
  }
  std::string arguments;
  for (const std::string& path : paths)
    arguments.append(" ").append(path);
  for (const char* jobs : {"1", "2", "5"}) {
    std::string command = "scan --json --jobs ";
    command += jobs;
    command += arguments;
    const CliResult result = runCli(command);
    EXPECT_EQ(scannedPayloads(result), payloads) << jobs << " jobs";
    // `broken` is quoted for the shell.
    EXPECT_EQ(result.err,
              "pavenda: " + broken.substr(1, broken.size() - 2) + ": not a PNG or JPEG picture\n")
        << jobs << " jobs";
    EXPECT_EQ(result.status, 2) << jobs << " jobs";
  }
  EXPECT_EQ(runCli("scan --jobs 0" + arguments).status, 2) << "at least one job";
}

TEST(ScanCommand, UnreadablePicturesAreNamedWithTheReason) {
  const std::string payload = projectPayloads()[0];
  const std::string jpeg = toJpeg(drawn(payload, 4), 90);
  const std::string png = toPng(drawn(payload, 4));
  // A header claiming 65000 by 65000 pixels, over data for far fewer.
  std::string huge = jpeg;
  const std::size_t frame = huge.find("\xFF\xC0");
  ASSERT_NE(frame, std::string::npos);
  huge.replace(frame + 5, 4, "\xFD\xE8\xFD\xE8");
  struct Case {
    const char* name;
    std::string bytes;
    const char* reason;
  };
  const std::vector<Case> cases = {
      {"empty.png", toPng(noisy(blank(300, 200), 20)), "no QR code found"},
      {"cut.jpg", jpeg.substr(0, jpeg.size() / 2), "unreadable JPEG: Premature end of JPEG file"},
      {"cut.png", png.substr(0, png.size() / 2), "unreadable PNG: "},
      {"text.png", "000201 is no picture\n", "not a PNG or JPEG picture"},
      {"nothing.jpg", "", "empty file, not a PNG or JPEG picture"},
      {"huge.jpg", huge,
       "the picture is 65000 by 65000 pixels; at most 50000000 pixels are read (--max-pixels)"},
  };
  const Pictures pictures;
  const std::string good = pictures.put("good.jpg", jpeg);
  for (const Case& c : cases) {
    const std::string path = pictures.put(c.name, c.bytes);
    // The good picture after the bad one is still scanned; the run still fails.
    const CliResult result = runCli("scan " + path + " " + good);
    EXPECT_EQ(result.status, 2) << c.name;
    EXPECT_EQ(result.out, pictures.path("good.jpg") + ": valid\t" + payload + "\n") << c.name;
    EXPECT_NE(result.err.find(std::string(c.name) + ": " + c.reason), std::string::npos)
        << c.name << ": " << result.err;
  }
  EXPECT_EQ(runCli("scan").status, 2) << "at least one picture is required";
}

// Symbols side by side are read left to right even when the left one sits a little lower, as in
// any photo; a symbol clearly below them comes after both.
TEST(ScanCommand, CodesInARowAreReadLeftToRight) {
  const std::vector<std::string> payloads = projectPayloads();
  const GreyImage left = drawn(payloads[0], 4), right = drawn(payloads[2], 4),
                  below = drawn(payloads[3], 4);
  GreyImage canvas = blank(left.width + right.width + 60, left.height + below.height + 60);
  paste(canvas, left, 10, 13);
  paste(canvas, right, left.width + 40, 10);
  paste(canvas, below, 10, left.height + 40);
  const Pictures pictures;
  const CliResult result = runCli("scan --json " + pictures.put("row.png", toPng(canvas)));
  EXPECT_EQ(scannedPayloads(result),
            (std::vector<std::string>{payloads[0], payloads[2], payloads[3]}))
      << result.err;
}

TEST(ScanCommand, ReadsCmykAndLightOnDarkCodes) {
  const std::string payload = projectPayloads()[1];
  GreyImage inverted = drawn(payload, 5);
  for (std::uint8_t& pixel : inverted.pixels)
    pixel = static_cast<std::uint8_t>(255 - pixel);
  const Pictures pictures;
  for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
           {"cmyk.jpg", toCmykJpeg(photographed(drawn(payload, 5), 400, {.degrees = 10}))},
           {"light-on-dark.png", toPng(inverted)},
           {"light-on-dark.jpg", toJpeg(noisy(inverted, 20), 85)}}) {
    const CliResult result = runCli("scan " + pictures.put(name, bytes));
    EXPECT_EQ(result.out, "valid\t" + payload + "\n") << name << ": " << result.err;
    EXPECT_EQ(result.status, 0) << name;
  }
}

// `png` with the width and height in its header changed (and the header's CRC made right), over
// the pixel data it had.
std::string withDeclaredSize(std::string png, std::uint32_t width, std::uint32_t height) {
  for (int i = 0; i < 4; ++i) {
    png[16 + i] = static_cast<char>(width >> (24 - 8 * i));
    png[20 + i] = static_cast<char>(height >> (24 - 8 * i));
  }
  const auto crc = static_cast<std::uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17)); // chunk type and data
  for (int i = 0; i < 4; ++i)
    png[29 + i] = static_cast<char>(crc >> (24 - 8 * i));
  return png;
}

// One picture may cost only so many pixels and CPU seconds; past either it is refused with the
// limit and the option that raises it, and the next picture is still read.
TEST(ScanCommand, EachPictureHasAPixelAndTimeBudget) {
  const std::string payload = projectPayloads()[0];
  // A code tiled 20 by 20: thousands of finder patterns, each triple of them a candidate, keep the
  // search busy for minutes.
  const GreyImage code = drawn(payload, 1);
  GreyImage tiled = blank(code.width * 20, code.height * 20);
  for (int row = 0; row < 20; ++row)
    for (int column = 0; column < 20; ++column)
      paste(tiled, code, column * code.width, row * code.height);
  struct Case {
    const char* name;
    std::string bytes;
    const char* options;
    const char* reason;
  };
  const std::vector<Case> cases = {
      {"tiled.png", toPng(tiled), " --max-seconds 1",
       "took more than 1 s of CPU time (--max-seconds to allow more)"},
      {"wide.png", toPng(blank(300, 300)), " --max-pixels 70000",
       "the picture is 300 by 300 pixels; at most 70000 pixels are read (--max-pixels)"},
      // 55 KB would decode to 268 million pixels: refused from the header, before any is decoded.
      {"bomb.png", withDeclaredSize(toPng(blank(16, 16)), 16384, 16384), "",
       "the picture is 16384 by 16384 pixels; at most 50000000 pixels are read (--max-pixels)"},
  };
  const Pictures pictures;
  const std::string good = pictures.put("good.png", toPng(drawn(payload, 4)));
  for (const Case& c : cases) {
    const CliResult result = runCli(std::string("scan --jobs 2") + c.options + " " +
                                    pictures.put(c.name, c.bytes) + " " + good);
    EXPECT_EQ(result.err, "pavenda: " + pictures.path(c.name) + ": " + c.reason + "\n") << c.name;
    EXPECT_EQ(result.out, pictures.path("good.png") + ": valid\t" + payload + "\n") << c.name;
    EXPECT_EQ(result.status, 2) << c.name;
  }
  EXPECT_EQ(
      runCli("scan --max-pixels 90000 " + pictures.put("wide.png", toPng(blank(300, 300)))).err,
      "pavenda: " + pictures.path("wide.png") + ": no QR code found\n")
      << "--max-pixels raises the limit";
}

// Running out of memory on one picture is that picture's failure alone.
TEST(ScanCommand, OutOfMemoryEndsOnePicture) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "ulimit -v and AddressSanitizer do not mix";
#endif
  const std::string payload = projectPayloads()[0];
  GreyImage large = blank(7000, 7000);
  paste(large, drawn(payload, 8), 2000, 2000);
  const Pictures pictures;
  const std::string big = pictures.put("big.png", toPng(large));
  const std::string small = pictures.put("small.png", toPng(drawn(payload, 4)));
  const CliResult result =
      runShell("ulimit -v 100000; $PAVENDA scan --jobs 1 " + big + " " + small);
  EXPECT_EQ(result.err, "pavenda: " + pictures.path("big.png") + ": out of memory\n");
  EXPECT_EQ(result.out, pictures.path("small.png") + ": valid\t" + payload + "\n");
  EXPECT_EQ(result.status, 2);
}

} // namespace
} // namespace pavenda
