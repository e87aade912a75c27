// swift-tools-version:6.0
// The Swift package: adding this repository's URL is all an app needs. The C++ library is compiled
// from src/ as it stands; only the C interface is seen by Swift.
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

let apple: [Platform] = [.macOS, .iOS, .macCatalyst, .tvOS, .watchOS, .visionOS]

let package = Package(
  name: "Pavenda",
  platforms: [.iOS(.v15), .macOS(.v12)],
  products: [
    .library(name: "Pavenda", targets: ["Pavenda"]),
    .executable(name: "pavenda-validate-swift", targets: ["pavenda-validate-swift"]),
  ],
  targets: [
    // The library's own sources, compiled in place through the link Sources/CPavenda/src; the module
    // map in Sources/CPavenda/include exposes include/pavenda/pavenda_c.h to Swift.
    .target(
      name: "CPavenda",
      exclude: ["src/CMakeLists.txt"],
      sources: ["src"],
      cxxSettings: [
        .headerSearchPath("../../include"),
        .headerSearchPath("src"),
        .define("PAVENDA_VERSION", to: "\"\(version)\""),
        // Apple platforms and Android ship ICU's C API only.
        .define("U_SHOW_CPLUSPLUS_API", to: "0"),
        // Apple's libicucore exports the C functions without ICU's version suffix; its SDKs carry
        // no ICU or nlohmann-json headers, so the app puts them here (see the README).
        .define("U_DISABLE_RENAMING", to: "1", .when(platforms: apple)),
        .headerSearchPath("apple-include", .when(platforms: apple)),
      ],
      linkerSettings: [
        .linkedLibrary("icucore", .when(platforms: apple)),
        .linkedLibrary("icui18n", .when(platforms: [.linux, .android])),
        .linkedLibrary("icuuc", .when(platforms: [.linux, .android])),
        .linkedLibrary("icudata", .when(platforms: [.linux])),
      ]
    ),
    .target(name: "Pavenda", dependencies: ["CPavenda"]),
    .executableTarget(
      name: "pavenda-validate-swift", dependencies: ["Pavenda"], path: "examples/swift"),
    .testTarget(name: "PavendaTests", dependencies: ["Pavenda"]),
  ],
  cxxLanguageStandard: .cxx20
)
