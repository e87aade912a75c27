// Pavenda for JavaScript: the library compiled to WebAssembly, called through its C interface.
// Texts cross as UTF-8 bytes with their lengths, so every byte of a payload comes back as it went in.
// The module is loaded once, when this file is imported; every call after that is synchronous.

const encoder = new TextEncoder();
const exactDecoder = new TextDecoder("utf-8", { fatal: true });
const statusOk = 0;
const statusFindings = 1;
const statusInvalidJson = 2;
const statusOutOfMemory = 4;
const statusInvalidFields = 6;
const statusUndecodable = 7;
// Error correction level the capacity advisory measures against (the library's default, M).
const eccM = 1;

// The few WASI functions the C library imports. The library itself neither reads files nor asks the
// clock; these answer what its start-up and an abnormal end may ask.
function wasiImports(memory) {
  const errors = [];
  return {
    errors,
    imports: {
      fd_write(fd, iovs, iovsLength, written) {
        const view = new DataView(memory().buffer);
        let total = 0;
        for (let i = 0; i < iovsLength; i++) {
          const base = view.getUint32(iovs + 8 * i, true);
          const length = view.getUint32(iovs + 8 * i + 4, true);
          if (fd === 2) errors.push(new Uint8Array(memory().buffer, base, length).slice());
          total += length;
        }
        view.setUint32(written, total, true);
        return 0;
      },
      fd_close: () => 0,
      fd_seek: () => 70, // ESPIPE: no file can be sought
      fd_fdstat_get: () => 8, // EBADF: no descriptor is open
      environ_sizes_get(count, size) {
        const view = new DataView(memory().buffer);
        view.setUint32(count, 0, true);
        view.setUint32(size, 0, true);
        return 0;
      },
      environ_get: () => 0,
      proc_exit(code) {
        throw new Error(`pavenda.wasm stopped (exit ${code})`);
      },
    },
  };
}

async function wasmBytes() {
  const url = new URL("./pavenda.wasm", import.meta.url);
  if (typeof process !== "undefined" && process.versions && process.versions.node) {
    const { readFile } = await import("node:fs/promises");
    return readFile(url);
  }
  const response = await fetch(url);
  if (!response.ok) throw new Error(`pavenda.wasm: ${response.status} ${response.statusText}`);
  return response.arrayBuffer();
}

async function instantiate() {
  let exports;
  const wasi = wasiImports(() => exports.memory);
  const module = await WebAssembly.compile(await wasmBytes());
  const imports = {};
  for (const wanted of WebAssembly.Module.imports(module)) {
    if (wanted.module !== "wasi_snapshot_preview1") continue;
    const given = wasi.imports[wanted.name];
    if (!given) throw new Error(`pavenda.wasm imports ${wanted.name}, which this module does not provide`);
    (imports[wanted.module] ??= {})[wanted.name] = given;
  }
  exports = (await WebAssembly.instantiate(module, imports)).exports;
  exports._initialize();
  return exports;
}

const wasm = await instantiate();

/** A finding that generation or validation reports. */
export class Finding {
  constructor(fields) {
    Object.assign(this, fields);
    Object.freeze(this);
  }
}

/** Generation found broken rules; `findings` lists every one. */
export class InvalidFields extends Error {
  constructor(findings) {
    super(findings.map((f) => `${f.code}: ${f.message}`).join("; "));
    this.name = "InvalidFields";
    this.findings = findings;
  }
}

/** A payload did not decode; `reason` says why and `offset` (a character offset) where, when known. */
export class DecodeError extends Error {
  constructor(reason, offset) {
    super(offset === null ? reason : `at character ${offset}: ${reason}`);
    this.name = "DecodeError";
    this.reason = reason;
    this.offset = offset;
  }
}

function bytesOf(text, what) {
  if (text instanceof Uint8Array) return text;
  if (typeof text !== "string") throw new TypeError(`${what} must be a string or a Uint8Array`);
  if (/\p{Surrogate}/u.test(text)) {
    // A lone surrogate has no UTF-8 form: encoding would replace it in silence.
    throw new TypeError(`${what} holds a lone UTF-16 surrogate, which UTF-8 cannot carry`);
  }
  return encoder.encode(text);
}

