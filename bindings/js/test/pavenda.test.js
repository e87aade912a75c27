import { test } from "node:test";
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { spawnSync } from "node:child_process";
import { fileURLToPath } from "node:url";

import {
  generate,
  validate,
  explain,
  decode,
  InvalidFields,
  DecodeError,
  FIELD_KEYS,
  ERROR_MESSAGES,
} from "../pavenda.js";

const root = fileURLToPath(new URL("../../../", import.meta.url));
const cli = process.env.PAVENDA_CLI ?? `${root}build/bin/pavenda`;

function runCli(args, input) {
  const run = spawnSync(cli, args, { input, maxBuffer: 1 << 28 });
  assert.ok(run.status === 0 || run.status === 1, `${cli} ${args.join(" ")}: ${run.stderr}`);
  return run.stdout;
}

const merchant = JSON.parse(readFileSync(`${root}examples/merchant.json`, "utf8"));
const invalidPayload =
  "000201021640000000000000025204581253033565802IN5931Sunrise Bakery and Coffee House6006Mumbai6304ABCD";
const utf8 = new TextEncoder();

test("generate gives what the command-line tool gives", () => {
  const expected = runCli(["generate", `${root}examples/merchant.json`]).toString().trimEnd();
  assert.equal(generate(merchant), expected);
  assert.equal(generate(new Map(Object.entries(merchant))), expected);
  assert.deepEqual(validate(expected), []);
});

test("generate refuses what it cannot write as given, naming the key", () => {
  const cases = [
    [{ ...merchant, merchantName: 450 }, /merchantName/],
    [{ ...merchant, merchantName: undefined }, /merchantName: undefined/],
    [{ ...merchant, merchantName: new Date(0) }, /merchantName: a Date/],
    [{ ...merchant, cityName: "Pune\uD800" }, /cityName holds a lone UTF-16 surrogate/],
    [{ ...merchant, additionalDataFieldTemplate: { billID: 7 } }, /additionalDataFieldTemplate\.billID|billID/],
    [{ ...merchant, merchantNmae: "x" }, /merchantNmae/],
  ];
  for (const [fields, message] of cases) assert.throws(() => generate(fields), { name: "TypeError", message });
});

test("generate reports every broken rule", () => {
  const fields = { ...merchant, merchantName: "Sunrise Bakery and Coffee House", countryCode: "XX" };
  assert.throws(
    () => generate(fields),
    (error) => {
      assert.ok(error instanceof InvalidFields);
      assert.deepEqual(
        error.findings.map((f) => f.code),
        ["12", "6"],
      );
      assert.equal(error.findings[1].message, ERROR_MESSAGES["6"]);
      return true;
    },
  );
});

test("validate and explain word each finding", () => {
  const findings = validate(invalidPayload);
  assert.deepEqual(
    findings.map((f) => [f.code, f.tag, f.field, f.detail]),
    [
      ["6", "59", "merchantName", "merchantName (tag 59) has 31 characters; at most 25 are allowed"],
      ["48", "63", "crc", "crc (tag 63) is 'ABCD'; the CRC of the payload before it is '2BE7'"],
    ],
  );
  assert.equal(findings[0].message, ERROR_MESSAGES["6"]);
  assert.ok(Object.isFrozen(findings[0]));
  assert.deepEqual(explain(invalidPayload).crc, { given: "ABCD", computed: "2BE7" });

  const stopped = explain("00020159I Shop");
  assert.deepEqual(stopped.decodeError, { reason: "length field 'I ' is not two digits", offset: 8 });
  assert.deepEqual(
    stopped.findings.map((f) => f.code),
    ["0"],
  );
});

test("decode gives the fields or a DecodeError with reason and offset", () => {
  const decoded = decode(invalidPayload);
  assert.equal(decoded.scheme, "TLV01");
  assert.equal(decoded.fields.merchantName, "Sunrise Bakery and Coffee House");
  assert.throws(() => decode("00020159I Shop"), (error) => {
    assert.ok(error instanceof DecodeError);
    assert.equal(error.reason, "invalidLength");
    assert.equal(error.offset, 8);
    return true;
  });
});

test("every byte is kept both ways", () => {
  // A NUL inside a value is text like any other: it must neither cut the payload nor vanish.
  const withNul = generate({ ...merchant, merchantName: "Sh\u0000p" });
  assert.match(withNul, /5904Sh\u0000p/);
  assert.deepEqual(validate(withNul), []);

  // Bytes that are not UTF-8 are read as they are, never replaced: the payload does not decode.
  const broken = utf8.encode(invalidPayload);
  broken[60] = 0xff;
  assert.deepEqual(
    validate(broken).map((f) => f.code),
    ["0"],
  );
  assert.equal(explain(broken).decodeError.offset, 60);

  const astral = generate({ ...merchant, merchantName: "Caf\u00e9 \u{1F600}" });
  assert.equal(decode(astral).fields.merchantName, "Caf\u00e9 \u{1F600}");
});

test("catalogues hold every field key and error code", () => {
  assert.equal(FIELD_KEYS.merchantName, "59");
  assert.equal(FIELD_KEYS.additionalDataFieldTemplate, "62");
  assert.deepEqual(
    Object.keys(ERROR_MESSAGES).slice(0, 3),
    ["0", "1", "2"],
  );
  assert.equal(ERROR_MESSAGES["48"], "Check if the CRC of all the tags till 62 matches the value in  tag 63");
});

test("validate agrees with pavenda validate --json on the mixed payloads", () => {
  const file = readFileSync(`${root}tests/data/mixed-payloads.txt`);
  const expected = runCli(["validate", "--json", "--jobs", "1"], file)
    .toString()
    .trimEnd()
    .split("\n")
    .map((line) => JSON.parse(line).errorCodes);
  // A line ends at LF, CR LF or a lone CR; blank lines hold no payload, as the tool reads them.
  const payloads = [];
  let start = 0;
  for (let i = 0; i <= file.length; i++) {
    if (i === file.length || file[i] === 0x0a || file[i] === 0x0d) {
      if (i > start) payloads.push(file.subarray(start, i));
      start = i + 1;
    }
  }
  assert.equal(payloads.length, expected.length);
  payloads.forEach((payload, i) => {
    assert.deepEqual(
      validate(payload).map((f) => f.code),
      expected[i],
      `payload ${i + 1}`,
    );
  });
});
