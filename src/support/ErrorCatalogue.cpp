#include <array>

#include <pavenda/ErrorConstants.h>

#include "support/ErrorCatalogue.h"

#include "support/AsciiNumber.h"

namespace pavenda {
namespace {

using Message = ErrorCatalogueEntry;

// The messages as the catalogue has always had them: stray closing parentheses, missing blanks, the
// trailing blank of "30" and the double blank of "48" are part of the texts callers compare
// against.
constexpr std::array<Message, 52> messages = {{
    {"0", "Tags except 00, 63 NOT in sequence/Malformed/Unrecognized tags"},
    {"1", "First digit of merchant ID should be 4"},
    {"2", "Length of merchant ID must be from 8-16 digits"},
    {"3", "Invalid check digit in the merchant ID"},
    {"4", "Redundant 0's in the merchant sequence number"},
    {"5", "Merchant ID must always be present"},
    {"6", "Length of merchant name must be from 1-25 alphanumeric characters"},
    {"7", "Merchant name must be present"},
    {"8", "Length of merchant category code must be 4 digits"},
    {"9", "Length of merchant category code must be 4 digits"},
    {"10", "Length of city name must be from 1-15 alphanumeric characters"},
    {"11", "City Name must always be present"},
    {"12", "Length of country Code must be 2 alpha characters"},
    {"13", "Country Code must always be present"},
    {"14", "Length of currency code must be 3 digits"},
    {"15", "Currency Code must always be present"},
    {"16", "Length of transaction amount must be from 1-13 digits"},
    {"17", "Transaction amount cannot be 0 or negative & cannot have invalid format validator"},
    {"18", "Tag ID \"6\" should not be included. Applicable if transaction amount is NOT present)"},
    {"20", "Length of primary ID must be from 1-26 alphanumeric characters"},
    {"21", "Tag ID \"7\" should not be included. Applicable if primary ID is NOT present)"},
    {"22", "Primary ID is mandatorily required by merchant"},
    {"23", "Merchant requires mobile number 10 digit long)"},
    {"24", "Length of secondary ID must be from 1-26 alphanumeric Special characters"},
    {"25", "Tag ID \"8\" should not be included. Applicable if secondary ID is NOT present)"},
    {"26", "Secondary ID usage mandatorily required by merchant"},
    {"27", "Merchant requires subscriber ID say 10 digit long)"},
    {"28", "Tip and Fee Indicator must be either 01, 02 or 03. Applicable if Tip and Fee Indicator "
           "is present)"},
    {"29", "Tag A and B should not be populated. Applicable if Tip and Fee Indicator = 01)"},
    {"30", "Tag ID \"9\" should not be included. Applicable if Tip and Fee Indicator is NOT "
           "present) "},
    {"31", "Length of Convenience Fee Amount must be from 1-9 digits"},
    {"32",
     "Convenience Fee Amount cannot be 0 or negative or missing or cannot have invalid format "
     "validator. Applicable if tag \"9\" Tip and Fee Indicator)=02)"},
    {"34", "Tag ID \"A\" should not be included. Applicable if Convenience Fee Amount is NOT "
           "present)"},
    {"35", "Length of Convenience Fee Percentage must be from 1-5 digits"},
    {"36", "Convenience Fee Percentage cannot be 0 or negative or cannot have invalid format "
           "validator. Applicable if tag \"9\" Tip and Fee Indicator)=03)"},
    {"38", "Tag ID \"B\" should not be included. Applicable if Convenience Fee Percentage is NOT "
           "present)"},
    {"39", "Tip and Fee Indicator02,03) should be populated with corresponding Tag IDA, B)"},
    {"41", "Payload Format Indicator should be a 2 digit value only"},
    {"42", "Format indicator value is 01"},
    {"43", "Postal Code cannot have length more than 10"},
    {"44", "Additional Data field cannot have length more than 99"},
    {"45", "Tags till '08' in Additional Data field cannot have length more than 26 characters"},
    {"46", "Additional Consumer Data Request can only have one or more of the values {A,M,E}"},
    {"47", "Additional Data field cannot have more than two tlv objects"},
    {"48", "Check if the CRC of all the tags till 62 matches the value in  tag 63"},
    {"49", "Missing Unique Identifier"},
    {"50", "Merchant Account Information Template - Invalid Length"},
    {"51", "Missing Language Preference Tag"},
    {"52", "Missing Merchant Name Tag"},
    {"53", "Language Preference Invalid Tag Length"},
    {"54", "Missing Merchant Name Tag"},
    {"55", "Invalid Length Tag"},
}};

// Message index by code number, for lookups without a tree walk; -1 where there is none.
constexpr auto indexByNumber = [] {
  std::array<int, 56> index{};
  index.fill(-1);
  for (std::size_t i = 0; i < messages.size(); ++i) {
    int n = 0;
    for (const char c : messages[i].code)
      n = n * 10 + (c - '0');
    index[static_cast<std::size_t>(n)] = static_cast<int>(i);
  }
  return index;
}();

// Hosts borrow the texts as C strings, so each must end where its view does.
static_assert([] {
  for (const Message& entry : messages)
    if (entry.code.data()[entry.code.size()] != '\0' ||
        entry.message.data()[entry.message.size()] != '\0')
      return false;
  return true;
}());

} // namespace

const std::map<std::string, std::string, std::less<>>& ZArodezErrorConstantsMap::errorDict() {
  static const std::map<std::string, std::string, std::less<>> dict = [] {
    std::map<std::string, std::string, std::less<>> d;
    for (const Message& message : messages)
      d.emplace(message.code, message.message);
    return d;
  }();
  return dict;
}

std::span<const ErrorCatalogueEntry> errorCatalogue() noexcept {
  return messages;
}

std::optional<std::string_view> ZArodezErrorConstantsMap::message(std::string_view code) noexcept {
  // Codes are texts without leading zeros: "07" or "+7" is not the code "7".
  if (code.size() > 2 || (code.size() == 2 && code[0] == '0'))
    return std::nullopt;
  const std::optional<int> n = parseAsciiDigits(code);
  if (!n || *n >= static_cast<int>(indexByNumber.size()) ||
      indexByNumber[static_cast<std::size_t>(*n)] < 0)
    return std::nullopt;
  return messages[static_cast<std::size_t>(indexByNumber[static_cast<std::size_t>(*n)])].message;
}

} // namespace pavenda
