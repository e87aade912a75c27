// The Unicode backend that needs nothing beyond the C++ standard library: tables generated from the
// Unicode Character Database 15.0 by scripts/make-unicode-tables.py, and the algorithms of UAX #29
// (extended grapheme clusters, with the Indic conjunct rule that ICU 72 adds) and UAX #15 (NFC).

#include "support/UnicodeBackend.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <iterator>

#include "support/Unicode.h"

namespace pavenda::unicode::PAVENDA_UNICODE_BACKEND {
namespace {

#include "support/unicode_builtin/UnicodeTables.generated.inc"

constexpr std::uint32_t extPictBit = 1U << 4;
constexpr std::uint32_t consonantBit = 1U << 5;
constexpr std::uint32_t linkerBit = 1U << 6;
constexpr std::uint32_t conjunctExtendBit = 1U << 7;
constexpr std::uint32_t digitBit = 1U << 8;
constexpr std::uint32_t letterBit = 1U << 9;
constexpr std::uint32_t formatBit = 1U << 10;
constexpr std::uint32_t ignorableBit = 1U << 11;
constexpr std::uint32_t nonSpacingBit = 1U << 12;
constexpr std::uint32_t casedBit = 1U << 13;
constexpr std::uint32_t caseIgnorableBit = 1U << 14;
constexpr std::uint32_t lowersBit = 1U << 15;
constexpr std::uint32_t decomposesBit = 1U << 16;
constexpr unsigned cccShift = 17;

constexpr char32_t limit = 0x110000;

std::uint32_t properties(char32_t c) noexcept {
  if (c >= limit)
    return 0;
  const std::uint32_t block = propertyBlocks[c >> propertyShift];
  const std::uint32_t within = c & ((1U << propertyShift) - 1);
  return propertyRecords[propertyValues[(block << propertyShift) + within]];
}

GraphemeBreak breakOf(std::uint32_t record) noexcept {
  return static_cast<GraphemeBreak>(record & 0xF);
}

unsigned combiningClass(char32_t c) noexcept {
  return (properties(c) >> cccShift) & 0xFF;
}

// Code points of UTF-8 text, each ill-formed sequence (maximal subpart) as U+FFFD.
std::u32string decode(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const std::size_t length = text.size();
  for (std::size_t i = 0; i < length;) {
    const std::int32_t c = nextCodePoint(bytes, i, length);
    out.push_back(c < 0 ? U'\uFFFD' : static_cast<char32_t>(c));
  }
  return out;
}

void append(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string encode(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char32_t c : text)
    append(out, c);
  return out;
}

// What of the text before a position the rules that look back need.
struct BreakState {
  std::uint32_t previous = 0;
  // Regional indicators right before, counted.
  std::size_t regionalIndicators = 0;
  // Extended_Pictographic Extend*: 1; followed by ZWJ: 2.
  unsigned emoji = 0;
  // A conjunct consonant and conjunct extenders: 1; with a linker among them: 2.
  unsigned conjunct = 0;

  void take(std::uint32_t record) noexcept {
    const GraphemeBreak kind = breakOf(record);
    regionalIndicators =
        kind == GraphemeBreak::regionalIndicator ? regionalIndicators + 1 : std::size_t{0};
    if ((record & extPictBit) != 0)
      emoji = 1;
    else if (emoji == 1 && kind == GraphemeBreak::extend)
      emoji = 1;
    else if (emoji == 1 && kind == GraphemeBreak::zwj)
      emoji = 2;
    else
      emoji = 0;
    if ((record & consonantBit) != 0)
      conjunct = 1;
    else if (conjunct != 0 && (record & linkerBit) != 0)
      conjunct = 2;
    else if (conjunct == 0 || (record & conjunctExtendBit) == 0)
      conjunct = 0;
    previous = record;
  }

