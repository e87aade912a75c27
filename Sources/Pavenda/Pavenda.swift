import CPavenda

#if canImport(FoundationEssentials)
  import FoundationEssentials
#else
  import Foundation
#endif

// Every function here is stateless and the library keeps no state between calls, so any of them
// may run on several tasks or threads at once. The library answers every input; the traps below
// are for memory running out, which Swift treats as fatal everywhere, and for library faults.

/// One broken rule: its code ("0" to "55") and the code's message (empty for a code without one).
public struct Finding: Sendable, Hashable, CustomStringConvertible {
  /// The code, such as "48".
  public let code: String
  /// The code's message from the error catalogue; empty when the catalogue has none.
  public let message: String

  /// A finding with the given code and message.
  public init(code: String, message: String) {
    self.code = code
    self.message = message
  }

  /// The code, a colon and the message.
  public var description: String { message.isEmpty ? code : "\(code): \(message)" }
}

/// Why `generate(_:)` gave no payload.
public enum GenerationError: Error, Sendable, Hashable, CustomStringConvertible {
  /// The payload broke these rules, in the order validation raised them (never empty).
  case findings([Finding])
  /// A field cannot be written as given; the text names the key path and why.
  case invalidFields(String)

  /// The codes separated by blanks, or the reason the fields were refused.
  public var description: String {
    switch self {
    case .findings(let findings): return findings.map(\.code).joined(separator: " ")
    case .invalidFields(let reason): return "invalid fields: \(reason)"
    }
  }
}

/// Why `decode(_:)` could not read a payload: the decoder's reason, such as "invalidLength".
public struct PayloadDecodingError: Error, Sendable, Hashable, CustomStringConvertible {
  /// The reason: "invalidLength", "repeatedTag" or "invalidTag", one of the constants below.
  /// (Decoding reports an element cut short, or with a length that is not a number, as
  /// "invalidLength".)
  public let reason: String

  /// A text too short to hold an element, or an element cut short or with a bad length.
  public static let invalidLength = PayloadDecodingError(reason: "invalidLength")
  /// A tag repeated at one level.
  public static let repeatedTag = PayloadDecodingError(reason: "repeatedTag")
  /// A tag that is not a field, or a two-digit-scheme payload that does not end with tag "63".
  public static let invalidTag = PayloadDecodingError(reason: "invalidTag")

  /// An error with the given reason.
  public init(reason: String) { self.reason = reason }

  /// The reason.
  public var description: String { reason }
}

/// A payload read back into its fields, without validating it.
public struct DecodedPayload: Sendable, Hashable {
  /// The tag scheme a payload was written in.
  public enum Scheme: String, Sendable, Hashable {
    /// Two-digit tags and lengths, templates allowed; payloads starting with "00".
    case twoDigit = "TLV01"
    /// One-character tags ("0" to "9", "A", "B") and base-36 lengths.
    case singleCharacter = "TLV00"
  }

  /// The scheme the payload was read in.
  public let scheme: Scheme
  /// The fields, each under its key. Sub-fields of tag "62" are in `additionalDataFieldTemplate`.
  public let fields: MerchantFields
  /// Whether the tip and fee indicator is "01", "02" or "03".
  public let isTipAvailable: Bool
  /// The merchant ID of tag "02" again, as the record keeps it (two-digit scheme only).
  public let zArodezMerchantPAN: String?
  /// The whole text of tag "62", as it stood in the payload.
  public let additionalDataField: String?
  /// Tag "7" of the single-character scheme.
  public let primaryID: String?
  /// Tag "8" of the single-character scheme.
  public let secondaryID: String?
}

/// Something the rules allow but readers of a payload trip on, as `pavenda validate --explain`
/// reports it.
public struct Advisory: Sendable, Hashable, CustomStringConvertible {
  /// "framing", "capacity", "currency-decimals" or "invisible-characters".
  public let kind: String
  /// The tag it concerns, such as "59"; empty for the whole payload.
  public let tag: String
  /// The field key it concerns, such as "merchantName"; empty for the whole payload.
  public let field: String
  /// What a reader would meet, in words.
  public let detail: String

  /// An advisory with the given parts.
  public init(kind: String, tag: String, field: String, detail: String) {
    (self.kind, self.tag, self.field, self.detail) = (kind, tag, field, detail)
  }

  /// The kind, a colon and the detail.
  public var description: String { "\(kind): \(detail)" }
}

/// The error correction a payload will be printed with; it sets the capacity advisory's limits.
public enum ErrorCorrection: Int32, Sendable, Hashable, CaseIterable {
  case low = 0, medium, quartile, high
}

/// A generated payload with the advisories of what a reader would meet.
public struct ExplainedPayload: Sendable, Hashable {
  /// The payload, every byte of it.
  public let payload: String
  /// The advisories, in the order `pavenda validate --explain` gives them; empty when none.
  public let advisories: [Advisory]
}

