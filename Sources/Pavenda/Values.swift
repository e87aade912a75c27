/// One top-level field as the field builder takes it.
enum FieldValue {
  case text(String)
  case template([(key: String, value: String)])

  /// A template's sub-fields by sub-tag, so that the same fields always give the same payload.
  static func sorted(_ subfields: [String: String]) -> [(key: String, value: String)] {
    subfields.sorted { $0.key < $1.key }.map { (key: $0.key, value: $0.value) }
  }
}

/// One value of the decoded record: a text, a flag, or a template of key to text.
enum DecodedValue: Decodable {
  case text(String)
  case flag(Bool)
  case map([String: String])

  init(from decoder: any Decoder) throws {
    let container = try decoder.singleValueContainer()
    if let text = try? container.decode(String.self) {
      self = .text(text)
    } else if let flag = try? container.decode(Bool.self) {
      self = .flag(flag)
    } else {
      self = .map(try container.decode([String: String].self))
    }
  }

  var text: String? {
    if case .text(let text) = self { return text }
    return nil
  }

  var map: [String: String]? {
    if case .map(let map) = self { return map }
    return nil
  }

  var flag: Bool? {
    if case .flag(let flag) = self { return flag }
    return nil
  }
}
