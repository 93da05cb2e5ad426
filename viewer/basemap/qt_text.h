#pragma once

#include "platform/cp932.h"
#include "platform/paths.h"

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace tavik {

// Where text crosses between the database's tables and settings (cp932) and
// Qt's strings: fonts, dialogs, windows and painted captions.
inline QString qtext(std::string_view cp932) { return QString::fromStdString(cp932ToUtf8(cp932)); }
inline std::string cp932Text(const QString& text) { return utf8ToCp932(text.toStdString()); }

// The cp932 form of a name that must find the same thing again when read back
// from a settings file (a font family): nothing when a character has no cp932
// form or comes back as another ("〜" U+301C comes back as "～" U+FF5E).
inline std::optional<std::string> cp932Name(const QString& name)
{
    const std::string utf8 = name.toStdString();
    std::optional<std::string> cp932 = utf8ToCp932Exact(utf8);
    if (!cp932 || cp932ToUtf8(*cp932) != utf8)
        return std::nullopt;
    return cp932;
}

// Where a path crosses between the file system and Qt's dialogs and printer.
inline QString qpath(const LocalPath& path) { return QString::fromStdString(path.utf8()); }
inline LocalPath localPathOf(const QString& path) { return LocalPath(path.toStdString()); }

} // namespace tavik
