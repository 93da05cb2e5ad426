#include "tools/blankmap/json_file.h"

#include "platform/cp932.h"
#include "platform/file_reading.h"
#include "platform/paths.h"

#include <cstdio>
#include <cstdlib>
#include <new>

namespace tavik {
namespace {

// Memory set aside while a document is parsed. When memory runs out, the
// parser's half-built tree is taken apart as the exception leaves it, and
// that takes memory too (the tree's destructor gathers the children of a
// node in a vector): without memory it ends the program. The reserve is
// given back at the first failed allocation, which then throws, so that the
// tree can be taken apart and the fault reported.
class MemoryReserve {
public:
    explicit MemoryReserve(std::size_t bytes)
    {
        reserve_ = std::malloc(bytes);
        previous_ = std::set_new_handler(&release);
    }
    ~MemoryReserve()
    {
        std::set_new_handler(previous_);
        std::free(reserve_);
        reserve_ = nullptr;
    }
    MemoryReserve(const MemoryReserve&) = delete;
    MemoryReserve& operator=(const MemoryReserve&) = delete;

private:
    static void release()
    {
        std::free(reserve_);
        reserve_ = nullptr;
        std::set_new_handler(nullptr);
        throw std::bad_alloc();
    }

    static inline void* reserve_ = nullptr;
    std::new_handler previous_;
};

} // namespace

std::string displayPath(std::string_view path) { return cp932ToUtf8(path); }

bool readJsonFile(std::string_view path, std::size_t maxBytes, nlohmann::json& value, std::string& error)
{
    // A folder, a device or a FIFO is refused before anything is read: a
    // device would be read until memory ran out.
    std::string bytes;
    FileReadResult read = readFileBytes(path, maxBytes, bytes);
    if (!read.ok()) {
        error = displayPath(path) + ": 読めません (" + fileReadFailureText(read) + ")";
        return false;
    }
    try {
        MemoryReserve reserve(64 << 20);
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