/// Generates a checked payload: writes the fields in tag order (sub-fields of `[String: String]`
/// templates by sub-tag), reads the text back and validates it, and returns it only when no rule is
/// broken. `crc` is ignored: the CRC is always computed.
///
/// Throws `GenerationError.findings` with every broken rule's code and message, or
/// `GenerationError.invalidFields` naming the key path of a field the encoder would drop or write
/// other than as given (the library's own check of its field dictionary). Traps only when memory
/// runs out.
public func generate(_ fields: MerchantFields) throws(GenerationError) -> String {
  try generated(fields, level: nil).payload
}

/// As `generate(_:)`, with the advisories of the payload (printed at `errorCorrection`): what the
/// rules allow but readers trip on, such as decimals a currency does not have or invisible
/// characters.
public func generateExplained(_ fields: MerchantFields, errorCorrection: ErrorCorrection = .medium)
  throws(GenerationError) -> ExplainedPayload
{
  try generated(fields, level: errorCorrection)
}

private func generated(_ fields: MerchantFields, level: ErrorCorrection?) throws(GenerationError)
  -> ExplainedPayload
{
  let entries = fields.entries
  try checkSubtags(fields)
  guard let builder = pavenda_fields_new() else { outOfMemory() }
  defer { pavenda_fields_free(builder) }
  for (key, value) in entries {
    switch value {
    case .text(let text):
      check(withBytes(key, text) { pavenda_fields_set(builder, $0, $1, $2, $3) })
    case .template(let subfields):
      for (subKey, text) in subfields {
        check(
          withBytes(key, subKey, text) {
            pavenda_fields_set_template(builder, $0, $1, $2, $3, $4, $5)
          })
      }
    }
  }
  var response: OpaquePointer?
  let status =
    if let level {
      pavenda_generate_fields_explained(builder, level.rawValue, &response)
    } else {
      pavenda_generate_fields(builder, &response)
    }
  guard let response else { failure(status) }
  defer { pavenda_response_free(response) }
  switch status {
  case PAVENDA_OK:
    return ExplainedPayload(
      payload: text { pavenda_response_payload(response, $0) }, advisories: advisories(of: response))
  case PAVENDA_FINDINGS:
    throw .findings(findings(of: response))
  case PAVENDA_INVALID_FIELDS:
    throw .invalidFields(text { pavenda_response_input_error_n(response, $0) })
  default:
    failure(status)
  }
}

/// Validates a payload in either tag scheme: no findings when it is valid, else every broken rule
/// in the order validation raised them. The empty text gives the single code "0". Traps only when
/// memory runs out.
public func validate(_ payload: String) -> [Finding] {
  var response: OpaquePointer?
  let status = withBytes(payload) { pavenda_validate($0, $1, &response) }
  guard let response else { failure(status) }
  defer { pavenda_response_free(response) }
  return findings(of: response)
}

/// Decodes a payload in either tag scheme into its fields, without validating them.
///
/// Throws `PayloadDecodingError` when the text does not decode. Traps only when memory runs out.
public func decode(_ payload: String) throws(PayloadDecodingError) -> DecodedPayload {
  var response: OpaquePointer?
  let status = withBytes(payload) { pavenda_decode($0, $1, &response) }
  guard let response else { failure(status) }
  defer { pavenda_response_free(response) }
  guard status == PAVENDA_OK else {
    throw PayloadDecodingError(reason: text { pavenda_response_decoding_error_n(response, $0) })
  }
  struct Record: Decodable {
    let scheme: String
    let fields: [String: DecodedValue]
  }
  let json = text { pavenda_response_decoded_json_n(response, $0) }
  guard let record = try? JSONDecoder().decode(Record.self, from: Data(json.utf8)),
    let scheme = DecodedPayload.Scheme(rawValue: record.scheme)
  else {
    fatalError("pavenda: the library's decoded JSON did not parse: \(json)")
  }
  return DecodedPayload(
    scheme: scheme, fields: MerchantFields(decoded: record.fields),
    isTipAvailable: record.fields["isTipAvailable"]?.flag ?? false,
    zArodezMerchantPAN: record.fields["zArodezMerchantPAN"]?.text,
    additionalDataField: record.fields["additionalDataField"]?.text,
    primaryID: record.fields["primaryID"]?.text, secondaryID: record.fields["secondaryID"]?.text)
}

/// Every field key with its tag, in tag order: two digits for a top-level field ("59"), four for
/// a sub-field of tag "62" (template tag and sub-tag, "6201").
public let fieldCatalogue: [(key: String, tag: String)] = (0..<pavenda_field_count()).map {
  index in (text { pavenda_field_key_n(index, $0) }, text { pavenda_field_tag_n(index, $0) })
}

