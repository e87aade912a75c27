#include "Input.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

namespace pavenda::tools {

std::optional<std::string> readAll(const std::string& path) {
  if (path.empty() || path == "-") {
    std::ostringstream content;
    content << std::cin.rdbuf();
    return content.str();
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::cerr << "pavenda: cannot read " << path << '\n';
    return std::nullopt;
  }
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::optional<FieldDictionary> readDictionary(const std::string& path) {
  const std::optional<std::string> text = readAll(path);
  if (!text)
    return std::nullopt;
  std::string error;
  std::optional<FieldDictionary> dictionary = FieldDictionary::fromJSON(*text, &error);
  if (!dictionary)
    std::cerr << "pavenda: " << (path.empty() || path == "-" ? "standard input" : path) << ": "
              << error << '\n';
  return dictionary;
}

} // namespace pavenda::tools
