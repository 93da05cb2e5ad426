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
inline Cp932Text cp932Text(const QString& text) { return utf8ToCp932(text.toStdString()); }

// The cp932 form of a name that must find the same thing again when read back
// from a settings file (a font family): nothing when a character has no cp932
// form or comes back as another ("〜" U+301C comes back as "～" U+FF5E).
inline std::optional<std::string> cp932Name(const QString& name) { return utf8ToCp932RoundTrip(name.toStdString()); }

// UTF-8 text that is neither a table's text nor a path: Qt's own messages, a
// character's code, the arguments of a program started.
inline QString qutf8(std::string_view utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }
inline std::string utf8Of(const QString& text) { return text.toStdString(); }

// cp932 bytes carried unchanged through a Qt signal: no conversion, so that a
// message reaches its box as it was written.
inline QByteArray cp932Bytes(std::string_view cp932) { return QByteArray(cp932.data(), qsizetype(cp932.size())); }
inline Cp932Text cp932Of(const QByteArray& bytes) { return Cp932Text(bytes.toStdString()); }

// Where a path crosses between the file system and Qt's dialogs and printer.
inline QString qpath(const LocalPath& path) { return QString::fromStdString(path.utf8()); }
inline LocalPath localPathOf(const QString& path) { return LocalPath(path.toStdString()); }

} // namespace tavik
