"""Validate a file of payloads, one per line, on every core: "valid" or the codes, a tab, the line.

    python validate_file.py payloads.txt
"""

import itertools
import sys

import pavenda


def lines(path):
    # Bytes, so that a line that is not UTF-8 is validated as it is (it gets code "0").
    with open(path, "rb") as file:
        for line in file:
            line = line.rstrip(b"\r\n")
            if line:
                yield line


# validate_many reads ahead by a batch or two; tee keeps only those lines for the printing.
payloads, echoed = itertools.tee(lines(sys.argv[1]))
all_valid = True
for line, codes in zip(echoed, pavenda.validate_many(payloads)):
    all_valid = all_valid and not codes
    print(" ".join(codes) or "valid", line.decode("utf-8", "backslashreplace"), sep="\t")
sys.exit(0 if all_valid else 1)
