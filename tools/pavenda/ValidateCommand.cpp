#include <algorithm>
#include <atomic>
#include <barrier>
#include <exception>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "Commands.h"
#include "Input.h"
#include "Jobs.h"
#include "Output.h"
#include "Text.h"
#include "ToolError.h"
#include "Verdict.h"

namespace pavenda::tools {
namespace {

struct ValidateOptions {
  std::vector<std::string> payloads;
  VerdictFormat format;
  unsigned jobs = 0; // 0: one per core
};

// Threads that validate batches of lines, this one among them. Each batch is cut into chunks that
// the threads take in turn; while the others work on a batch, this thread first reads the next one
// and writes the verdicts of the one before, so that reading and writing overlap the validation.
// Verdicts are kept per chunk and written in chunk order: the output is the input's order for any
// number of threads. The threads are started once, since starting them per batch would cost more
// than a batch's work on many cores.
class Validators {
public:
  Validators(unsigned jobs, const VerdictFormat& format)
      : format_(format), start_(jobs), done_(jobs) {
    try {
      for (unsigned k = 1; k < jobs; ++k)
        threads_.emplace_back([this] {
          while (true) {
            start_.arrive_and_wait();
            if (stopping_)
              return;
            work();
            done_.arrive_and_wait();
          }
        });
    } catch (...) {
      // The threads that did start are released; the missing ones leave the barriers.
      for (std::size_t missing = threads_.size() + 1; missing < jobs; ++missing)
        start_.arrive_and_drop();
      stop();
      throw;
    }
  }
  Validators(const Validators&) = delete;
  Validators& operator=(const Validators&) = delete;
  ~Validators() {
    if (running_)
      finish();
    stop();
  }

  // Starts the other threads on `lines`, which must stay valid until the batch has been written.
  void begin(std::span<const std::string_view> lines) {
    slot_ = 1 - slot_;
    lines_ = lines;
    chunks_[slot_].resize((lines.size() + chunkLines - 1) / chunkLines);
    next_.store(0, std::memory_order_relaxed);
    running_ = true;
    start_.arrive_and_wait();
  }

  // Takes chunks of the batch begun last until none is left, then waits for the other threads.
  void finish() noexcept {
    work();
    done_.arrive_and_wait();
    running_ = false;
  }

  // Writes the verdicts of the batch finished last, in input order; answers whether all were valid.
  // Call it after `finish`, or after the next `begin`: the other threads then go on meanwhile.
  bool write() {
    const std::size_t finished = running_ ? 1 - slot_ : slot_;
    bool allValid = true;
    for (Chunk& chunk : chunks_[finished]) {
      if (chunk.failure)
        std::rethrow_exception(chunk.failure);
      writeVerdicts(chunk.out);
      chunk.out.clear();
      allValid = chunk.allValid && allValid;
    }
    return allValid;
  }

private:
  static constexpr std::size_t chunkLines = 32;

  // One cache line or more each, so that threads writing their own chunk never contend for one.
  struct alignas(64) Chunk {
    Verdicts out;
    bool allValid = true;
    std::exception_ptr failure; // rethrown on this thread
  };

  void work() noexcept {
    std::vector<Chunk>& chunks = chunks_[slot_];
    for (std::size_t c = next_.fetch_add(1, std::memory_order_relaxed); c < chunks.size();
         c = next_.fetch_add(1, std::memory_order_relaxed)) {
      Chunk& chunk = chunks[c];
      bool allValid = true;
      try {
        for (const std::string_view line :
             lines_.subspan(c * chunkLines, std::min(chunkLines, lines_.size() - c * chunkLines)))
          allValid = appendVerdict(chunk.out, line, format_) && allValid;
      } catch (...) {
        chunk.failure = std::current_exception();
      }
      chunk.allValid = allValid;
    }
  }

  void stop() noexcept {
    if (threads_.empty())
      return;
    stopping_ = true;
    start_.arrive_and_wait();
    for (std::thread& thread : threads_)
      thread.join();
    threads_.clear();
  }

  VerdictFormat format_;
  std::vector<Chunk> chunks_[2]; // by batch in turn: one being validated, one being written
  std::size_t slot_ = 1;
  std::span<const std::string_view> lines_;
  std::atomic<std::size_t> next_{0}; // the next chunk to take
  bool running_ = false;
  bool stopping_ = false;
  std::barrier<> start_;
  std::barrier<> done_;
  // std::thread rather than std::jthread: libc++ before 20 offers jthread only as experimental.
  std::vector<std::thread> threads_; // joined by stop(), which the destructor always runs
};

// Lines of standard input in batches, each validated on every thread and written in input order, so
// the output is the same for any number of jobs and memory stays within a few batches: the batch
// being validated, the one read meanwhile and the verdicts of the one before.
int validateStandardInput(const VerdictFormat& format, unsigned jobs) {
  LineBatches batches;
  std::vector<std::string_view> lines[2];
  bool more = batches.next(lines[0]);
  if (!more && batches.overlong())
    throw ToolError(LineBatches::overlongReason());
  if (!more)
    return 0;
  Validators validators(jobs, format);
  bool allValid = true;
  validators.begin(lines[0]);
  for (std::size_t current = 0; more; current = 1 - current) {
    more = batches.next(lines[1 - current]);
    validators.finish();
    if (more)
      validators.begin(lines[1 - current]);
    allValid = validators.write() && allValid;
  }
  // Every verdict before the overlong line is out; the run still fails.
  if (batches.overlong())
    throw ToolError(LineBatches::overlongReason());
  return allValid ? 0 : 1;
}

// Lines of a pipe, a terminal or a socket, each batch (the lines complete when a read returns)
// validated on every thread and its verdicts written at once, so that a writer waiting for an
// answer gets it: no read waits ahead of the verdicts of what has arrived.
int validateStream(const VerdictFormat& format, unsigned jobs) {
  LineBatches batches;
  std::vector<std::string_view> lines;
  if (!batches.next(lines)) {
    if (batches.overlong())
      throw ToolError(LineBatches::overlongReason());
    return 0;
  }
  Validators validators(jobs, format);
  bool allValid = true;
  do {
    validators.begin(lines);
    validators.finish();
    allValid = validators.write() && allValid;
    flushStandardOutput();
  } while (batches.next(lines));
  if (batches.overlong())
    throw ToolError(LineBatches::overlongReason());
  return allValid ? 0 : 1;
}

bool standardInputIsRegularFile() noexcept {
  struct stat info {};
  return ::fstat(STDIN_FILENO, &info) == 0 && S_ISREG(info.st_mode);
}

int validate(const ValidateOptions& options) {
  if (options.payloads.empty())
    return standardInputIsRegularFile()
               ? validateStandardInput(options.format, jobsToUse(options.jobs))
               : validateStream(options.format, jobsToUse(options.jobs));
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
  command
      ->add_option("PAYLOAD", options->payloads,
                   "Payload texts (default: lines of standard input; LF, CR LF or CR ends a "
                   "line, blank lines are skipped); each at most " +
                       std::to_string(maxPayloadBytes) +
                       " bytes, and a longer line ends the run with status 2 after the verdicts "
                       "before it")
      ->check(payloadLimit());
  addVerdictFormatFlags(*command, options->format);
  addJobsOption(*command, options->jobs,
                "Threads validating standard input (default: one per core); the output is the "
                "same for any number");
  command->callback([options, &run] { run = [options] { return validate(*options); }; });
}

} // namespace pavenda::tools