/// Every code of the error catalogue with its message, in numeric order.
public let errorCatalogue: [Finding] = (0..<pavenda_error_catalogue_count()).map { index in
  Finding(
    code: text { pavenda_error_catalogue_code_n(index, $0) },
    message: text { pavenda_error_catalogue_message_n(index, $0) })
}

/// The library's version, such as "0.1.0".
public let version: String = text { pavenda_version_n($0) }

// MARK: - Bridging

private func findings(of response: OpaquePointer) -> [Finding] {
  (0..<pavenda_response_error_count(response)).map { index in
    Finding(
      code: text { pavenda_response_error_code_n(response, index, $0) },
      message: text { pavenda_response_error_message_n(response, index, $0) })
  }
}

private func advisories(of response: OpaquePointer) -> [Advisory] {
  (0..<pavenda_response_advisory_count(response)).map { index in
    Advisory(
      kind: text { pavenda_response_advisory_kind_n(response, index, $0) },
      tag: text { pavenda_response_advisory_tag_n(response, index, $0) },
      field: text { pavenda_response_advisory_field_n(response, index, $0) },
      detail: text { pavenda_response_advisory_detail_n(response, index, $0) })
  }
}

// Template sub-keys are passed through as sub-tags, so a bad one would only show up as an
// undecodable payload; naming it here says what is wrong.
private func checkSubtags(_ fields: MerchantFields) throws(GenerationError) {
  func check(_ key: String, _ subfields: [String: String], named: Set<String>)
    throws(GenerationError)
  {
    for subKey in subfields.keys.sorted() {
      let isTwoDigits = subKey.utf8.count == 2 && subKey.utf8.allSatisfy { $0 >= 48 && $0 <= 57 }
      if !isTwoDigits {
        throw .invalidFields("\(key).\(subKey): a sub-tag is two digits, \"00\" to \"99\"")
      }
      if named.contains(subKey) {
        throw .invalidFields("\(key).\(subKey): this sub-tag has a property of its own")
      }
    }
  }
  for (key, value) in fields.entries {
    guard case .template = value else { continue }
    switch key {
    case "additionalDataFieldTemplate":
      try check(
        key, fields.additionalDataFieldTemplate?.otherSubfields ?? [:],
        named: AdditionalData.namedSubtags)
    case "merchantInformationLanguageTemplate":
      try check(
        key, fields.merchantInformationLanguageTemplate?.otherSubfields ?? [:],
        named: LanguageTemplate.namedSubtags)
    default:
      if case .template(let subfields) = value {
        try check(key, Dictionary(uniqueKeysWithValues: subfields), named: [])
      }
    }
  }
}

// A text the library gives out, taken with its length: it may hold NUL bytes, which a C string
// would end at.
private func text(_ give: (UnsafeMutablePointer<Int>) -> UnsafePointer<CChar>?) -> String {
  var length = 0
  guard let pointer = give(&length) else {
    fatalError("pavenda: the library gave no text where one is promised")
  }
  let bytes = UnsafeBufferPointer(
    start: UnsafeRawPointer(pointer).assumingMemoryBound(to: UInt8.self), count: length)
  // The library gives out UTF-8 only: every text it was given came from a Swift String.
  return String(decoding: bytes, as: UTF8.self)
}

// The builder only fails when memory runs out, which Swift treats as fatal everywhere else too.
private func check(_ status: pavenda_status) {
  if status != PAVENDA_OK { failure(status) }
}

private func outOfMemory() -> Never { failure(PAVENDA_OUT_OF_MEMORY) }

private func failure(_ status: pavenda_status) -> Never {
  fatalError("pavenda: \(text { pavenda_status_name_n(Int32(status.rawValue), $0) })")
}

private func withBytes<R>(_ text: String, _ body: (UnsafePointer<CChar>?, Int) -> R) -> R {
  var text = text
  return text.withUTF8 { bytes in
    bytes.withMemoryRebound(to: CChar.self) { body($0.baseAddress, $0.count) }
  }
}

private func withBytes<R>(
  _ first: String, _ second: String,
  _ body: (UnsafePointer<CChar>?, Int, UnsafePointer<CChar>?, Int) -> R
) -> R {
  withBytes(first) { a, aLength in withBytes(second) { b, bLength in body(a, aLength, b, bLength) }
  }
}

private func withBytes<R>(
  _ first: String, _ second: String, _ third: String,
  _ body: (UnsafePointer<CChar>?, Int, UnsafePointer<CChar>?, Int, UnsafePointer<CChar>?, Int) -> R
) -> R {
  withBytes(first, second) { a, aLength, b, bLength in
    withBytes(third) { c, cLength in body(a, aLength, b, bLength, c, cLength) }
  }
}
