#ifndef PAVENDA_TOOLS_INPUT_H
#define PAVENDA_TOOLS_INPUT_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

#include <pavenda/FieldDictionary.h>

namespace pavenda::tools {

/// How messages name `path`: "standard input" for "" and "-", otherwise the path escaped onto one
/// line.
std::string displayName(const std::string& path);

/// Bytes read from a descriptor, in one block that grows with `realloc`: a large block moves by
/// remapping its pages rather than by copying them, and room not yet read into is never touched, so
/// the memory used stays the size of the input rather than twice it while the block grows.
class InputBytes {
public:
  InputBytes() = default;
  InputBytes(InputBytes&& other) noexcept;
  InputBytes& operator=(InputBytes&& other) noexcept;
  InputBytes(const InputBytes&) = delete;
  InputBytes& operator=(const InputBytes&) = delete;
  ~InputBytes();

  /// The bytes held, valid until the next change.
  std::string_view view() const noexcept { return {data_, size_}; }
  std::size_t size() const noexcept { return size_; }

  /// Reads once from `fd`, up to `count` bytes (at least one more block of room is made); answers
  /// how many (0 at the end of input). Throws `ToolError` naming `path` and the system's reason on
  /// a read error, and `std::bad_alloc` when the room cannot be had.
  std::size_t readSome(int fd, std::size_t count, const std::string& path);

  /// Drops the first `count` bytes (at most `size()`), keeping the rest at the front.
  void dropFront(std::size_t count) noexcept;

  /// Appends `bytes` (which must not lie in this block). Throws `std::bad_alloc`.
  void append(std::string_view bytes);

  /// The room held, read into or not.
  std::size_t capacity() const noexcept { return capacity_; }

private:
  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

/// The most bytes of a JSON field dictionary (`generate`, `encode`): 1 MiB, hundreds of times the
/// largest dictionary of fields.
inline constexpr std::size_t maxDictionaryBytes = std::size_t{1} << 20;

/// The most bytes of one payload (an argument, `decode`'s standard input, a line for `validate`):
/// 64 KiB, twenty times what the largest QR code holds, and small enough that the characters of
/// one cost little memory to count.
inline constexpr std::size_t maxPayloadBytes = std::size_t{1} << 16;

/// The most bytes of a picture file for `scan`: 64 MiB, several times a 50-megapixel JPEG.
inline constexpr std::size_t maxPictureBytes = std::size_t{1} << 26;

/// How an input larger than its limit is refused: "NAME: more than LIMIT bytes, the most WHAT may
/// have".
std::string tooLarge(const std::string& path, std::size_t limit, std::string_view what);

/// Refuses an argument longer than `maxPayloadBytes` when the command line is read.
CLI::Validator payloadLimit();

/// The whole of `path`, or of standard input when `path` is empty or "-", when it holds at most
/// `limit` bytes. Throws `ToolError` naming the file and the system's reason when it cannot be
/// opened or read (a directory, a closed descriptor), `ToolError` with `tooLarge(path, limit,
/// what)` once it is known to be larger (at once for a regular file, after `limit` bytes for a
/// stream, so that memory stays within the limit), and `std::bad_alloc` when it does not fit in
/// memory.
InputBytes readAll(const std::string& path, std::size_t limit, std::string_view what);

/// The field dictionary in `path` (or standard input). Throws `ToolError` naming the problem when
/// it cannot be read or is not a JSON object of fields.
FieldDictionary readDictionary(const std::string& path);

/// Standard input as batches of non-empty lines, each ended by LF, CR LF or a lone CR (so a blank
/// line is no line at all). A batch holds whole lines of about `blockSize` bytes, fewer at the end,
/// more when one line is longer; memory stays within a few blocks however long the input is.
class LineBatches {
public:
  static constexpr std::size_t blockSize = std::size_t{1} << 20;

  /// Fills `lines` with the next batch (views into this reader, valid until the call after the
  /// next one, so that one batch can be read while the one before is still in use); false once
  /// the input is exhausted or a line longer than `maxPayloadBytes` is met, which ends the input
  /// there (see `overlong`). Throws `ToolError` on a read error.
  bool next(std::vector<std::string_view>& lines);

  /// Whether the input was ended early by a line longer than `maxPayloadBytes`: the lines before it
  /// have all been handed out, none after it.
  bool overlong() const noexcept { return overlong_; }

  /// Why the input was ended early, for the user.
  static std::string overlongReason();

private:
  // Two blocks taken in turn: the batch handed out last stays where it is while the next is read.
  InputBytes data_[2];
  std::size_t current_ = 0;
  std::size_t carried_ = 0; // bytes of an unfinished last line at the end of the current block
  bool ended_ = false;
  bool overlong_ = false;
};

} // namespace pavenda::tools

#endif
