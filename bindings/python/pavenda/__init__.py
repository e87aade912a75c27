"""Payloads of EMV merchant-presented payment QR codes: generate, encode, validate, explain, decode.

The work is done by the compiled Pavenda library inside this package; every call releases the GIL
while the library runs, so threads calling at once run in parallel, and ``validate_many`` spreads
one stream of payloads over several cores.

    >>> import pavenda
    >>> payload = pavenda.generate({
    ...     "payloadFormatIndicator": "01", "zArodezMerchantID": "4000000000000002",
    ...     "merchantCategoryCode": "5812", "currencyCode": "356", "countryCode": "IN",
    ...     "merchantName": "Saffron Kitchen", "cityName": "Bengaluru"})
    >>> pavenda.validate(payload)
    []

Field dictionaries are mappings of field keys (``"merchantName"``, see ``FIELD_KEYS``) or tag
numbers (``"59"``) to texts, and for a template field (tags 26 to 51, 62, 64 and 80 to 99) to a
mapping of sub-field keys or two-character sub-tags to texts. They are taken strictly: a value
that is not a ``str`` raises ``TypeError`` (a float such as ``450.00`` is never written as
``450.0``); an unknown key (with the nearest key suggested), a mapping under a field that is not
a template, or a field given both by name and by tag number raises ``ValueError``. Every message
starts with the key path (``additionalDataFieldTemplate.bilID: ...``).

A payload is a ``str``, or ``bytes`` for text that is not UTF-8 (such a payload gets code "0").
"""

from __future__ import annotations

from collections.abc import Iterable, Iterator, Mapping
from dataclasses import dataclass, field
from types import MappingProxyType
from typing import Any, Literal, Union

from . import _pavenda

__all__ = [
    "Advisory",
    "Crc",
    "DecodeError",
    "DecodeFailure",
    "ERROR_MESSAGES",
    "Explanation",
    "FIELD_KEYS",
    "Finding",
    "FindingField",
    "InvalidFields",
    "decode",
    "encode",
    "explain",
    "generate",
    "validate",
    "validate_many",
]

__version__: str = _pavenda.version

Payload = Union[str, bytes]
Fields = Mapping[str, Union[str, Mapping[str, str]]]

#: Every field key of the tag catalogue and its tag, in tag order: ``"merchantName": "59"``; the
#: sub-fields of the additional data template have four-digit tags (``"billID": "6201"``).
FIELD_KEYS: Mapping[str, str] = MappingProxyType(dict(_pavenda.field_keys()))

#: Every error code that has a message, in numeric order: ``"48": "..."``.
ERROR_MESSAGES: Mapping[str, str] = MappingProxyType(dict(_pavenda.error_messages()))


@dataclass(frozen=True, slots=True)
class FindingField:
    """One field a finding concerns.

    ``tag`` is the tag in the payload's own scheme (``"59"``, or ``"1"`` for a single-character
    payload), ``subtag`` the sub-tag of a template sub-field (``"01"`` under ``"62"``) or None,
    ``field`` the field key, ``value`` the value as decoded (None when the field is absent, ``""``
    when it is present but empty).
    """

    tag: str
    subtag: str | None
    field: str
    value: str | None


@dataclass(frozen=True, slots=True)
class Finding:
    """One error code explained.

    ``code`` is the code (``"48"``), ``message`` its catalogue message (``""`` for a code without
    one), ``tag``, ``field`` and ``value`` those of the first field it concerns (None for code
    ``"0"``, which concerns none), ``detail`` a plain-English sentence saying what exactly is
    wrong, and ``fields`` every field it concerns.
    """

    code: str
    message: str
    tag: str | None
    field: str | None
    value: str | None
    detail: str
    fields: tuple[FindingField, ...] = ()

    def to_dict(self) -> dict[str, Any]:
        """The finding as ``pavenda validate --explain --json`` writes it."""
        return {
            "code": self.code,
            "message": self.message,
            "tag": self.tag,
            "field": self.field,
            "value": self.value,
            "detail": self.detail,
            "fields": [
                {"tag": f.tag, "subtag": f.subtag, "field": f.field, "value": f.value}
                for f in self.fields
            ],
        }


@dataclass(frozen=True, slots=True)
class DecodeFailure:
    """Why a payload did not decode: ``reason`` in words and ``offset``, the number of
    user-perceived characters before the point where decoding stopped (0-based)."""

    reason: str
    offset: int


@dataclass(frozen=True, slots=True)
class Crc:
    """The CRC of a two-digit payload: ``given`` is the value of tag 63, ``computed`` the four
    upper-case hexadecimal digits over everything before it; either is None when there is none."""

    given: str | None
    computed: str | None

    @property
    def matches(self) -> bool:
        """Whether both are there and equal, letter case ignored."""
        return (
            self.given is not None
            and self.computed is not None
            and self.given.upper() == self.computed
        )


@dataclass(frozen=True, slots=True)
class Advisory:
    """Something the rules allow but readers trip on: ``kind`` is ``"framing"``, ``"capacity"``,
    ``"currency-decimals"`` or ``"invisible-characters"``; ``tag`` and ``field`` say where
    (``""`` for the whole payload)."""

    kind: str
    tag: str
    field: str
    detail: str


