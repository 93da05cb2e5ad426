#include "common/database_lock.h"

#include "common/tool_error.h"
#include "platform/cp932.h"
#include "platform/tuning.h"

namespace tavik {

std::chrono::milliseconds DatabaseLock::wait()
{
    return std::chrono::milliseconds(tuningValue("TAVIK_LOCK_WAIT_MS", waitSeconds * 1000L, 0, 60'000));
}

bool DatabaseLock::acquire(ToolError& error, std::string_view path)
{
    switch (lock_.acquire(path, wait())) {
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
