#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <set>
#include <utility>

#include <png.h>
#include <qrencode.h>
#if PAVENDA_HAVE_ZBAR
#include <zbar.h>
#endif

#include "qr/QrRenderer.h"

namespace pavenda::qr {
namespace {

// What libqrencode itself makes of the payload, independent of the code under test.
std::vector<std::vector<bool>> referenceModules(std::string_view payload, QRecLevel level) {
  std::unique_ptr<QRcode, void (*)(QRcode *)> code(
      QRcode_encodeData(static_cast<int>(payload.size()),
                        reinterpret_cast<const unsigned char *>(payload.data()), 0, level),
      QRcode_free);
  if (!code)
    return {};
  std::vector<std::vector<bool>> rows(static_cast<std::size_t>(code->width));
  for (int y = 0; y < code->width; ++y)
    for (int x = 0; x < code->width; ++x)
      rows[static_cast<std::size_t>(y)].push_back((code->data[y * code->width + x] & 1) != 0);
  return rows;
}

// A PNG read back as 8-bit grey.
struct GreyImage {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> pixels;
};

std::optional<GreyImage> readPng(const std::string &path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str()))
    return std::nullopt;
  image.format = PNG_FORMAT_GRAY;
  GreyImage grey{static_cast<int>(image.width), static_cast<int>(image.height), {}};
  grey.pixels.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, grey.pixels.data(), 0, nullptr)) {
    png_image_free(&image);
    return std::nullopt;
  }
  return grey;
}

std::string tempPath(const std::string &extension) {
  const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "_" + info->name();
  for (char &c : name)
    if (c == '/')
      c = '_';
  return (std::filesystem::path(::testing::TempDir()) / (name + extension)).string();
}

struct RenderCase {
  const char *name;
  std::string payload;
  Ecc ecc;
  QRecLevel level;
  int scale;
};

void PrintTo(const RenderCase &c, std::ostream *os) {
  *os << c.name;
}

class QrRendering : public ::testing::TestWithParam<RenderCase> {};

TEST_P(QrRendering, MatrixIsLibqrencodesSymbol) {
  const auto matrix = encode(GetParam().payload, GetParam().ecc);
  ASSERT_TRUE(matrix);
  const auto reference = referenceModules(GetParam().payload, GetParam().level);
  ASSERT_EQ(matrix->size(), static_cast<int>(reference.size()));
  for (int y = 0; y < matrix->size(); ++y)
    for (int x = 0; x < matrix->size(); ++x)
      ASSERT_EQ(matrix->dark(x, y), reference[y][x]) << "module " << x << "," << y;
}

TEST_P(QrRendering, PngPixelsMatchEveryModuleAndQuietZone) {
  const auto matrix = encode(GetParam().payload, GetParam().ecc);
  ASSERT_TRUE(matrix);
  const auto reference = referenceModules(GetParam().payload, GetParam().level);
  const std::string path = tempPath(".png");
  std::string error;
  ASSERT_TRUE(writePng(*matrix, GetParam().scale, path, &error)) << error;

  const auto image = readPng(path);
  ASSERT_TRUE(image);
  const int scale = GetParam().scale;
  const int side = (static_cast<int>(reference.size()) + 2 * quietZoneModules) * scale;
  ASSERT_EQ(image->width, side);
  ASSERT_EQ(image->height, side);
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const int mx = x / scale - quietZoneModules;
      const int my = y / scale - quietZoneModules;
      const bool inside = mx >= 0 && my >= 0 && mx < static_cast<int>(reference.size()) &&
                          my < static_cast<int>(reference.size());
      const unsigned char expected = inside && reference[my][mx] ? 0x00 : 0xFF;
      ASSERT_EQ(image->pixels[static_cast<std::size_t>(y * side + x)], expected)
          << "pixel " << x << "," << y;
    }
  }
  std::remove(path.c_str());
}

#if PAVENDA_HAVE_ZBAR
using namespace zbar; // the C++ view of zbar.h puts its C API in this namespace

