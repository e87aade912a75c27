#ifndef PAVENDA_QRCODEGENERATOR_H
#define PAVENDA_QRCODEGENERATOR_H

#include <functional>
#include <optional>

#include <pavenda/FieldDictionary.h>
#include <pavenda/PavendaResponse.h>

namespace pavenda {

/// The generation entry point: a field dictionary in, a checked payload or its errors out.
/// Stateless.
class QRCodeGenerator {
public:
  /// Encodes `qrCodeDictionary`, decodes and validates what was written, and answers with the
  /// payload when no rule is broken, or with the codes and one error object per code otherwise. A
  /// dictionary whose payload would not read back as it was written (a value of 100 or more
  /// characters, a sub-key that is not two characters, a value that merges with its length digits
  /// into one character) or that holds text that is not UTF-8 is answered with the single code "0".
  /// Throws `std::bad_alloc` when memory runs out, nothing else (the C interface answers that as
  /// PAVENDA_OUT_OF_MEMORY). Safe to call from several threads at once.
  static PavendaResponse generateQRCodeString(const FieldDictionary& qrCodeDictionary);

  /// The same work, with the response passed to `completionHandler`, which is called exactly once,
  /// on the calling thread, before this returns, and always with a response. An empty handler is
  /// not called. Throws `std::bad_alloc` when memory runs out (the handler is then not called) and
  /// whatever the handler throws, nothing else.
  static void generateQRCodeString(
      const FieldDictionary& qrCodeDictionary,
      const std::function<void(std::optional<PavendaResponse>)>& completionHandler);
};

} // namespace pavenda

#endif
