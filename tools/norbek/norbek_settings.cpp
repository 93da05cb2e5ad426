#include "tools/norbek/norbek_settings.h"

#include "common/text_helpers.h"
#include "platform/ascii_case.h"
#include "platform/cp932.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "platform/text_numbers.h"

#include <initializer_list>

namespace tavik {
namespace {

constexpr size_t fontNameBytes = 63;
constexpr int fontNames = 8;

// The parts of a text between commas (a text without commas is one part).
std::vector<std::string_view> splitAtCommas(std::string_view text)
{
    std::vector<std::string_view> parts;
    for (;;) {
        size_t comma = text.find(',');
        parts.push_back(text.substr(0, comma));
        if (comma == std::string_view::npos)
            return parts;
        text.remove_prefix(comma + 1);
    }
}

std::string trimmedAscii(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return std::string(text);
}

// The report's first lines: the settings file, the section and the key as
// written, and the complaint.
Cp932Text wrongValueReport(std::string_view iniPath, std::string_view key, std::string_view value)
{
    return cp932Printf("\n%s\n [Norbek]\n  %s=%s\n%s\n", std::string(iniPath).c_str(), std::string(key).c_str(),
        std::string(value).c_str(), cp932Literal("初期設定ファイルでの指定が間違っています").c_str());
}

// The part of a value the key keeps: the whole of it when its declaration
// sets no bound.
std::string_view keptText(std::string_view written, const IniKey& key)
{
    return key.maxBytes > 0 ? cutText(written, key.maxBytes) : written;
}

// Reads the settings keys one after another, each through its declaration
// (name, default, bytes kept); the first fault is kept.
class SettingsReader {
public:
    SettingsReader(const IniFile& ini, std::string_view iniPath)
        : ini_(ini)
        , iniPath_(iniPath)
    {
    }

    // The value as written (or the default), before any cut of the key's own.
    std::string written(const IniKey& key) const { return toolSettingText(ini_, key); }

    std::string text(const IniKey& key) const { return std::string(keptText(written(key), key)); }

    // The position of the value among the allowed ones (compared in lower
    // case after the key's cut); -1 after a fault.
    int choice(const IniKey& key, std::initializer_list<const char*> allowed, Cp932Text& fault) const
    {
        std::string value = written(key);
        std::string lowered = asciiLower(keptText(value, key));
        int index = 0;
        for (const char* candidate : allowed) {
            if (lowered == candidate)
                return index;
            ++index;
        }
        fault = wrongValueReport(iniPath_, key.name, value) + cp932Literal("以下の何れかを指定して下さい\n");
        for (const char* candidate : allowed)
            fault += cp932Printf("  %s=%s\n", std::string(key.name).c_str(), candidate);
        return -1;
    }

