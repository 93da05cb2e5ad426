#pragma once

// Shared pieces of the fuzz targets: checks that abort with a message (so
// that libFuzzer keeps the input as a crash) and input written to a file for
// readers that take a path.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                         \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)

namespace tavik::fuzz {

inline std::string_view asText(const uint8_t* data, size_t size)
{
    return std::string_view(reinterpret_cast<const char*>(data), size);
}

// A file of this process that holds the current input; one per name.
inline std::string inputFile(std::string_view bytes, const std::string& name = "input")
{
    const char* tmp = std::getenv("TMPDIR");
    std::string path
        = std::string(tmp && *tmp ? tmp : "/tmp") + "/tavik-fuzz-" + std::to_string(::getpid()) + "-" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return path;
}

// The input split into lines (without their line feeds).
inline std::vector<std::string> lines(std::string_view text)
{
    std::vector<std::string> result;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            result.emplace_back(text.substr(start));
            break;
        }
        result.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

} // namespace tavik::fuzz
