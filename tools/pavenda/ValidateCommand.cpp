#include <barrier>
#include <exception>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "Commands.h"
#include "Input.h"
#include "Jobs.h"
#include "Output.h"
#include "Text.h"
#include "Verdict.h"

namespace pavenda::tools {
namespace {

struct ValidateOptions {
  std::vector<std::string> payloads;
  VerdictFormat format;
  unsigned jobs = 0; // 0: one per core
};

// Threads that validate one batch at a time, each its own contiguous share of the lines; started
// once, since starting threads per batch would cost more than a batch's work on many cores.
class Validators {
public:
  Validators(unsigned jobs, const VerdictFormat& format)
      : format_(format), shares_(jobs), start_(jobs), done_(jobs) {
    try {
      for (unsigned k = 1; k < jobs; ++k)
        threads_.emplace_back([this, k] {
          while (true) {
            start_.arrive_and_wait();
            if (stopping_)
              return;
            validate(k);
            done_.arrive_and_wait();
          }
        });
    } catch (...) {
      // The threads that did start are released; the missing ones leave the barriers.
      for (std::size_t missing = threads_.size() + 1; missing < shares_.size(); ++missing)
        start_.arrive_and_drop();
      stop();
      throw;
    }
  }
  Validators(const Validators&) = delete;
  Validators& operator=(const Validators&) = delete;
  ~Validators() { stop(); }

  // Validates `lines` on every thread and writes the verdicts in input order; answers whether all
  // were valid. The barriers order each batch's lines before, and its verdicts after, the work.
  bool run(std::span<const std::string_view> lines) {
    lines_ = lines;
    start_.arrive_and_wait();
    validate(0);
    done_.arrive_and_wait();
    bool allValid = true;
    for (Share& share : shares_) {
      if (share.failure)
        std::rethrow_exception(share.failure);
      writeVerdicts(share.out);
      share.out.clear();
      allValid = share.allValid && allValid;
      share.allValid = true;
    }
    return allValid;
  }

private:
  // One cache line or more each, so that threads writing their own share never contend for one.
  struct alignas(64) Share {
    Verdicts out;
    bool allValid = true;
    std::exception_ptr failure; // rethrown on the main thread
  };

  void validate(std::size_t k) noexcept {
    const std::size_t size = (lines_.size() + shares_.size() - 1) / shares_.size();
    const std::size_t first = std::min(k * size, lines_.size());
    Share& share = shares_[k];
    bool allValid = true;
    try {
      for (const std::string_view line :
           lines_.subspan(first, std::min(size, lines_.size() - first)))
        allValid = appendVerdict(share.out, line, format_) && allValid;
    } catch (...) {
      share.failure = std::current_exception();
    }
    share.allValid = allValid;
  }

  void stop() noexcept {
    if (threads_.empty())
      return;
    stopping_ = true;
    start_.arrive_and_wait();
    threads_.clear(); // joins
  }

  VerdictFormat format_;
  std::vector<Share> shares_;
  std::span<const std::string_view> lines_;
  bool stopping_ = false;
  std::barrier<> start_;
  std::barrier<> done_;
  std::vector<std::jthread> threads_; // last: joined before the rest is destroyed
};

// Lines of standard input in batches, each validated on every thread and written in input order, so
// the output is the same for any number of jobs and memory stays within a few batches.
int validateStandardInput(const VerdictFormat& format, unsigned jobs) {
  LineBatches batches;
  std::vector<std::string_view> lines;
  Validators validators(jobs, format);
  bool allValid = true;
  while (batches.next(lines))
    allValid = validators.run(lines) && allValid;
  return allValid ? 0 : 1;
}

int validate(const ValidateOptions& options) {
  if (options.payloads.empty())
    return validateStandardInput(options.format, jobsToUse(options.jobs));
  Verdicts line;
  bool allValid = true;
  for (const std::string& payload : options.payloads) {
    line.clear();
    allValid = appendVerdict(line, payload, options.format) && allValid;
    writeVerdicts(line);
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
  addJobsOption(*command, options->jobs,
                "Threads validating standard input (default: one per core); the output is the "
                "same for any number");
  command->callback([options, &run] { run = [options] { return validate(*options); }; });
}

} // namespace pavenda::tools
