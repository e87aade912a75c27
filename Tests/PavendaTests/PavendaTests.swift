import XCTest

@testable import Pavenda

// Known-good payloads, as kept in the fuzz corpus (fuzz/corpus/decode/typical.txt and cjk.txt).
let typicalPayload =
  "0002010102120216400000000000000226360020com.example.acquirer0108MID-00425204581253033565406450.00"
  + "550202560510.005802IN5915Saffron Kitchen6009Bengaluru610656000162270115INV-20261206-170704T-07"
  + "63044BC6"
let cjkPayload =
  "0002010102120216400000000000000226360020com.example.acquirer0108MID-00425204581253033565406450.00"
  + "550202560510.005802IN5915Saffron Kitchen6009Bengaluru610656000162270115INV-20261206-170704T-07"
  + "27380019cn.example.unionpay01116228480012364290002ZH0109金龙茶馆藏红花厨房0206上海浦东新区6304DF0A"

// The fields of examples/merchant.json, from which the typical payload was made.
func typicalFields() -> MerchantFields {
  var fields = MerchantFields()
  fields.payloadFormatIndicator = "01"
  fields.pointOfInitiation = "12"
  fields.zArodezMerchantID = "4000000000000002"
  fields.tag26 = ["00": "com.example.acquirer", "01": "MID-0042"]
  fields.merchantCategoryCode = "5812"
  fields.currencyCode = "356"
  fields.transactionAmount = "450.00"
  fields.tipAndFeeIndicator = "02"
  fields.convenienceFeeAmount = "10.00"
  fields.countryCode = "IN"
  fields.merchantName = "Saffron Kitchen"
  fields.cityName = "Bengaluru"
  fields.postalCode = "560001"
  fields.additionalDataFieldTemplate = AdditionalData(billID: "INV-20261206-17", terminalID: "T-07")
  return fields
}

final class GenerationTests: XCTestCase {
  func testValidFieldsGiveTheKnownPayload() throws {
    XCTAssertEqual(try generate(typicalFields()), typicalPayload)
  }

  func testBrokenRulesComeWithCodesAndMessages() {
    let cases: [(String, (inout MerchantFields) -> Void, [Finding])] = [
      (
        "name absent", { $0.merchantName = nil },
        [Finding(code: "7", message: "Merchant name must be present")]
      ),
      (
        "city absent", { $0.cityName = nil },
        [Finding(code: "11", message: "City Name must always be present")]
      ),
      (
        "three-letter country", { $0.countryCode = "IND" },
        [Finding(code: "12", message: "Length of country Code must be 2 alpha characters")]
      ),
      (
        "format indicator 02", { $0.payloadFormatIndicator = "02" },
        [Finding(code: "42", message: "Format indicator value is 01")]
      ),
    ]
    for (name, change, expected) in cases {
      var fields = typicalFields()
      change(&fields)
      XCTAssertThrowsError(try generate(fields), name) { error in
        XCTAssertEqual(error as? GenerationError, .findings(expected), name)
      }
    }
  }

  func testSubtagsThatCannotBeWrittenAreRefusedByName() {
    let cases: [(String, (inout MerchantFields) -> Void, String)] = [
      ("three-character sub-tag", { $0.tag26 = ["001": "x"] }, "tag26.001"),
      ("sub-tag with a letter", { $0.tag80 = ["0A": "x"] }, "tag80.0A"),
      // Present but empty is not absent: an empty value cannot be read back, so it is refused.
      ("name empty", { $0.merchantName = "" }, "merchantName"),
      (
        "named sub-tag given again",
        { $0.additionalDataFieldTemplate?.otherSubfields = ["01": "x"] },
        "additionalDataFieldTemplate.01"
      ),
      (
        "language sub-tag given again",
        { $0.merchantInformationLanguageTemplate = LanguageTemplate(otherSubfields: ["00": "ZH"]) },
        "merchantInformationLanguageTemplate.00"
      ),
    ]
    for (name, change, path) in cases {
      var fields = typicalFields()
      change(&fields)
      XCTAssertThrowsError(try generate(fields), name) { error in
        guard case .invalidFields(let reason) = error as? GenerationError else {
          return XCTFail("\(name): \(error)")
        }
        XCTAssertTrue(reason.hasPrefix(path + ":"), "\(name): \(reason)")
      }
    }
  }
}

final class EveryByteTests: XCTestCase {
  // A NUL is a character like any other to the library: the payload carries it, and its CRC
  // covers it, so a payload cut at the NUL would be a different, broken one.
  func testTextsWithNulKeepEveryByte() throws {
    var fields = typicalFields()
    fields.merchantName = "Sh\u{0}p"
    let payload = try generate(fields)
    XCTAssertTrue(payload.contains("5904Sh\u{0}p6009Bengaluru"), payload)
    XCTAssertEqual(payload.utf8.count, typicalPayload.utf8.count - 15 + 4)
    XCTAssertEqual(validate(payload), [])
    XCTAssertEqual(try decode(payload).fields.merchantName, "Sh\u{0}p")
    XCTAssertEqual(try generateExplained(fields).payload, payload)
  }
}

