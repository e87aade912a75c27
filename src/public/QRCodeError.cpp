#include <pavenda/QRCodeError.h>

#include <charconv>

#include <nlohmann/json.hpp>

namespace pavenda {

std::string QRCodeError::description() const {
  std::string text;
  for (const std::string& code : errorCodes_) {
    text += code;
    text += ' ';
  }
  return text;
}

std::string QRCodeError::getJSONOutput() const {
  nlohmann::ordered_json codes = nlohmann::ordered_json::array();
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
    if (error == std::errc() && end == digits.data() + digits.size() && !digits.empty())
      codes.push_back(value);
  }
  nlohmann::ordered_json output;
  output["qrCodeError"] = std::move(codes);
  output["qrCodeData"] = nlohmann::ordered_json::object();
  return output.dump(2);
}

std::map<std::string, std::string> QRError::dictionaryOutput() const {
  return {{"errorCode", errorCode_}, {"errorDescription", errorDescription_}};
}

} // namespace pavenda
