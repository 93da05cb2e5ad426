#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

namespace tavik {

// Reads a JSON file (cp932 path). False when the file cannot be read or is
// not JSON; `error` then names the file and, for a syntax error, its line and
// column (UTF-8).
bool readJsonFile(std::string_view path, nlohmann::json& value, std::string& error);

// The path of a file as messages name it (UTF-8).
std::string displayPath(std::string_view path);

} // namespace tavik
