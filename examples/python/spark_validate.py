"""Validate a column of payloads on a Spark cluster, writing the codes and the findings beside them.

    spark-submit spark_validate.py payloads.txt out/        # a text file, one payload per line

Each partition's payloads go through pavenda.validate_many in a pandas UDF (Arrow batches of
10,000 rows by default); the findings are explained only for the payloads that have codes. Spark
spreads the partitions over the executors' cores, so billions of payloads take as many tasks as
the cluster runs at once. Every executor needs the package: `pip install` it where Spark's Python
runs (or ship a wheel with --py-files / an archive of the environment).
"""

from __future__ import annotations

import json
import sys

import pandas as pd
from pyspark.sql import DataFrame, SparkSession
from pyspark.sql import functions as F
from pyspark.sql import types as T

RESULT = T.StructType(
    [
        T.StructField("codes", T.ArrayType(T.StringType())),
        # The explained findings as JSON: a list of {code, message, tag, field, value, detail, fields}.
        T.StructField("findings", T.StringType()),
    ]
)


@F.pandas_udf(RESULT)
def validate_payloads(payloads: pd.Series) -> pd.DataFrame:
    import pavenda  # imported on the executor

    # Spark already runs one task per core: one thread each.
    codes = list(pavenda.validate_many(payloads, jobs=1))
    findings = [
        json.dumps([f.to_dict() for f in pavenda.validate(p)], ensure_ascii=False) if c else "[]"
        for p, c in zip(payloads, codes)
    ]
    return pd.DataFrame({"codes": codes, "findings": findings})


def with_verdicts(frame: DataFrame, column: str = "payload") -> DataFrame:
    """`frame` with the columns "codes" (empty when valid) and "findings" beside `column`."""
    verdict = validate_payloads(F.col(column))
    return frame.withColumn("verdict", verdict).select(
        "*", F.col("verdict.codes").alias("codes"), F.col("verdict.findings").alias("findings")
    ).drop("verdict")


def main(source: str, target: str) -> None:
    spark = SparkSession.builder.appName("pavenda-validate").getOrCreate()
    payloads = spark.read.text(source).withColumnRenamed("value", "payload").where("payload != ''")
    with_verdicts(payloads).write.mode("errorifexists").json(target)
    spark.stop()


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: spark_validate.py PAYLOADS.txt OUTPUT_DIR")
    main(sys.argv[1], sys.argv[2])
