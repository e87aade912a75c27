#include <memory>
#include <string>
#include <vector>

#include "qr/QrReader.h"

#include "Commands.h"
#include "Input.h"
#include "Output.h"
#include "ToolError.h"
#include "Verdict.h"

namespace pavenda::tools {
namespace {

struct ScanOptions {
  std::vector<std::string> images;
  VerdictFormat format;
};

// Writes the verdict on every code in the picture at `path`; answers whether all were valid.
bool scanImage(const std::string& path, const VerdictFormat& format) {
  const InputBytes bytes = readAll(path);
  std::string error;
  const std::optional<qr::GreyImage> image = qr::decodeImage(bytes.view(), &error);
  if (!image)
    throw ToolError(displayName(path) + ": " + error);
  const std::vector<std::string> payloads = qr::readQrCodes(*image);
  if (payloads.empty())
    throw ToolError(displayName(path) + ": no QR code found");
  bool allValid = true;
  Verdicts out;
  for (const std::string& payload : payloads) {
    out.clear();
    allValid = appendVerdict(out, payload, format) && allValid;
    writeVerdicts(out);
  }
  return allValid;
}

// A picture that cannot be read is reported and the others are still scanned, so that one bad
// file in a folder of photos hides nothing; the run then ends with status 2.
int scan(const ScanOptions& options) {
  bool allValid = true;
  bool allRead = true;
  for (const std::string& path : options.images) {
    try {
      allValid = scanImage(path, options.format) && allValid;
    } catch (const ToolError& e) {
      writeStandardError("pavenda: " + std::string(e.what()) + '\n');
      allRead = false;
    }
  }
  return !allRead ? 2 : allValid ? 0 : 1;
}

} // namespace

void addScanCommand(CLI::App& app, Runner& run) {
  auto* command = app.add_subcommand(
      "scan", "Read every QR code in PNG or JPEG pictures and validate each payload");
  auto options = std::make_shared<ScanOptions>();
  command
      ->add_option("IMAGE", options->images,
                   "PNG or JPEG files ('-' is standard input); each payload found gets a verdict "
                   "as validate gives, in reading order")
      ->required();
  addVerdictFormatFlags(*command, options->format);
  command->callback([options, &run] { run = [options] { return scan(*options); }; });
}

} // namespace pavenda::tools
