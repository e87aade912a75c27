#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <png.h>
#include <qrencode.h>
#if PAVENDA_HAVE_ZBAR
#include <zbar.h>
#endif

#include "qr/QrRenderer.h"

namespace pavenda::qr {
namespace {

// What libqrencode itself makes of the payload, independent of the code under test.
std::optional<Matrix> reference(std::string_view payload, Ecc ecc) {
  const QRecLevel levels[] = {QR_ECLEVEL_L, QR_ECLEVEL_M, QR_ECLEVEL_Q, QR_ECLEVEL_H};
  const QRecLevel level = levels[static_cast<int>(ecc)];
  std::unique_ptr<QRcode, void (*)(QRcode*)> code(
      QRcode_encodeData(static_cast<int>(payload.size()),
                        reinterpret_cast<const unsigned char*>(payload.data()), 0, level),
      QRcode_free);
  if (!code)
    return std::nullopt;
  std::vector<bool> dark;
  for (int i = 0; i < code->width * code->width; ++i)
    dark.push_back((code->data[i] & 1) != 0);
  return Matrix::fromModules(code->width, std::move(dark));
}

// The pixels of a PNG read back as 8-bit grey, its size in `image`; none when it does not read.
std::vector<unsigned char> readPng(const std::string& path, png_image& image) {
  image = png_image{};
  image.version = PNG_IMAGE_VERSION;
  std::vector<unsigned char> pixels;
  if (!png_image_begin_read_from_file(&image, path.c_str()))
    return pixels;
  image.format = PNG_FORMAT_GRAY;
  pixels.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
    png_image_free(&image);
    pixels.clear();
  }
  return pixels;
}

#if PAVENDA_HAVE_ZBAR
// Scans a grey picture with zbar's QR reader; the texts of all symbols found.
std::vector<std::string> scan(const png_image& grey, const std::vector<unsigned char>& pixels) {
  zbar::ImageScanner scanner;
  scanner.set_config(zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 0);
  scanner.set_config(zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_ENABLE, 1);
  zbar::Image image(grey.width, grey.height, "Y800", pixels.data(), pixels.size());
  std::vector<std::string> texts;
  if (scanner.scan(image) > 0)
    for (auto symbol = image.symbol_begin(); symbol != image.symbol_end(); ++symbol)
      texts.push_back(symbol->get_data());
  return texts;
}
#endif

struct RenderCase {
  const char* name;
  std::string payload;
  Ecc ecc;
  int scale;
};

void PrintTo(const RenderCase& c, std::ostream* os) {
  *os << c.name;
}

class QrRendering : public ::testing::TestWithParam<RenderCase> {};

// The symbol is libqrencode's, each module is a square of `scale` pixels inside the quiet zone,
// and a scanner reads the picture back as the payload.
TEST_P(QrRendering, PngShowsLibqrencodesSymbolAndScansBack) {
  const RenderCase& c = GetParam();
  const auto matrix = encode(c.payload, c.ecc);
  ASSERT_TRUE(matrix);
  EXPECT_TRUE(matrix == reference(c.payload, c.ecc)) << "not libqrencode's symbol";
  const std::string path = ::testing::TempDir() + "/pavenda-qr-" + c.name + ".png";
  std::string error;
  ASSERT_TRUE(writePng(*matrix, c.scale, path, &error)) << error;
  png_image image;
  const std::vector<unsigned char> pixels = readPng(path, image);
  std::remove(path.c_str());
  const int side = (matrix->size() + 2 * quietZoneModules) * c.scale;
  ASSERT_EQ(image.width, static_cast<unsigned>(side));
  ASSERT_EQ(image.height, static_cast<unsigned>(side));
  ASSERT_EQ(pixels.size(), static_cast<std::size_t>(side * side));
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x)
      ASSERT_EQ(pixels[static_cast<std::size_t>(y * side + x)],
                matrix->dark(x / c.scale - quietZoneModules, y / c.scale - quietZoneModules) ? 0x00
                                                                                             : 0xFF)
          << "pixel " << x << "," << y;
#if PAVENDA_HAVE_ZBAR
  EXPECT_EQ(scan(image, pixels), std::vector<std::string>{c.payload});
#else
  GTEST_SKIP() << "zbar is not installed: the picture was not scanned back";
#endif
}

