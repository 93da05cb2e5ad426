#include "tools/dwcimport/zip_archive.h"

#include "platform/system_error.h"

#include <archive.h>
#include <archive_entry.h>

#include <cerrno>
#include <cstring>

namespace tavik {
namespace {

// libarchive reads the zip's central directory when it can seek, so files
// written with data descriptors are found too; 64 KiB blocks.
constexpr size_t blockBytes = 1 << 16;

} // namespace

// Why libarchive failed: the system's reason of a failed read, else
// libarchive's own words (English), else the fallback.
std::string archiveErrorText(archive* handle, const char* fallback)
{
    // libarchive reports damaged data as EILSEQ and misuse as EINVAL.
    int number = archive_errno(handle);
    if (number > 0 && number != EILSEQ && number != EINVAL)
        return systemErrorText(number);
    const char* text = archive_error_string(handle);
    return text ? text : fallback;
}

void ZipArchive::Closer::operator()(archive* handle) const { archive_read_free(handle); }

ZipArchive::ZipArchive() = default;
ZipArchive::~ZipArchive() = default;

bool ZipArchive::isZip(std::string_view path)
{
    FilePtr file = openFile(path, "rb");
    char magic[4] = {};
    return file && std::fread(magic, 1, 4, file.get()) == 4 && magic[0] == 'P' && magic[1] == 'K'
        && ((magic[2] == 3 && magic[3] == 4) || (magic[2] == 5 && magic[3] == 6));
}

bool ZipArchive::open(std::string_view path)
{
    archive_.reset(archive_read_new());
    if (!archive_) {
        errorText_ = "メモリが足りません.";
        return false;
    }
    archive_read_support_format_zip(archive_.get());
    const std::string local = localPath(path).utf8();
    if (archive_read_open_filename(archive_.get(), local.c_str(), blockBytes) != ARCHIVE_OK) {
        errorText_ = archiveErrorText(archive_.get(), "開けません.");
        archive_.reset();
        return false;
    }
    return true;
}

bool ZipArchive::nextFile(std::string& name)
{
    errorText_.clear();
    if (!archive_)
        return false;
    for (;;) {
        archive_entry* entry = nullptr;
        int status = archive_read_next_header(archive_.get(), &entry);
        if (status == ARCHIVE_EOF)
            return false;
        if (status != ARCHIVE_OK && status != ARCHIVE_WARN) {
            errorText_ = archiveErrorText(archive_.get(), "壊れています.");
            return false;
        }
        if (archive_entry_filetype(entry) != AE_IFREG)
            continue;
        const char* utf8 = archive_entry_pathname_utf8(entry);
        const char* raw = archive_entry_pathname(entry);
        name = utf8 ? utf8 : raw ? raw : "";
        return true;
    }
}

bool ZipArchive::readWhole(std::string& bytes, size_t maxBytes)
{
    bytes.clear();
    char block[blockBytes];
    for (;;) {
        long count = read(block, sizeof block);
        if (count < 0)
            return false;
        if (count == 0)
            return true;
        if (bytes.size() + static_cast<size_t>(count) > maxBytes) {
            errorText_ = std::to_string(maxBytes >> 20) + " MiB を超えています.";
            return false;
        }
        bytes.append(block, static_cast<size_t>(count));
    }
}

long ZipArchive::read(char* buffer, size_t size)
{
    if (!archive_)
        return -1;
    la_ssize_t count = archive_read_data(archive_.get(), buffer, size);
    if (count < 0) {
        errorText_ = "読み込みに失敗しました: " + archiveErrorText(archive_.get(), "壊れています.");
        return -1;
    }
    return static_cast<long>(count);
}

} // namespace tavik