// Scans a grey picture with zbar's QR reader; the texts of all symbols found.
std::vector<std::string> scan(const GreyImage &image) {
  std::unique_ptr<zbar_image_scanner_t, void (*)(zbar_image_scanner_t *)> scanner(
      zbar_image_scanner_create(), zbar_image_scanner_destroy);
  zbar_image_scanner_set_config(scanner.get(), ZBAR_NONE, ZBAR_CFG_ENABLE, 0);
  zbar_image_scanner_set_config(scanner.get(), ZBAR_QRCODE, ZBAR_CFG_ENABLE, 1);
  std::unique_ptr<zbar_image_t, void (*)(zbar_image_t *)> picture(zbar_image_create(),
                                                                  zbar_image_destroy);
  zbar_image_set_format(picture.get(), zbar_fourcc('Y', '8', '0', '0'));
  zbar_image_set_size(picture.get(), static_cast<unsigned>(image.width),
                      static_cast<unsigned>(image.height));
  zbar_image_set_data(picture.get(), image.pixels.data(), image.pixels.size(), nullptr);
  std::vector<std::string> texts;
  if (zbar_scan_image(scanner.get(), picture.get()) <= 0)
    return texts;
  for (const zbar_symbol_t *symbol = zbar_image_first_symbol(picture.get()); symbol;
       symbol = zbar_symbol_next(symbol))
    texts.emplace_back(zbar_symbol_get_data(symbol), zbar_symbol_get_data_length(symbol));
  return texts;
}
#endif

TEST_P(QrRendering, ZbarScansThePngBackToThePayload) {
#if PAVENDA_HAVE_ZBAR
  const auto matrix = encode(GetParam().payload, GetParam().ecc);
  ASSERT_TRUE(matrix);
  const std::string path = tempPath(".png");
  ASSERT_TRUE(writePng(*matrix, GetParam().scale, path, nullptr));
  const auto image = readPng(path);
  ASSERT_TRUE(image);
  EXPECT_EQ(scan(*image), std::vector<std::string>{GetParam().payload});
  std::remove(path.c_str());
#else
  GTEST_SKIP() << "zbar is not installed";
#endif
}

INSTANTIATE_TEST_SUITE_P(
    Qr, QrRendering,
    ::testing::Values(
        RenderCase{
            "StaticPayloadLevelM",
            "00020101021126280010in.example0110400000000200025204581253033565802IN5911Corner "
            "Shop6006Mumbai63043D1E",
            Ecc::M, QR_ECLEVEL_M, 4},
        RenderCase{"DynamicPayloadLevelH",
                   "000201010212520458125303356540599.505502025605010.05802IN5911Corner "
                   "Shop6006Mumbai62080104123463041A2B",
                   Ecc::H, QR_ECLEVEL_H, 3},
        RenderCase{"CjkLanguageTemplateLevelL",
                   "00020101021152045812530335658"
                   "02CN5911Corner Shop6007Beijing64200002ZH0110\u5317\u4eac\u70e4\u9e2d"
                   "\u5e97\u8001\u5b57\u53f763041F2C",
                   Ecc::L, QR_ECLEVEL_L, 5},
        RenderCase{"CjkLevelQScaleOne", "\u4e2d\u6587\u5546\u6237\u540d\u79f0 \u6f22\u5b57", Ecc::Q,
                   QR_ECLEVEL_Q, 2}));

TEST(QrRenderer, SymbolGrowsWithPayloadAndLevel) {
  const auto small = encode("A", Ecc::L);
  const auto large = encode(std::string(200, 'A'), Ecc::L);
  const auto strong = encode(std::string(200, 'A'), Ecc::H);
  ASSERT_TRUE(small && large && strong);
  EXPECT_EQ(small->size(), 21);
  EXPECT_GT(large->size(), small->size());
  EXPECT_GT(strong->size(), large->size());
}

TEST(QrRenderer, RefusesEmptyAndOversizedPayloads) {
  EXPECT_FALSE(encode(""));
  EXPECT_FALSE(encode(std::string(2954, 'x'), Ecc::L));
  EXPECT_FALSE(encode(std::string(2400, 'x'), Ecc::H)) << "beyond level H's largest version";
  EXPECT_TRUE(encode(std::string(2953, 'x'), Ecc::L)) << "the largest byte-mode symbol";
}

