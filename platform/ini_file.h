#pragma once

#include "platform/file_reading.h"

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

// A settings file of "[Section]" headers and "key=value" lines, read and
// written the way private-profile files are: section and key names match in
// either case, blanks around names and values are ignored, a value enclosed
// in a pair of matching quotes loses them, the first section and the first
// key of a name win. Writing a key changes only that key's line (or adds the
// key, or the section); every other byte of the file stays as it was.
// Lines end in LF, CR LF or a CR alone, as in the tables.
class IniFile {
public:
    // Bytes a settings file may hold; a larger one is refused as TooLarge
    // rather than read into memory (settings files hold a few kilobytes).
    static constexpr std::size_t maxFileBytes = 4 << 20;

    // Reads the file at a cp932 path; a missing file gives an empty
    // document. A file that cannot be read whole (not a regular file, a read
    // error, too large) gives the document of what was read, and its status
    // says so: callers report it, and save() refuses to write over it.
    static IniFile load(std::string_view path);
    // The same from an open stream of the file at path.
    static IniFile load(std::FILE* stream, std::string_view path);
    static IniFile fromText(std::string_view text);

    // How the load went (Ok, or Missing for a file that is not there) and
    // the path it was given.
    const FileReadResult& loadResult() const { return loadResult_; }
    const std::string& path() const { return path_; }
    // True when the document holds all of its file, or there was no file:
    // only then may it be written back.
    bool readWhole() const
    {
        return loadResult_.status == FileReadStatus::Ok || loadResult_.status == FileReadStatus::Missing;
    }

    // The value of a key, or nothing when the section or key is missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    std::string value(std::string_view section, std::string_view key, std::string_view fallback) const;

    // Sets a key in memory; save() writes it.
    void setValue(std::string_view section, std::string_view key, std::string_view value);

    std::string text() const;

    // Writes the document through a temporary file renamed over the target;
    // false (with the reason in Japanese, UTF-8) when that fails, or when the
    // document was loaded from a file it does not hold whole: writing it
    // would drop every line that was not read.
    bool save(std::string_view path, std::string* errorText = nullptr) const;

private:
    struct Line {
        std::string content; // without the line end
        std::string end; // "\r\n", "\n" or "" for a last line without one
    };
    struct Location {
        size_t sectionLine = npos; // header line of the section
        size_t keyLine = npos; // line of the key inside it
        size_t lastEntry = npos; // last non-blank line of the section
    };
    static constexpr size_t npos = static_cast<size_t>(-1);

    Location locate(std::string_view section, std::string_view key) const;
    std::string lineEnd() const;

    std::vector<Line> lines_;
    FileReadResult loadResult_;
    std::string path_;
};

} // namespace tavik
