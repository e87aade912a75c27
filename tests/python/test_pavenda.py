"""The package against the command-line tool and the documented behaviour of each call."""

from __future__ import annotations

import dataclasses
import itertools
import json
import subprocess
import threading
from pathlib import Path

import pytest

import pavenda
from conftest import ROOT, as_given

EXAMPLES = sorted((ROOT / "examples").glob("*.json"))

MERCHANT = {
    "payloadFormatIndicator": "01",
    "zArodezMerchantID": "4000000000000002",
    "merchantCategoryCode": "5812",
    "currencyCode": "356",
    "countryCode": "IN",
    "merchantName": "Saffron Kitchen",
    "cityName": "Bengaluru",
    "additionalDataFieldTemplate": {"billID": "INV-17"},
}


def run(cli: Path, *args: str, stdin: bytes | None = None) -> subprocess.CompletedProcess:
    return subprocess.run([cli, *args], input=stdin, capture_output=True, check=False)


@pytest.mark.parametrize("example", EXAMPLES, ids=lambda p: p.name)
def test_generate_and_encode_write_what_the_tool_writes(cli: Path, example: Path) -> None:
    fields = json.loads(example.read_text(encoding="utf-8"))
    expected = run(cli, "generate", str(example))
    assert expected.returncode == 0, expected.stderr
    assert pavenda.generate(fields) == expected.stdout.decode().rstrip("\n")
    assert pavenda.encode(fields) == run(cli, "encode", str(example)).stdout.decode().rstrip("\n")


def test_generate_raises_every_finding() -> None:
    fields = dict(MERCHANT, merchantName="Sunrise Bakery and Coffee House", countryCode="IND")
    with pytest.raises(pavenda.InvalidFields) as raised:
        pavenda.generate(fields)
    assert isinstance(raised.value, ValueError)
    by_code = {f.code: f for f in raised.value.findings}
    assert [f.code for f in raised.value.findings] == ["12", "6"]
    name = by_code["6"]
    assert (name.tag, name.field, name.value) == ("59", "merchantName", fields["merchantName"])
    assert name.message == pavenda.ERROR_MESSAGES["6"]
    assert "31 characters" in name.detail
    # encode checks nothing: the same fields are written as given.
    assert "5931Sunrise Bakery and Coffee House" in pavenda.encode(fields)


@pytest.mark.parametrize(
    ("fields", "error", "message"),
    [
        ({"transactionAmount": 450.00}, TypeError, 'transactionAmount: a float where text belongs'),
        ({"transactionAmount": 450}, TypeError, 'transactionAmount: an int where text belongs; write it as a str: "450"'),
        ({"merchantName": None}, TypeError, "merchantName: None where text belongs"),
        ({"merchantName": ["a"]}, TypeError, "merchantName: a list where text belongs"),
        ({"merchantName": b"Shop"}, TypeError, "merchantName: a bytes where text belongs"),
        ({"tag26": {"00": 1.5}}, TypeError, "tag26.00: a float where text belongs"),
        ({"tag26": {"00": {"a": "b"}}}, TypeError, "tag26.00: a mapping where text belongs"),
        ({7: "x"}, TypeError, "fields: a key of type int"),
        ({"tag26": {1: "x"}}, TypeError, "tag26: a key of type int"),
        ({"merchantNmae": "Shop"}, ValueError, 'merchantNmae: not a field key; did you mean "merchantName"?'),
        ({"additionalDataFieldTemplate": {"bilID": "x"}}, ValueError, 'additionalDataFieldTemplate.bilID: not a field key; did you mean "billID"?'),
        ({"merchantName": {"00": "x"}}, ValueError, "merchantName: a map under a field that is not a template"),
        ({"merchantName": "A", "59": "B"}, ValueError, "59: merchantName given both by name and by tag number 59"),
        ({"billID": "x"}, ValueError, "billID: a sub-field of the additional data template"),
        ({"merchantName": "\udcff"}, ValueError, "merchantName: a str that cannot be written as UTF-8"),
    ],
)
def test_fields_are_refused_naming_the_key_path(fields, error, message) -> None:
    for call in (pavenda.generate, pavenda.encode):
        with pytest.raises(error) as raised:
            call({**MERCHANT, **fields})
        assert str(raised.value).startswith(message)


@pytest.mark.parametrize("fields", ["merchantName", ["merchantName"], None, 5])
def test_fields_must_be_a_mapping(fields) -> None:
    with pytest.raises(TypeError, match="fields: expected a mapping"):
        pavenda.generate(fields)


def test_validate_and_explain_agree_with_the_tool(mixed_payloads, cli_explained) -> None:
    assert len(mixed_payloads) == len(cli_explained)
    for payload, expected in zip(mixed_payloads, cli_explained):
        given = as_given(payload)
        assert ("payload" in expected) == isinstance(given, str)
        explained = pavenda.explain(given)
        wanted = {k: v for k, v in expected.items() if k not in ("payload", "payloadHex")}
        assert explained.to_dict() == wanted, payload
        assert [f.to_dict() for f in pavenda.validate(given)] == wanted["findings"]
        assert explained.valid == (not wanted["errorCodes"])


