#include "tools/dwcimport/area_name_index.h"

#include "common/csv_reader.h"
#include "common/text_helpers.h"
#include "common/tool_error.h"
#include "common/tool_table_rows.h"
#include "platform/cp932.h"
#include "platform/text_numbers.h"

#include <array>

namespace tavik {
namespace {

// The name columns of the area table.
constexpr std::array<size_t, 4> nameColumns = {3, 9, 10, 11};

// Latin letters with a macron or circumflex (UTF-8) as romanised Japanese
// writes long vowels, and their plain letters: cp932 holds none of them.
constexpr std::array<std::pair<std::string_view, char>, 20> longVowels = {{
    {"\xC4\x81", 'a'},
    {"\xC4\x93", 'e'},
    {"\xC4\xAB", 'i'},
    {"\xC5\x8D", 'o'},
    {"\xC5\xAB", 'u'},
    {"\xC4\x80", 'A'},
    {"\xC4\x92", 'E'},
    {"\xC4\xAA", 'I'},
    {"\xC5\x8C", 'O'},
    {"\xC5\xAA", 'U'},
    {"\xC3\xA2", 'a'},
    {"\xC3\xAA", 'e'},
    {"\xC3\xAE", 'i'},
    {"\xC3\xB4", 'o'},
    {"\xC3\xBB", 'u'},
    {"\xC3\x82", 'A'},
    {"\xC3\x8A", 'E'},
    {"\xC3\x8E", 'I'},
    {"\xC3\x94", 'O'},
    {"\xC3\x9B", 'U'},
}};

std::string plainVowels(std::string_view utf8)
{
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        bool replaced = false;
        for (const auto& [mark, plain] : longVowels) {
            if (utf8.substr(i, mark.size()) == mark) {
                out += plain;
                i += mark.size();
                replaced = true;
                break;
            }
        }
        if (!replaced)
            out += utf8[i++];
    }
    return out;
}

bool endsWith(std::string_view text, std::string_view end)
{
    return text.size() > end.size() && text.substr(text.size() - end.size()) == end;
}

// The name without an ending that names the kind of area; the name itself
// when it has none.
std::string withoutKindEnding(const std::string& key)
{
    static const std::array<std::string, 9> endings = {
        cp932Literal("県"), cp932Literal("府"), cp932Literal("都"), " prefecture", "-ken", "-fu", "-to", " ken", " fu"};
    for (const std::string& ending : endings) {
        // A two-byte ending must start on a character boundary.
        if (!endsWith(key, ending))
            continue;
        std::string_view stem(key.data(), key.size() - ending.size());
        if (cutText(stem, stem.size()).size() == stem.size())
            return std::string(stem);
    }
    return key;
}

} // namespace

std::string areaNameKey(std::string_view cp932Name)
{
    std::string key(trimmedText(cp932Name));
    foldKana(key);
    for (size_t i = 0; i < key.size(); ++i) {
        auto c = static_cast<unsigned char>(key[i]);
        if (isToolLeadByte(c))
            ++i;
        else if (c >= 'A' && c <= 'Z')
            key[i] = static_cast<char>(c - 'A' + 'a');
    }
    return key;
}

bool AreaNameIndex::load(std::string_view path, int capacity, ToolError& error)
{
    codes_.clear();
    CsvReader reader;
    long areas = 0;
    return readToolTableRows(reader, path, "地域テーブル", error, [&] {
        if (reader.fieldCount() == 0)
            return true;
        if (areas >= capacity)
            return error.set("", cp932Printf("地域テーブルの地域数が多すぎます.上限は %d 地域です.", capacity));
        ++areas;
        std::int32_t code = parseInteger(trimmedText(reader.field(0)));
        if (code <= 0)
            return error.set(path,
                cp932Printf(
                    "地域テーブル %ld 行目の地域コードが異常です [%s]", areas, std::string(reader.field(0)).c_str()));
        for (size_t column : nameColumns)
            add(reader.field(column), code);
        return true;
    });
}

void AreaNameIndex::add(std::string_view name, std::int32_t areaCode)
{
    std::string key = areaNameKey(name);
    if (key.empty())
        return;
    std::string stem = withoutKindEnding(key);
    addKey(key, areaCode);
    if (stem != key)
        addKey(stem, areaCode);
}

void AreaNameIndex::addKey(std::string key, std::int32_t areaCode)
{
    auto [at, added] = codes_.emplace(std::move(key), areaCode);
    if (!added && at->second != areaCode)
        at->second = ambiguous;
}

std::optional<std::int32_t> AreaNameIndex::find(std::string_view utf8Name) const
{
    std::optional<std::string> name = utf8ToCp932Exact(plainVowels(utf8Name));
    if (!name)
        return std::nullopt;
    std::string key = areaNameKey(*name);
    if (key.empty())
        return std::nullopt;
    auto found = codes_.find(key);
    if (found == codes_.end())
        found = codes_.find(withoutKindEnding(key));
    if (found == codes_.end() || found->second == ambiguous)
        return std::nullopt;
    return found->second;
}

} // namespace tavik