// Calls `body` with the bytes copied into the module's memory, freeing them afterwards.
function withBytes(bytes, body) {
  const pointer = wasm.pavenda_wasm_alloc(bytes.length);
  if (pointer === 0) throw new RangeError("pavenda.wasm: out of memory");
  try {
    new Uint8Array(wasm.memory.buffer, pointer, bytes.length).set(bytes);
    return body(pointer, bytes.length);
  } finally {
    wasm.pavenda_wasm_free(pointer);
  }
}

// Scratch words for out-parameters: one allocation for the module's lifetime.
const scratch = wasm.pavenda_wasm_alloc(8);

function readBytes(pointer, length) {
  return new Uint8Array(wasm.memory.buffer, pointer, length).slice();
}

// A text the library gives out through a `size_t* length` parameter (always the last argument).
function text(name, ...args) {
  const pointer = wasm[name](...args, scratch);
  if (pointer === 0) return null;
  return utf8(readBytes(pointer, new DataView(wasm.memory.buffer).getUint32(scratch, true)));
}

// Bytes as a string when they are UTF-8; otherwise the bytes themselves, so nothing is lost.
function utf8(bytes) {
  try {
    return exactDecoder.decode(bytes);
  } catch {
    return bytes;
  }
}

// Runs a call that makes a response, hands the response to `read` and frees it.
function withResponse(call, read) {
  const status = call(scratch);
  const response = new DataView(wasm.memory.buffer).getUint32(scratch, true);
  if (response === 0) {
    if (status === statusOutOfMemory) throw new RangeError("pavenda.wasm: out of memory");
    throw new Error(`pavenda: ${text("pavenda_status_name_n", status)}`);
  }
  try {
    return read(response, status);
  } finally {
    wasm.pavenda_response_free(response);
  }
}

function findingsOf(response) {
  const findings = [];
  const count = wasm.pavenda_response_finding_count(response);
  for (let i = 0; i < count; i++) {
    const fields = [];
    const fieldCount = wasm.pavenda_response_finding_field_count(response, i);
    for (let j = 0; j < fieldCount; j++) {
      fields.push(
        Object.freeze({
          tag: text("pavenda_response_finding_tag_n", response, i, j),
          subtag: text("pavenda_response_finding_subtag_n", response, i, j),
          field: text("pavenda_response_finding_field_n", response, i, j),
          value: wasm.pavenda_response_finding_has_value(response, i, j)
            ? text("pavenda_response_finding_value", response, i, j)
            : null,
        }),
      );
    }
    const first = fields[0] ?? { tag: null, field: null, value: null };
    findings.push(
      new Finding({
        code: text("pavenda_response_finding_code_n", response, i),
        message: text("pavenda_response_finding_message_n", response, i),
        tag: first.tag,
        field: first.field,
        value: first.value,
        detail: text("pavenda_response_finding_detail_n", response, i),
        fields: Object.freeze(fields),
      }),
    );
  }
  return findings;
}

// A generation's findings: the codes with their messages (what was written is not handed out).
function codesOf(response) {
  const findings = [];
  const count = wasm.pavenda_response_error_count(response);
  for (let i = 0; i < count; i++) {
    findings.push(
      new Finding({
        code: text("pavenda_response_error_code_n", response, i),
        message: text("pavenda_response_error_message_n", response, i),
        tag: null,
        field: null,
        value: null,
        detail: null,
        fields: Object.freeze([]),
      }),
    );
  }
  return findings;
}

function advisoriesOf(response) {
  const advisories = [];
  const count = wasm.pavenda_response_advisory_count(response);
  for (let i = 0; i < count; i++) {
    advisories.push(
      Object.freeze({
        kind: text("pavenda_response_advisory_kind_n", response, i),
        tag: text("pavenda_response_advisory_tag_n", response, i),
        field: text("pavenda_response_advisory_field_n", response, i),
        detail: text("pavenda_response_advisory_detail_n", response, i),
      }),
    );
  }
  return advisories;
}

function decodeErrorOf(response) {
  const reason = text("pavenda_response_decode_error_reason_n", response);
  if (reason === null) return null;
  const known = wasm.pavenda_response_decode_error_offset(response, scratch);
  const offset = known ? new DataView(wasm.memory.buffer).getUint32(scratch, true) : null;
  return Object.freeze({ reason, offset });
}

