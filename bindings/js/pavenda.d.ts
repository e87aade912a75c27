/** A text the library gives back: a string, or the bytes themselves when they are not UTF-8. */
export type Text = string | Uint8Array;

/** One field a finding is about. */
export interface FindingField {
  readonly tag: string | null;
  readonly subtag: string | null;
  readonly field: string | null;
  readonly value: Text | null;
}

/** A broken rule: its code and message, the field it is about, and why in words. */
export declare class Finding {
  readonly code: string;
  readonly message: string;
  readonly tag: string | null;
  readonly field: string | null;
  readonly value: Text | null;
  readonly detail: string | null;
  readonly fields: readonly FindingField[];
}

/** What the rules allow but readers trip on ("framing", "capacity", "currency-decimals", "invisible-characters"). */
export interface Advisory {
  readonly kind: string;
  readonly tag: string | null;
  readonly field: string | null;
  readonly detail: string;
}

/** Everything validation says of one payload. */
export interface Explanation {
  readonly findings: readonly Finding[];
  /** Where decoding stopped and why; null when the payload decodes. */
  readonly decodeError: { readonly reason: string; readonly offset: number | null } | null;
  readonly crc: { readonly given: string | null; readonly computed: string | null };
  readonly advisories: readonly Advisory[];
}

/** A field dictionary: field keys or tag numbers to strings, templates as nested maps. */
export type Fields =
  | { readonly [key: string]: string | { readonly [subkey: string]: string } }
  | ReadonlyMap<string, string | { readonly [subkey: string]: string }>;

/** Generation found broken rules. */
export declare class InvalidFields extends Error {
  readonly findings: readonly Finding[];
}

/** A payload that does not decode; `offset` is a character offset, when known. */
export declare class DecodeError extends Error {
  readonly reason: string;
  readonly offset: number | null;
}

/**
 * The checked payload. Throws TypeError for a dictionary that cannot be written as given (naming
 * the key) and InvalidFields when a rule is broken.
 */
export declare function generate(fields: Fields): string;

/** The findings of a payload; empty when it is valid. Bytes for text that is not UTF-8. */
export declare function validate(payload: string | Uint8Array): Finding[];

/** Findings, decoding stop, CRC and advisories of a payload. */
export declare function explain(payload: string | Uint8Array): Explanation;

/** The decoded fields, as `pavenda decode` prints them without the CRC check. */
export declare function decode(payload: string | Uint8Array): {
  scheme: "TLV01" | "TLV00";
  fields: Record<string, unknown>;
};

/** Every field key with its tag number. */
export declare const FIELD_KEYS: Readonly<Record<string, string>>;

/** Every error code with its message. */
export declare const ERROR_MESSAGES: Readonly<Record<string, string>>;

/** The library's version. */
export declare const VERSION: string;
