#include "platform/ini_file.h"

#include "platform/ascii_case.h"
#include "platform/file_replacement.h"
#include "platform/paths.h"

#include <cstdio>

namespace tavik {
namespace {

std::string_view trimBlanks(std::string_view text)
{
    size_t begin = 0;
    while (begin < text.size() && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    size_t end = text.size();
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\r'))
        --end;
    return text.substr(begin, end - begin);
}

// The name of a "[name]" header line, or nothing for other lines.
std::optional<std::string_view> sectionName(std::string_view line)
{
    std::string_view text = trimBlanks(line);
    if (text.empty() || text.front() != '[')
        return std::nullopt;
    size_t close = text.find(']');
    std::string_view name = text.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
    return trimBlanks(name);
}

// Splits a "key=value" line; nothing for lines without "=".
std::optional<std::pair<std::string_view, std::string_view>> keyAndValue(std::string_view line)
{
    size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return std::make_pair(trimBlanks(line.substr(0, equals)), trimBlanks(line.substr(equals + 1)));
}

std::string_view unquote(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

} // namespace

IniFile IniFile::fromText(std::string_view text)
{
    IniFile file;
    size_t start = 0;
    while (start < text.size()) {
        // A line ends at LF, CR LF, or a CR that no LF follows.
        size_t end = text.find_first_of("\r\n", start);
        Line line;
        if (end == std::string_view::npos) {
            line.content.assign(text.substr(start));
            start = text.size();
        } else {
            size_t next = end + 1;
            if (text[end] == '\r' && next < text.size() && text[next] == '\n')
                ++next;
            line.content.assign(text.substr(start, end - start));
            line.end.assign(text.substr(end, next - end));
            start = next;
        }
        file.lines_.push_back(std::move(line));
    }
    return file;
}

IniFile IniFile::load(std::string_view path)
{
    FileReadResult opened;
    FilePtr stream = openRegularFile(path, opened);
    if (!stream) {
        IniFile file;
        file.loadResult_ = opened;
        file.path_.assign(path);
        return file;
    }
    return load(stream.get(), path);
}

IniFile IniFile::load(std::FILE* stream, std::string_view path)
{
    std::string text;
    FileReadResult result = readStream(stream, maxFileBytes, text);
    IniFile file = fromText(text);
    file.loadResult_ = result;
    file.path_.assign(path);
    return file;
}

IniFile::Location IniFile::locate(std::string_view section, std::string_view key) const
{
    Location where;
    for (size_t i = 0; i < lines_.size(); ++i) {
        const std::string& content = lines_[i].content;
        if (auto name = sectionName(content)) {
            if (where.sectionLine != npos)
                break;
            if (equalsIgnoringAsciiCase(*name, section)) {
                where.sectionLine = i;
                where.lastEntry = i;
            }
            continue;
        }
        if (where.sectionLine == npos)
            continue;
        if (!trimBlanks(content).empty())
            where.lastEntry = i;
        auto entry = keyAndValue(content);
        if (entry && where.keyLine == npos && equalsIgnoringAsciiCase(entry->first, key))
            where.keyLine = i;
    }
    return where;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const
{
    Location where = locate(section, key);
    if (where.keyLine == npos)
        return std::nullopt;
    return std::string(unquote(keyAndValue(lines_[where.keyLine].content)->second));
}

std::string IniFile::value(std::string_view section, std::string_view key, std::string_view fallback) const
{
    std::optional<std::string> found = value(section, key);
    return found ? *found : std::string(fallback);
}

std::string IniFile::lineEnd() const
{
    for (const Line& line : lines_)
        if (!line.end.empty())
            return line.end;
    return "\r\n";
}

void IniFile::setValue(std::string_view section, std::string_view key, std::string_view value)
{
    std::string entry = std::string(key) + "=" + std::string(value);
    Location where = locate(section, key);
    if (where.keyLine != npos) {
        lines_[where.keyLine].content = entry;
        return;
    }
    std::string end = lineEnd();
    if (where.sectionLine != npos) {
        Line& last = lines_[where.lastEntry];
        if (last.end.empty())
            last.end = end;
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(where.lastEntry + 1), Line{entry, end});
        return;
    }
    if (!lines_.empty() && lines_.back().end.empty())
        lines_.back().end = end;
    lines_.push_back(Line{"[" + std::string(section) + "]", end});
    lines_.push_back(Line{entry, end});
}

std::string IniFile::text() const
{
    std::string out;
    for (const Line& line : lines_)
        out += line.content + line.end;
    return out;
}

bool IniFile::save(std::string_view path, std::string* errorText) const
{
    if (!readWhole()) {
        if (errorText)
            *errorText
                = "設定ファイルを最後まで読めなかったので、書き戻しません (" + fileReadFailureText(loadResult_) + ")";
        return false;
    }
    return replaceFileContent(path, text(), errorText);
}

} // namespace tavik