INSTANTIATE_TEST_SUITE_P(
    Qr, QrRendering,
    ::testing::Values(
        RenderCase{"StaticPayloadLevelM",
                   "00020101021126280010in.example011040000000020002520458125303356"
                   "5802IN5911Corner Shop6006Mumbai63043D1E",
                   Ecc::M, 4},
        RenderCase{"DynamicPayloadLevelH", "0002010102125406199.505802IN6304ABCD", Ecc::H, 3},
        RenderCase{
            "CjkLanguageTemplateLevelL",
            "0002015802CN64200002ZH0110\u5317\u4eac\u70e4\u9e2d\u5e97\u8001\u5b57\u53f76304ABCD",
            Ecc::L, 5},
        RenderCase{"CjkLevelQScaleTwo", "\u4e2d\u6587\u5546\u6237 \u6f22\u5b57", Ecc::Q, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QrRenderer, RefusesEmptyAndOversizedPayloadsAndBadArguments) {
  EXPECT_FALSE(encode(""));
  EXPECT_TRUE(encode(std::string(2953, 'x'), Ecc::L)) << "the largest byte-mode symbol";
  EXPECT_FALSE(encode(std::string(2954, 'x'), Ecc::L));
  EXPECT_FALSE(encode(std::string(2400, 'x'), Ecc::H)) << "beyond level H's largest version";
  for (const auto& [name, ecc] :
       {std::pair{"L", Ecc::L}, {"m", Ecc::M}, {"Q", Ecc::Q}, {"h", Ecc::H}})
    EXPECT_EQ(parseEcc(name), ecc) << name;
  for (const char* name : {"", "MM", "X"})
    EXPECT_FALSE(parseEcc(name)) << name;
  EXPECT_FALSE(Matrix::fromModules(0, {}));
  EXPECT_FALSE(Matrix::fromModules(2, {true, false, true}));

  const auto matrix = encode("PAYLOAD");
  ASSERT_TRUE(matrix);
  std::string error;
  EXPECT_FALSE(writePng(*matrix, 0, ::testing::TempDir() + "/pavenda-qr-zero.png", &error));
  EXPECT_NE(error.find("scale"), std::string::npos);
  EXPECT_FALSE(writePng(*matrix, maxPngScale + 1, ::testing::TempDir() + "/pavenda-qr-big.png"));
  EXPECT_FALSE(writePng(*matrix, 2, "/nonexistent-directory/code.png", &error));
  EXPECT_NE(error.find("/nonexistent-directory/code.png"), std::string::npos) << error;
}

// Rows: dark, light, dark; dark, dark, light; all light. Not symmetric, so a swap of rows and
// columns shows.
const Matrix small =
    *Matrix::fromModules(3, {true, false, true, true, true, false, false, false, false});

TEST(QrRenderer, SvgDrawsEachRunOfDarkModulesInsideTheMargin) {
  EXPECT_EQ(toSvg(small, 1), R"(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" version="1.1" viewBox="0 0 5 5" width="40" height="40" shape-rendering="crispEdges">
<rect width="5" height="5" fill="#ffffff"/>
<path fill="#000000" d="M1 1h1v1h-1zM3 1h1v1h-1zM1 2h2v1h-2z"/>
</svg>
)");
  const std::string noMargin = toSvg(small, -1);
  EXPECT_NE(noMargin.find("viewBox=\"0 0 3 3\""), std::string::npos) << noMargin;
  EXPECT_NE(noMargin.find("d=\"M0 0h1v1h-1zM2 0h1v1h-1zM0 1h2v1h-2z\""), std::string::npos);
}

// Two module rows per line in half blocks, the quiet zone all round; with an odd side the last
// line's lower half is light. Colours wrap every line, reset before its newline.
TEST(QrRenderer, TerminalDrawsTwoModuleRowsPerLine) {
  const std::string blank(11, ' ');
  const std::vector<std::string> lines{blank, blank, "    \u2588\u2584\u2580    ",
                                       blank, blank, blank};
  std::string plain, coloured;
  for (const std::string& line : lines) {
    plain += line + "\n";
    coloured += "\x1b[30;107m" + line + "\x1b[0m\n";
  }
  EXPECT_EQ(toTerminal(small, false), plain);
  EXPECT_EQ(toTerminal(small), coloured);
}

} // namespace
} // namespace pavenda::qr
