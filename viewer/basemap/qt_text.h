#pragma once

#include "platform/cp932.h"
#include "platform/paths.h"

#include <QString>

#include <string>
#include <string_view>

namespace tavik {

// Where text crosses between the database's tables and settings (cp932) and
// Qt's strings: fonts, dialogs, windows and painted captions.
inline QString qtext(std::string_view cp932) { return QString::fromStdString(cp932ToUtf8(cp932)); }
inline std::string cp932Text(const QString& text) { return utf8ToCp932(text.toStdString()); }

// Where a path crosses between the file system and Qt's dialogs and printer.
inline QString qpath(const LocalPath& path) { return QString::fromStdString(path.utf8()); }
inline LocalPath localPathOf(const QString& path) { return LocalPath(path.toStdString()); }

} // namespace tavik
