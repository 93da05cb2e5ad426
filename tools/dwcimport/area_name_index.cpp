#include "tools/dwcimport/area_name_index.h"

#include "common/csv_reader.h"
#include "common/table_columns.h"
#include "common/text_helpers.h"
#include "common/tool_error.h"
#include "common/tool_table_rows.h"
#include "platform/cp932.h"
#include "platform/utf8_text.h"

#include <array>
#include <cstdint>

namespace tavik {
namespace {

// The name columns and the region columns of the area table.
constexpr std::array<size_t, 4> nameColumns
    = {areaColumn::name, areaColumn::alias1, areaColumn::alias2, areaColumn::furtherName};
constexpr std::array<size_t, 2> regionColumns = {areaColumn::largeRegion, areaColumn::smallRegion};

// Latin vowels with a macron or circumflex (and their capitals), as
// romanised Japanese writes long vowels: the plain letter of each.
char plainVowel(std::uint32_t code)
{
    switch (code) {
    case 0x101:
    case 0x100:
    case 0xE2:
    case 0xC2:
        return 'a';
    case 0x113:
    case 0x112:
    case 0xEA:
    case 0xCA:
        return 'e';
    case 0x12B:
    case 0x12A:
    case 0xEE:
    case 0xCE:
        return 'i';
    case 0x14D:
    case 0x14C:
    case 0xF4:
    case 0xD4:
        return 'o';
    case 0x16B:
    case 0x16A:
    case 0xFB:
    case 0xDB:
        return 'u';
    default:
        return 0;
    }
}

// The full-width katakana of the half-width forms U+FF66 to U+FF9D.
constexpr std::array<std::uint16_t, 56> fullWidthKana
    = {0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6,
        0x30A8, 0x30AA, 0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1,
        0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE,
        0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3};

// The code points of UTF-8 text; an invalid byte stands for itself.
std::vector<std::uint32_t> codePoints(std::string_view text)
{
    std::vector<std::uint32_t> codes;
    for (size_t i = 0; i < text.size();) {
        auto [code, length] = firstCodePoint(text.substr(i));
        codes.push_back(length ? code : static_cast<unsigned char>(text[i]));
        i += length ? length : 1;
    }
    return codes;
}

// The forms cp932 holds and keys compare: blanks of every width are spaces,
// full-width Latin letters and digits ASCII, half-width katakana full-width
// (a voiced mark joined to its kana), long vowels with a macron or
// circumflex plain, and "-", "_" and "." separate words like spaces.
std::string plainForms(std::string_view utf8)
{
    std::vector<std::uint32_t> codes = codePoints(utf8);
    std::string out;
    for (size_t i = 0; i < codes.size(); ++i) {
        std::uint32_t code = codes[i];
        if (code == 0xA0 || code == 0x3000 || (code >= 0x2000 && code <= 0x200A) || code == 0x202F || code == 0x205F
            || code == '-' || code == '_' || code == '.' || code == 0xFF0D || code == 0xFF3F || code == 0xFF0E
            || code == 0x30FB || code == 0xFF65) {
            out += ' ';
        } else if (code >= 0xFF01 && code <= 0xFF5E) {
            out += static_cast<char>(code - 0xFEE0);
        } else if (code >= 0xFF66 && code <= 0xFF9D) {
            std::uint32_t kana = fullWidthKana[code - 0xFF66];
            std::uint32_t mark = i + 1 < codes.size() ? codes[i + 1] : 0;
            bool voiceable = (kana >= 0x30AB && kana <= 0x30C8) || (kana >= 0x30CF && kana <= 0x30DB);
            if (mark == 0xFF9E && voiceable) {
                kana += 1; // ガ of カ, ダ of タ, バ of ハ
                ++i;
            } else if (mark == 0xFF9E && kana == 0x30A6) {
                kana = 0x30F4; // ヴ
                ++i;
            } else if (mark == 0xFF9F && kana >= 0x30CF && kana <= 0x30DB) {
                kana += 2; // パ of ハ
                ++i;
            }
            appendUtf8(out, kana);
        } else if (char vowel = plainVowel(code)) {
            out += vowel;
        } else {
            appendUtf8(out, code);
        }
    }
    return out;
}

bool isVowel(char c) { return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u'; }

// Romanised Japanese in one spelling: long vowels written "oo", "ou", "uu"
// or "oh" before a consonant as one vowel, and older Hepburn's "m" before
// b, m and p as "n". Only runs of ASCII letters are touched.
std::string plainRomanisation(const std::string& key)
{
    std::string out;
    for (size_t i = 0; i < key.size(); ++i) {
        auto c = static_cast<unsigned char>(key[i]);
        if (isToolLeadByte(c) && i + 1 < key.size()) {
            out += key[i];
            out += key[++i];
            continue;
        }
        char previous = out.empty() ? 0 : out.back();
        char next = i + 1 < key.size() ? key[i + 1] : 0;
        if (previous == 'o' && (c == 'o' || c == 'u'))
            continue;
        if (previous == 'u' && c == 'u')
            continue;
        if (previous == 'o' && c == 'h' && !isVowel(next) && next != 'y')
            continue;
        if (c == 'm' && (next == 'b' || next == 'm' || next == 'p') && i > 0) {
            out += 'n';
            continue;
        }
        out += static_cast<char>(c);
    }
    return out;
}

// The key of a cp932 name: no blanks at the ends and runs of them one,
// hiragana as katakana, ASCII letters in lower case, romanisation plain.
std::string cp932Key(std::string_view cp932)
{
    std::string key;
    bool blank = false;
    for (size_t i = 0; i < cp932.size(); ++i) {
        auto c = static_cast<unsigned char>(cp932[i]);
        bool fullWidthSpace = c == 0x81 && i + 1 < cp932.size() && static_cast<unsigned char>(cp932[i + 1]) == 0x40;
        if (c == ' ' || c == '\t' || fullWidthSpace) {
            blank = !key.empty();
            i += fullWidthSpace ? 1 : 0;
            continue;
        }
        if (blank)
            key += ' ';
        blank = false;
        if (isToolLeadByte(c) && i + 1 < cp932.size()) {
            key += cp932[i];
            key += cp932[++i];
        } else {
            key += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        }
    }
    foldKana(key);
    return plainRomanisation(key);
}

bool endsWith(std::string_view text, std::string_view end)
{
    return text.size() > end.size() && text.substr(text.size() - end.size()) == end;
}

} // namespace

std::vector<std::string> areaNameKeys(std::string_view utf8Name)
{
    std::optional<std::string> cp932 = utf8ToCp932Exact(plainForms(utf8Name));
    if (!cp932)
        return {};
    std::string key = cp932Key(*cp932);
    if (key.empty())
        return {};
    std::vector<std::string> keys{key};
    // One ending that names the kind of area: a kanji (a two-byte ending
    // must start on a character boundary) or a romanised word.
    static const std::array<std::string, 4> kanji
        = {cp932Literal("都"), cp932Literal("道"), cp932Literal("府"), cp932Literal("県")};
    for (const std::string& ending : kanji) {
        if (!endsWith(key, ending))
            continue;
        std::string_view stem(key.data(), key.size() - ending.size());
        if (cutText(stem, stem.size()).size() == stem.size())
            keys.emplace_back(stem);
    }
    static constexpr std::array<std::string_view, 9> words
        = {" prefecture", " pref", " metropolis", " metropolitan", " ken", " fu", " to", " do", " shi"};
    for (std::string_view ending : words) {
        if (!endsWith(key, ending))
            continue;
        std::string stem = key.substr(0, key.size() - ending.size());
        keys.push_back(stem);
        // "Hokkai-do" is "Hokkaido".
        if (ending == " do")
            keys.push_back(stem + "do");
    }
    return keys;
}

bool AreaNameIndex::load(std::string_view path, int capacity, ToolError& error)
{
    codes_.clear();
    names_.clear();
    regions_.clear();
    CsvReader reader;
    long areas = 0;
    // The faults are samvel's, word for word, with the table named and the
    // line counted as the file's.
    return readToolTableRows(reader, path, "地域テーブル", error, [&] {
        if (reader.fieldCount() == 0)
            return true;
        if (areas >= capacity)
            return error.set(path, cp932Printf("地域テーブルの地域数が多すぎます.上限は %d 地域です.", capacity));
        ++areas;
        std::int32_t code = areaCode(reader.field(areaColumn::code));
        if (code <= 0)
            return error.set(path,
                cp932Printf("地域テーブル %ld 行目の地域コードが異常です [%s]", reader.lineNumber(),
                    std::string(reader.field(areaColumn::code)).c_str()));
        for (size_t column : nameColumns)
            add(reader.field(column), code);
        for (size_t column : regionColumns)
            addRegion(reader.field(column), code);
        return true;
    });
}

void AreaNameIndex::add(std::string_view name, std::int32_t areaCode)
{
    for (const std::string& key : areaNameKeys(cp932ToUtf8(name))) {
        addKey(key, areaCode);
        names_[areaCode].push_back(key);
    }
}

void AreaNameIndex::addRegion(std::string_view region, std::int32_t areaCode)
{
    for (const std::string& key : areaNameKeys(cp932ToUtf8(region)))
        regions_[areaCode].push_back(key);
}

void AreaNameIndex::addKey(const std::string& key, std::int32_t areaCode)
{
    auto [at, added] = codes_.emplace(key, areaCode);
    if (!added && at->second != areaCode)
        at->second = ambiguous;
}

std::optional<std::int32_t> AreaNameIndex::find(std::string_view utf8Name) const
{
    for (const std::string& key : areaNameKeys(utf8Name)) {
        auto found = codes_.find(key);
        if (found == codes_.end())
            continue;
        if (found->second == ambiguous)
            return std::nullopt;
        return found->second;
    }
    return std::nullopt;
}

bool AreaNameIndex::liesIn(std::int32_t inner, std::int32_t outer) const
{
    if (inner == outer)
        return true;
    if (outer >= 1 && outer <= 47
        && ((inner >= 1000 && inner <= 99999 && inner / 1000 == outer)
            || (inner >= 100000 && inner <= 999999 && inner / 10000 == outer)))
        return true;
    auto regions = regions_.find(inner);
    auto names = names_.find(outer);
    if (regions == regions_.end() || names == names_.end())
        return false;
    for (const std::string& region : regions->second)
        for (const std::string& name : names->second)
            if (region == name)
                return true;
    return false;
}

} // namespace tavik