def test_decode_agrees_with_the_tool(cli: Path, mixed_payloads) -> None:
    sample = mixed_payloads[::25] + [b"00020159I Shop", b"\xff\xfe000201"]
    for payload in sample:
        out = run(cli, "decode", stdin=payload + b"\n")
        expected = json.loads(out.stdout)
        if "error" in expected:
            with pytest.raises(pavenda.DecodeError) as raised:
                pavenda.decode(as_given(payload))
            assert raised.value.kind == expected["error"]
        else:
            assert pavenda.decode(as_given(payload)) == expected


def test_decode_error_says_where_and_why() -> None:
    with pytest.raises(pavenda.DecodeError) as raised:
        pavenda.decode("00020159I Shop")
    assert isinstance(raised.value, ValueError)
    assert (raised.value.reason, raised.value.offset, raised.value.kind) == (
        "length field 'I ' is not two digits", 8, "invalidLength")


def test_validate_many_is_the_tool_for_any_number_of_jobs(mixed_payloads, cli_explained) -> None:
    # Several batches' worth, so that batches hand over to each other.
    payloads = [as_given(p) for p in mixed_payloads] * 15
    expected = [e["errorCodes"] for e in cli_explained] * 15
    for jobs in (1, 2, 8, None):
        assert list(pavenda.validate_many(iter(payloads), jobs=jobs)) == expected, jobs


def test_validate_many_reads_lazily_and_stops_at_a_bad_item() -> None:
    valid = pavenda.generate(MERCHANT)
    endless = itertools.repeat(valid)
    assert list(itertools.islice(pavenda.validate_many(endless, jobs=2), 5)) == [[]] * 5

    def items():
        yield from [valid] * 10_000
        yield 17
        yield valid

    codes = pavenda.validate_many(items(), jobs=2)
    assert list(itertools.islice(codes, 10_000)) == [[]] * 10_000
    with pytest.raises(TypeError, match=r"payloads\[10000\]: expected str or bytes, got int"):
        next(codes)

    def failing():
        yield "000201"
        raise OSError("disk gone")

    codes = pavenda.validate_many(["000201", "000201\udcff"], jobs=2)
    assert next(codes) == ["0"]
    with pytest.raises(ValueError, match=r"payloads\[1\]: a str that cannot be written as UTF-8"):
        next(codes)

    codes = pavenda.validate_many(failing(), jobs=1)
    assert next(codes) == ["0"]
    with pytest.raises(OSError, match="disk gone"):
        next(codes)


@pytest.mark.parametrize(("jobs", "error"), [(0, ValueError), (-1, ValueError), (257, ValueError), ("2", TypeError), (1.0, TypeError)])
def test_validate_many_refuses_bad_jobs(jobs, error) -> None:
    with pytest.raises(error, match="jobs: "):
        pavenda.validate_many([], jobs=jobs)


def test_threads_calling_at_once_get_what_one_thread_gets(mixed_payloads) -> None:
    payloads = [as_given(p) for p in mixed_payloads[:200]]
    dictionaries = [dict(MERCHANT, merchantName=f"Shop {i}" * (i % 5 + 1)) for i in range(50)]

    def answers():
        out = [pavenda.validate(p) for p in payloads]
        for fields in dictionaries:
            try:
                out.append(pavenda.generate(fields))
            except pavenda.InvalidFields as refused:
                out.append(refused.findings)
        return out

    expected = answers()
    results: list = [None] * 16
    threads = [threading.Thread(target=lambda k=k: results.__setitem__(k, answers())) for k in range(16)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert all(result == expected for result in results)


def test_huge_and_ill_formed_payloads_are_answered() -> None:
    huge = "000201" + "5999" + "x" * (100 << 20)
    assert [f.code for f in pavenda.validate(huge)] == ["0"]
    assert list(pavenda.validate_many([huge, huge.encode()], jobs=2)) == [["0"], ["0"]]
    ill = b"000201\xff\xfe5802IN"
    assert [f.code for f in pavenda.validate(ill)] == ["0"]
    assert pavenda.explain(ill).decode_error is not None
    with pytest.raises(pavenda.DecodeError):
        pavenda.decode(ill)
    with pytest.raises(ValueError, match="payload: a str that cannot be written as UTF-8"):
        pavenda.validate("000201\udcff")
    with pytest.raises(TypeError, match="payload: expected str or bytes, got int"):
        pavenda.validate(5)


def test_catalogues_and_values_are_read_only() -> None:
    assert (pavenda.FIELD_KEYS["merchantName"], pavenda.FIELD_KEYS["billID"]) == ("59", "6201")
    assert len(pavenda.ERROR_MESSAGES) == 52 and "19" not in pavenda.ERROR_MESSAGES
    assert list(pavenda.ERROR_MESSAGES)[:3] == ["0", "1", "2"]
    with pytest.raises(TypeError):
        pavenda.FIELD_KEYS["merchantName"] = "60"  # type: ignore[index]
    finding = pavenda.validate("000201")[0]
    with pytest.raises(dataclasses.FrozenInstanceError):
        finding.code = "1"  # type: ignore[misc]
    assert hash(finding) == hash(pavenda.validate("000201")[0])
