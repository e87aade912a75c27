"""Validate a column of a pandas DataFrame and keep the codes and findings beside the payloads.

    python pandas_validate.py payloads.csv      # a CSV with a column "payload"
"""

import sys

import pandas as pd

import pavenda

frame = pd.read_csv(sys.argv[1], dtype={"payload": str}, keep_default_na=False)
# validate_many reads the Series as it goes, on every core; the codes come back in its order.
frame["codes"] = list(pavenda.validate_many(frame["payload"]))
frame["valid"] = frame["codes"].map(len) == 0
# Explanations only where there is something to explain.
frame["findings"] = [
    "; ".join(f"{f.code}: {f.detail}" for f in pavenda.validate(p)) if codes else ""
    for p, codes in zip(frame["payload"], frame["codes"])
]
frame.to_csv(sys.stdout, index=False)
