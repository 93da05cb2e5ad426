#include "tools/dwcimport/byte_source.h"

#include "platform/system_error.h"

#include <cerrno>

namespace tavik {

bool FileByteSource::open(std::string_view path)
{
    file_ = openFile(path, "rb");
    if (!file_)
        errorText_ = systemErrorText(errno);
    return file_ != nullptr;
}

long FileByteSource::read(char* buffer, size_t size)
{
    if (!file_)
        return -1;
    size_t count = std::fread(buffer, 1, size, file_.get());
    // A read that fails part-way hands out what it read first; the failure
    // comes with the next read, never as the end of the file.
    if (count == 0 && std::ferror(file_.get())) {
        errorText_ = "読み込みに失敗しました: " + systemErrorText(errno);
        return -1;
    }
    return static_cast<long>(count);
}

} // namespace tavik
