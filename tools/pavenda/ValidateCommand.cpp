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

Json orNull(const std::optional<std::string>& text) { return text ? Json(*text) : Json(nullptr); }

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
    const Json first = fields.empty() ? Json{{"tag", nullptr}, {"field", nullptr}, {"value", nullptr}}
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

// The one place a verdict is formatted: appends its line to `out` (and, with `explain`, the lines
// that explain it) and answers whether the payload was valid. Text lines escape the payload so that
// each stays one line and nothing reaches a terminal raw; JSON echoes it exactly, as "payload" when
// it is UTF-8 and as "payloadHex" (its bytes) when it is not, since JSON text cannot carry other
// bytes.
bool appendVerdict(std::string& out, std::string_view payload, const Format& format) {
  std::optional<Explanation> explanation;
  if (format.explain)
    explanation = explainPayload(payload);
  const std::vector<std::string> codes =
      explanation ? explanation->errorCodes : TLVGenerator::tlvValidation(payload);
  if (format.json) {
    Json verdict;
    if (isUtf8(payload))
      verdict["payload"] = payload;
    else
      verdict["payloadHex"] = toHex(payload);
    verdict["errorCodes"] = codes;
    if (explanation) {
      addExplanation(verdict, *explanation);
    } else {
      Json messages = Json::array();
      for (const std::string& code : codes)
        messages.push_back(ZArodezErrorConstantsMap::message(code).value_or(""));
      verdict["errorMessages"] = std::move(messages);
    }
    out += verdict.dump(-1, ' ', false, Json::error_handler_t::replace);
  } else {
    if (codes.empty())
      out += "valid";
    for (std::size_t i = 0; i < codes.size(); ++i) {
      if (i > 0)
        out += ' ';
      out += codes[i];
    }
    out += '\t';
    appendEscaped(out, payload);
    if (explanation)
      appendExplanationLines(out, *explanation);
  }
  out += '\n';
  return codes.empty();
}

// The verdicts on one contiguous share of a batch, made on one thread.
struct Share {
  std::string out;
  bool allValid = true;
  std::exception_ptr failure; // rethrown on the main thread, in order
};

void validateShare(std::span<const std::string_view> lines, const Format& format, Share& share) noexcept {
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
int validateStandardInput(const Format& format, unsigned jobs) {
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
  command->add_flag("--json", options->format.json,
                    "One JSON object per payload: \"payload\" (or \"payloadHex\", its bytes, when "
                    "it is not UTF-8), \"errorCodes\" and \"errorMessages\"");
  command->add_flag("--explain", options->format.explain,
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
