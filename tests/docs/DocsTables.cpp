// Writes docs/fields-and-codes.md, the tables of field keys and error codes, from the tag
// catalogue, the single-character tags, the error catalogue and the rule table, so that the
// documentation says what the checks do.
//
//   pavenda_docs_tables                  the page on standard output
//   pavenda_docs_tables --check FILE     exit 1 (naming the first difference) unless FILE is
//   current

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <pavenda/ErrorConstants.h>

#include "decoding/SingleCharacterTags.h"
#include "encoding/TagCatalogue.h"
#include "support/ErrorCatalogue.h"
#include "validation/Rules.h"

namespace {

using namespace pavenda;
namespace rules = validation::rules;
namespace code = ZArodezErrorConstants;

std::string str(std::string_view text) {
  return std::string(text);
}

// The parts one after another (appended, which keeps GCC 12's overlap warning quiet).
std::string cat(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (const std::string_view part : parts)
    text += part;
  return text;
}

// A table cell: pipes escaped, so that a message never splits its row.
std::string cell(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '|')
      out += "\\|";
    else if (c == '\n')
      out += ' ';
    else
      out += c;
  }
  return out;
}

std::string decimal(double value) {
  char text[32];
  const int written = std::snprintf(text, sizeof text, "%.2f", value);
  return std::string(text, written > 0 ? static_cast<std::size_t>(written) : 0);
}

std::string plural(std::size_t n, std::string_view unit) {
  return std::to_string(n) + " " + str(unit) + (n == 1 ? "" : "s");
}

std::string lengthOf(const rules::FieldRule& rule) {
  std::string text = rule.minLength == rule.maxLength
                         ? plural(rule.minLength, rule.unit)
                         : std::to_string(rule.minLength) + "-" + plural(rule.maxLength, rule.unit);
  if (&rule == &rules::transactionAmount)
    text += ", " + std::to_string(rules::transactionAmountMaxLengthWithPeriod) +
            " characters with a period";
  return text;
}

const rules::FieldRule* ruleOf(std::string_view key) {
  for (const rules::FieldRule* rule : rules::all)
    if (rule->field == key && rule != &rules::additionalDataSubField &&
        rule != &rules::otherLanguageSubField)
      return rule;
  return nullptr;
}

std::string templateOf(std::string_view tag) {
  if (tag.size() == 4)
    return str(tag.substr(0, 2));
  return "";
}

bool isTemplate(std::string_view tag) {
  return tag == catalogue::tagForKey(rules::additionalDataSubField.field).value_or("") ||
         catalogue::isTemplateTag(tag);
}

std::string singleCharacterTagOf(std::string_view key) {
  for (const decoding::SingleCharacterTag& entry : decoding::singleCharacterTags)
    if (entry.field == key)
      return cat({"\"", entry.text(), "\""});
  return "";
}

void fieldRow(std::ostream& out, std::string_view key, std::string_view tag,
              std::string_view enclosing) {
  const rules::FieldRule* rule = ruleOf(key);
  std::string length;
  std::string meaning;
  if (rule) {
    length = lengthOf(*rule);
    meaning = str(rule->meaning);
  } else if (enclosing == catalogue::tagForKey(rules::additionalDataSubField.field).value_or("")) {
    length = lengthOf(rules::additionalDataSubField);
    meaning = str(rules::additionalDataSubField.meaning);
  } else if (isTemplate(tag)) {
    const int number = std::stoi(str(tag));
    if (number >= rules::firstAccountTemplate && number <= rules::lastAccountTemplate) {
      length = cat(
          {"sub-tag ", rules::accountIdentifier.subtag, ": ", lengthOf(rules::accountIdentifier)});
      meaning = "merchant account information template";
    } else {
      length = "sub-fields, not checked";
      meaning = "unreserved template";
    }
  } else {
    // Fields no check reads: any value the two-digit length allows.
    const int number = std::stoi(str(tag));
    length = "up to 99 characters, not checked";
    meaning = number == 1    ? "point of initiation method"
              : number <= 25 ? "merchant account information of a payment network"
                             : "reserved";
  }
  out << "| `" << key << "` | " << tag << " | " << enclosing << " | " << singleCharacterTagOf(key)
      << " | " << cell(length) << " | " << cell(meaning) << " |\n";
}

// What each code means in a line, for the codes the rule table does not word by itself.
struct Plain {
  std::string_view code;
  std::string_view text;
};
constexpr Plain plainWords[] = {
    {code::malformedTags, "the payload could not be read as tag-length-value data"},
    {code::merchantIdInvalidCheckDigit, "the merchant ID's 16-digit form fails the Luhn test"},
    {code::transactionAmountIncorrectValue,
     "the amount is not a decimal number above 0 (digits and at most one period)"},
    {code::transactionAmountTagPresentWithoutAmountValue, "the amount is present but empty"},
    {code::primaryIdTagPresentWithoutValue, "the primary ID is present but empty"},
    {code::primaryIdInvalidFormat,
     "the character after the primary ID's short-form prefix is not allowed"},
    {code::secondaryIdTagPresentWithoutValue, "the secondary ID is present but empty"},
    {code::tipAndFeeIndicatorInvalidTagsPresent,
     "a fee field is present without the indicator for a fee"},
    {code::tipAndFeeIndicatorTagPresentWithoutValue,
     "the tip or fee indicator is present but empty"},
    {code::convenienceFeeAmountIncorrectValue, "the fixed fee is not a decimal number above 0"},
    {code::convenienceFeeTagPresentWithoutValue, "the fixed fee is present but empty"},
    {code::convenienceFeePercentageTagPresentWithoutValue, "the percentage is present but empty"},
    {code::convenienceInvalidTagPresent,
     "the fee field the indicator calls for is missing, or the other one is present"},
    {code::convenienceFeePercentageInvalidTagPresent,
     "a single-character payload gives a fixed fee where the indicator calls for a percentage"},
    {code::crcInvalidValue,
     "the CRC is not 4 hexadecimal digits equal to the CRC-16 of the payload before it"},
};

