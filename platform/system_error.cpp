#include "platform/system_error.h"

#include <cerrno>
#include <cstring>

namespace tavik {

std::string systemErrorText(int error)
{
    switch (error) {
    case EIO:
        return "入出力エラーです";
    case ENOSPC:
        return "ディスクに空きがありません";
    case EDQUOT:
        return "ディスクの使用量の上限を超えました";
    case EFBIG:
        return "ファイルが大きすぎます";
    case EACCES:
    case EPERM:
        return "アクセスが許可されていません";
    case EROFS:
        return "読み込み専用のファイルシステムです";
    case ENOENT:
        return "ファイルまたはフォルダがありません";
    case ENOTDIR:
        return "パスの途中にフォルダでないものがあります";
    case EISDIR:
        return "フォルダです";
    case ELOOP:
        return "シンボリックリンクです (またはリンクの連なりが長すぎます)";
    case ENAMETOOLONG:
        return "パス名が長すぎます";
    case EEXIST:
        return "同じ名前のファイルがすでにあります";
    case EBUSY:
    case ETXTBSY:
        return "ほかのプログラムが使用中です";
    case EMFILE:
    case ENFILE:
        return "開いているファイルが多すぎます";
    case ENOMEM:
        return "メモリが足りません";
    case EXDEV:
        return "別のファイルシステムへは移動できません";
    case ENXIO:
    case ENODEV:
        return "装置がありません";
    case EAGAIN:
        return "いまは使えません";
    case EINVAL:
        return "このファイルにはできない操作です";
    case ESTALE:
        return "ネットワーク上のファイルが見えなくなりました";
    default:
        return "エラー " + std::to_string(error) + " (" + std::strerror(error) + ")";
    }
}

} // namespace tavik
