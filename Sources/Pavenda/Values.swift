/// The sub-fields of the merchant information language template (tag "64").
public struct LanguageTemplate: Sendable, Hashable {
  /// The language of the alternate texts, sub-tag "00", such as "ZH".
  public var languagePreference: String?
  /// The merchant's name in that language, sub-tag "01".
  public var merchantNameAlternateLanguage: String?
  /// The merchant's city in that language, sub-tag "02".
  public var merchantCityAlternateLanguage: String?
  /// Other sub-fields: two-digit sub-tag ("03" to "99") to text.
  public var otherSubfields: [String: String]

  /// Sub-fields as given; all absent by default.
  public init(
    languagePreference: String? = nil, merchantNameAlternateLanguage: String? = nil,
    merchantCityAlternateLanguage: String? = nil, otherSubfields: [String: String] = [:]
  ) {
    self.languagePreference = languagePreference
    self.merchantNameAlternateLanguage = merchantNameAlternateLanguage
    self.merchantCityAlternateLanguage = merchantCityAlternateLanguage
    self.otherSubfields = otherSubfields
  }
}

extension LanguageTemplate {
  static let namedSubtags: Set<String> = ["00", "01", "02"]

  var subfields: [(key: String, value: String)] {
    var result: [(key: String, value: String)] = []
    if let value = languagePreference { result.append(("languagePreference", value)) }
    if let value = merchantNameAlternateLanguage {
      result.append(("merchantNameAlternateLanguage", value))
    }
    if let value = merchantCityAlternateLanguage {
      result.append(("merchantCityAlternateLanguage", value))
    }
    return result + FieldValue.sorted(otherSubfields)
  }

  init(decoded subfields: [String: String]) {
    var others = subfields
    languagePreference = others.removeValue(forKey: "languagePreference")
    merchantNameAlternateLanguage = others.removeValue(forKey: "merchantNameAlternateLanguage")
    merchantCityAlternateLanguage = others.removeValue(forKey: "merchantCityAlternateLanguage")
    otherSubfields = others
  }
}

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