std::string ruleWords(const rules::FieldRule& rule, bool absent) {
  std::string subject = cat({"`", rule.field, "`"});
  if (&rule == &rules::additionalDataSubField || &rule == &rules::otherLanguageSubField)
    subject = cat({"a sub-field of `", rule.field, "`"});
  if (&rule == &rules::accountIdentifier)
    subject = cat({"sub-tag ", rule.subtag, " of a merchant account template (tags ",
                   std::to_string(rules::firstAccountTemplate), " to ",
                   std::to_string(rules::lastAccountTemplate), ")"});
  if (absent)
    return subject + " is missing";
  std::string text = subject + " is not " + lengthOf(rule);
  if (rule.unit == "character" && rule.characters == rules::Characters::decimalDigits)
    text += " (decimal digits)";
  if (&rule == &rules::additionalConsumerDataRequest)
    text += cat({", each one of ", rule.allowed});
  if (&rule == &rules::tipAndFeeIndicator)
    text = subject + " is none of " + str(rules::tipPrompt) + ", " + str(rules::fixedFee) + ", " +
           str(rules::percentageFee);
  return text;
}

std::string plainOf(std::string_view codeText) {
  std::vector<std::string> parts;
  // Codes whose words carry a value of the rule table.
  if (codeText == code::merchantIdInvalidStartingDigit)
    parts.push_back(cat({"the merchant ID does not start with ", rules::merchantId.allowed}));
  if (codeText == code::merchantIdInvalidFormat)
    parts.push_back(cat({"the merchant ID is not an unsigned decimal number up to ",
                         rules::largestMerchantIdNumber}));
  if (codeText == code::convenienceFeePercentageIncorrectValue)
    parts.push_back("the percentage is not a decimal number from " +
                    decimal(rules::minimumPercentage) + " to " + decimal(rules::maximumPercentage));
  if (codeText == code::payloadFormatIndicatorInvalidValue)
    parts.push_back(
        cat({"the payload format indicator is not ", rules::payloadFormatIndicator.allowed}));
  for (const Plain& plain : plainWords)
    if (plain.code == codeText)
      parts.push_back(str(plain.text));
  for (const rules::FieldRule* rule : rules::all) {
    if (rule->lengthCode == codeText)
      parts.push_back(ruleWords(*rule, false));
    if (!rule->absentCode.empty() && rule->absentCode == codeText)
      parts.push_back(ruleWords(*rule, true));
  }
  if (parts.empty())
    return "never raised by the validator";
  std::string text;
  for (const std::string& part : parts)
    text += (text.empty() ? "" : "; or ") + part;
  return text;
}

std::string page() {
  std::ostringstream out;
  out << "# Field keys and error codes\n\n"
         "Generated by `pavenda_docs_tables` from the tag catalogue, the error catalogue and the\n"
         "rule table (`src/validation/Rules.h`); the `DocsTablesCurrent` test fails when this "
         "page\n"
         "is out of date. Regenerate it with `build/bin/pavenda_docs_tables > "
         "docs/fields-and-codes.md`.\n\n"
         "## Field keys\n\n"
         "Lengths count user-perceived characters. \"Template\" is the tag of the template a "
         "sub-field belongs to; \"single\" is the tag in the single-character scheme.\n\n"
         "| key | tag | template | single | length | meaning |\n"
         "|---|---|---|---|---|---|\n";
  for (const catalogue::Entry& entry : catalogue::entries) {
    fieldRow(out, entry.key, entry.tag, templateOf(entry.tag));
    if (entry.key == rules::otherLanguageSubField.field)
      for (const catalogue::Entry& sub : catalogue::languageEntries)
        fieldRow(out, sub.key, str(entry.tag) + str(sub.tag), entry.tag);
  }
  for (const decoding::SingleCharacterTag& entry : decoding::singleCharacterTags)
    if (!catalogue::tagForKey(entry.field))
      fieldRow(out, entry.field, "", "");
  out << "\n## Error codes\n\n"
         "| code | message | what it means |\n"
         "|---|---|---|\n";
  for (int n = 0; n <= 55; ++n) {
    const std::string codeText = std::to_string(n);
    const std::optional<std::string_view> message = ZArodezErrorConstantsMap::message(codeText);
    const std::string plain = plainOf(codeText);
    if (!message && plain == "never raised by the validator")
      continue;
    out << "| " << codeText << " | " << cell(message.value_or("(no message)")) << " | "
        << cell(plain) << " |\n";
  }
  return out.str();
}

} // namespace

int main(int argc, char** argv) {
  const std::string text = page();
  if (argc == 1) {
    std::cout << text;
    return std::cout.flush() ? 0 : 2;
  }
  if (argc != 3 || std::string_view(argv[1]) != "--check") {
    std::cerr << "usage: pavenda_docs_tables [--check FILE]\n";
    return 2;
  }
  std::ifstream file(argv[2], std::ios::binary);
  if (!file) {
    std::cerr << "pavenda_docs_tables: cannot read " << argv[2] << "\n";
    return 2;
  }
  const std::string current((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
  if (current == text)
    return 0;
  std::size_t line = 1;
  for (std::size_t i = 0; i < std::min(current.size(), text.size()) && current[i] == text[i]; ++i)
    line += current[i] == '\n';
  std::cerr << "pavenda_docs_tables: " << argv[2] << " is out of date from line " << line
            << "; regenerate it: pavenda_docs_tables > " << argv[2] << "\n";
  return 1;
}