@dataclass(frozen=True, slots=True)
class Explanation:
    """Everything ``pavenda validate --explain --json`` says about one payload."""

    error_codes: list[str]
    """The codes, exactly as ``validate_many`` gives them (empty when valid)."""
    findings: list[Finding]
    """One finding per code, in the same order."""
    decode_error: DecodeFailure | None
    """Set exactly when the payload did not decode (the codes are then just ``"0"``)."""
    crc: Crc
    advisories: list[Advisory] = field(default_factory=list)

    @property
    def valid(self) -> bool:
        """Whether the payload has no finding."""
        return not self.error_codes

    def to_dict(self) -> dict[str, Any]:
        """The members of ``pavenda validate --explain --json`` after the payload's own."""
        out: dict[str, Any] = {
            "errorCodes": list(self.error_codes),
            "findings": [f.to_dict() for f in self.findings],
        }
        if self.decode_error is not None:
            out["decodeError"] = {
                "reason": self.decode_error.reason,
                "offset": self.decode_error.offset,
            }
        out["crc"] = {"given": self.crc.given, "computed": self.crc.computed}
        out["advisories"] = [
            {"kind": a.kind, "tag": a.tag, "field": a.field, "detail": a.detail}
            for a in self.advisories
        ]
        return out


class InvalidFields(ValueError):
    """A generation refused by validation; ``findings`` lists every finding, in code order."""

    findings: list[Finding]

    def __init__(self, findings: list[Finding]) -> None:
        self.findings = findings
        super().__init__(
            "the payload breaks "
            + ("a rule: " if len(findings) == 1 else f"{len(findings)} rules: ")
            + "; ".join(f"{f.code}: {f.message or f.detail}" for f in findings)
        )


class DecodeError(ValueError):
    """A payload that does not decode: ``reason`` in words, ``offset`` the user-perceived
    characters before the point where decoding stopped, ``kind`` the decoder's error
    (``"invalidLength"``, ``"invalidTagLength"``, ``"repeatedTag"`` or ``"invalidTag"``, what
    ``pavenda decode`` prints)."""

    reason: str
    offset: int
    kind: str

    def __init__(self, reason: str, offset: int, kind: str) -> None:
        self.reason, self.offset, self.kind = reason, offset, kind
        super().__init__(f"at character {offset}: {reason}")


def _finding(raw: tuple[Any, ...]) -> Finding:
    return Finding(*raw[:6], tuple(FindingField(*f) for f in raw[6]))


def generate(fields: Fields) -> str:
    """The checked payload of ``fields``: encoded, decoded again and validated.

    Raises ``InvalidFields`` (a ``ValueError``) with every finding when a rule is broken, and
    ``TypeError`` or ``ValueError`` naming the key path when ``fields`` holds something that would
    not be written as given (see the module's documentation).
    """
    out = _pavenda.generate(fields)
    if isinstance(out, str):
        return out
    raise InvalidFields([_finding(raw) for raw in out])


def encode(fields: Fields) -> str:
    """The payload text of ``fields`` without any validation: the payload format indicator first,
    the other fields in the mapping's order, the CRC last. Refuses ``fields`` as ``generate``
    does (``TypeError``, ``ValueError``)."""
    return _pavenda.encode(fields)


def validate(payload: Payload) -> list[Finding]:
    """The findings of a payload in either tag scheme, explained; empty when it is valid."""
    raw = _pavenda.validate(payload)
    return [_finding(r) for r in raw] if raw else raw


def explain(
    payload: Payload, error_correction: Literal["L", "M", "Q", "H"] = "M"
) -> Explanation:
    """Validates ``payload`` and explains the outcome: findings, where and why decoding stopped,
    the CRC given and computed, and advisories (for a QR symbol printed at ``error_correction``).
    ``explain(p).to_dict()`` is what ``pavenda validate --explain --json`` writes beside the
    payload."""
    codes, findings, stop, (given, computed), advisories = _pavenda.explain(
        payload, error_correction
    )
    return Explanation(
        codes,
        [_finding(r) for r in findings],
        DecodeFailure(*stop) if stop is not None else None,
        Crc(given, computed),
        [Advisory(*a) for a in advisories],
    )


def decode(payload: Payload) -> dict[str, Any]:
    """The fields of a payload as ``pavenda decode`` prints them: ``{"scheme": "TLV01" | "TLV00",
    "fields": {...}, "crc": {"given", "computed", "matches"}}`` (``"crc"`` only with tag 63).
    Nothing is validated. Raises ``DecodeError`` when the payload does not decode."""
    out = _pavenda.decode(payload)
    if isinstance(out, tuple):
        raise DecodeError(*out)
    return out


def validate_many(payloads: Iterable[Payload], jobs: int | None = None) -> Iterator[list[str]]:
    """The codes of every payload (empty when valid), in input order, on ``jobs`` threads (None:
    one per core); the same output for any number.

    ``payloads`` is any iterable: a list, a file's lines (strip their line ends), a pandas Series,
    a generator. It is read in bounded batches as the result is consumed, so memory stays flat
    however long it is. An item that is not ``str`` or ``bytes``, or an error of the iterable
    itself, is raised after the codes of every item before it.
    """
    threads = _pavenda.jobs_to_use(jobs)
    return _codes(_pavenda.ManyValidation(iter(payloads), threads))


def _codes(validation: Any) -> Iterator[list[str]]:
    batch = validation.next()
    while batch is not None:
        yield from batch
        batch = validation.next()

