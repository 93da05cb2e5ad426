#include "platform/directory_search.h"

#include "platform/ascii_case.h"
#include "platform/cp932.h"
#include "platform/file_replacement.h"
#include "platform/paths.h"

#include <dirent.h>

#include <algorithm>
#include <memory>

namespace tavik {
namespace {

size_t utf8Length(std::string_view text, size_t at)
{
    auto c = static_cast<unsigned char>(text[at]);
    size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return std::min(length, text.size() - at);
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

} // namespace

bool matchesWildcard(std::string_view pattern, std::string_view name)
{
    // Iterative matching with one backtrack point for the last "*".
    size_t p = 0, n = 0;
    size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            n += utf8Length(name, n);
        } else if (p < pattern.size() && asciiLower(pattern[p]) == asciiLower(name[n])) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            starN += utf8Length(name, starN);
            n = starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::vector<std::string> findFiles(std::string_view pattern)
{
    PathParts parts = splitPath(pattern);
    std::string directoryText = parts.drive + parts.directory;
    std::string namePattern = cp932ToUtf8(parts.name + parts.extension);
    std::string directory = directoryText.empty() ? std::string(".") : localPath(directoryText).utf8();

    std::vector<std::string> names;
    if (directory.empty())
        return names;
    std::unique_ptr<DIR, DirCloser> dir(::opendir(directory.c_str()));
    if (!dir)
        return names;
    while (dirent* entry = ::readdir(dir.get())) {
        std::string name = entry->d_name;
        // Temporary files of replacements hold half-written text: a pattern
        // such as "input/*" must not take them for tables.
        if (name == "." || name == ".." || isReplacementTemporaryName(name) || !matchesWildcard(namePattern, name))
            continue;
        std::string path = directory + "/" + name;
        if (isDirectory(utf8ToCp932(path)))
            continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> paths;
    paths.reserve(names.size());
    for (const std::string& name : names)
        paths.push_back(directoryText + utf8ToCp932(name).bytes());
    return paths;
}

} // namespace tavik
