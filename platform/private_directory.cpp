#include "platform/private_directory.h"

#include "platform/cp932.h"
#include "platform/system_error.h"

#include <cerrno>
#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

namespace tavik {
namespace {

std::string failure(std::string* errorText, const std::string& path, const std::string& reason)
{
    if (errorText)
        *errorText = utf8ToCp932(path + ": " + reason);
    return {};
}

} // namespace

std::string privateTemporaryDirectory(std::string* errorText)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string base = tmp && *tmp ? tmp : "/tmp";
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    const uid_t user = ::getuid();
    const std::string path = base + "/tavik-" + std::to_string(user);

    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return failure(errorText, path, systemErrorText(errno));
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0)
        return failure(errorText, path, systemErrorText(errno));
    if (!S_ISDIR(info.st_mode))
        return failure(errorText, path, "フォルダではありません");
    if (info.st_uid != user)
        return failure(errorText, path, "ほかの利用者のフォルダです");
    if ((info.st_mode & 077) != 0 && ::chmod(path.c_str(), 0700) != 0)
        return failure(errorText, path, systemErrorText(errno));
    return utf8ToCp932(path);
}

} // namespace tavik
