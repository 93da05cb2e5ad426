#include "common/database_lock.h"

#include "common/tool_error.h"
#include "platform/cp932.h"

namespace tavik {

bool DatabaseLock::acquire(ToolError& error)
{
    switch (lock_.acquire(fileName, std::chrono::seconds(waitSeconds))) {
    case FileLock::Status::Locked:
        return true;
    case FileLock::Status::Busy:
        return error.set(fileName,
            cp932Literal(
                "ほかの samvel、ludric か dwcimport がこのデータベースを更新中です.終わってからやり直して下さい."));
    case FileLock::Status::CannotOpen:
        break;
    }
    return error.set(fileName, cp932Printf("ロックファイルが作れません (%s).", utf8ToCp932(lock_.errorText()).c_str()));
}

} // namespace tavik
