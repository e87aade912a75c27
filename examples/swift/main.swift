import Pavenda

// Reads payloads one per non-blank line on standard input and prints for each the line
// `pavenda validate` prints: "valid" or the codes of the broken rules separated by single blanks, a
// tab, and the payload escaped onto one line. Exit status 0 when every payload was valid, 1 when any
// had findings, 2 when the input could not be read, a line was not UTF-8, or output failed.
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
  var output: [UInt8] = []

  mutating func report(_ line: ArraySlice<UInt8>, lineNumber: Int) {
    guard let payload = String(validating: line, as: UTF8.self) else {
      fail("standard input, line \(lineNumber): not UTF-8")
    }
    let codes = validate(payload).map(\.code)
    allValid = allValid && codes.isEmpty
    output.append(contentsOf: (codes.isEmpty ? "valid" : codes.joined(separator: " ")).utf8)
    output.append(9)
    appendEscaped(payload)
    output.append(10)
    if output.count >= 1 << 16 { flush() }
  }

  // As the command-line tool escapes: "\n", "\r", "\t" and "\\" by name, other control characters
  // (C0, DEL, C1) as "\xNN" per UTF-8 byte, everything else as it is.
  mutating func appendEscaped(_ payload: String) {
    for scalar in payload.unicodeScalars {
      switch scalar.value {
      case 0x0A: output.append(contentsOf: #"\n"#.utf8)
      case 0x0D: output.append(contentsOf: #"\r"#.utf8)
      case 0x09: output.append(contentsOf: #"\t"#.utf8)
      case 0x5C: output.append(contentsOf: #"\\"#.utf8)
      case 0..<0x20, 0x7F...0x9F:
        for byte in String(scalar).utf8 {
          output.append(contentsOf: ((byte < 16 ? "\\x0" : "\\x") + String(byte, radix: 16)).utf8)
        }
      default: output.append(contentsOf: String(scalar).utf8)
      }
    }
  }

  mutating func flush() {
    writeAll(output)
    output.removeAll(keepingCapacity: true)
  }
}

// Lines end at "\n", "\r\n" or a lone "\r", and blank lines are skipped, as the command-line tool
// reads them; a last line without a line end still counts. Lines are numbered as an editor shows
// them.
var reporter = Reporter()
var pending: [UInt8] = []
var lineNumber = 1
var afterCR = false  // the last line end was a "\r", so a "\n" right after it ends no further line
var chunk = [UInt8](repeating: 0, count: 1 << 16)
while true {
  let count = chunk.withUnsafeMutableBytes { read(STDIN_FILENO, $0.baseAddress, $0.count) }
  if count < 0 && errno == EINTR { continue }
  if count < 0 { fail("cannot read standard input: \(String(cString: strerror(errno)))") }
  if count == 0 { break }
  var searchFrom = pending.count
  pending.append(contentsOf: chunk[0..<count])
  var lineStart = 0
  while let end = pending[searchFrom...].firstIndex(where: { $0 == 10 || $0 == 13 }) {
    if end > lineStart { reporter.report(pending[lineStart..<end], lineNumber: lineNumber) }
    if pending[end] == 13 || !(afterCR && end == lineStart) { lineNumber += 1 }
    afterCR = pending[end] == 13
    lineStart = end + 1
    searchFrom = lineStart
  }
  pending.removeFirst(lineStart)
}
if !pending.isEmpty { reporter.report(pending[...], lineNumber: lineNumber) }
reporter.flush()
exit(reporter.allValid ? 0 : 1)
