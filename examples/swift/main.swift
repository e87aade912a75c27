import Pavenda

// Reads payloads one per line on standard input and prints for each one line: "valid", or the codes
// of the broken rules separated by single blanks. Exit status 0 when every payload was valid, 1 when
// any had findings, 2 when the input could not be read, a line was not UTF-8, or output failed.
#if canImport(Glibc)
  import Glibc
#elseif canImport(Darwin)
  import Darwin
#endif

func fail(_ message: String) -> Never {
  let text = "pavenda-validate-swift: \(message)\n"
  _ = text.utf8CString.withUnsafeBufferPointer {
    write(STDERR_FILENO, $0.baseAddress, $0.count - 1)
  }
  exit(2)
}

func writeAll(_ bytes: [UInt8]) {
  var written = 0
  while written < bytes.count {
    let result = bytes[written...].withUnsafeBytes {
      write(STDOUT_FILENO, $0.baseAddress, $0.count)
    }
    if result < 0 && errno == EINTR { continue }
    if result <= 0 { fail("cannot write standard output: \(String(cString: strerror(errno)))") }
    written += result
  }
}

// The verdicts so far, written out in large blocks.
struct Reporter {
  var allValid = true
  var lineNumber = 0
  var output: [UInt8] = []

  mutating func report(_ line: ArraySlice<UInt8>) {
    lineNumber += 1
    guard let payload = String(validating: line, as: UTF8.self) else {
      fail("standard input, line \(lineNumber): not UTF-8")
    }
    let codes = validate(payload).map(\.code)
    allValid = allValid && codes.isEmpty
    output.append(contentsOf: (codes.isEmpty ? "valid" : codes.joined(separator: " ")).utf8)
    output.append(10)
    if output.count >= 1 << 16 { flush() }
  }

  mutating func flush() {
    writeAll(output)
    output.removeAll(keepingCapacity: true)
  }
}

var reporter = Reporter()
var pending: [UInt8] = []
var chunk = [UInt8](repeating: 0, count: 1 << 16)
while true {
  let count = chunk.withUnsafeMutableBytes { read(STDIN_FILENO, $0.baseAddress, $0.count) }
  if count < 0 && errno == EINTR { continue }
  if count < 0 { fail("cannot read standard input: \(String(cString: strerror(errno)))") }
  if count == 0 { break }
  var searchFrom = pending.count
  pending.append(contentsOf: chunk[0..<count])
  var lineStart = 0
  while let newline = pending[searchFrom...].firstIndex(of: 10) {
    // A "\r" right before the "\n" belongs to the line break.
    let end = newline > lineStart && pending[newline - 1] == 13 ? newline - 1 : newline
    reporter.report(pending[lineStart..<end])
    lineStart = newline + 1
    searchFrom = lineStart
  }
  pending.removeFirst(lineStart)
}
// The last line may lack its "\n"; a "\r" at its end then belongs to the payload.
if !pending.isEmpty { reporter.report(pending[...]) }
reporter.flush()
exit(reporter.allValid ? 0 : 1)
