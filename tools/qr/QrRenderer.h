#ifndef PAVENDA_TOOLS_QR_QRRENDERER_H
#define PAVENDA_TOOLS_QR_QRRENDERER_H

// Drawing a payload as a QR code: the symbol from libqrencode, then SVG, PNG or terminal text.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pavenda::qr {

/// The error correction level of a symbol, from about 7% (L) to about 30% (H) of codewords
/// restored.
enum class Ecc { L, M, Q, H };

/// The level named by one letter "L", "M", "Q" or "H" (either case), or nothing for any other text.
std::optional<Ecc> parseEcc(std::string_view name) noexcept;

/// A square of QR modules, dark or light, without quiet zone. Row-major; (0, 0) is the top left.
class Matrix {
public:
  /// A matrix of `size` by `size` modules taken from `dark` (row by row); nothing when `size` is
  /// below 1 or `dark` does not hold exactly `size` * `size` entries.
  static std::optional<Matrix> fromModules(int size, std::vector<bool> dark);

  /// The number of modules on a side.
  int size() const noexcept { return size_; }

  /// Whether the module in column `x`, row `y` is dark. Positions outside the square are light, as
  /// the quiet zone around it is.
  bool dark(int x, int y) const noexcept {
    return x >= 0 && y >= 0 && x < size_ && y < size_ &&
           modules_[static_cast<std::size_t>(y) * static_cast<std::size_t>(size_) +
                    static_cast<std::size_t>(x)];
  }

  friend bool operator==(const Matrix&, const Matrix&) = default;

private:
  Matrix(int size, std::vector<bool> modules) : size_(size), modules_(std::move(modules)) {}

  int size_;
  std::vector<bool> modules_;
};

/// The quiet zone, in modules, that the PNG and terminal renderings put around the symbol.
inline constexpr int quietZoneModules = 4;

/// The largest `scale` that `writePng` accepts.
inline constexpr int maxPngScale = 32;

/// The symbol of `payload` at level `ecc`, in byte mode so that its bytes (UTF-8 text) are stored
/// unchanged, in the smallest version that holds them. Nothing when `payload` is empty or too long
/// for any version at that level.
std::optional<Matrix> encode(std::string_view payload, Ecc ecc = Ecc::M);

/// A standalone SVG document of `matrix`: a white background and one black path of the dark
/// modules, one user unit per module, `quietZone` modules of margin (negative counts as 0) and
/// crisp edges.
std::string toSvg(const Matrix& matrix, int quietZone = quietZoneModules);

/// `matrix` as the bytes of an 8-bit greyscale PNG: black modules on white, `scale` pixels per
/// module (1 to `maxPngScale`) and a quiet zone of `quietZoneModules`. Nothing on failure (a scale
/// out of range, an encoder error), and then the reason in `error` when it is not null. The bytes
/// are made in memory so that the caller decides how a file is written and never loses one.
std::optional<std::string> toPng(const Matrix& matrix, int scale, std::string* error = nullptr);

/// The symbol as terminal text, two module rows per line drawn with the half blocks U+2580, U+2584,
/// U+2588 and spaces, dark modules as glyphs, with a quiet zone of `quietZoneModules` all round and
/// a newline after every line. With `forceColours` each line is wrapped in ANSI escapes for black
/// on bright white, so the code stays dark-on-light (as scanners need) on a dark-themed terminal
/// too; without, the text relies on a light background, as in a file or a light terminal.
std::string toTerminal(const Matrix& matrix, bool forceColours = true);

} // namespace pavenda::qr

#endif
