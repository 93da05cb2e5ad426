#include "tools/dwcimport/byte_source.h"

#include <cerrno>
#include <cstring>

namespace tavik {

bool FileByteSource::open(std::string_view path)
{
    file_ = openFile(path, "rb");
    if (!file_)
        errorText_ = std::strerror(errno);
    return file_ != nullptr;
}

long FileByteSource::read(char* buffer, size_t size)
{
    if (!file_)
        return -1;
    size_t count = std::fread(buffer, 1, size, file_.get());
    if (count == 0 && std::ferror(file_.get())) {
        errorText_ = std::strerror(errno);
        return -1;
    }
    return static_cast<long>(count);
}

} // namespace tavik
