#pragma once

#include <string>

namespace tavik {

// The reason of a failed system call in Japanese (UTF-8), for the messages a
// person reads: "入出力エラーです" for EIO, "ディスクに空きがありません" for
// ENOSPC. An errno without a Japanese text of its own is shown with its
// number and the C library's text.
std::string systemErrorText(int error);

} // namespace tavik
