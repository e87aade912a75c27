#include "Input.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Text.h"
#include "ToolError.h"

namespace pavenda::tools {
namespace {

bool isStandardInput(const std::string& path) {
  return path.empty() || path == "-";
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

InputBytes::InputBytes(InputBytes&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

InputBytes& InputBytes::operator=(InputBytes&& other) noexcept {
  if (this != &other) {
    std::free(data_);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
  }
  return *this;
}

InputBytes::~InputBytes() {
  std::free(data_);
}

std::size_t InputBytes::readSome(int fd, std::size_t count, const std::string& path) {
  if (capacity_ - size_ < count) {
    // Doubling keeps the number of moves logarithmic; the pages beyond what is read stay untouched.
    const std::size_t wanted = std::max(size_ + count, capacity_ * 2);
    void* grown = std::realloc(data_, wanted);
    if (grown == nullptr)
      throw std::bad_alloc();
    data_ = static_cast<char*>(grown);
    capacity_ = wanted;
  }
  ssize_t got = 0;
  do
    got = ::read(fd, data_ + size_, count);
  while (got < 0 && errno == EINTR);
  if (got < 0) {
    const int error = errno;
    throw ToolError(displayName(path) + ": " + std::strerror(error));
  }
  size_ += static_cast<std::size_t>(got);
  return static_cast<std::size_t>(got);
}

void InputBytes::dropFront(std::size_t count) noexcept {
  if (count > 0 && count < size_)
    std::memmove(data_, data_ + count, size_ - count);
  size_ -= count;
}

void InputBytes::append(std::string_view bytes) {
  if (capacity_ - size_ < bytes.size()) {
    const std::size_t wanted = std::max(size_ + bytes.size(), capacity_ * 2);
    void* grown = std::realloc(data_, wanted);
    if (grown == nullptr)
      throw std::bad_alloc();
    data_ = static_cast<char*>(grown);
    capacity_ = wanted;
  }
  if (!bytes.empty())
    std::memcpy(data_ + size_, bytes.data(), bytes.size());
  size_ += bytes.size();
}

std::string tooLarge(const std::string& path, std::size_t limit, std::string_view what) {
  return displayName(path) + ": more than " + std::to_string(limit) + " bytes, the most " +
         std::string(what) + " may have";
}

CLI::Validator payloadLimit() {
  return CLI::Validator(
      [](const std::string& payload) {
        return payload.size() > maxPayloadBytes ? "more than " + std::to_string(maxPayloadBytes) +
                                                      " bytes, the most a payload may have"
                                                : std::string();
      },
      "");
}

InputBytes readAll(const std::string& path, std::size_t limit, std::string_view what) {
  constexpr std::size_t chunk = std::size_t{1} << 20;
  const auto readFrom = [&](int fd) {
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
        static_cast<std::uintmax_t>(status.st_size) > limit)
      throw ToolError(tooLarge(path, limit, what));
    // One byte past the limit tells a stream that is too long from one that just fits.
    InputBytes text;
    while (text.size() <= limit &&
           text.readSome(fd, std::min(chunk, limit + 1 - text.size()), path) > 0) {
    }
    if (text.size() > limit)
      throw ToolError(tooLarge(path, limit, what));
    return text;
  };
  if (isStandardInput(path))
    return readFrom(STDIN_FILENO);
  const OpenFile file(path);
  return readFrom(file.fd());
}

FieldDictionary readDictionary(const std::string& path) {
  const InputBytes text = readAll(path, maxDictionaryBytes, "a field dictionary");
  std::string error;
  std::optional<FieldDictionary> dictionary = FieldDictionary::fromJSON(text.view(), &error);
  if (!dictionary)
    throw ToolError(displayName(path) + ": " + escaped(error));
  return std::move(*dictionary);
}

std::string LineBatches::overlongReason() {
  return "standard input: a line has more than " + std::to_string(maxPayloadBytes) +
         " bytes, the most a payload may have; the lines after it were not read";
}

bool LineBatches::next(std::vector<std::string_view>& lines) {
  lines.clear();
  // The other block takes the unfinished line; this one keeps the batch handed out last.
  const InputBytes& previous = data_[current_];
  current_ = 1 - current_;
  InputBytes& block = data_[current_];
  // A block grown for a long line is given back rather than kept for ordinary ones.
  if (block.capacity() > 4 * blockSize)
    block = InputBytes();
  block.dropFront(block.size());
  block.append(previous.view().substr(previous.size() - carried_));
  std::size_t end = 0; // one past the last line end in `block`
  while (!ended_) {
    const std::size_t scanned = block.size();
    if (block.readSome(STDIN_FILENO, blockSize, "") == 0) {
      ended_ = true;
      end = block.size();
      break;
    }
    const std::string_view data = block.view();
    const auto last =
        std::find_if(data.rbegin(), data.rend() - static_cast<long>(scanned), isLineEnd);
    if (last != data.rend() - static_cast<long>(scanned)) {
      end = static_cast<std::size_t>(data.rend() - last);
      break;
    }
    // The block holds one unfinished line alone here; it ends the input before it grows unbounded.
    if (block.size() > maxPayloadBytes) {
      overlong_ = ended_ = true;
      break;
    }
  }
  carried_ = overlong_ ? 0 : block.size() - end;
  // memchr finds line ends far faster than a byte loop; this split is the one serial step. The next
  // LF and the next CR are each searched for only once passed, so every byte is looked at once or
  // twice whichever ends the lines.
  const char* start = block.view().data();
  const char* const stop = start + end;
  const auto find = [stop](const char* from, char c) {
    if (from >= stop)
      return stop;
    const void* found = std::memchr(from, c, static_cast<std::size_t>(stop - from));
    return found == nullptr ? stop : static_cast<const char*>(found);
  };
  const char* lf = find(start, '\n');
  const char* cr = find(start, '\r');
  while (start < stop) {
    const char* const next = std::min(lf, cr);
    if (static_cast<std::size_t>(next - start) > maxPayloadBytes) {
      overlong_ = ended_ = true;
      carried_ = 0;
      break;
    }
    if (next > start)
      lines.emplace_back(start, static_cast<std::size_t>(next - start));
    start = next + 1;
    if (lf < start)
      lf = find(start, '\n');
    if (cr < start)
      cr = find(start, '\r');
  }
  return !lines.empty() || !ended_ || carried_ > 0;
}

} // namespace pavenda::tools
