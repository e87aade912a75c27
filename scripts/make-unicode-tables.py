#!/usr/bin/env python3
"""Writes the character tables of the builtin Unicode backend from the Unicode Character Database.

Usage: make-unicode-tables.py [UCD_DIR] [OUT_FILE]
UCD_DIR defaults to /usr/share/unicode (Debian's unicode-data, Unicode 15.0); OUT_FILE defaults to
src/support/unicode_builtin/UnicodeTables.generated.inc. Standard library only; the output depends on
the input files alone, so regenerating gives the same bytes.
"""

import os
import sys

UCD = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/unicode"
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = sys.argv[2] if len(sys.argv) > 2 else os.path.join(
    ROOT, "src", "support", "unicode_builtin", "UnicodeTables.generated.inc")
LIMIT = 0x110000

# Grapheme break values, in the order of the backend's enumeration.
GCB = ["Other", "CR", "LF", "Control", "Extend", "ZWJ", "Regional_Indicator", "Prepend",
       "SpacingMark", "L", "V", "T", "LV", "LVT"]
# Flag bits of a property record; bits 16 to 23 hold the canonical combining class.
EXT_PICT, INCB_CONSONANT, INCB_LINKER, INCB_EXTEND, DIGIT, LETTER, FORMAT, IGNORABLE, NONSPACING, \
    CASED, CASE_IGNORABLE, LOWERS, DECOMPOSES = (1 << b for b in range(4, 17))
CCC_SHIFT = 17
# The scripts whose conjuncts stay one character (consonant, virama, consonant).
CONJUNCT_SCRIPTS = {"Devanagari", "Bengali", "Gujarati", "Malayalam", "Oriya", "Telugu"}