// Values JSON.stringify would drop or change in silence; everything else goes to the library,
// whose boundary refuses what is not text or a template's map, naming the key.
function checkRepresentable(value, path) {
  const where = path.length ? path.join(".") : "fields";
  if (value === undefined || typeof value === "function" || typeof value === "symbol") {
    throw new TypeError(`${where}: ${typeof value} cannot be written; give the value as a string`);
  }
  if (typeof value === "bigint" || (typeof value === "number" && !Number.isFinite(value))) {
    throw new TypeError(`${where}: a number where text belongs; write it as a string`);
  }
  if (typeof value === "string") {
    bytesOf(value, where);
    return;
  }
  if (value === null || typeof value !== "object") return;
  const prototype = Object.getPrototypeOf(value);
  if (!Array.isArray(value) && prototype !== Object.prototype && prototype !== null) {
    throw new TypeError(`${where}: a ${prototype.constructor?.name ?? "object"} is not text; give the value as a string`);
  }
  for (const [key, inner] of Object.entries(value)) checkRepresentable(inner, [...path, key]);
}

function fieldsJson(fields) {
  if (fields instanceof Map) fields = Object.fromEntries(fields);
  checkRepresentable(fields, []);
  return encoder.encode(JSON.stringify(fields));
}

/**
 * The checked payload for a field dictionary (field keys or tag numbers to strings, templates as
 * nested objects). Throws TypeError when the dictionary holds what cannot be written as given (the
 * message names the key), and InvalidFields with every finding when a rule is broken.
 */
export function generate(fields) {
  return withBytes(fieldsJson(fields), (pointer, length) =>
    withResponse(
      (out) => wasm.pavenda_generate_json_explained(pointer, length, eccM, out),
      (response, status) => {
        if (status === statusInvalidJson || status === statusInvalidFields) {
          throw new TypeError(text("pavenda_response_input_error_n", response));
        }
        if (status === statusFindings) throw new InvalidFields(codesOf(response));
        return text("pavenda_response_payload", response);
      },
    ),
  );
}

/** The findings of a payload (a string, or a Uint8Array for bytes that are not UTF-8); empty when valid. */
export function validate(payload) {
  return withBytes(bytesOf(payload, "payload"), (pointer, length) => {
    // Most payloads are valid: the plain check answers them without building an explanation.
    const valid = withResponse(
      (out) => wasm.pavenda_validate(pointer, length, out),
      (response, status) => status === statusOk,
    );
    return valid ? [] : explainAt(pointer, length).findings;
  });
}

function explainAt(pointer, length) {
  return withResponse(
    (out) => wasm.pavenda_validate_explained(pointer, length, eccM, out),
    (response) =>
      Object.freeze({
        findings: findingsOf(response),
        decodeError: decodeErrorOf(response),
        crc: Object.freeze({
          given: text("pavenda_response_crc_given_n", response),
          computed: text("pavenda_response_crc_computed_n", response),
        }),
        advisories: advisoriesOf(response),
      }),
  );
}

/**
 * Everything validation says of a payload: the findings, where decoding stopped (null when it did
 * not), the CRC given and computed, and advisories on what the rules allow but readers trip on.
 */
export function explain(payload) {
  return withBytes(bytesOf(payload, "payload"), explainAt);
}

/** The fields a scanner reads from a payload; throws DecodeError when it does not decode. */
export function decode(payload) {
  const bytes = bytesOf(payload, "payload");
  return withBytes(bytes, (pointer, length) =>
    withResponse(
      (out) => wasm.pavenda_decode(pointer, length, out),
      (response, status) => {
        if (status === statusUndecodable) {
          const where = explain(bytes).decodeError;
          throw new DecodeError(text("pavenda_response_decoding_error_n", response), where?.offset ?? null);
        }
        return JSON.parse(text("pavenda_response_decoded_json_n", response));
      },
    ),
  );
}

function catalogue(count, key, value) {
  const entries = [];
  for (let i = 0; i < count; i++) entries.push([text(key, i), text(value, i)]);
  return Object.freeze(Object.fromEntries(entries));
}

/** Every field key with its tag number. */
export const FIELD_KEYS = catalogue(wasm.pavenda_field_count(), "pavenda_field_key_n", "pavenda_field_tag_n");

/** Every error code with its message. */
export const ERROR_MESSAGES = catalogue(
  wasm.pavenda_error_catalogue_count(),
  "pavenda_error_catalogue_code_n",
  "pavenda_error_catalogue_message_n",
);

/** The library's version. */
export const VERSION = text("pavenda_version_n");
