#pragma once

#include "tools/dwcimport/byte_source.h"

#include <memory>
#include <string>
#include <string_view>

struct archive;

namespace tavik {

// Text read through libarchive's decompression filters: gzip, bzip2, xz
// (and zstd, lzip) are undone as the bytes stream in, and text that is not
// compressed passes as it is. It reads files, pipes and standard input alike
// (nothing is read twice and nothing is sought), so a download may come
// through a pipe or "-".
class CompressedStream : public ByteSource {
public:
    CompressedStream();
    ~CompressedStream() override;
    CompressedStream(const CompressedStream&) = delete;
    CompressedStream& operator=(const CompressedStream&) = delete;

    // Opens the file at a cp932 path, or standard input for "-". False with
    // errorText() when it cannot be opened or begins as a zip does (a zip is
    // read from a file only, by its directory).
    bool open(std::string_view path);

    // The compression undone, in words ("gzip"), or empty for plain text.
    const std::string& compression() const { return compression_; }

    long read(char* buffer, size_t size) override;
    std::string errorText() const override { return errorText_; }

    // True when the bytes begin as gzip, bzip2, xz, zstd or lzip data do.
    static bool isCompressed(std::string_view head);

private:
    struct Closer {
        void operator()(archive* handle) const;
    };
    std::unique_ptr<archive, Closer> archive_;
    std::string compression_;
    std::string errorText_;
};

} // namespace tavik
