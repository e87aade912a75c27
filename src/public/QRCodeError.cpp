#include <pavenda/QRCodeError.h>

#include <charconv>

#include <string>
#include <string_view>

namespace pavenda {

std::string QRCodeError::description() const {
  std::string text;
  for (const std::string& code : errorCodes_) {
    text += code;
    text += ' ';
  }
  return text;
}

// Written directly rather than through a JSON document: destroying a filled document allocates,
// which under memory exhaustion would end the program instead of reporting std::bad_alloc. The
// layout is that of a two-space-indented JSON dump.
std::string QRCodeError::getJSONOutput() const {
  std::string output = "{\n  \"qrCodeError\": [";
  bool first = true;
  for (const std::string& code : errorCodes_) {
    // The whole text in base 10, with the optional leading sign an integer parse takes.
    std::string_view digits = code;
    if (!digits.empty() && digits.front() == '+') {
      digits.remove_prefix(1);
      if (!digits.empty() && digits.front() == '-')
        continue;
    }
    long long value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || digits.empty())
      continue;
    output += first ? "\n    " : ",\n    ";
    output += std::to_string(value);
    first = false;
  }
  output += first ? "],\n" : "\n  ],\n";
  output += "  \"qrCodeData\": {}\n}";
  return output;
}

std::map<std::string, std::string> QRError::dictionaryOutput() const {
  return {{"errorCode", errorCode_}, {"errorDescription", errorDescription_}};
}

} // namespace pavenda
