#pragma once

#include <string>

namespace tavik {

// The reason of a failed system call, in Japanese (UTF-8), for the reports
// users read: "ディスクに空きがありません (ENOSPC)". The C library's own text
// is English whatever the locale; the usual reasons of a failed read or
// write are said here, any other as the C library says it with its number.
std::string systemErrorText(int errorNumber);

} // namespace tavik
