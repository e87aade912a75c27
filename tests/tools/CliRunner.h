#ifndef PAVENDA_TESTS_CLIRUNNER_H
#define PAVENDA_TESTS_CLIRUNNER_H

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>

namespace pavenda::testing_support {

struct CliResult {
  int status;
  std::string out;
  std::string err;
};

inline std::string readFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

/// Runs the built pavenda tool with `arguments` (already shell-quoted) and `input` on standard
/// input.
inline CliResult runCli(const std::string& arguments, const std::string& input = "") {
  const auto dir = std::filesystem::temp_directory_path() /
                   ("pavenda-cli-" + std::to_string(::getpid()) + "-" +
                    std::to_string(reinterpret_cast<std::uintptr_t>(&input)));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "in", std::ios::binary) << input;
  const std::string command = std::string("'") + PAVENDA_CLI + "' " + arguments + " <'" +
                              (dir / "in").string() + "' >'" + (dir / "out").string() + "' 2>'" +
                              (dir / "err").string() + "'";
  const int raw = std::system(command.c_str());
  CliResult result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(dir / "out"),
                   readFile(dir / "err")};
  std::filesystem::remove_all(dir);
  return result;
}

/// Runs `script` with bash in a fresh empty working folder, with $PAVENDA naming the built tool and
/// $EXAMPLES the examples folder; its standard output and error are the result's.
inline CliResult runShell(const std::string& script) {
  const auto dir = std::filesystem::temp_directory_path() /
                   ("pavenda-sh-" + std::to_string(::getpid()) + "-" +
                    std::to_string(reinterpret_cast<std::uintptr_t>(&script)));
  std::filesystem::create_directories(dir / "work");
  std::ofstream(dir / "script", std::ios::binary) << script;
  const std::string command = "cd '" + (dir / "work").string() + "' && PAVENDA='" + PAVENDA_CLI +
                              "' EXAMPLES='" PAVENDA_SOURCE_DIR "/examples' bash '" +
                              (dir / "script").string() + "' >'" + (dir / "out").string() +
                              "' 2>'" + (dir / "err").string() + "'";
  const int raw = std::system(command.c_str());
  CliResult result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(dir / "out"),
                   readFile(dir / "err")};
  std::filesystem::remove_all(dir);
  return result;
}

/// `text` quoted for the shell.
inline std::string quoted(const std::string& text) {
  std::string out = "'";
  for (const char c : text)
    out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

} // namespace pavenda::testing_support

#endif
