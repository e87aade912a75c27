#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <nlohmann/json.hpp>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "qr/QrReader.h"

#include "Commands.h"
#include "Input.h"
#include "Jobs.h"
#include "Output.h"
#include "ToolError.h"
#include "Verdict.h"

namespace pavenda::tools {
namespace {

// The CPU seconds one picture may take unless told otherwise: a 24-megapixel photo takes well under
// one, a picture made to mislead the search (thousands of finder patterns) minutes.
constexpr unsigned defaultMaxSeconds = 10;

struct ScanOptions {
  std::vector<std::string> images;
  VerdictFormat format;
  unsigned jobs = 0; // 0: one per core
  std::size_t maxPixels = qr::defaultMaxPixels;
  unsigned maxSeconds = defaultMaxSeconds;
};

// What one picture gave: its payloads, or why it could not be read.
struct Scanned {
  std::vector<std::string> payloads;
  std::string error;
};

// Reads every code in the picture at `path`; a picture that cannot be read gives its reason.
Scanned scanImage(const std::string& path, std::size_t maxPixels) {
  Scanned scanned;
  try {
    const InputBytes bytes = readAll(path, maxPictureBytes, "a picture file");
    std::string error;
    std::optional<qr::GreyImage> image = qr::decodeImage(bytes.view(), maxPixels, &error);
    if (!image)
      throw ToolError(displayName(path) + ": " + error);
    scanned.payloads = qr::readQrCodes(std::move(*image));
    if (scanned.payloads.empty())
      throw ToolError(displayName(path) + ": no QR code found");
  } catch (const ToolError& e) {
    scanned.error = e.what();
  } catch (const std::bad_alloc&) {
    scanned.error = displayName(path) + ": out of memory";
  }
  return scanned;
}

// Each picture is read in a process of its own, so that its time can be bounded (the system stops
// it after its CPU seconds, which no library call can be asked to do) and so that running out of
// memory or a fault in the image code ends that picture alone. The child sends its answer through
// a pipe: 'E' and the reason, or 'P', eight bytes of length and the payload, for each payload.
constexpr int outOfTimeStatus = 3;

void outOfTime(int) {
  ::_exit(outOfTimeStatus);
}

void writeAllTo(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR)
      continue;
    if (written <= 0)
      ::_exit(4); // the parent is gone or failed; it reports the picture itself
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

[[noreturn]] void scanInChild(const std::string& path, const ScanOptions& options, int fd) {
  const rlimit noCore{0, 0};
  ::setrlimit(RLIMIT_CORE, &noCore);
  struct sigaction action {};
  action.sa_handler = outOfTime;
  ::sigaction(SIGXCPU, &action, nullptr);
  // Past the soft limit SIGXCPU ends the child; the hard one a second later is the backstop.
  const rlimit cpu{options.maxSeconds, options.maxSeconds + 1};
  ::setrlimit(RLIMIT_CPU, &cpu);
  std::string answer;
  try {
    const Scanned scanned = scanImage(path, options.maxPixels);
    if (!scanned.error.empty()) {
      answer = 'E' + scanned.error;
    } else {
      for (const std::string& payload : scanned.payloads) {
        answer += 'P';
        for (int shift = 56; shift >= 0; shift -= 8)
          answer += static_cast<char>((payload.size() >> shift) & 0xFF);
        answer += payload;
      }
    }
  } catch (...) {
    answer = 'E' + displayName(path) + ": out of memory";
  }
  writeAllTo(fd, answer);
  ::_exit(0); // no destructors, no flush of the parent's buffered output
}

// A picture being read by a child process.
struct Child {
  std::size_t index;
  pid_t pid;
  int fd;
  std::string answer;
};

// The answer of a child that has ended with `status`.
Scanned finished(const Child& child, int status, const std::string& path,
                 const ScanOptions& options) {
  Scanned scanned;
  const std::string name = displayName(path);
  if (WIFEXITED(status) && WEXITSTATUS(status) == outOfTimeStatus) {
    scanned.error = name + ": took more than " + std::to_string(options.maxSeconds) +
                    " s of CPU time (--max-seconds to allow more)";
  } else if (WIFSIGNALED(status)) {
    const int signal = WTERMSIG(status);
    scanned.error = signal == SIGXCPU
                        ? name + ": took more than " + std::to_string(options.maxSeconds) +
                              " s of CPU time (--max-seconds to allow more)"
                    : signal == SIGKILL
                        ? name + ": reading was killed (signal 9), most likely for want of memory"
                        : name + ": reading failed with signal " + std::to_string(signal) + " (" +
                              ::strsignal(signal) + ")";
  } else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || child.answer.empty()) {
    scanned.error = name + ": reading failed without an answer";
  } else if (child.answer[0] == 'E') {
    scanned.error = child.answer.substr(1);
  } else {
    for (std::size_t at = 0; at < child.answer.size();) {
      std::size_t size = 0;
      for (std::size_t i = at + 1; i < at + 9 && i < child.answer.size(); ++i)
        size = size << 8 | static_cast<unsigned char>(child.answer[i]);
      if (child.answer.size() - at < 9 || child.answer.size() - at - 9 < size)
        return {{}, name + ": reading failed with a cut answer"};
      scanned.payloads.push_back(child.answer.substr(at + 9, size));
      at += 9 + size;
    }
  }
  return scanned;
}

// The children still running; any left when the run ends early are stopped and reaped.
class Children {
public:
  Children() = default;
  Children(const Children&) = delete;
  Children& operator=(const Children&) = delete;
  ~Children() {
    for (const Child& child : running) {
      ::kill(child.pid, SIGKILL);
      ::close(child.fd);
      int status = 0;
      while (::waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
      }
    }
  }