  // Whether a cluster boundary lies between the code point taken last and one with `record`.
  bool breaksBefore(std::uint32_t record) const noexcept {
    using enum GraphemeBreak;
    const GraphemeBreak before = breakOf(previous);
    const GraphemeBreak after = breakOf(record);
    if (before == cr && after == lf)
      return false;
    if (before == cr || before == lf || before == control || after == cr || after == lf ||
        after == control)
      return true;
    if (before == l && (after == l || after == v || after == lv || after == lvt))
      return false;
    if ((before == lv || before == v) && (after == v || after == t))
      return false;
    if ((before == lvt || before == t) && after == t)
      return false;
    if (after == extend || after == zwj || after == spacingMark || before == prepend)
      return false;
    if (conjunct == 2 && (record & consonantBit) != 0)
      return false;
    if (emoji == 2 && (record & extPictBit) != 0)
      return false;
    if (before == regionalIndicator && after == regionalIndicator)
      return regionalIndicators % 2 == 0;
    return true;
  }
};

// Whether the code point at `at` of `text` starts a sequence of case-ignorable code points that
// ends in a cased one, looking forwards (`step` 1) or backwards (`step` -1) from `at` on.
bool casedLetterAround(std::u32string_view text, std::ptrdiff_t at, std::ptrdiff_t step) {
  for (; at >= 0 && at < static_cast<std::ptrdiff_t>(text.size()); at += step) {
    const std::uint32_t record = properties(text[static_cast<std::size_t>(at)]);
    if ((record & caseIgnorableBit) != 0)
      continue;
    return (record & casedBit) != 0;
  }
  return false;
}

char32_t simpleLower(char32_t c) noexcept {
  const auto* run = std::upper_bound(std::begin(lowerRuns), std::end(lowerRuns), c,
                                     [](char32_t x, const LowerRun& r) { return x < r.start; });
  if (run == std::begin(lowerRuns))
    return c;
  --run;
  const char32_t offset = c - run->start;
  if (offset % run->step != 0 || offset / run->step >= run->count)
    return c;
  return static_cast<char32_t>(static_cast<std::int64_t>(c) + run->delta);
}

const Decomposition* decompositionOf(char32_t c) noexcept {
  const auto* found =
      std::lower_bound(std::begin(decompositions), std::end(decompositions), c,
                       [](const Decomposition& d, char32_t x) { return d.from < x; });
  return found != std::end(decompositions) && found->from == c ? found : nullptr;
}

constexpr char32_t hangulBase = 0xAC00, jamoL = 0x1100, jamoV = 0x1161, jamoT = 0x11A7;
constexpr char32_t jamoVCount = 21, jamoTCount = 28, hangulCount = 11172;

void decomposeInto(std::u32string& out, char32_t c) {
  if (c - hangulBase < hangulCount) {
    const char32_t index = c - hangulBase;
    out.push_back(jamoL + index / (jamoVCount * jamoTCount));
    out.push_back(jamoV + (index % (jamoVCount * jamoTCount)) / jamoTCount);
    if (index % jamoTCount != 0)
      out.push_back(jamoT + index % jamoTCount);
    return;
  }
  if ((properties(c) & decomposesBit) != 0) {
    if (const Decomposition* d = decompositionOf(c)) {
      decomposeInto(out, d->first);
      if (d->second != 0)
        decomposeInto(out, d->second);
      return;
    }
  }
  out.push_back(c);
}

// The primary composite of `first` and `second`, or 0.
char32_t composePair(char32_t first, char32_t second) noexcept {
  if (first - jamoL < 19 && second - jamoV < jamoVCount)
    return hangulBase + ((first - jamoL) * jamoVCount + (second - jamoV)) * jamoTCount;
  if (first - hangulBase < hangulCount && (first - hangulBase) % jamoTCount == 0 &&
      second - jamoT - 1 < jamoTCount - 1)
    return first + (second - jamoT);
  const auto* found = std::lower_bound(
      std::begin(compositions), std::end(compositions), std::pair{first, second},
      [](const Composition& c, std::pair<char32_t, char32_t> key) {
        return c.first < key.first || (c.first == key.first && c.second < key.second);
      });
  if (found != std::end(compositions) && found->first == first && found->second == second)
    return found->composite;
  return 0;
}

} // namespace

const char* name() noexcept {
  return "builtin";
}

GraphemeBreak graphemeBreak(char32_t c) noexcept {
  return breakOf(properties(c));
}
bool isDecimalDigit(char32_t c) noexcept {
  return (properties(c) & digitBit) != 0;
}
bool isLetterOrMark(char32_t c) noexcept {
  return (properties(c) & letterBit) != 0;
}
bool isFormat(char32_t c) noexcept {
  return (properties(c) & formatBit) != 0;
}
bool isNonSpacingMark(char32_t c) noexcept {
  return (properties(c) & nonSpacingBit) != 0;
}
bool isDefaultIgnorable(char32_t c) noexcept {
  return (properties(c) & ignorableBit) != 0;
}
bool isExtendedPictographic(char32_t c) noexcept {
  return (properties(c) & extPictBit) != 0;
}

std::string characterName(char32_t c) {
  const auto* found = std::lower_bound(std::begin(namedCodePoints), std::end(namedCodePoints), c);
  if (found != std::end(namedCodePoints) && *found == c) {
    const auto i = static_cast<std::size_t>(found - std::begin(namedCodePoints));
    return std::string(nameText + nameOffsets[i], nameOffsets[i + 1] - nameOffsets[i]);
  }
  std::array<char, 16> code{};
  std::snprintf(code.data(), code.size(), "%04X", static_cast<unsigned>(c));
  const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);
  return std::string(control ? "<control-" : "<unassigned-") + code.data() + ">";
}