    const std::string& iniPath() const { return iniPath_; }

private:
    const IniFile& ini_;
    std::string iniPath_;
};

bool readYesNo(const SettingsReader& reader, const IniKey& key, bool& flag, Cp932Text& fault)
{
    int index = reader.choice(key, {"yes", "no"}, fault);
    flag = index == 0;
    return index >= 0;
}

bool readNameForm(const SettingsReader& reader, const IniKey& key, NameForm& form, Cp932Text& fault)
{
    int index = reader.choice(key, {"standard", "alias1", "alias2"}, fault);
    form = static_cast<NameForm>(index < 0 ? 0 : index);
    return index >= 0;
}

bool readSpecies(const SettingsReader& reader, NorbekSettings& settings, Cp932Text& fault)
{
    const IniKey& key = iniKey::norbekSpecies;
    std::string written = reader.written(key);
    std::vector<std::string_view> parts = splitAtCommas(written);
    if (parts.size() > 3)
        parts.resize(3);
    settings.species.clear();
    for (std::string_view part : parts) {
        std::string value = asciiLower(cutText(trimmedAscii(part), iniKey::norbekChoiceBytes));
        if (value == "scientific")
            settings.species.push_back(NameForm::Standard);
        else if (value == "alias1")
            settings.species.push_back(NameForm::Alias1);
        else if (value == "alias2")
            settings.species.push_back(NameForm::Alias2);
        else {
            fault = wrongValueReport(reader.iniPath(), key.name, written)
                + cp932Literal("種名の掲載方法を指定して下さい。組み合わせ可能です。\n")
                + cp932Printf("例  %s=%s,%s\n", std::string(key.name).c_str(), "scientific", "alias1");
            return false;
        }
    }
    return true;
}

bool readBackground(const SettingsReader& reader, NorbekSettings& settings, Cp932Text& fault)
{
    const IniKey& key = iniKey::norbekHtmlBackGroundColor;
    std::string written = reader.written(key);
    std::vector<std::string_view> parts = splitAtCommas(written);
    bool valid = parts.size() >= 3;
    for (int i = 0; valid && i < 3; ++i) {
        std::string part = trimmedAscii(parts[i]);
        int value = parseInteger(part);
        valid = !part.empty() && value >= 0 && value <= 255;
        settings.background[i] = value;
    }
    // The default, white, is the example.
    if (!valid)
        fault = wrongValueReport(reader.iniPath(), key.name, written)
            + cp932Printf("0 以上 255 以下のR,G,B値を指定して下さい\n例： %s=%s\n", std::string(key.name).c_str(),
                std::string(key.toolsDefault).c_str());
    return valid;
}

// An image source names a file seen from the HTML pages; a path with a drive
// or from the root means nothing to a page moved with its folder.
bool isRelativeSource(std::string_view path)
{
    return path.find(":\\") == std::string_view::npos && path.find(":/") == std::string_view::npos && !hasDrive(path)
        && !isAbsolutePath(path);
}

// The whole value as written is checked; the key's bytes are kept.
bool readImageSource(
    const SettingsReader& reader, const IniKey& key, const char* example, std::string& source, Cp932Text& fault)
{
    std::string written = reader.written(key);
    if (!isRelativeSource(written)) {
        fault = cp932Printf("\n%s=%s\n", std::string(key.name).c_str(), written.c_str())
            + cp932Literal("HTMLから見た相対パスで指定して下さい\n") + cp932Literal(example);
        return false;
    }
    source = std::string(keptText(written, key));
    return true;
}

} // namespace

std::string NorbekSettings::fontFamilyText(std::string_view htmlFont)
{
    std::string family;
    int names = 0;
    for (std::string_view part : splitAtCommas(htmlFont)) {
        std::string name = trimmedAscii(cutText(trimmedAscii(part), fontNameBytes));
        if (name.empty())
            continue;
        if (++names > fontNames)
            break;
        bool quoted = name.size() >= 2 && name.front() == '"' && name.back() == '"';
        if (!quoted) {
            // A stray quote at one end only would leave the style sheet open.
            if (name.front() == '"')
                name.erase(0, 1);
            if (!name.empty() && name.back() == '"')
                name.pop_back();
            name = "\"" + name + "\"";
        }
        if (!family.empty())
            family += ",";
        family += name;
    }
    return family;
}

bool NorbekSettings::read(const IniFile& ini, std::string_view iniPath, NorbekSettings& settings, Cp932Text& fault)
{
    settings.tables = ToolSettings::read(ini);
    settings.phyleticTable = toolSettingText(ini, iniKey::phyleticTable);
    settings.bookTable = toolSettingText(ini, iniKey::bookTable);
    settings.phyleticMax = toolSettingNumber(ini, iniKey::phyleticMax);
    settings.bookMax = toolSettingNumber(ini, iniKey::bookMax);

    SettingsReader reader(ini, iniPath);
    int orderBy = reader.choice(iniKey::norbekOrderBy, {"authorstandard", "authoralias1", "authoralias2"}, fault);
    if (orderBy < 0)
        return false;
    settings.orderBy = static_cast<NameForm>(orderBy);
    if (!readSpecies(reader, settings, fault) || !readYesNo(reader, iniKey::norbekPhyleticYn, settings.phyletic, fault)
        || !readYesNo(reader, iniKey::norbekGeoDeticYn, settings.geoDetic, fault)
        || !readNameForm(reader, iniKey::norbekArea, settings.area, fault)
        || !readYesNo(reader, iniKey::norbekSmallRegionYn, settings.smallRegion, fault)
        || !readYesNo(reader, iniKey::norbekLargeRegionYn, settings.largeRegion, fault)
        || !readNameForm(reader, iniKey::norbekLiterature, settings.literature, fault)
        || !readNameForm(reader, iniKey::norbekBook, settings.book, fault))
        return false;
    int fileType = reader.choice(iniKey::norbekDefaultFileType, {"html", "text"}, fault);
    if (fileType < 0)
        return false;
    settings.defaultFileType = fileType == 0 ? PageFileType::Html : PageFileType::Text;
    settings.htmlCharSet = reader.text(iniKey::norbekHtmlCharSet);
    settings.fontFamily = fontFamilyText(reader.text(iniKey::norbekHtmlFont));
    if (!readBackground(reader, settings, fault))
        return false;
    for (int n = 0; n < imageSources; ++n) {
        if (!readImageSource(reader, iniKey::norbekHtmlImageUrl[n], "例：../map/*.png\n", settings.imageUrls[n], fault)
            || !readImageSource(
                reader, iniKey::norbekHtmlImageList[n], "例：../image/list.txt\n", settings.imageLists[n], fault))
            return false;
    }
    settings.litHeader = reader.text(iniKey::norbekHtmlLitHeader);
    settings.allAreaHeader = reader.text(iniKey::norbekHtmlAllAreaHeader);
    int order = reader.choice(iniKey::norbekIndexHtmlSort, {"none", "code", "scientific", "alias1", "alias2"}, fault);
    if (order < 0)
        return false;
    settings.indexOrder = static_cast<IndexOrder>(order);
    std::string other = reader.text(iniKey::norbekOtherTextFile);
    // ".exp" and "exp" name the same extension; a separator in it would lead
    // into another folder.
    if (!other.empty() && other.front() == '.')
        other.erase(0, 1);
    settings.otherTextFile = fileNamePart(other);
    return true;
}

} // namespace tavik