TEST(QrRenderer, ParsesTheFourLevels) {
  EXPECT_EQ(parseEcc("L"), Ecc::L);
  EXPECT_EQ(parseEcc("m"), Ecc::M);
  EXPECT_EQ(parseEcc("Q"), Ecc::Q);
  EXPECT_EQ(parseEcc("h"), Ecc::H);
  EXPECT_FALSE(parseEcc(""));
  EXPECT_FALSE(parseEcc("MM"));
  EXPECT_FALSE(parseEcc("X"));
}

TEST(QrRenderer, MatrixNeedsASquareOfModules) {
  EXPECT_FALSE(Matrix::fromModules(0, {}));
  EXPECT_FALSE(Matrix::fromModules(2, {true, false, true}));
  const auto matrix = Matrix::fromModules(2, {true, false, false, true});
  ASSERT_TRUE(matrix);
  EXPECT_TRUE(matrix->dark(0, 0));
  EXPECT_FALSE(matrix->dark(1, 0));
  EXPECT_TRUE(matrix->dark(1, 1));
  EXPECT_FALSE(matrix->dark(-1, 0));
  EXPECT_FALSE(matrix->dark(2, 1));
}

TEST(QrRenderer, PngRejectsBadScaleAndUnwritablePath) {
  const auto matrix = encode("PAYLOAD");
  ASSERT_TRUE(matrix);
  std::string error;
  EXPECT_FALSE(writePng(*matrix, 0, tempPath(".png"), &error));
  EXPECT_NE(error.find("scale"), std::string::npos);
  EXPECT_FALSE(writePng(*matrix, maxPngScale + 1, tempPath(".png"), &error));
  error.clear();
  EXPECT_FALSE(writePng(*matrix, 2, "/nonexistent-directory/code.png", &error));
  EXPECT_NE(error.find("/nonexistent-directory/code.png"), std::string::npos) << error;
}

// Checks that every tag is closed in order and every attribute value is quoted: enough to tell a
// well-formed document from a broken one without an XML library. Answers the first problem.
std::optional<std::string> wellFormednessProblem(const std::string &xml) {
  static const std::regex tag(R"re(<(/?)([A-Za-z][\w:-]*)((?:\s+[\w:-]+="[^"<]*")*)\s*(/?)>)re");
  std::size_t position = 0;
  if (xml.rfind("<?xml ", 0) == 0)
    position = xml.find("?>") + 2;
  std::vector<std::string> open;
  int roots = 0;
  while ((position = xml.find('<', position)) != std::string::npos) {
    std::smatch match;
    const std::string rest = xml.substr(position);
    if (!std::regex_search(rest, match, tag, std::regex_constants::match_continuous))
      return "malformed tag at " + std::to_string(position);
    if (match[1].length() > 0) {
      if (open.empty() || open.back() != match[2])
        return "unbalanced </" + match[2].str() + ">";
      open.pop_back();
    } else {
      if (open.empty())
        ++roots;
      if (match[4].length() == 0)
        open.push_back(match[2]);
    }
    position += static_cast<std::size_t>(match.length(0));
  }
  if (!open.empty())
    return "unclosed <" + open.back() + ">";
  if (roots != 1)
    return "expected one root element, found " + std::to_string(roots);
  return std::nullopt;
}

