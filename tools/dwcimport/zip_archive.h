#pragma once

#include "tools/dwcimport/byte_source.h"

#include <memory>
#include <string>
#include <string_view>

struct archive;

namespace tavik {

// Why libarchive failed (UTF-8): the system's reason of a failed read or
// write, else libarchive's own words (English), else the fallback.
std::string archiveErrorText(archive* handle, const char* fallback);

// A zip file read with libarchive, one stored file after another in the
// order of the zip. The file the archive stands at is read as a ByteSource.
class ZipArchive : public ByteSource {
public:
    ZipArchive();
    ~ZipArchive() override;
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // True when the file at a cp932 path begins as a zip does.
    static bool isZip(std::string_view path);

    // Opens the zip at a cp932 path; false (with errorText) when it cannot.
    bool open(std::string_view path);

    // Goes to the next stored file (folders are passed over) and gives its
    // name, a path inside the zip in UTF-8. False at the end of the zip, or
    // on an error (errorText() is then not empty).
    bool nextFile(std::string& name);

    // The whole of the current file, when it holds at most maxBytes bytes;
    // false (with errorText) when it is larger or cannot be read.
    bool readWhole(std::string& bytes, size_t maxBytes);

    long read(char* buffer, size_t size) override;
    std::string errorText() const override { return errorText_; }

private:
    struct Closer {
        void operator()(archive* handle) const;
    };
    std::unique_ptr<archive, Closer> archive_;
    std::string errorText_;
};

} // namespace tavik
