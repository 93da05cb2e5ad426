#pragma once

#include "platform/paths.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace tavik {

// A stream of bytes read in blocks: a file, or one file inside a zip.
class ByteSource {
public:
    virtual ~ByteSource() = default;

    // Reads up to `size` bytes; the count read, 0 at the end, -1 on an error
    // (then errorText() says what failed).
    virtual long read(char* buffer, size_t size) = 0;

    virtual std::string errorText() const = 0;
};

// A plain file as a ByteSource.
class FileByteSource : public ByteSource {
public:
    // Opens a cp932 path; false when it cannot be opened.
    bool open(std::string_view path);

    long read(char* buffer, size_t size) override;
    std::string errorText() const override { return errorText_; }

private:
    FilePtr file_;
    std::string errorText_;
};

} // namespace tavik
