"""The check behind `make test-spark`: spark_validate.py in local[2] mode over 100,000 payloads,
each row's codes and findings compared with `pavenda validate --explain --json` on the same payload.

    python spark_check.py PATH/TO/pavenda
"""

from __future__ import annotations

import itertools
import json
import os
import re
import subprocess
import sys
import tempfile
from pathlib import Path

from pyspark.sql import SparkSession

sys.path.insert(0, str(Path(__file__).resolve().parent))
from spark_validate import with_verdicts  # noqa: E402

ROOT = Path(__file__).resolve().parents[2]
COUNT = 100_000


def main(cli: str) -> int:
    data = (ROOT / "tests" / "data" / "mixed-payloads.txt").read_bytes()
    lines = [line for line in re.split(rb"\r\n|\r|\n", data) if line]
    # Spark reads text as UTF-8; the other payloads are the Python suite's business.
    unique = [line.decode() for line in lines if _utf8(line)]
    with tempfile.TemporaryDirectory() as work:
        source = Path(work) / "payloads.txt"
        source.write_text("".join(p + "\n" for p in itertools.islice(itertools.cycle(unique), COUNT)))
        run = subprocess.run([cli, "validate", "--explain", "--json"], input="\n".join(unique).encode(),
                             capture_output=True, check=False)
        if run.returncode not in (0, 1):
            sys.exit(f"{cli} validate failed: {run.stderr.decode()}")
        expected = {}
        for line in run.stdout.splitlines():
            verdict = json.loads(line)
            expected[verdict["payload"]] = (verdict["errorCodes"], verdict["findings"])

        # The workers run this interpreter, which has the package, pandas and PyArrow.
        os.environ.setdefault("PYSPARK_PYTHON", sys.executable)
        spark = SparkSession.builder.master("local[2]").appName("pavenda-spark-check").getOrCreate()
        spark.sparkContext.setLogLevel("ERROR")
        target = Path(work) / "out"
        payloads = spark.read.text(str(source)).withColumnRenamed("value", "payload")
        with_verdicts(payloads).write.json(str(target))
        rows = spark.read.json(str(target)).collect()
        spark.stop()

    wrong = [r.payload for r in rows
             if (list(r.codes), json.loads(r.findings)) != expected[r.payload]]
    print(f"spark local[2]: {len(rows):,} payloads, {len(wrong)} disagree with {cli}")
    if len(rows) != COUNT or wrong:
        for payload in wrong[:5]:
            print(f"  {payload}", file=sys.stderr)
        return 1
    return 0


def _utf8(line: bytes) -> bool:
    try:
        line.decode()
        return True
    except UnicodeDecodeError:
        return False


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
