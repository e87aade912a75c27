#include "Input.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include "Text.h"
#include "ToolError.h"

namespace pavenda::tools {
namespace {

bool isStandardInput(const std::string& path) {
  return path.empty() || path == "-";
}

// Appends up to `count` bytes read from `fd` to `out`; answers how many (0 at the end of input).
std::size_t readSome(int fd, std::string& out, std::size_t count, const std::string& path) {
  const std::size_t old = out.size();
  out.resize(old + count);
  ssize_t got = 0;
  do
    got = ::read(fd, out.data() + old, count);
  while (got < 0 && errno == EINTR);
  if (got < 0) {
    const int error = errno;
    out.resize(old);
    throw ToolError(displayName(path) + ": " + std::strerror(error));
  }
  out.resize(old + static_cast<std::size_t>(got));
  return static_cast<std::size_t>(got);
}

// Closes the descriptor on every way out.
class OpenFile {
public:
  explicit OpenFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    if (fd_ < 0)
      throw ToolError("cannot read " + displayName(path) + ": " + std::strerror(errno));
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  ~OpenFile() { ::close(fd_); }
  int fd() const noexcept { return fd_; }

private:
  int fd_;
};

bool isLineEnd(char c) noexcept {
  return c == '\n' || c == '\r';
}

} // namespace

std::string displayName(const std::string& path) {
  return isStandardInput(path) ? std::string("standard input") : escaped(path);
}

std::string readAll(const std::string& path) {
  constexpr std::size_t chunk = std::size_t{1} << 16;
  std::string text;
  if (isStandardInput(path)) {
    while (readSome(STDIN_FILENO, text, chunk, path) > 0) {
    }
    return text;
  }
  const OpenFile file(path);
  while (readSome(file.fd(), text, chunk, path) > 0) {
  }
  return text;
}

FieldDictionary readDictionary(const std::string& path) {
  const std::string text = readAll(path);
  std::string error;
  std::optional<FieldDictionary> dictionary = FieldDictionary::fromJSON(text, &error);
  if (!dictionary)
    throw ToolError(displayName(path) + ": " + escaped(error));
  return std::move(*dictionary);
}

bool LineBatches::next(std::vector<std::string_view>& lines) {
  lines.clear();
  // Drop the lines handed out last time; keep the unfinished one.
  data_.erase(0, data_.size() - carried_);
  std::size_t end = 0; // one past the last line end in `data_`
  while (!ended_) {
    const std::size_t scanned = data_.size();
    if (readSome(STDIN_FILENO, data_, blockSize, "") == 0) {
      ended_ = true;
      end = data_.size();
      break;
    }
    const auto last =
        std::find_if(data_.rbegin(), data_.rend() - static_cast<long>(scanned), isLineEnd);
    if (last != data_.rend() - static_cast<long>(scanned)) {
      end = static_cast<std::size_t>(data_.rend() - last);
      break;
    }
  }
  carried_ = data_.size() - end;
  // memchr finds line ends far faster than a byte loop; this split is the one serial step.
  const char* start = data_.data();
  const char* const stop = start + end;
  while (start < stop) {
    const char* next = static_cast<const char*>(std::memchr(start, '\n', stop - start));
    if (next == nullptr)
      next = stop;
    if (const void* cr = std::memchr(start, '\r', next - start))
      next = static_cast<const char*>(cr);
    if (next > start)
      lines.emplace_back(start, static_cast<std::size_t>(next - start));
    start = next + 1;
  }
  return !lines.empty() || !ended_ || carried_ > 0;
}

} // namespace pavenda::tools
