"""Speed of the Python package, in one run: the cost of one validate call over the library's own
work, validate_many over a million payloads on one and on two threads, and a pure-Python peer from
PyPI (qriskit: parse the tag-length-value text and check the CRC) over the same payloads.

Run by `make bench-python`, in a virtual environment of its own (build/bench-venv) that holds the
package and the peer. Times are the best of several rounds, the settings taking turns.
"""

from __future__ import annotations

import collections
import itertools
import re
import sys
import time
from pathlib import Path

import pavenda
from pavenda import _pavenda

ROOT = Path(__file__).resolve().parents[1]
ROUNDS = 3


def best(seconds: list[float]) -> float:
    return min(seconds)


def payloads() -> list[str]:
    data = (ROOT / "tests" / "data" / "mixed-payloads.txt").read_bytes()
    out = []
    for line in re.split(rb"\r\n|\r|\n", data):
        try:
            if line:
                out.append(line.decode("utf-8"))
        except UnicodeDecodeError:
            pass
    return out


def call_overhead(payload: str, label: str, calls: int) -> None:
    python, library = [], []
    validate = pavenda.validate
    for _ in range(ROUNDS):
        start = time.perf_counter()
        for _ in itertools.repeat(None, calls):
            validate(payload)
        python.append(time.perf_counter() - start)
        library.append(_pavenda.time_validation(payload, calls))
    per_python, per_library = best(python) / calls * 1e6, best(library) / calls * 1e6
    print(
        f"validate, {label}: {per_python:.3f} us per call from Python, {per_library:.3f} us in C++: "
        f"overhead {per_python - per_library:.3f} us"
    )


def drain(codes) -> None:
    collections.deque(codes, maxlen=0)


def many(items: list[str]) -> None:
    times: dict[int, list[float]] = {1: [], 2: []}
    for _ in range(ROUNDS):
        for jobs in (1, 2):
            start = time.perf_counter()
            drain(pavenda.validate_many(items, jobs=jobs))
            times[jobs].append(time.perf_counter() - start)
    one, two = best(times[1]), best(times[2])
    n = len(items)
    print(f"validate_many, {n:,} payloads: jobs=1 {n / one:,.0f}/s ({one:.2f} s), "
          f"jobs=2 {n / two:,.0f}/s ({two:.2f} s): {one / two:.2f}x")


def peer(items: list[str]) -> None:
    try:
        import qriskit
        from qriskit import crc as qcrc
        from qriskit import tlv as qtlv
    except ImportError:
        print("peer: qriskit is not installed in this environment; skipped")
        return
    two_digit = [p for p in items if p.startswith("00")]

    def peer_check(payload: str) -> bool:
        try:
            qtlv.decode(payload)
        except Exception:
            return False
        return payload.endswith(qcrc.crc16(payload[:-4]))

    def peer_validate(payload: str) -> object:
        try:
            return qriskit.validate(payload)
        except qriskit.QRISError as error:
            return error

    for name, check in (
        (f"qriskit {qriskit.__version__} parse + CRC", peer_check),
        (f"qriskit {qriskit.__version__} validate (its own rules)", peer_validate),
        ("pavenda.validate (every rule, findings explained)", pavenda.validate),
        ("pavenda.validate_many, jobs=1 (every rule, codes)",
         lambda payloads: drain(pavenda.validate_many(payloads, jobs=1))),
        ("pavenda.validate_many, every core", lambda payloads: drain(pavenda.validate_many(payloads))),
    ):
        seconds = []
        for _ in range(3):
            start = time.perf_counter()
            if name.startswith("pavenda.validate_many"):
                check(two_digit)
            else:
                for payload in two_digit:
                    check(payload)
            seconds.append(time.perf_counter() - start)
        rate = len(two_digit) / best(seconds)
        print(f"{len(two_digit):,} two-digit payloads: {name}: {rate:,.0f}/s")


def main() -> int:
    items = payloads()
    valid = next(p for p in items if not pavenda.validate(p))
    invalid = next(p for p in items if pavenda.validate(p) and p.startswith("00"))
    print(f"pavenda {pavenda.__version__}, Python {sys.version.split()[0]}")
    call_overhead(valid, f"valid payload of {len(valid)} characters", 200_000)
    call_overhead(invalid, "payload with findings (explained)", 50_000)
    million = list(itertools.islice(itertools.cycle(items), 1_000_000))
    many(million)
    peer(list(itertools.islice(itertools.cycle(items), 100_000)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
