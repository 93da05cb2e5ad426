#include "tools/norbek/media_source.h"

#include "common/tool_error.h"
#include "platform/ascii_case.h"
#include "platform/cp932.h"
#include "platform/paths.h"

#include <algorithm>

namespace tavik {
namespace {

// The parts of a path between "\" and "/" separators; empty parts (a doubled
// or leading separator) are left out. Two-byte characters are kept whole.
std::vector<std::string> pathParts(std::string_view path)
{
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < path.size(); ++i) {
        auto c = static_cast<unsigned char>(path[i]);
        if (isCp932LeadByte(c) && i + 1 < path.size()) {
            parts.back() += path.substr(i, 2);
            ++i;
        } else if (c == '\\' || c == '/') {
            if (!parts.back().empty())
                parts.emplace_back();
        } else {
            parts.back() += path[i];
        }
    }
    if (parts.back().empty())
        parts.pop_back();
    return parts;
}

} // namespace

MediaType mediaTypeOf(std::string_view path)
{
    struct Entry {
        const char* extension;
        MediaType::Kind kind;
        const char* type;
    };
    static const Entry types[] = {
        {"gif", MediaType::Image, "image/gif"},
        {"jpeg", MediaType::Image, "image/jpeg"},
        {"jpg", MediaType::Image, "image/jpeg"},
        {"png", MediaType::Image, "image/png"},
        {"tiff", MediaType::Image, "image/tiff"},
        {"tif", MediaType::Image, "image/tiff"},
        {"bmp", MediaType::Image, "image/bmp"},
        {"mpeg", MediaType::Object, "video/mpeg"},
        {"mpg", MediaType::Object, "video/mpeg"},
        {"qt", MediaType::Object, "video/quicktime"},
        {"mov", MediaType::Object, "video/quicktime"},
        {"avi", MediaType::Object, "video/x-msvideo"},
        {"au", MediaType::Object, "audio/basic"},
        {"snd", MediaType::Object, "audio/basic"},
        {"midi", MediaType::Object, "audio/x-midi"},
        {"mid", MediaType::Object, "audio/x-midi"},
        {"aiff", MediaType::Object, "audio/x-aiff"},
        {"aifc", MediaType::Object, "audio/x-aiff"},
        {"aif", MediaType::Object, "audio/x-aiff"},
        {"wav", MediaType::Object, "audio/wave"},
    };
    std::string extension = splitPath(path).extension;
    if (!extension.empty())
        extension = asciiLower(extension.substr(1));
    for (const Entry& entry : types)
        if (extension == entry.extension)
            return {entry.kind, entry.type};
    return {};
}

MediaSource::MediaSource(std::string outputDirectory, std::FILE* report)
    : outputDirectory_(std::move(outputDirectory))
    , report_(report)
{
}

std::optional<std::string> MediaSource::resolve(
    std::string_view source, const std::vector<std::string>& candidates) const
{
    std::vector<std::string> parts = pathParts(source);
    if (parts.empty())
        return std::nullopt;
    bool wildcard = std::any_of(
        parts.begin(), parts.end(), [](const std::string& part) { return part.find('*') != std::string::npos; });
    // Without "*" every candidate would try the same path.
    const std::vector<std::string> single(1);
    const std::vector<std::string>& names = wildcard ? candidates : single;

    struct Miss {
        std::string path;
        const char* reason;
    };
    std::vector<Miss> misses;
    for (const std::string& name : names) {
        std::string found;
        const char* reason = nullptr;
        for (size_t i = 0; i < parts.size() && !reason; ++i) {
            std::string part = parts[i];
            size_t star = part.find('*');
            if (star != std::string::npos)
                part.replace(star, 1, name);
            if (i > 0)
                found += '/';
            found += part;
            std::string path = outputDirectory_ + found;
            bool last = i + 1 == parts.size();
            if (!fileExists(path))
                reason = "見つかりません";
            else if (last && isDirectory(path))
                reason = "ファイルではありません. 読めません.";
            else if (last ? !isRegularFile(path) : !isDirectory(path))
                reason = "読めません";
        }
        if (!reason)
            return found;
        std::string path = outputDirectory_ + found;
        if (std::none_of(misses.begin(), misses.end(), [&](const Miss& miss) { return miss.path == path; }))
            misses.push_back({path, reason});
    }
    for (const Miss& miss : misses)
        printCp932(report_, cp932Printf("%s  %s\n", miss.path.c_str(), cp932Literal(miss.reason).c_str()));
    return std::nullopt;
}

} // namespace tavik
