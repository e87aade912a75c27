// The Unicode backend over the system's ICU. Calls only functions that Android's NDK exposes in its
// libicu.so from API level 31 (listed in ndk-libicu-api31.txt beside this file).

#include "support/UnicodeBackend.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>
#include <memory>
#include <optional>

#include <unicode/ubrk.h>
#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>
#include <unicode/utext.h>
#include <unicode/utf8.h>

namespace pavenda::unicode::PAVENDA_UNICODE_BACKEND {
namespace {

struct BreakIteratorClose {
  void operator()(UBreakIterator* iterator) const noexcept { ubrk_close(iterator); }
};

// Break iterators are expensive to make and not shareable between threads: one per thread, reused.
UBreakIterator* characterIterator() {
  thread_local const std::unique_ptr<UBreakIterator, BreakIteratorClose> iterator = [] {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UBreakIterator, BreakIteratorClose> made(
        ubrk_open(UBRK_CHARACTER, "", nullptr, 0, &status));
    return U_SUCCESS(status) ? std::move(made) : nullptr;
  }();
  return iterator.get();
}

// Fills a UTF-16 string through an ICU function that answers the length it needs, asking again
// with that length when `guess` was short; nothing on failure.
template <typename Fill> std::optional<std::u16string> fillUtf16(std::size_t guess, Fill fill) {
  if (guess > static_cast<std::size_t>(std::numeric_limits<int32_t>::max()))
    return std::nullopt;
  std::u16string out(guess, u'\0');
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = fill(out.data(), static_cast<int32_t>(out.size()), status);
  if (status == U_BUFFER_OVERFLOW_ERROR) {
    out.resize(static_cast<std::size_t>(length));
    status = U_ZERO_ERROR;
    length = fill(out.data(), static_cast<int32_t>(out.size()), status);
  }
  if (U_FAILURE(status))
    return std::nullopt;
  out.resize(static_cast<std::size_t>(length));
  return out;
}

// UTF-8 to UTF-16, each ill-formed sequence as U+FFFD; nothing beyond ICU's 32-bit lengths.
std::optional<std::u16string> toUtf16(std::string_view text) {
  if (text.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max()))
    return std::nullopt;
  // Never more UTF-16 units than UTF-8 bytes.
  return fillUtf16(text.size(), [text](UChar* out, int32_t capacity, UErrorCode& status) {
    int32_t length = 0;
    u_strFromUTF8WithSub(out, capacity, &length, text.data(), static_cast<int32_t>(text.size()),
                         0xFFFD, nullptr, &status);
    return length;
  });
}

// UTF-16 to UTF-8, an unpaired surrogate as U+FFFD.
std::string toUtf8(std::u16string_view text) {
  // At most three bytes for each UTF-16 unit.
  std::string out(std::min<std::size_t>(3 * text.size(), std::numeric_limits<int32_t>::max()),
                  '\0');
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = 0;
  u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length, text.data(),
                     static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
  out.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
  return out;
}

} // namespace

const char* name() noexcept {
  return "icu";
}

GraphemeBreak graphemeBreak(char32_t c) noexcept {
  switch (u_getIntPropertyValue(static_cast<UChar32>(c), UCHAR_GRAPHEME_CLUSTER_BREAK)) {
  case U_GCB_CR:
    return GraphemeBreak::cr;
  case U_GCB_LF:
    return GraphemeBreak::lf;
  case U_GCB_CONTROL:
    return GraphemeBreak::control;
  case U_GCB_EXTEND:
    return GraphemeBreak::extend;
  case U_GCB_ZWJ:
    return GraphemeBreak::zwj;
  case U_GCB_REGIONAL_INDICATOR:
    return GraphemeBreak::regionalIndicator;
  case U_GCB_PREPEND:
    return GraphemeBreak::prepend;
  case U_GCB_SPACING_MARK:
    return GraphemeBreak::spacingMark;
  case U_GCB_L:
    return GraphemeBreak::l;
  case U_GCB_V:
    return GraphemeBreak::v;
  case U_GCB_T:
    return GraphemeBreak::t;
  case U_GCB_LV:
    return GraphemeBreak::lv;
  case U_GCB_LVT:
    return GraphemeBreak::lvt;
  default:
    return GraphemeBreak::other;
  }
}

bool isDecimalDigit(char32_t c) noexcept {
  return u_charType(static_cast<UChar32>(c)) == U_DECIMAL_DIGIT_NUMBER;
}