void forEachBoundary(std::string_view text, std::size_t from,
                     bool (*onBoundary)(void* context, std::size_t offset), void* context) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const std::size_t length = text.size();
  if (from >= length)
    return;
  const auto recordAt = [bytes, length](std::size_t& i) {
    const std::int32_t c = nextCodePoint(bytes, i, length);
    return properties(c < 0 ? U'\uFFFD' : static_cast<char32_t>(c));
  };
  BreakState state;
  std::size_t i = from;
  state.take(recordAt(i));
  while (i < length) {
    const std::size_t start = i;
    const std::uint32_t record = recordAt(i);
    if (state.breaksBefore(record) && !onBoundary(context, start))
      return;
    state.take(record);
  }
  onBoundary(context, length);
}

std::string toLower(std::string_view text) {
  const std::u32string points = decode(text);
  std::u32string lowered;
  lowered.reserve(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    const char32_t c = points[i];
    if ((properties(c) & lowersBit) == 0) {
      lowered.push_back(c);
    } else if (c == 0x3A3) {
      // Final sigma: after a cased letter, and not before one (case-ignorables between skipped).
      const auto at = static_cast<std::ptrdiff_t>(i);
      const bool final =
          casedLetterAround(points, at - 1, -1) && !casedLetterAround(points, at + 1, 1);
      lowered.push_back(final ? U'\u03C2' : U'\u03C3');
    } else if (const auto* multi = std::find_if(std::begin(lowerMulti), std::end(lowerMulti),
                                                [c](const LowerMulti& m) { return m.from == c; });
               multi != std::end(lowerMulti)) {
      for (const std::uint32_t to : multi->to)
        if (to != 0)
          lowered.push_back(to);
    } else {
      lowered.push_back(simpleLower(c));
    }
  }
  return encode(lowered);
}

std::optional<std::string> toNfc(std::string_view text) {
  const std::u32string points = decode(text);
  std::u32string decomposed;
  decomposed.reserve(points.size());
  for (const char32_t c : points)
    decomposeInto(decomposed, c);
  // Canonical order: each run of non-starters sorted by combining class, stably.
  for (std::size_t i = 1; i < decomposed.size(); ++i) {
    const unsigned ccc = combiningClass(decomposed[i]);
    if (ccc == 0)
      continue;
    for (std::size_t j = i; j > 0; --j) {
      const unsigned before = combiningClass(decomposed[j - 1]);
      if (before == 0 || before <= ccc)
        break;
      std::swap(decomposed[j - 1], decomposed[j]);
    }
  }
  // Canonical composition: each code point joins the last starter when nothing between blocks it.
  std::u32string composed;
  composed.reserve(decomposed.size());
  std::size_t starter = std::u32string::npos;
  unsigned lastClass = 0;
  for (const char32_t c : decomposed) {
    const unsigned ccc = combiningClass(c);
    if (starter != std::u32string::npos) {
      const bool blocked = composed.size() - 1 != starter && (lastClass == 0 || lastClass >= ccc);
      if (!blocked) {
        if (const char32_t composite = composePair(composed[starter], c)) {
          composed[starter] = composite;
          continue;
        }
      }
    }
    if (ccc == 0) {
      starter = composed.size();
      lastClass = 0;
    } else {
      lastClass = ccc;
    }
    composed.push_back(c);
  }
  return encode(composed);
}

} // namespace pavenda::unicode::PAVENDA_UNICODE_BACKEND
