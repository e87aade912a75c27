#!/usr/bin/env python3
"""Writes payloads rich in the Unicode that tells segmentation, case and character classes apart.

Usage: make-unicode-payloads.py COUNT [SEED] > payloads.txt

One payload a line (no CR or LF inside), deterministic for a seed. Merchant name, city, additional
data and the language template carry combining marks, emoji sequences (ZWJ, flags, skin tones,
keycaps, tag sequences), Hangul syllables and conjoining jamo, Indic conjuncts with and without
joiners, regional indicators, invisible and format characters, digits and letters of other
scripts, Greek sigma, and now and then an ill-formed byte. Lengths count code points, so a value
whose characters are fewer gets its length finding; most payloads carry a correct CRC.
"""

import random
import sys

PIECES = {
    "ascii": ["a", "Z", "7", " ", "-", ".", "Cafe", "Store"],
    "marks": ["e\u0301", "a\u0308\u0323", "o\u0302\u0301", "n\u0303", "\u0301", "A\u030A",
              "\u212B", "\u00C5", "c\u0327", "\u1E0A\u0323", "\u1E0C\u0307", "i\u0307"],
    "emoji": ["\U0001F468\u200D\U0001F469\u200D\U0001F467", "\U0001F44D\U0001F3FD",
              "1\uFE0F\u20E3", "\u2764\uFE0F", "\U0001F3F4\U000E0067\U000E0062\U000E0073"
              "\U000E0063\U000E0074\U000E007F", "\U0001F469\u200D\u2764\uFE0F\u200D\U0001F468",
              "\u200D\U0001F600", "\U0001F600\u200D", "\U0001F600\u0308\u200D\U0001F600"],
    "flags": ["\U0001F1EE\U0001F1F3", "\U0001F1EF\U0001F1F5", "\U0001F1FA", "\U0001F1E9\U0001F1EA"
              "\U0001F1EB"],
    "hangul": ["\uAC00", "\uD55C\uAD6D", "\u1100\u1161\u11A8", "\u1100\u1161", "\u1112\u1175",
               "\u11A8", "\uAC00\u11A8", "\u1160", "\u3164"],
    "indic": ["\u0915\u094D\u0937", "\u0915\u094D\u200D\u0937", "\u0915\u094D\u200C\u0937",
              "\u0915\u093C\u094D\u0937\u093F", "\u0995\u09CD\u09B7", "\u0A95\u0ACD\u0AB7",
              "\u0D15\u0D4D\u0D37", "\u0B15\u0B4D\u0B37", "\u0C15\u0C4D\u0C37",
              "\u0B95\u0BCD\u0BB7", "\u0915\u094D", "\u094D\u0937", "\u0928\u092E\u0938\u094D"
              "\u0924\u0947", "\u0915\u094D\u0995", "\u0D15\u0D3B\u0D37", "\u0600\u0661",
              "\u0915\u0903", "\u0E01\u0E33"],
    "invisible": ["\u200B", "\u202E", "\uFEFF", "\u00AD", "\u2060", "\u034F", "\uFE0F",
                  "\U000E0041", "\u180E", "\u115F", "\u2065", "\u200E", "\t", "\x1f", "\x85",
                  "\u061C", "\U0001BCA0"],
    "digits": ["\u0661\u0662", "\u0967\u0968", "\uFF11", "\U0001D7CE", "\u0E51", "\u2460",
               "\u00B2"],
    "letters": ["\u039F\u0394\u039F\u03A3", "\u03A3\u0391", "\u03A3", "\u0130", "\u0049",
                "\u00DF", "\u1E9E", "\u0345", "\u1F88", "\u4E2D\u6587", "\u0416", "\u05D0",
                "\u0627\u0644", "\u01C5", "\u2126", "\u212A"],
    "ill": ["\xff", "\xc0\xaf", "\xe0\x80", "\xed\xa0\x80", "\xf0\x9f", "\xf4\x90\x80\x80",
            "\xe2\x82"],
}
WEIGHTS = {"ascii": 6, "marks": 4, "emoji": 3, "flags": 2, "hangul": 3, "indic": 5,
           "invisible": 2, "digits": 2, "letters": 3, "ill": 1}


def crc16(data):
    crc = 0xFFFF
    for byte in data:
        crc ^= byte << 8
        for _ in range(8):
            crc = (crc << 1) ^ 0x1021 if crc & 0x8000 else crc << 1
            crc &= 0xFFFF
    return crc


def to_bytes(text):
    # Ill-formed pieces are written as their bytes; everything else as UTF-8.
    return "".join(text).encode("utf-8", "surrogateescape")


def piece(rng):
    kind = rng.choices(list(WEIGHTS), weights=list(WEIGHTS.values()))[0]
    value = rng.choice(PIECES[kind])
    if kind == "ill":
        return value.encode("latin-1").decode("utf-8", "surrogateescape")
    return value


def text_value(rng, most):
    return "".join(piece(rng) for _ in range(rng.randint(1, most)))


def field(tag, value, rng):
    length = len(value)
    if rng.random() < 0.05:
        length = rng.randint(0, 99)
    if length > 99:
        value = value[:99]
        length = 99
    return tag + "%02d" % length + value


def payload(rng):
    parts = ["000201", "0102" + rng.choice(["11", "12"])]
    parts.append(field("02", "4" + "".join(rng.choice("0123456789") for _ in range(15)), rng))
    parts.append(field("52", rng.choice(["5812", "5411", "\u0665\u0664\u0661\u0661", "58a2"]), rng))
    parts.append(field("53", rng.choice(["356", "392", "840", "048", "368", "999"]), rng))
    if rng.random() < 0.6:
        parts.append(field("54", rng.choice(["10", "12.5", "3.333", "0.01", "1\u0669", "7.123"]),
                           rng))
    parts.append(field("58", rng.choice(["IN", "JP", "US", "XK", "ZZ", "\u0130N", "in"]), rng))
    parts.append(field("59", text_value(rng, 8), rng))
    parts.append(field("60", text_value(rng, 5), rng))
    if rng.random() < 0.5:
        sub = field("01", text_value(rng, 4), rng) + field("05", text_value(rng, 3), rng)
        parts.append(field("62", sub, rng))
    if rng.random() < 0.5:
        sub = field("00", rng.choice(["ZH", "HI", "KO", "EL", "hi"]), rng) + \
            field("01", text_value(rng, 6), rng) + field("02", text_value(rng, 3), rng)
        parts.append(field("64", sub, rng))
    body = to_bytes("".join(parts)) + b"6304"
    crc = crc16(body)
    if rng.random() < 0.1:
        crc ^= 0x0101
    return body + b"%04X" % crc


def main():
    if len(sys.argv) < 2:
        sys.exit("usage: make-unicode-payloads.py COUNT [SEED]")
    count = int(sys.argv[1])
    rng = random.Random(int(sys.argv[2]) if len(sys.argv) > 2 else 20261207)
    out = sys.stdout.buffer
    for _ in range(count):
        out.write(payload(rng) + b"\n")


if __name__ == "__main__":
    main()