  void start(std::size_t index, const std::string& path, const ScanOptions& options) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
      throw ToolError(std::string("cannot start reading a picture: ") + std::strerror(errno));
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::close(ends[0]);
      scanInChild(path, options, ends[1]);
    }
    const int error = errno;
    ::close(ends[1]);
    if (pid < 0) {
      ::close(ends[0]);
      throw ToolError(std::string("cannot start reading a picture: ") + std::strerror(error));
    }
    running.push_back({index, pid, ends[0], {}});
  }

  std::vector<Child> running;
};

void report(const Scanned& scanned, const std::string& path, const ScanOptions& options,
            bool nameFiles, bool& allValid, bool& allRead) {
  if (!scanned.error.empty()) {
    writeStandardError("pavenda: " + scanned.error + '\n');
    allRead = false;
    return;
  }
  // With several pictures each verdict says whose it is: "FILE: " before its line, or a "file"
  // key first in its JSON object.
  const std::string label =
      !nameFiles            ? std::string()
      : options.format.json ? "\"file\":" +
                                  nlohmann::json(path).dump(
                                      -1, ' ', false, nlohmann::json::error_handler_t::replace) +
                                  ','
                            : displayName(path) + ": ";
  const std::size_t at = options.format.json ? 1 : 0; // after the object's opening brace
  Verdicts out;
  for (const std::string& payload : scanned.payloads) {
    out.clear();
    allValid = appendVerdict(out, payload, options.format) && allValid;
    out.text.insert(at, label);
    for (Verdicts::Deferred& deferred : out.deferred)
      deferred.at += label.size();
    writeVerdicts(out);
  }
}

// Pictures are read `jobs` at a time and reported in the order given, each as soon as it and the
// ones before it are done. A picture that cannot be read is reported and the others are still
// scanned, so that one bad file in a folder of photos hides nothing; the run then ends with
// status 2.
int scan(const ScanOptions& options) {
  const std::size_t jobs = jobsToUse(options.jobs);
  const std::size_t count = options.images.size();
  const bool nameFiles = count > 1;
  bool allValid = true;
  bool allRead = true;
  std::vector<std::optional<Scanned>> results(count);
  Children children;
  std::vector<pollfd> waiting;
  for (std::size_t started = 0, written = 0; written < count;) {
    while (children.running.size() < jobs && started < count) {
      children.start(started, options.images[started], options);
      ++started;
    }
    waiting.clear();
    for (const Child& child : children.running)
      waiting.push_back({child.fd, POLLIN, 0});
    if (::poll(waiting.data(), waiting.size(), -1) < 0 && errno != EINTR)
      throw ToolError(std::string("cannot wait for the pictures: ") + std::strerror(errno));
    for (std::size_t i = waiting.size(); i-- > 0;) {
      if (waiting[i].revents == 0)
        continue;
      Child& child = children.running[i];
      char buffer[1 << 16];
      const ssize_t got = ::read(child.fd, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR)
        continue;
      if (got > 0) {
        child.answer.append(buffer, static_cast<std::size_t>(got));
        continue;
      }
      ::close(child.fd);
      int status = 0;
      while (::waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
      }
      results[child.index] = finished(child, status, options.images[child.index], options);
      children.running.erase(children.running.begin() + static_cast<std::ptrdiff_t>(i));
    }
    for (; written < count && results[written]; ++written) {
      report(*results[written], options.images[written], options, nameFiles, allValid, allRead);
      results[written].reset();
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
                   "PNG or JPEG files ('-' is standard input), each at most " +
                       std::to_string(maxPictureBytes) +
                       " bytes; each payload found gets a verdict as validate gives, in reading "
                       "order, after 'FILE: ' (or with \"file\" in JSON) when several are given")
      ->required();
  addVerdictFormatFlags(*command, options->format);
  addJobsOption(*command, options->jobs,
                "Pictures read at once, each in a process of its own (default: one per core); "
                "the output is the same for any number");
  command
      ->add_option("--max-pixels", options->maxPixels,
                   "Refuse a picture whose header declares more pixels than this (default " +
                       std::to_string(qr::defaultMaxPixels) +
                       "); memory is about 3 bytes a pixel, for each job")
      ->check(CLI::Range(std::size_t{1}, std::size_t{1} << 30));
  command
      ->add_option("--max-seconds", options->maxSeconds,
                   "Stop reading a picture after this many seconds of CPU time (default " +
                       std::to_string(defaultMaxSeconds) + ")")
      ->check(CLI::Range(1U, 86400U));
  command->callback([options, &run] { run = [options] { return scan(*options); }; });
}

} // namespace pavenda::tools
