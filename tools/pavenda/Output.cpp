#include "Output.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Input.h"
#include "ToolError.h"

namespace pavenda::tools {
namespace {

// Writes all of `text` to `fd`; answers 0 or the errno of the failed write.
int writeAll(int fd, std::string_view text) noexcept {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0) {
      if (errno == EINTR)
        continue;
      return errno;
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

[[noreturn]] void writeFailed(int error) {
  throw ToolError(std::string("write error: ") + std::strerror(error));
}

[[noreturn]] void fileFailed(const std::string& path, int error) {
  throw ToolError("cannot write " + displayName(path) + ": " + std::strerror(error));
}

// Buffered output: a million verdicts a second leave no room for a system call per line.
class StandardOutput {
public:
  void write(std::string_view text) {
    if (buffer_.size() + text.size() > capacity) {
      flush();
      if (text.size() >= capacity) {
        used_ = true;
        if (const int error = writeAll(STDOUT_FILENO, text))
          writeFailed(error);
        return;
      }
    }
    buffer_.append(text);
  }

  void flush() {
    if (buffer_.empty())
      return;
    used_ = true;
    const int error = writeAll(STDOUT_FILENO, buffer_);
    buffer_.clear();
    if (error != 0)
      writeFailed(error);
  }

  void finish() {
    flush();
    // A close can report what a write on a network file system deferred; a descriptor the tool
    // never wrote to may have been closed by the caller, which is no error of this run.
    if (::close(STDOUT_FILENO) != 0 && used_ && errno != EINTR)
      writeFailed(errno);
  }

private:
  static constexpr std::size_t capacity = std::size_t{1} << 16;
  std::string buffer_;
  bool used_ = false;
};

StandardOutput& standardOutput() {
  static StandardOutput output;
  return output;
}

// The temporary file being written, for the signal handler to remove; null when there is none.
std::atomic<const char*> pendingTemporary{nullptr};

extern "C" void removeTemporaryAndDie(int signal) {
  if (const char* path = pendingTemporary.load())
    ::unlink(path);
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

// The signals that end a run asked to stop; one ignored by the caller stays ignored.
constexpr int stopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Deletes the temporary file unless it was renamed into place, also when the run is interrupted.
class TemporaryFile {
public:
  // `path` names the file in messages; `target` is where it goes. The name is short, so that it
  // fits wherever the target's name does.
  TemporaryFile(const std::string& path, const std::string& target) {
    const std::size_t slash = target.rfind('/');
    path_ = (slash == std::string::npos ? "" : target.substr(0, slash + 1)) + ".pv" + "XXXXXX";
    sigset_t stops;
    sigemptyset(&stops);
    for (const int signal : stopSignals)
      sigaddset(&stops, signal);
    // The file and the handlers come into being with the signals held, so none falls between.
    ::sigprocmask(SIG_BLOCK, &stops, &held_);
    fd_ = ::mkostemp(path_.data(), O_CLOEXEC);
    if (fd_ < 0) {
      const int error = errno;
      ::sigprocmask(SIG_SETMASK, &held_, nullptr);
      fileFailed(path, error);
    }
    pendingTemporary.store(path_.c_str());
    struct sigaction handler {};
    handler.sa_handler = removeTemporaryAndDie;
    sigemptyset(&handler.sa_mask);
    for (std::size_t i = 0; i < std::size(stopSignals); ++i) {
      ::sigaction(stopSignals[i], nullptr, &previous_[i]);
      if (previous_[i].sa_handler != SIG_IGN)
        ::sigaction(stopSignals[i], &handler, nullptr);
    }
    ::sigprocmask(SIG_SETMASK, &held_, nullptr);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (fd_ >= 0)
      ::close(fd_);
    if (!renamed_)
      ::unlink(path_.c_str());
    pendingTemporary.store(nullptr);
    for (std::size_t i = 0; i < std::size(stopSignals); ++i)
      ::sigaction(stopSignals[i], &previous_[i], nullptr);
  }

  int fd() const noexcept { return fd_; }

  // Flushes the file to the disk, closes it, checked, and renames it to `target`, so that a crash
  // of the system never leaves the target empty; answers 0 or the errno.
  int commit(const std::string& target) noexcept {
    if (::fsync(fd_) != 0)
      return errno;
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0)
      return errno;
    if (::rename(path_.c_str(), target.c_str()) != 0)
      return errno;
    pendingTemporary.store(nullptr);
    renamed_ = true;
    return 0;
  }

private:
  std::string path_;
  int fd_ = -1;
  bool renamed_ = false;
  sigset_t held_{};
  struct sigaction previous_[std::size(stopSignals)]{};
};

mode_t newFileMode() {
  // umask can only be read by setting it; the tool is single-threaded here.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

void writeRegularFile(const std::string& path, const std::string& target, mode_t mode,
                      std::string_view content) {
  TemporaryFile file(path, target);
  if (::fchmod(file.fd(), mode) != 0)
    fileFailed(path, errno);
  if (int error = writeAll(file.fd(), content))
    fileFailed(path, error);
  if (int error = file.commit(target))
    fileFailed(path, error);
}

void writeSpecialFile(const std::string& path, std::string_view content) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0)
    fileFailed(path, errno);
  const int error = writeAll(fd, content);
  const int closed = ::close(fd) == 0 ? 0 : errno;
  if (error != 0 || closed != 0)
    fileFailed(path, error != 0 ? error : closed);
}

} // namespace

void writeStandardOutput(std::string_view text) {
  standardOutput().write(text);
}

void finishStandardOutput() {
  standardOutput().finish();
}

void writeStandardError(std::string_view text) {
  if (const int error = writeAll(STDERR_FILENO, text))
    writeFailed(error);
}

bool standardOutputIsTerminal() noexcept {
  return ::isatty(STDOUT_FILENO) != 0;
}

bool namesStandardOutput(const std::string& path) noexcept {
  if (path == "-")
    return true;
  struct stat named {};
  struct stat output {};
  return ::stat(path.c_str(), &named) == 0 && ::fstat(STDOUT_FILENO, &output) == 0 &&
         named.st_dev == output.st_dev && named.st_ino == output.st_ino;
}

void flushStandardOutput() {
  standardOutput().flush();
}

void writeOutputFile(const std::string& path, std::string_view content) {
  if (namesStandardOutput(path)) {
    writeStandardOutput(content);
    return;
  }
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    const int error = errno;
    struct stat link {};
    // A missing file is created; a dangling symbolic link is refused rather than replaced.
    if (error != ENOENT || ::lstat(path.c_str(), &link) == 0)
      fileFailed(path, error);
    writeRegularFile(path, path, newFileMode(), content);
    return;
  }
  if (S_ISDIR(info.st_mode))
    fileFailed(path, EISDIR);
  if (!S_ISREG(info.st_mode)) {
    writeSpecialFile(path, content);
    return;
  }
  // Renaming over a symbolic link would replace the link; the file it points to is the one meant.
  const std::unique_ptr<char, decltype(&std::free)> target(::realpath(path.c_str(), nullptr),
                                                           &std::free);
  if (!target)
    fileFailed(path, errno);
  writeRegularFile(path, target.get(), info.st_mode & 07777, content);
}

} // namespace pavenda::tools