final class AdvisoryTests: XCTestCase {
  func testGenerationGivesTheAdvisoriesOfWhatItWrote() throws {
    let plain = try generateExplained(typicalFields())
    XCTAssertEqual(plain.payload, typicalPayload)
    XCTAssertEqual(plain.advisories, [])

    // JPY has no minor unit; a zero-width space hides in the name.
    var fields = typicalFields()
    (fields.currencyCode, fields.countryCode, fields.tipAndFeeIndicator) = ("392", "JP", nil)
    (fields.transactionAmount, fields.convenienceFeeAmount) = ("450.50", nil)
    fields.merchantName = "Saffron\u{200B}Kitchen"
    let advised = try generateExplained(fields, errorCorrection: .high)
    XCTAssertEqual(validate(advised.payload), [])
    XCTAssertEqual(advised.advisories.map(\.kind), ["framing", "currency-decimals", "invisible-characters"])
    XCTAssertEqual(advised.advisories.map(\.field), ["merchantName", "transactionAmount", "merchantName"])
    XCTAssertEqual(advised.advisories[1].tag, "54")
    XCTAssertTrue(advised.advisories[2].detail.contains("U+200B"), advised.advisories[2].detail)
  }
}

final class ValidationTests: XCTestCase {
  func testFindings() {
    let cases: [(String, String, [Finding])] = [
      ("known-good", typicalPayload, []),
      ("non-ASCII", cjkPayload, []),
      (
        "wrong CRC", String(typicalPayload.dropLast(4)) + "0000",
        [
          Finding(
            code: "48",
            message: "Check if the CRC of all the tags till 62 matches the value in  tag 63")
        ]
      ),
      (
        "empty", "",
        [
          Finding(
            code: "0", message: "Tags except 00, 63 NOT in sequence/Malformed/Unrecognized tags")
        ]
      ),
    ]
    for (name, payload, expected) in cases {
      XCTAssertEqual(validate(payload), expected, name)
    }
  }

  func testCataloguesMatchTheLibrary() {
    XCTAssertEqual(MerchantFields.catalogue.map(\.key), fieldCatalogue.map(\.key))
    XCTAssertEqual(MerchantFields.catalogue.map(\.tag), fieldCatalogue.map(\.tag))
    XCTAssertEqual(errorCatalogue.count, 52)
    XCTAssertEqual(errorCatalogue.first { $0.code == "54" }?.message, "Missing Merchant Name Tag")
    XCTAssertNil(errorCatalogue.first { $0.code == "40" })
  }
}

final class DecodingTests: XCTestCase {
  func testFieldsComeBackUnderTheirKeys() throws {
    let decoded = try decode(cjkPayload)
    XCTAssertEqual(decoded.scheme, .twoDigit)
    XCTAssertEqual(decoded.fields.merchantName, "Saffron Kitchen")
    XCTAssertEqual(decoded.fields.tag27, ["00": "cn.example.unionpay", "01": "62284800123"])
    XCTAssertEqual(
      decoded.fields.additionalDataFieldTemplate,
      AdditionalData(billID: "INV-20261206-17", terminalID: "T-07"))
    XCTAssertEqual(
      decoded.fields.merchantInformationLanguageTemplate,
      LanguageTemplate(
        languagePreference: "ZH", merchantNameAlternateLanguage: "金龙茶馆藏红花厨房",
        merchantCityAlternateLanguage: "上海浦东新区"))
    XCTAssertEqual(decoded.fields.crc, "DF0A")
    XCTAssertEqual(decoded.additionalDataField, "0115INV-20261206-170704T-07")
    XCTAssertEqual(decoded.zArodezMerchantPAN, "4000000000000002")
    XCTAssertTrue(decoded.isTipAvailable)
  }

  func testDecodedFieldsGenerateTheSameFields() throws {
    // Written in tag order, the typical payload comes back character for character.
    XCTAssertEqual(try generate(decode(typicalPayload).fields), typicalPayload)
    let fields = try decode(cjkPayload).fields
    var again = try decode(generate(fields)).fields
    again.crc = fields.crc
    XCTAssertEqual(again, fields)
  }

  func testSingleCharacterSchemeKeepsEmptyApartFromAbsent() throws {
    // Tag 1 (merchant name) with length 0, tag 3 (city) with length 5, tag 7 (primary ID).
    let decoded = try decode("10" + "35Hello" + "73abc")
    XCTAssertEqual(decoded.scheme, .singleCharacter)
    XCTAssertEqual(decoded.fields.merchantName, "")
    XCTAssertEqual(decoded.fields.cityName, "Hello")
    XCTAssertNil(decoded.fields.countryCode)
    XCTAssertEqual(decoded.primaryID, "abc")
    XCTAssertFalse(decoded.isTipAvailable)
  }

  func testUndecodableTextsGiveTheReason() {
    let cases: [(String, PayloadDecodingError)] = [
      ("0", .invalidLength),
      ("000201", .invalidTag),
      ("0002010002016304ABCD", .repeatedTag),
      ("0002015905Café", .invalidLength),
      ("0002015904Café", .invalidTag),
      ("15Hey", .invalidLength),
    ]
    for (payload, expected) in cases {
      XCTAssertThrowsError(try decode(payload), payload) { error in
        XCTAssertEqual(error as? PayloadDecodingError, expected, payload)
      }
    }
  }
}

final class ConcurrencyTests: XCTestCase {
  func testCallsFromManyTasksGiveTheSameAnswers() async {
    let wrongCRC = String(typicalPayload.dropLast(4)) + "0000"
    let mismatches = await withTaskGroup(of: Int.self) { group in
      for _ in 0..<8 {
        group.addTask {
          var wrong = 0
          for _ in 0..<200 {
            if (try? generate(typicalFields())) != typicalPayload { wrong += 1 }
            if validate(wrongCRC).map(\.code) != ["48"] { wrong += 1 }
            if (try? decode(cjkPayload))?.fields.merchantInformationLanguageTemplate?
              .languagePreference != "ZH"
            {
              wrong += 1
            }
          }
          return wrong
        }
      }
      return await group.reduce(0, +)
    }
    XCTAssertEqual(mismatches, 0)
  }
}
