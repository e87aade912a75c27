#include <algorithm>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "qr/QrReader.h"

#include "Commands.h"
#include "Input.h"
#include "Jobs.h"
#include "Output.h"
#include "ToolError.h"
#include "Verdict.h"

namespace pavenda::tools {
namespace {

struct ScanOptions {
  std::vector<std::string> images;
  VerdictFormat format;
  unsigned jobs = 0; // 0: one per core
};

// What one picture gave: its payloads, or why it could not be read.
struct Scanned {
  std::vector<std::string> payloads;
  std::string error;
};

// Reads every code in the picture at `path`; a picture that cannot be read gives its reason.
Scanned scanImage(const std::string& path) {
  Scanned scanned;
  try {
    const InputBytes bytes = readAll(path);
    std::string error;
    const std::optional<qr::GreyImage> image = qr::decodeImage(bytes.view(), &error);
    if (!image)
      throw ToolError(displayName(path) + ": " + error);
    scanned.payloads = qr::readQrCodes(*image);
    if (scanned.payloads.empty())
      throw ToolError(displayName(path) + ": no QR code found");
  } catch (const ToolError& e) {
    scanned.error = e.what();
  }
  return scanned;
}

// Pictures are read `jobs` at a time, each on a thread of its own (finding codes in a photo is
// the costly part), and reported in the order given. A picture that cannot be read is reported and
// the others are still scanned, so that one bad file in a folder of photos hides nothing; the run
// then ends with status 2.
int scan(const ScanOptions& options) {
  const std::size_t jobs = jobsToUse(options.jobs);
  bool allValid = true;
  bool allRead = true;
  Verdicts out;
  for (std::size_t first = 0; first < options.images.size(); first += jobs) {
    const std::size_t last = std::min(options.images.size(), first + jobs);
    std::vector<std::future<Scanned>> window;
    for (std::size_t i = first; i < last; ++i)
      window.push_back(std::async(std::launch::async, scanImage, std::cref(options.images[i])));
    for (std::future<Scanned>& pending : window) {
      const Scanned scanned = pending.get(); // rethrows what is not the picture's fault
      if (!scanned.error.empty()) {
        writeStandardError("pavenda: " + scanned.error + '\n');
        allRead = false;
        continue;
      }
      for (const std::string& payload : scanned.payloads) {
        out.clear();
        allValid = appendVerdict(out, payload, options.format) && allValid;
        writeVerdicts(out);
      }
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
  addJobsOption(*command, options->jobs,
                "Pictures read at once, each on a thread of its own (default: one per core); the "
                "output is the same for any number");
  command->callback([options, &run] { run = [options] { return scan(*options); }; });
}

} // namespace pavenda::tools
