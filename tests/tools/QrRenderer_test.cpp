#include <gtest/gtest.h>

#include <memory>

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
  std::unique_ptr<QRcode, void (*)(QRcode*)> code(
      QRcode_encodeData(static_cast<int>(payload.size()),
                        reinterpret_cast<const unsigned char*>(payload.data()), 0,
                        static_cast<QRecLevel>(static_cast<int>(ecc))),
      QRcode_free);
  std::vector<bool> dark;
  for (int i = 0; code && i < code->width * code->width; ++i)
    dark.push_back((code->data[i] & 1) != 0);
  return code ? Matrix::fromModules(code->width, std::move(dark)) : std::nullopt;
}

struct RenderCase {
  const char* name;
  std::string payload;
  Ecc ecc;
  int scale;
  friend void PrintTo(const RenderCase& c, std::ostream* os) { *os << c.name; }
};

class QrRendering : public ::testing::TestWithParam<RenderCase> {};

// libqrencode's symbol, each module `scale` pixels square inside the quiet zone, scans back.
TEST_P(QrRendering, PngShowsLibqrencodesSymbolAndScansBack) {
  const RenderCase& c = GetParam();
  const auto matrix = encode(c.payload, c.ecc);
  ASSERT_TRUE(matrix && matrix == reference(c.payload, c.ecc)) << "not libqrencode's symbol";
  const std::optional<std::string> png = toPng(*matrix, c.scale);
  ASSERT_TRUE(png);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_memory(&image, png->data(), png->size())) << image.message;
  image.format = PNG_FORMAT_GRAY;
  std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) << image.message;
  const int side = (matrix->size() + 2 * quietZoneModules) * c.scale;
  ASSERT_EQ(std::pair(image.width, image.height), std::pair(unsigned(side), unsigned(side)));
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const int x = static_cast<int>(i) % side / c.scale - quietZoneModules;
    const int y = static_cast<int>(i) / side / c.scale - quietZoneModules;
    ASSERT_EQ(pixels[i], matrix->dark(x, y) ? 0x00 : 0xFF) << "module " << x << "," << y;
  }
#if PAVENDA_HAVE_ZBAR
  zbar::ImageScanner scanner;
  zbar::Image scanned(image.width, image.height, "Y800", pixels.data(), pixels.size());
  ASSERT_EQ(scanner.scan(scanned), 1) << "one symbol";
  EXPECT_EQ(scanned.symbol_begin()->get_data(), c.payload);
#else
  GTEST_SKIP() << "zbar is not installed: the picture was not scanned back";
#endif
}

INSTANTIATE_TEST_SUITE_P(
    Qr, QrRendering,
    ::testing::Values(
        RenderCase{"AsciiLevelM", "0002010102115802IN5911Corner Shop6006Mumbai6304ABCD", Ecc::M, 4},
        RenderCase{"CjkLevelH", "64200002ZH0110\u5317\u4eac\u70e4\u9e2d\u5e97\u8001\u5b57\u53f7",
                   Ecc::H, 3}),
    [](const auto& info) { return std::string(info.param.name); });

// Rows dark-light-dark, dark-dark-light, all light: not symmetric, so swapped axes show.
const Matrix small =
    *Matrix::fromModules(3, {true, false, true, true, true, false, false, false, false});

TEST(QrRenderer, RefusesEmptyAndOversizedPayloadsAndBadArguments) {
  EXPECT_TRUE(encode(std::string(2953, 'x'), Ecc::L)) << "the largest byte-mode symbol";
  EXPECT_FALSE(encode("") || encode(std::string(2954, 'x'), Ecc::L) ||
               encode(std::string(2400, 'x'), Ecc::H))
      << "empty, or beyond the largest version";
  EXPECT_TRUE(parseEcc("L") == Ecc::L && parseEcc("m") == Ecc::M && parseEcc("Q") == Ecc::Q &&
              parseEcc("h") == Ecc::H);
  EXPECT_FALSE(parseEcc("") || parseEcc("MM") || parseEcc("X"));
  EXPECT_FALSE(Matrix::fromModules(0, {}) || Matrix::fromModules(2, {true, false, true}));
  std::string error;
  EXPECT_FALSE(toPng(small, 0) || toPng(small, maxPngScale + 1, &error));
  EXPECT_NE(error.find("scale"), std::string::npos) << error;
}

// Without stroke="none" a renderer whose default stroke is not none (ImageMagick's own) widens
// every module.
TEST(QrRenderer, SvgDrawsEachRunOfDarkModulesInsideTheMargin) {
  EXPECT_EQ(toSvg(small, 1), R"(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" version="1.1" viewBox="0 0 5 5" width="40" height="40" shape-rendering="crispEdges">
<rect width="5" height="5" fill="#ffffff" stroke="none"/>
<path fill="#000000" stroke="none" d="M1 1h1v1h-1zM3 1h1v1h-1zM1 2h2v1h-2z"/>
</svg>
)");
  EXPECT_NE(toSvg(small, -1).find("viewBox=\"0 0 3 3\""), std::string::npos) << "no margin";
  EXPECT_NE(toSvg(small, -1).find("d=\"M0 0h1v1h-1zM2 0h1v1h-1zM0 1h2v1h-2z\""), std::string::npos);
}

// Two module rows per line in half blocks, the quiet zone all round; with an odd side the last
// line's lower half is light. Colours wrap every line, reset before its newline.
TEST(QrRenderer, TerminalDrawsTwoModuleRowsPerLine) {
  const std::string b(11, ' '), mid("    \u2588\u2584\u2580    ");
  std::string plain, coloured;
  for (const std::string& line : {b, b, mid, b, b, b}) {
    plain += line + "\n";
    coloured += "\x1b[30;107m" + line + "\x1b[0m\n";
  }
  EXPECT_EQ(toTerminal(small, false), plain);
  EXPECT_EQ(toTerminal(small), coloured);
}

} // namespace
} // namespace pavenda::qr
