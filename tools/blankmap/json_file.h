#pragma once

#include "tools/blankmap/blankmap_error.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <string>
#include <string_view>

namespace tavik {

// Bytes of a layout file: far more than any layout needs.
inline constexpr std::size_t maxLayoutBytes = 16 << 20;
// Bytes of a boundary file: detailed boundaries of a country take tens of
// megabytes, and each byte of JSON costs several in memory.
inline constexpr std::size_t maxBoundaryBytes = std::size_t(1) << 30;

// Reads a JSON file of at most maxBytes (cp932 path), which must be a regular
// file. False when the file cannot be read whole or is not JSON, with the
// file in `error` and, for a syntax error, its line and the column in
// characters at the start of the message.
bool readJsonFile(std::string_view path, std::size_t maxBytes, nlohmann::json& value, BlankMapError& error);

// The path of a file as messages name it (UTF-8).
std::string displayPath(std::string_view path);

} // namespace tavik
