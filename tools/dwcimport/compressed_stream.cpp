#include "tools/dwcimport/compressed_stream.h"

#include "platform/paths.h"
#include "tools/dwcimport/zip_archive.h"

#include <archive.h>
#include <archive_entry.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace tavik {
namespace {

constexpr size_t blockBytes = size_t{1} << 16;

} // namespace

void CompressedStream::Closer::operator()(archive* handle) const { archive_read_free(handle); }

CompressedStream::CompressedStream() = default;
CompressedStream::~CompressedStream() = default;

bool CompressedStream::isCompressed(std::string_view head)
{
    return head.starts_with("\x1F\x8B") || head.starts_with("BZh")
        || head.starts_with("\xFD"
                            "7zXZ")
        || head.starts_with("\x28\xB5\x2F\xFD") || head.starts_with("LZIP");
}

bool CompressedStream::open(std::string_view path)
{
    archive_.reset(archive_read_new());
    if (!archive_) {
        errorText_ = "メモリが足りません.";
        return false;
    }
    archive_read_support_filter_all(archive_.get());
    archive_read_support_format_raw(archive_.get());
    archive_read_support_format_empty(archive_.get());
    archive_read_support_format_zip(archive_.get());
    int status;
    if (path == "-") {
        status = archive_read_open_fd(archive_.get(), STDIN_FILENO, blockBytes);
    } else {
        const std::string local = localPath(path).utf8();
        status = archive_read_open_filename(archive_.get(), local.c_str(), blockBytes);
    }
    archive_entry* entry = nullptr;
    if (status == ARCHIVE_OK)
        status = archive_read_next_header(archive_.get(), &entry);
    if (status == ARCHIVE_EOF) {
        archive_.reset(); // empty: the first read gives the end
        return true;
    }
    if (status != ARCHIVE_OK && status != ARCHIVE_WARN) {
        errorText_ = "読めません: " + archiveErrorText(archive_.get(), "libarchive のエラー");
        archive_.reset();
        return false;
    }
    if (archive_format(archive_.get()) != ARCHIVE_FORMAT_RAW) {
        errorText_ = "zip はパイプや標準入力からは読めません: ファイルに保存して、その名前を指定して下さい.";
        archive_.reset();
        return false;
    }
    int filters = archive_filter_count(archive_.get());
    for (int i = 0; i + 1 < filters; ++i) {
        if (!compression_.empty())
            compression_ += ", ";
        compression_ += archive_filter_name(archive_.get(), i);
    }
    return true;
}

long CompressedStream::read(char* buffer, size_t size)
{
    if (!archive_)
        return errorText_.empty() ? 0 : -1;
    la_ssize_t count = archive_read_data(archive_.get(), buffer, size);
    if (count < 0) {
        errorText_ = "読み込みに失敗しました: " + archiveErrorText(archive_.get(), "壊れた圧縮データです.");
        return -1;
    }
    return static_cast<long>(count);
}

} // namespace tavik
