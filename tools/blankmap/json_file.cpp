#include "tools/blankmap/json_file.h"

#include "platform/cp932.h"
#include "platform/paths.h"

#include <cstdio>

namespace tavik {

std::string displayPath(std::string_view path) { return cp932ToUtf8(path); }

bool readJsonFile(std::string_view path, nlohmann::json& value, std::string& error)
{
    FilePtr file = openFile(path, "rb");
    if (!file) {
        error = displayPath(path) + ": cannot open the file";
        return false;
    }
    std::string bytes;
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        bytes.append(buffer, got);
    if (std::ferror(file.get())) {
        error = displayPath(path) + ": read error";
        return false;
    }
    try {
        value = nlohmann::json::parse(bytes);
    } catch (const nlohmann::json::parse_error& failure) {
        // The byte count of the library is 1-based and points just past the
        // offending character.
        std::size_t offset = failure.byte > 0 ? std::min<std::size_t>(failure.byte - 1, bytes.size()) : 0;
        std::size_t line = 1, lineStart = 0;
        for (std::size_t i = 0; i < offset; ++i) {
            if (bytes[i] == '\n') {
                ++line;
                lineStart = i + 1;
            }
        }
        std::string what = failure.what();
        // "[json.exception.parse_error.101] parse error at line 1, column 2: ..." -> the part after the position.
        std::size_t colon = what.find(": ");
        error = displayPath(path) + ":" + std::to_string(line) + ":" + std::to_string(offset - lineStart + 1)
            + ": not JSON: " + (colon == std::string::npos ? what : what.substr(colon + 2));
        return false;
    }
    return true;
}

} // namespace tavik
