#pragma once

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
class IniFile {
public:
    // Reads the file at a cp932 path; a missing file gives an empty document.
    static IniFile load(std::string_view path);
    static IniFile fromText(std::string_view text);

    // The value of a key, or nothing when the section or key is missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    std::string value(std::string_view section, std::string_view key, std::string_view fallback) const;

    // Sets a key in memory; save() writes it.
    void setValue(std::string_view section, std::string_view key, std::string_view value);

    std::string text() const;

    // Writes the document through a temporary file renamed over the target;
    // false when that fails.
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
};

} // namespace tavik
