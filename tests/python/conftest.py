"""Shared fixtures: the command-line tool the package must agree with, and the mixed payloads."""

from __future__ import annotations

import json
import os
import re
import subprocess
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parents[2]


@pytest.fixture(scope="session")
def cli() -> Path:
    path = Path(os.environ.get("PAVENDA_CLI", ROOT / "build" / "bin" / "pavenda"))
    if not os.access(path, os.X_OK):
        pytest.fail(f"no command-line tool at {path}: build it (make build) or set PAVENDA_CLI")
    return path


@pytest.fixture(scope="session")
def mixed_payloads() -> list[bytes]:
    """The payloads of tests/data/mixed-payloads.txt as the tool reads them: LF, CR LF or CR ends
    a line, blank lines are skipped."""
    data = (ROOT / "tests" / "data" / "mixed-payloads.txt").read_bytes()
    return [line for line in re.split(rb"\r\n|\r|\n", data) if line]


@pytest.fixture(scope="session")
def cli_explained(cli: Path) -> list[dict]:
    """`pavenda validate --explain --json` over the mixed payloads, one object per payload."""
    run = subprocess.run(
        [cli, "validate", "--explain", "--json"],
        stdin=open(ROOT / "tests" / "data" / "mixed-payloads.txt", "rb"),
        capture_output=True,
        check=False,
    )
    assert run.returncode in (0, 1), run.stderr
    return [json.loads(line) for line in run.stdout.splitlines()]


def as_given(payload: bytes) -> str | bytes:
    """A payload as a caller would pass it: str when it is UTF-8, bytes otherwise."""
    try:
        return payload.decode("utf-8")
    except UnicodeDecodeError:
        return payload
