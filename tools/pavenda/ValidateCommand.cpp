#include <barrier>
#include <exception>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include <pavenda/ErrorConstants.h>
#include <pavenda/Findings.h>
#include <pavenda/TLVGenerator.h>

#include "Commands.h"
#include "Input.h"
#include "Output.h"
#include "Text.h"

namespace pavenda::tools {
namespace {

constexpr unsigned maxJobs = 256;

using Json = nlohmann::ordered_json;

// How verdicts are written.
struct Format {
  bool json = false;
  bool explain = false;
};

struct ValidateOptions {
  std::vector<std::string> payloads;
  Format format;
  unsigned jobs = 0; // 0: one per core
};

Json orNull(const std::optional<std::string>& text) {
  return text ? Json(*text) : Json(nullptr);
}

// The explanation's members of a JSON verdict.
void addExplanation(Json& verdict, const Explanation& explanation) {
  Json findings = Json::array();
  for (const Finding& finding : explanation.findings) {
    Json fields = Json::array();
    for (const FindingField& f : finding.fields)
      fields.push_back({{"tag", f.tag},
                        {"subtag", orNull(f.subtag)},
                        {"field", f.field},
                        {"value", orNull(f.value)}});
    // The first field stands for the finding; "fields" names every one it concerns.
    const Json first = fields.empty()
                           ? Json{{"tag", nullptr}, {"field", nullptr}, {"value", nullptr}}
                           : fields.front();
    findings.push_back({{"code", finding.code},
                        {"message", finding.message},
                        {"tag", first["tag"]},
                        {"field", first["field"]},
                        {"value", first["value"]},
                        {"detail", finding.detail},
                        {"fields", std::move(fields)}});
  }
  verdict["findings"] = std::move(findings);
  if (explanation.decodeError)
    verdict["decodeError"] = {{"reason", explanation.decodeError->reason},
                              {"offset", explanation.decodeError->offset}};
  verdict["crc"] = {{"given", orNull(explanation.crc.given)},
                    {"computed", orNull(explanation.crc.computed)}};
  Json advisories = Json::array();
  for (const Advisory& advisory : explanation.advisories)
    advisories.push_back({{"kind", advisory.kind},
                          {"tag", advisory.tag},
                          {"field", advisory.field},
                          {"detail", advisory.detail}});
  verdict["advisories"] = std::move(advisories);
}

// One indented line per finding and advisory, escaped like the payload.
void appendExplanationLines(std::string& out, const Explanation& explanation) {
  for (const Finding& finding : explanation.findings) {
    out += "\n  ";
    out += finding.code;
    out += ": ";
    appendEscaped(out, finding.detail);
  }
  for (const Advisory& advisory : explanation.advisories) {
    out += "\n  advisory ";
    out += advisory.kind;
    out += ": ";
    appendEscaped(out, advisory.detail);
  }
}

// How a payload is echoed in a verdict.
enum class Echo { text, json, hex };

// Payloads are echoed in pieces of this size at most, so that echoing a long one never holds a
// second copy of it.
constexpr std::size_t echoPiece = std::size_t{1} << 16;

// Formatted verdicts: `text`, with each long payload still to be echoed at its place in it. Its
// echo is made while it is written out, piece by piece.
struct Verdicts {
  struct Deferred {
    std::size_t at; // offset in `text`
    std::string_view payload;
    Echo echo;
  };
  std::string text;
  std::vector<Deferred> deferred;

