#include "platform/system_error_text.h"

#include <cerrno>
#include <cstring>

namespace tavik {

std::string systemErrorText(int errorNumber)
{
    const char* text = nullptr;
    const char* name = nullptr;
    switch (errorNumber) {
    case ENOSPC:
        text = "ディスクに空きがありません";
        name = "ENOSPC";
        break;
    case EDQUOT:
        text = "ディスクの使用量の上限 (quota) を超えました";
        name = "EDQUOT";
        break;
    case EFBIG:
        text = "ファイルが大きすぎます";
        name = "EFBIG";
        break;
    case EROFS:
        text = "読み出し専用のファイルシステムです";
        name = "EROFS";
        break;
    case EACCES:
    case EPERM:
        text = "書き込みまたは読み込みの権限がありません";
        name = errorNumber == EACCES ? "EACCES" : "EPERM";
        break;
    case EIO:
        text = "入出力エラーです (ディスクや媒体の故障かもしれません)";
        name = "EIO";
        break;
    case ENOENT:
        text = "ファイルまたはフォルダがありません";
        name = "ENOENT";
        break;
    case ENOTDIR:
        text = "途中のフォルダがフォルダではありません";
        name = "ENOTDIR";
        break;
    case EISDIR:
        text = "フォルダです";
        name = "EISDIR";
        break;
    case ENOMEM:
        text = "メモリが足りません";
        name = "ENOMEM";
        break;
    case EMFILE:
    case ENFILE:
        text = "開いているファイルが多すぎます";
        name = errorNumber == EMFILE ? "EMFILE" : "ENFILE";
        break;
    case ELOOP:
        text = "シンボリックリンクをたどれません";
        name = "ELOOP";
        break;
    case ENAMETOOLONG:
        text = "パス名が長すぎます";
        name = "ENAMETOOLONG";
        break;
    case ETXTBSY:
    case EBUSY:
        text = "ほかのプログラムが使用中です";
        name = errorNumber == EBUSY ? "EBUSY" : "ETXTBSY";
        break;
    case EINTR:
        text = "中断されました";
        name = "EINTR";
        break;
    default:
        break;
    }
    if (text)
        return std::string(text) + " (" + name + ")";
    if (errorNumber == 0)
        return "理由は分かりません";
    return "システムのエラー " + std::to_string(errorNumber) + ": " + std::strerror(errorNumber);
}

} // namespace tavik
