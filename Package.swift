// swift-tools-version:6.0
// The Swift package: adding this repository's URL is all an app needs. The C++ library is compiled
// from src/ with its builtin Unicode tables (no ICU on any platform); nlohmann-json comes as a
// package dependency. Only the C interface is seen by Swift.
import Foundation
import PackageDescription

// One version for every build: the one CMakeLists.txt declares.
let version: String = {
  let root = URL(fileURLWithPath: #filePath).deletingLastPathComponent()
  let cmake =
    (try? String(contentsOf: root.appendingPathComponent("CMakeLists.txt"), encoding: .utf8)) ?? ""
  guard
    let range = cmake.range(of: #"project\(pavenda VERSION [0-9.]+"#, options: .regularExpression),
    let number = cmake[range].split(separator: " ").last
  else { fatalError("Package.swift: no `project(pavenda VERSION x.y.z` in CMakeLists.txt") }
  return String(number)
}()

let package = Package(
  name: "Pavenda",
  platforms: [.iOS(.v15), .macOS(.v12)],
  products: [
    .library(name: "Pavenda", targets: ["Pavenda"]),
    .executable(name: "pavenda-validate-swift", targets: ["pavenda-validate-swift"]),
  ],
  dependencies: [
    .package(url: "https://github.com/nlohmann/json.git", from: "3.11.3")
  ],
  targets: [
    // The library's own sources, compiled in place from src/ with the builtin Unicode tables, so
    // that no platform needs ICU; the module map in Sources/CPavenda/include exposes
    // include/pavenda/pavenda_c.h to Swift.
    .target(
      name: "CPavenda",
      dependencies: [.product(name: "json", package: "json")],
      path: ".",
      exclude: ["src/CMakeLists.txt", "src/support/unicode_icu"],
      sources: ["src"],
      publicHeadersPath: "Sources/CPavenda/include",
      cxxSettings: [
        .headerSearchPath("include"),
        .headerSearchPath("src"),
        .headerSearchPath("Sources/CPavenda/json-include"),
        .define("PAVENDA_VERSION", to: "\"\(version)\""),
      ]
    ),
    .target(name: "Pavenda", dependencies: ["CPavenda"]),
    .executableTarget(
      name: "pavenda-validate-swift", dependencies: ["Pavenda"], path: "examples/swift"),
    .testTarget(name: "PavendaTests", dependencies: ["Pavenda"]),
  ],
  cxxLanguageStandard: .cxx20
)