bool isLetterOrMark(char32_t c) noexcept {
  return (U_GET_GC_MASK(static_cast<UChar32>(c)) & (U_GC_L_MASK | U_GC_M_MASK)) != 0;
}

bool isFormat(char32_t c) noexcept {
  return u_charType(static_cast<UChar32>(c)) == U_FORMAT_CHAR;
}

bool isNonSpacingMark(char32_t c) noexcept {
  return u_charType(static_cast<UChar32>(c)) == U_NON_SPACING_MARK;
}

bool isDefaultIgnorable(char32_t c) noexcept {
  return u_hasBinaryProperty(static_cast<UChar32>(c), UCHAR_DEFAULT_IGNORABLE_CODE_POINT) != 0;
}

bool isExtendedPictographic(char32_t c) noexcept {
  return u_hasBinaryProperty(static_cast<UChar32>(c), UCHAR_EXTENDED_PICTOGRAPHIC) != 0;
}

std::string characterName(char32_t c) {
  std::array<char, 128> name{};
  UErrorCode status = U_ZERO_ERROR;
  const int32_t length = u_charName(static_cast<UChar32>(c), U_EXTENDED_CHAR_NAME, name.data(),
                                    static_cast<int32_t>(name.size()), &status);
  if (U_FAILURE(status))
    return {};
  return std::string(name.data(), static_cast<std::size_t>(length));
}

void forEachBoundary(std::string_view text, std::size_t from,
                     bool (*onBoundary)(void* context, std::size_t offset), void* context) {
  // ICU's offsets are 32-bit, so longer texts are read in windows, each restarted at a boundary
  // found in the one before.
  constexpr std::size_t window = std::size_t{1} << 30;
  // A window's last code point may be cut: boundaries this close to its end are found again.
  constexpr std::size_t margin = 4;
  UBreakIterator* iterator = characterIterator();
  while (from < text.size()) {
    const std::size_t size = std::min(text.size() - from, window);
    const bool last = from + size == text.size();
    UErrorCode status = U_ZERO_ERROR;
    UText utext = UTEXT_INITIALIZER;
    utext_openUTF8(&utext, text.data() + from, static_cast<int64_t>(size), &status);
    if (iterator != nullptr)
      ubrk_setUText(iterator, &utext, &status);
    if (iterator == nullptr || U_FAILURE(status)) {
      // Without ICU data every code point stands alone; still never reads out of bounds.
      utext_close(&utext);
      const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
      const auto length = static_cast<std::int64_t>(text.size());
      for (auto i = static_cast<std::int64_t>(from); i < length;) {
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        (void)c;
        if (!onBoundary(context, static_cast<std::size_t>(i)))
          return;
      }
      return;
    }
    std::size_t next = from;
    for (int32_t b = ubrk_next(iterator); b != UBRK_DONE; b = ubrk_next(iterator)) {
      const std::size_t boundary = from + static_cast<std::size_t>(b);
      if (!last && boundary + margin > from + size)
        break;
      if (!onBoundary(context, boundary)) {
        utext_close(&utext);
        return;
      }
      next = boundary;
    }
    utext_close(&utext);
    if (next == from) {
      // One character longer than a window: the window's end has to serve as its end.
      next = from + size;
      if (!onBoundary(context, next))
        return;
    }
    from = next;
  }
}

std::string toLower(std::string_view text) {
  const std::optional<std::u16string> wide = toUtf16(text);
  if (!wide)
    return {};
  const std::optional<std::u16string> lowered =
      fillUtf16(wide->size(), [&wide](UChar* out, int32_t capacity, UErrorCode& status) {
        return u_strToLower(out, capacity, wide->data(), static_cast<int32_t>(wide->size()), "",
                            &status);
      });
  return lowered ? toUtf8(*lowered) : std::string();
}

std::optional<std::string> toNfc(std::string_view text) {
  UErrorCode status = U_ZERO_ERROR;
  const UNormalizer2* nfc = unorm2_getNFCInstance(&status);
  const std::optional<std::u16string> wide = toUtf16(text);
  if (U_FAILURE(status) || !wide)
    return std::nullopt;
  const std::optional<std::u16string> normal =
      fillUtf16(wide->size(), [&](UChar* out, int32_t capacity, UErrorCode& code) {
        return unorm2_normalize(nfc, wide->data(), static_cast<int32_t>(wide->size()), out,
                                capacity, &code);
      });
  if (!normal)
    return std::nullopt;
  return toUtf8(*normal);
}

} // namespace pavenda::unicode::PAVENDA_UNICODE_BACKEND
