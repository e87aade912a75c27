#ifndef PAVENDA_QRCODEERROR_H
#define PAVENDA_QRCODEERROR_H

#include <map>
#include <string>
#include <vector>

namespace pavenda {

/// The aggregate error of a failed generation: the codes that validation raised.
class QRCodeError {
public:
  /// An error holding `errorCodes` unchanged; any texts are accepted.
  explicit QRCodeError(std::vector<std::string> errorCodes) : errorCodes_(std::move(errorCodes)) {}

  /// The codes, in the order they were raised (each at most once when made by generation).
  const std::vector<std::string>& errorCodes() const noexcept { return errorCodes_; }

  /// Replaces the codes with any list of texts.
  void setErrorCodes(std::vector<std::string> errorCodes) { errorCodes_ = std::move(errorCodes); }

  /// Every code followed by one blank: the codes "16" and "17" give "16 17 "; no codes give "".
  std::string description() const;

  /// A pretty-printed JSON object: "qrCodeError", the codes as an array of numbers (order and
  /// repetitions kept), and "qrCodeData", an empty object. A code that is not a decimal integer
  /// (possible only after `setErrorCodes`) is left out of the array.
  std::string getJSONOutput() const;

  friend bool operator==(const QRCodeError&, const QRCodeError&) = default;

private:
  std::vector<std::string> errorCodes_;
};

/// One finding: a code and its message.
class QRError {
public:
  /// An error with the given code and message; any texts are accepted.
  QRError(std::string errorCode, std::string description)
      : errorCode_(std::move(errorCode)), errorDescription_(std::move(description)) {}

  /// The code, for example "48".
  const std::string& errorCode() const noexcept { return errorCode_; }
  void setErrorCode(std::string errorCode) { errorCode_ = std::move(errorCode); }

  /// The code's message from the catalogue (empty for a code without one, such as "40").
  const std::string& errorDescription() const noexcept { return errorDescription_; }
  void setErrorDescription(std::string description) { errorDescription_ = std::move(description); }

  /// Exactly two entries: "errorCode" and "errorDescription", both texts.
  std::map<std::string, std::string> dictionaryOutput() const;

  friend bool operator==(const QRError&, const QRError&) = default;

private:
  std::string errorCode_;
  std::string errorDescription_;
};

} // namespace pavenda

#endif