def lines(name):
    with open(os.path.join(UCD, name), encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if line:
                yield [field.strip() for field in line.split(";")]


def span(field):
    first, _, last = field.partition("..")
    return range(int(first, 16), int(last or first, 16) + 1)


def ranged(name, value=None):
    """The code points of each value of a property file, or of one value."""
    out = {}
    for fields in lines(name):
        if value is None or fields[1] == value:
            out.setdefault(fields[1], set()).update(span(fields[0]))
    return out if value is None else out.get(value, set())


def unicode_data():
    """Rows of UnicodeData.txt for every code point, ranges expanded."""
    rows = {}
    first = None
    for fields in lines("UnicodeData.txt"):
        cp = int(fields[0], 16)
        if fields[1].endswith(", First>"):
            first = cp
            continue
        if fields[1].endswith(", Last>"):
            for c in range(first, cp + 1):
                rows[c] = fields
            continue
        rows[cp] = fields
    return rows


def c_array(kind, name, values, per_line=16):
    body = []
    for i in range(0, len(values), per_line):
        body.append("    " + ", ".join(str(v) for v in values[i:i + per_line]) + ",")
    return "constexpr %s %s[] = {\n%s\n};\n" % (kind, name, "\n".join(body))


def two_stage(values, shift):
    """Blocks of 1 << shift values, identical blocks stored once."""
    size = 1 << shift
    blocks, index, stage1 = [], {}, []
    for start in range(0, LIMIT, size):
        block = tuple(values[start:start + size])
        if block not in index:
            index[block] = len(blocks)
            blocks.append(block)
        stage1.append(index[block])
    return stage1, [v for block in blocks for v in block]


def main():
    rows = unicode_data()
    category = {c: row[2] for c, row in rows.items()}
    gcb = [0] * LIMIT
    for value, points in ranged("auxiliary/GraphemeBreakProperty.txt").items():
        for c in points:
            gcb[c] = GCB.index(value)
    flags = [0] * LIMIT
    ccc = [0] * LIMIT
    for value, points in ranged("extracted/DerivedCombiningClass.txt").items():
        for c in points:
            ccc[c] = int(value)

    def mark(points, bit):
        for c in points:
            flags[c] |= bit

    mark(ranged("emoji/emoji-data.txt", "Extended_Pictographic"), EXT_PICT)
    mark(ranged("DerivedCoreProperties.txt", "Default_Ignorable_Code_Point"), IGNORABLE)
    mark(ranged("DerivedCoreProperties.txt", "Cased"), CASED)
    mark(ranged("DerivedCoreProperties.txt", "Case_Ignorable"), CASE_IGNORABLE)
    general = ranged("extracted/DerivedGeneralCategory.txt")
    mark(general.get("Nd", ()), DIGIT)
    for value in ("Lu", "Ll", "Lt", "Lm", "Lo", "Mn", "Mc", "Me"):
        mark(general.get(value, ()), LETTER)
    mark(general.get("Cf", ()), FORMAT)
    mark(general.get("Mn", ()), NONSPACING)

    scripts = {}
    for name, points in ranged("Scripts.txt").items():
        for c in points:
            scripts[c] = name
    syllabic = ranged("IndicSyllabicCategory.txt")
    for c in syllabic.get("Consonant", ()):
        if scripts.get(c) in CONJUNCT_SCRIPTS:
            flags[c] |= INCB_CONSONANT
    for c in range(LIMIT):
        if (GCB[gcb[c]] == "Extend" and ccc[c] != 0) or GCB[gcb[c]] == "ZWJ":
            flags[c] |= INCB_EXTEND
    for c in syllabic.get("Virama", ()):
        if scripts.get(c) in CONJUNCT_SCRIPTS:
            flags[c] = (flags[c] & ~INCB_EXTEND) | INCB_LINKER

    # Lower case: the unconditional full mappings of SpecialCasing.txt, else the simple one.
    lower = {}
    for c, row in rows.items():
        if row[13]:
            lower[c] = [int(row[13], 16)]
    for fields in lines("SpecialCasing.txt"):
        if len(fields) > 4 and fields[4]:
            continue  # conditional: final sigma is handled in code, languages are not the root's
        c = int(fields[0], 16)
        mapped = [int(x, 16) for x in fields[1].split()]
        if mapped != [c]:
            lower[c] = mapped
        else:
            lower.pop(c, None)
    multi = {c: m for c, m in lower.items() if len(m) > 1}
    simple = {c: m[0] for c, m in lower.items() if len(m) == 1}
    mark(lower, LOWERS)

    # Canonical decompositions, one level; Hangul syllables are decomposed in code.
    decomposition = {}
    for c, row in rows.items():
        if row[5] and not row[5].startswith("<"):
            decomposition[c] = [int(x, 16) for x in row[5].split()]
    mark(decomposition, DECOMPOSES)
    excluded = ranged("DerivedNormalizationProps.txt", "Full_Composition_Exclusion")

    records = [gcb[c] | flags[c] | ccc[c] << CCC_SHIFT for c in range(LIMIT)]
    distinct = sorted(set(records))
    if len(distinct) > 256:
        sys.exit("more than 256 distinct property records")
    record_index = {r: i for i, r in enumerate(distinct)}
    indices = [record_index[r] for r in records]
    best = None
    for shift in range(5, 10):
        stage1, stage2 = two_stage(indices, shift)
        if len(stage2) // (1 << shift) > 0xFFFF:
            continue
        size = 2 * len(stage1) + len(stage2)
        if best is None or size < best[0]:
            best = (size, shift, stage1, stage2)
    _, shift, stage1, stage2 = best

    # Lower-case ranges: runs of code points with one delta, each next one 1 or 2 further on.
    runs = []
    for c in sorted(simple):
        delta = simple[c] - c
        if runs:
            start, count, step, d = runs[-1]
            last = start + (count - 1) * step
            if d == delta and ((count == 1 and c - last in (1, 2)) or c - last == step):
                runs[-1] = (start, count + 1, c - last, d)
                continue
        runs.append((c, 1, 1, delta))

    decomposed = sorted(decomposition)
    pairs = sorted(
        (decomposition[c][0], decomposition[c][1], c) for c in decomposed
        if len(decomposition[c]) == 2 and c not in excluded)

    # Names of the characters that advisories can name (controls, format characters, the line and
    # paragraph separators and the other default ignorables that are not non-spacing marks) as far as
    # they have one of their own.
    named = []
    for c in range(LIMIT):
        if c in rows and (category[c] in ("Cf", "Zl", "Zp") or
                          (flags[c] & IGNORABLE and category[c] != "Mn")):
            name = rows[c][1]
            if not name.startswith("<"):
                named.append((c, name))
    name_text = "".join(name for _, name in named)
    offsets, at = [], 0
    for _, name in named:
        offsets.append(at)
        at += len(name)
    offsets.append(at)

    out = []
    out.append("// Generated by scripts/make-unicode-tables.py from the Unicode Character Database "
               "15.0; do not edit.\n")
    out.append("// Property records: bits 0-3 grapheme break, 4-16 flags, 17-24 canonical "
               "combining class.\n")
    out.append("constexpr unsigned propertyShift = %d;\n" % shift)
    out.append(c_array("std::uint32_t", "propertyRecords", distinct, 8))
    out.append(c_array("std::uint16_t", "propertyBlocks", stage1))
    out.append(c_array("std::uint8_t", "propertyValues", stage2, 32))
    out.append("// Lower case: start, count, step and delta of each run of simple mappings.\n")
    out.append("struct LowerRun {\n  std::uint32_t start;\n  std::uint16_t count;\n"
               "  std::uint16_t step;\n  std::int32_t delta;\n};\n")
    out.append("constexpr LowerRun lowerRuns[] = {\n%s\n};\n" % "\n".join(
        "    {%d, %d, %d, %d}," % r for r in runs))
    out.append("struct LowerMulti {\n  std::uint32_t from;\n  std::uint32_t to[3];\n};\n")
    out.append("constexpr LowerMulti lowerMulti[] = {\n%s\n};\n" % "\n".join(
        "    {%d, {%s}}," % (c, ", ".join(str(x) for x in (m + [0, 0, 0])[:3]))
        for c, m in sorted(multi.items())))
    out.append("// Canonical decompositions, one level: code point, first, second (0 for none).\n")
    out.append("struct Decomposition {\n  std::uint32_t from;\n  std::uint32_t first;\n"
               "  std::uint32_t second;\n};\n")
    out.append("constexpr Decomposition decompositions[] = {\n%s\n};\n" % "\n".join(
        "    {%d, %d, %d}," % (c, decomposition[c][0],
                               decomposition[c][1] if len(decomposition[c]) > 1 else 0)
        for c in decomposed))
    out.append("// Primary composites: first, second, composite; ordered by first and second.\n")
    out.append("struct Composition {\n  std::uint32_t first;\n  std::uint32_t second;\n"
               "  std::uint32_t composite;\n};\n")
    out.append("constexpr Composition compositions[] = {\n%s\n};\n" % "\n".join(
        "    {%d, %d, %d}," % p for p in pairs))
    out.append("// Names of the format and other default-ignorable characters.\n")
    out.append(c_array("std::uint32_t", "namedCodePoints", [c for c, _ in named], 8))
    out.append(c_array("std::uint16_t", "nameOffsets", offsets))
    out.append("constexpr char nameText[] =\n%s;\n" % "\n".join(
        '    "%s"' % name_text[i:i + 90] for i in range(0, len(name_text), 90)))
    text = "".join(out)
    os.makedirs(os.path.dirname(OUT), exist_ok=True)
    with open(OUT, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


if __name__ == "__main__":
    main()
