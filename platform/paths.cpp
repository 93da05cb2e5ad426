#include "platform/paths.h"

#include "platform/cp932.h"
#include "platform/report_text.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace tavik {
namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

bool statPath(const LocalPath& path, struct stat& info) { return !path.empty() && ::stat(path.c_str(), &info) == 0; }

} // namespace

bool hasDrive(std::string_view path)
{
    if (path.size() < 2 || path[1] != ':')
        return false;
    char c = path[0];
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isAbsolutePath(std::string_view path) { return !path.empty() && isSeparator(path[0]); }

PathParts splitPath(std::string_view path)
{
    PathParts parts;
    if (hasDrive(path)) {
        parts.drive.assign(path.substr(0, 2));
        path.remove_prefix(2);
    }
    // Find the last separator and the last dot, stepping over two-byte
    // characters whose second byte may be 0x5C.
    size_t nameStart = 0;
    size_t lastDot = std::string_view::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        auto c = static_cast<unsigned char>(path[i]);
        if (isCp932LeadByte(c) && i + 1 < path.size()) {
            ++i;
            continue;
        }
        if (isSeparator(path[i])) {
            nameStart = i + 1;
            lastDot = std::string_view::npos;
        } else if (path[i] == '.') {
            lastDot = i;
        }
    }
    parts.directory.assign(path.substr(0, nameStart));
    if (lastDot == std::string_view::npos) {
        parts.name.assign(path.substr(nameStart));
    } else {
        parts.name.assign(path.substr(nameStart, lastDot - nameStart));
        parts.extension.assign(path.substr(lastDot));
    }
    return parts;
}

LocalPath localPath(std::string_view path)
{
    if (hasDrive(path))
        return {};
    std::string local = cp932ToUtf8(path);
    for (char& c : local)
        if (c == '\\')
            c = '/';
    return LocalPath(std::move(local));
}

std::optional<std::string> cp932PathArgument(std::string_view utf8) { return utf8ToCp932RoundTrip(utf8); }

void takePathArgument(std::string_view utf8, std::string& path, Cp932Text& fault)
{
    std::optional<std::string> cp932 = cp932PathArgument(utf8);
    if (cp932)
        path = std::move(*cp932);
    else
        fault = pathWithoutCp932Message(LocalPath(std::string(utf8)));
}

std::optional<std::string> cp932PathOf(const LocalPath& path)
{
    if (path.utf8().find('\\') != std::string::npos)
        return std::nullopt;
    return cp932PathArgument(path.utf8());
}

Cp932Text pathWithoutCp932Message(const LocalPath& path)
{
    return utf8ToCp932(withControlsEscapedUtf8(path.utf8(), false)
        + "\nこの名前にはシフト JIS で書けない文字 (アクセント付きの文字、波ダッシュ〜、バックスラッシュなど) "
          "があるため、"
          "Tavik はこのフォルダやファイルを扱えません。名前を変えてから使って下さい。");
}

LocalPath currentLocalDirectory()
{
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return LocalPath(".");
        buffer.resize(buffer.size() * 2);
    }
    return LocalPath(buffer.data());
}

std::optional<std::string> currentDirectory() { return cp932PathOf(currentLocalDirectory()); }

std::string makeAbsolute(std::string_view path, std::string_view baseDirectory)
{
    if (hasDrive(path))
        return std::string(path);
    std::string joined = isAbsolutePath(path) ? std::string(path) : joinPath(baseDirectory, path);

    // Split into segments at separators (lead-byte aware) and resolve "." and "..".
    std::vector<std::string> segments;
    std::string segment;
    auto flush = [&] {
        if (segment == "..") {
            if (!segments.empty())
                segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        segment.clear();
    };
    for (size_t i = 0; i < joined.size(); ++i) {
        auto c = static_cast<unsigned char>(joined[i]);
        if (isCp932LeadByte(c) && i + 1 < joined.size()) {
            segment += joined[i];
            segment += joined[++i];
        } else if (isSeparator(joined[i])) {
            flush();
        } else {
            segment += joined[i];
        }
    }
    bool trailingSeparator = !segment.empty() ? false : (!joined.empty() && isSeparator(joined.back()));
    flush();
    std::string result;
    for (const std::string& s : segments)
        result += "/" + s;
    if (result.empty() || trailingSeparator)
        result += "/";
    return result;
}

std::string fileNamePart(std::string_view name)
{
    std::string part(name);
    for (size_t i = 0; i < part.size(); ++i) {
        auto c = static_cast<unsigned char>(part[i]);
        if (isCp932LeadByte(c) && i + 1 < part.size())
            ++i;
        else if (c == '/' || c == '\\' || c == 0)
            part[i] = '_';
    }
    return part;
}

std::string joinPath(std::string_view directory, std::string_view name)
{
    std::string joined(directory);
    if (!joined.empty() && !isSeparator(joined.back()))
        joined += '/';
    joined += name;
    return joined;
}

bool fileExists(std::string_view path)
{
    struct stat info;
    return statPath(localPath(path), info);
}

bool isRegularFile(std::string_view path) { return isRegularFile(localPath(path)); }

bool isRegularFile(const LocalPath& path)
{
    struct stat info;
    return statPath(path, info) && S_ISREG(info.st_mode);
}

bool isDirectory(std::string_view path)
{
    struct stat info;
    return statPath(localPath(path), info) && S_ISDIR(info.st_mode);
}

FilePtr openFile(std::string_view path, const char* mode)
{
    const LocalPath local = localPath(path);
    if (local.empty())
        return nullptr;
    return FilePtr(std::fopen(local.c_str(), mode));
}

} // namespace tavik
