#include "common/database_lock.h"

#include "common/tool_error.h"
#include "platform/cp932.h"

namespace tavik {

bool DatabaseLock::acquire(ToolError& error, std::string_view path)
{
    switch (lock_.acquire(path, std::chrono::seconds(waitSeconds))) {
    case FileLock::Status::Locked:
        return true;
    case FileLock::Status::Busy:
        return error.set(path,
            cp932Literal("ほかのプログラム (samvel, ludric, norbek, dwcimport など) "
                         "がこのデータベースを使用中です.終わってからやり直して下さい."));
    case FileLock::Status::CannotOpen:
        break;
    }
    return error.set(path, cp932Printf("ロックファイルを開けません (%s).", utf8ToCp932(lock_.errorText()).c_str()));
}

} // namespace tavik
