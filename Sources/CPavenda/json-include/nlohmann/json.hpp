// nlohmann-json's Swift package exposes its single header as <json.hpp>; the library's sources
// include it by its usual name.
#include <json.hpp>
