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

bool readJsonFile(std::string_view path, std::size_t maxBytes, nlohmann::json& value, BlankMapError& error)
{
    // A folder, a device or a FIFO is refused before anything is read: a
    // device would be read until memory ran out.
    std::string bytes;
    FileReadResult read = readFileBytes(path, maxBytes, bytes);
    if (!read.ok())
        return error.set(displayPath(path), "読めません (" + fileReadFailureText(read) + ")");
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
        // The column in characters, as an editor counts them: UTF-8
        // continuation bytes do not start one.
        std::size_t column = 1;
        for (std::size_t i = lineStart; i < offset; ++i)
            column += (static_cast<unsigned char>(bytes[i]) & 0xC0) != 0x80;
        std::string what = failure.what();
        // "[json.exception.parse_error.101] parse error at line 1, column 2: ..." -> the part after the position,
        // the library's own account of the fault, kept for the exact reason.
        std::size_t colon = what.find(": ");
        const std::string reason = colon == std::string::npos ? what : what.substr(colon + 2);
        std::string fault = "JSON の書き方が正しくありません";
        if (offset >= bytes.size())
            fault = bytes.find_first_not_of(" \t\r\n") == std::string::npos ? "中身が空です"
                                                                            : "JSON が途中で終わっています";
        return error.set(displayPath(path),
            std::to_string(line) + " 行目、" + std::to_string(column) + " 文字目: " + fault + " (" + reason + ")");
    }
    return true;
}

} // namespace tavik
