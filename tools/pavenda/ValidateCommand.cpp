#include <exception>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "Commands.h"
#include "Input.h"
#include "Output.h"
#include "Verdict.h"

namespace pavenda::tools {
namespace {

constexpr unsigned maxJobs = 256;

struct ValidateOptions {
  std::vector<std::string> payloads;
  VerdictFormat format;
  unsigned jobs = 0; // 0: one per core
};

// The verdicts on one contiguous share of a batch, made on one thread.
struct Share {
  std::string out;
  bool allValid = true;
  std::exception_ptr failure; // rethrown on the main thread, in order
};

void validateShare(std::span<const std::string_view> lines, const VerdictFormat& format,
                   Share& share) noexcept {
  try {
    for (const std::string_view line : lines)
      share.allValid = appendVerdict(share.out, line, format) && share.allValid;
  } catch (...) {
    share.failure = std::current_exception();
  }
}

// Lines of standard input in batches; each batch split into `jobs` contiguous shares validated at
// once, then written in input order, so the output is the same for any number of jobs and memory
// stays within a few batches.
int validateStandardInput(const VerdictFormat& format, unsigned jobs) {
  LineBatches batches;
  std::vector<std::string_view> lines;
  std::vector<Share> shares(jobs);
  std::vector<std::jthread> workers;
  bool allValid = true;
  while (batches.next(lines)) {
    const std::span<const std::string_view> all(lines);
    const std::size_t size = (all.size() + jobs - 1) / jobs;
    for (std::size_t k = 1; k < jobs && k * size < all.size(); ++k)
      workers.emplace_back(validateShare,
                           all.subspan(k * size, std::min(size, all.size() - k * size)),
                           std::cref(format), std::ref(shares[k]));
    validateShare(all.first(std::min(size, all.size())), format, shares[0]);
    workers.clear(); // joins
    for (Share& share : shares) {
      if (share.failure)
        std::rethrow_exception(share.failure);
      writeStandardOutput(share.out);
      share.out.clear();
      allValid = share.allValid && allValid;
    }
  }
  return allValid ? 0 : 1;
}

int validate(const ValidateOptions& options) {
  if (options.payloads.empty()) {
    const unsigned cores = std::thread::hardware_concurrency();
    return validateStandardInput(options.format, options.jobs != 0 ? options.jobs
                                                 : cores == 0      ? 1
                                                                   : std::min(cores, maxJobs));
  }
  std::string line;
  bool allValid = true;
  for (const std::string& payload : options.payloads) {
    line.clear();
    allValid = appendVerdict(line, payload, options.format) && allValid;
    writeStandardOutput(line);
  }
  return allValid ? 0 : 1;
}

} // namespace

void addValidateCommand(CLI::App& app, Runner& run) {
  auto* command = app.add_subcommand(
      "validate", "Validate payloads given as arguments, or one per line of standard input");
  auto options = std::make_shared<ValidateOptions>();
  command->add_option("PAYLOAD", options->payloads,
                      "Payload texts (default: lines of standard input; LF, CR LF or CR ends a "
                      "line, blank lines are skipped)");
  addVerdictFormatFlags(*command, options->format);
  command
      ->add_option("-j,--jobs", options->jobs,
                   "Threads validating standard input (default: one per core); the output is "
                   "the same for any number")
      ->check(CLI::Range(1U, maxJobs));
  command->callback([options, &run] { run = [options] { return validate(*options); }; });
}

} // namespace pavenda::tools