  void clear() noexcept {
    text.clear();
    deferred.clear();
  }
};

// Appends `piece` (whole characters when it is UTF-8) echoed as `echo` says: cut into such pieces,
// a payload echoes to the same bytes as whole.
void appendEcho(std::string& out, std::string_view piece, Echo echo) {
  switch (echo) {
  case Echo::text:
    appendEscaped(out, piece);
    break;
  case Echo::json: {
    const std::string quoted =
        Json(std::string(piece)).dump(-1, ' ', false, Json::error_handler_t::replace);
    out.append(quoted, 1, quoted.size() - 2);
    break;
  }
  case Echo::hex:
    out += toHex(piece);
    break;
  }
}

void echo(Verdicts& out, std::string_view payload, Echo how) {
  if (payload.size() <= echoPiece)
    appendEcho(out.text, payload, how);
  else
    out.deferred.push_back({out.text.size(), payload, how});
}

// Writes `verdicts` to standard output, echoing the deferred payloads in their places.
void writeVerdicts(const Verdicts& verdicts) {
  const std::string_view text = verdicts.text;
  std::size_t written = 0;
  std::string piece;
  for (const Verdicts::Deferred& deferred : verdicts.deferred) {
    writeStandardOutput(text.substr(written, deferred.at - written));
    written = deferred.at;
    for (std::string_view rest = deferred.payload; !rest.empty();) {
      const std::size_t length = pieceLength(rest, echoPiece);
      piece.clear();
      appendEcho(piece, rest.substr(0, length), deferred.echo);
      writeStandardOutput(piece);
      rest.remove_prefix(length);
    }
  }
  writeStandardOutput(text.substr(written));
}

// The one place a verdict is formatted: appends its line to `out` (and, with `explain`, the lines
// that explain it) and answers whether the payload was valid. Text lines escape the payload so that
// each stays one line and nothing reaches a terminal raw; JSON echoes it exactly, as "payload" when
// it is UTF-8 and as "payloadHex" (its bytes) when it is not, since JSON text cannot carry other
// bytes.
bool appendVerdict(Verdicts& out, std::string_view payload, const Format& format) {
  std::optional<Explanation> explanation;
  if (format.explain)
    explanation = explainPayload(payload);
  const std::vector<std::string> codes =
      explanation ? explanation->errorCodes : TLVGenerator::tlvValidation(payload);
  if (format.json) {
    const bool utf8 = isUtf8(payload);
    const std::string_view key = utf8 ? "payload" : "payloadHex";
    Json verdict;
    verdict[key] = ""; // the payload's place: echoed there below
    verdict["errorCodes"] = codes;
    if (explanation) {
      addExplanation(verdict, *explanation);
    } else {
      Json messages = Json::array();
      for (const std::string& code : codes)
        messages.push_back(ZArodezErrorConstantsMap::message(code).value_or(""));
      verdict["errorMessages"] = std::move(messages);
    }
    const std::string dumped = verdict.dump(-1, ' ', false, Json::error_handler_t::replace);
    const std::size_t at = key.size() + 5; // after {"KEY":"
    out.text.append(dumped, 0, at);
    echo(out, payload, utf8 ? Echo::json : Echo::hex);
    out.text.append(dumped, at);
  } else {
    if (codes.empty())
      out.text += "valid";
    for (std::size_t i = 0; i < codes.size(); ++i) {
      if (i > 0)
        out.text += ' ';
      out.text += codes[i];
    }
    out.text += '\t';
    echo(out, payload, Echo::text);
    if (explanation)
      appendExplanationLines(out.text, *explanation);
  }
  out.text += '\n';
  return codes.empty();
}

// Threads that validate one batch at a time, each its own contiguous share of the lines; started
// once, since starting threads per batch would cost more than a batch's work on many cores.
class Validators {
public:
  Validators(unsigned jobs, const Format& format)
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
  struct Share {
    Verdicts out;
    bool allValid = true;
    std::exception_ptr failure; // rethrown on the main thread
  };

  void validate(std::size_t k) noexcept {
    const std::size_t size = (lines_.size() + shares_.size() - 1) / shares_.size();
    const std::size_t first = std::min(k * size, lines_.size());
    Share& share = shares_[k];
    try {
      for (const std::string_view line :
           lines_.subspan(first, std::min(size, lines_.size() - first)))
        share.allValid = appendVerdict(share.out, line, format_) && share.allValid;
    } catch (...) {
      share.failure = std::current_exception();
    }
  }

  void stop() noexcept {
    if (threads_.empty())
      return;
    stopping_ = true;
    start_.arrive_and_wait();
    threads_.clear(); // joins
  }

  Format format_;
  std::vector<Share> shares_;
  std::span<const std::string_view> lines_;
  bool stopping_ = false;
  std::barrier<> start_;
  std::barrier<> done_;
  std::vector<std::jthread> threads_; // last: joined before the rest is destroyed
};

// Lines of standard input in batches, each validated on every thread and written in input order, so
// the output is the same for any number of jobs and memory stays within a few batches.
int validateStandardInput(const Format& format, unsigned jobs) {
  LineBatches batches;
  std::vector<std::string_view> lines;
  Validators validators(jobs, format);
  bool allValid = true;
  while (batches.next(lines))
    allValid = validators.run(lines) && allValid;
  return allValid ? 0 : 1;
}

int validate(const ValidateOptions& options) {
  if (options.payloads.empty()) {
    const unsigned cores = std::thread::hardware_concurrency();
    return validateStandardInput(options.format, options.jobs != 0 ? options.jobs
                                                 : cores == 0      ? 1
                                                                   : std::min(cores, maxJobs));
  }
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
  command->add_flag("--json", options->format.json,
                    "One JSON object per payload: \"payload\" (or \"payloadHex\", its bytes, when "
                    "it is not UTF-8), \"errorCodes\" and \"errorMessages\"");
  command->add_flag(
      "--explain", options->format.explain,
      "Under each verdict, one indented line per finding (which field broke which "
      "rule) and per advisory; with --json: \"findings\", \"decodeError\", \"crc\" and "
      "\"advisories\" in place of \"errorMessages\"");
  command
      ->add_option("-j,--jobs", options->jobs,
                   "Threads validating standard input (default: one per core); the output is "
                   "the same for any number")
      ->check(CLI::Range(1U, maxJobs));
  command->callback([options, &run] { run = [options] { return validate(*options); }; });
}

} // namespace pavenda::tools