TEST(QrRenderer, SvgIsWellFormedAndDrawsEveryDarkModule) {
  const std::string payload = "0002010102115802IN5911Corner Shop6006Mumbai6304ABCD";
  const auto matrix = encode(payload);
  ASSERT_TRUE(matrix);
  const std::string svg = toSvg(*matrix);
  EXPECT_EQ(wellFormednessProblem(svg), std::nullopt);
  EXPECT_NE(svg.find("shape-rendering=\"crispEdges\""), std::string::npos);

  const int side = matrix->size() + 2 * quietZoneModules;
  const std::string extent = std::to_string(side);
  EXPECT_NE(svg.find("viewBox=\"0 0 " + extent + ' ' + extent + '"'), std::string::npos);

  std::smatch path;
  ASSERT_TRUE(std::regex_search(svg, path, std::regex(R"re(<path [^>]*d="([^"]*)")re")));
  const std::string d = path[1];
  static const std::regex run(R"(M(\d+) (\d+)h(\d+)v1h-(\d+)z)");
  std::set<std::pair<int, int>> drawn;
  std::size_t covered = 0;
  for (auto it = std::sregex_iterator(d.begin(), d.end(), run); it != std::sregex_iterator();
       ++it) {
    const int x = std::stoi((*it)[1]);
    const int y = std::stoi((*it)[2]);
    const int width = std::stoi((*it)[3]);
    ASSERT_EQ(width, std::stoi((*it)[4])) << "each run must close on itself";
    for (int i = 0; i < width; ++i)
      EXPECT_TRUE(drawn.emplace(x + i - quietZoneModules, y - quietZoneModules).second)
          << "module drawn twice";
    covered += static_cast<std::size_t>(it->length(0));
  }
  EXPECT_EQ(covered, d.size()) << "the path holds only module runs";

  std::set<std::pair<int, int>> expected;
  for (int y = 0; y < matrix->size(); ++y)
    for (int x = 0; x < matrix->size(); ++x)
      if (matrix->dark(x, y))
        expected.emplace(x, y);
  EXPECT_EQ(drawn, expected);
}

TEST(QrRenderer, SvgMarginFollowsQuietZone) {
  const auto matrix = Matrix::fromModules(1, {true});
  ASSERT_TRUE(matrix);
  EXPECT_NE(toSvg(*matrix, 0).find("d=\"M0 0h1v1h-1z\""), std::string::npos);
  EXPECT_NE(toSvg(*matrix, 2).find("viewBox=\"0 0 5 5\""), std::string::npos);
  EXPECT_NE(toSvg(*matrix, 2).find("d=\"M2 2h1v1h-1z\""), std::string::npos);
}

// Reads the half-block text back into module rows (quiet zone included).
std::vector<std::vector<bool>> readTerminal(const std::string &text) {
  std::vector<std::vector<bool>> rows;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    std::vector<bool> top, bottom;
    for (std::size_t i = start; i < end;) {
      if (text[i] == ' ') {
        top.push_back(false);
        bottom.push_back(false);
        ++i;
        continue;
      }
      const std::string glyph = text.substr(i, 3);
      top.push_back(glyph == "\u2580" || glyph == "\u2588");
      bottom.push_back(glyph == "\u2584" || glyph == "\u2588");
      if (glyph != "\u2580" && glyph != "\u2584" && glyph != "\u2588")
        return {};
      i += 3;
    }
    rows.push_back(std::move(top));
    rows.push_back(std::move(bottom));
  }
  return rows;
}

std::string withoutEscapes(const std::string &text) {
  return std::regex_replace(text, std::regex("\x1b\\[[0-9;]*m"), "");
}

TEST(QrRenderer, TerminalHalfBlocksReadBackToTheModules) {
  const auto matrix = encode("00020101021153033565802IN6304ABCD", Ecc::M);
  ASSERT_TRUE(matrix);
  for (const bool colours : {true, false}) {
    const std::string text = toTerminal(*matrix, colours);
    EXPECT_EQ(text.find('\x1b') != std::string::npos, colours);
    const auto rows = readTerminal(withoutEscapes(text));
    const int side = matrix->size() + 2 * quietZoneModules;
    // An odd side leaves one light row past the zone in the last line's lower half.
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(side + side % 2));
    for (int y = 0; y < static_cast<int>(rows.size()); ++y) {
      ASSERT_EQ(rows[y].size(), static_cast<std::size_t>(side)) << "row " << y;
      for (int x = 0; x < side; ++x)
        ASSERT_EQ(rows[y][x], matrix->dark(x - quietZoneModules, y - quietZoneModules))
            << "module " << x << "," << y;
    }
  }
}

TEST(QrRenderer, TerminalColoursAreResetOnEveryLine) {
  const auto matrix = Matrix::fromModules(1, {true});
  ASSERT_TRUE(matrix);
  const std::string text = toTerminal(*matrix);
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = text.substr(start, end - start);
    EXPECT_EQ(line.rfind("\x1b[30;107m", 0), 0u) << "black on bright white from the first column";
    EXPECT_TRUE(line.ends_with("\x1b[0m")) << "reset before the newline";
  }
}

} // namespace
} // namespace pavenda::qr
