#include "tools/dwcimport/dwc_settings.h"

#include "common/tavik_ini_keys.h"
#include "common/text_helpers.h"
#include "platform/cp932.h"
#include "platform/ini_file.h"
#include "platform/report_text.h"
#include "tools/dwcimport/dwcimport_command_line.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace tavik {
namespace {

bool isNone(std::string_view text)
{
    std::string lower;
    for (char c : text)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.empty() || lower == "none";
}

bool readGrid(std::string_view text, std::optional<GridOrder>& grid)
{
    if (isNone(text)) {
        grid.reset();
        return true;
    }
    grid = parseGridOrder(text);
    return grid.has_value();
}

bool readMetres(std::string_view text, std::optional<double>& metres)
{
    if (isNone(text)) {
        metres.reset();
        return true;
    }
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) || value < 0)
        return false;
    metres = value;
    return true;
}

bool readYearRanks(std::string_view text, std::optional<YearRanks>& ranks, std::string& error)
{
    if (isNone(text)) {
        ranks.reset();
        return true;
    }
    YearRanks parsed;
    if (!YearRanks::parse(text, parsed, error))
        return false;
    ranks = parsed;
    return true;
}

bool readEncoding(std::string_view text, std::optional<TextEncoding>& encoding)
{
    encoding = textEncodingOf(text);
    return encoding.has_value();
}

std::vector<std::string> flagList(std::string_view text)
{
    std::vector<std::string> flags;
    while (!text.empty()) {
        size_t cut = text.find_first_of(",; ");
        std::string flag(text.substr(0, cut));
        text.remove_prefix(cut == std::string_view::npos ? text.size() : cut + 1);
        for (char& c : flag)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (!flag.empty())
            flags.push_back(flag);
    }
    return flags;
}

std::string quoted(std::string_view utf8) { return "\"" + quotedForReportUtf8(utf8) + "\""; }

constexpr const char* gridWords = " は 1, 2, 3, half, quarter, eighth, none のどれでもありません.";
constexpr const char* metreWords = " はメートルの数ではありません.";
constexpr const char* encodingWords = " は utf-8, cp932, utf-16, latin1 のどれでもありません.";

} // namespace

bool DwcSettings::resolve(
    const IniFile& ini, const DwcImportCommandLine& line, DwcSettings& settings, std::string& error)
{
    settings = {};
    using namespace iniKey;
    auto value = [&](const IniKey& key) { return ini.value(key.section, key.name); };
    auto fault = [&](const IniKey& key, const std::string& why) {
        error = "tavik.ini の [" + std::string(key.section) + "] " + std::string(key.name) + ": " + why;
        return false;
    };
    settings.literature = std::string(trimmedText(value(dwcLiterature).value_or("")));
    if (std::optional<std::string> ranks = value(dwcRank); ranks && !settings.ranks.apply(cp932ToUtf8(*ranks), error))
        return fault(dwcRank, error);
    if (std::optional<std::string> years = value(dwcRankByYear);
        years && !readYearRanks(cp932ToUtf8(*years), settings.yearRanks, error))
        return fault(dwcRankByYear, error);
    if (std::optional<std::string> metres = value(dwcMaxUncertainty);
        metres && !readMetres(*metres, settings.maxUncertainty))
        return fault(dwcMaxUncertainty, quoted(cp932ToUtf8(*metres)) + metreWords);
    if (std::optional<std::string> grid = value(dwcGrid); grid && !readGrid(*grid, settings.grid))
        return fault(dwcGrid, quoted(cp932ToUtf8(*grid)) + gridWords);
    if (std::optional<std::string> encoding = value(dwcEncoding);
        encoding && !trimmedText(*encoding).empty() && !readEncoding(trimmedText(*encoding), settings.settingsEncoding))
        return fault(dwcEncoding, quoted(cp932ToUtf8(*encoding)) + encodingWords);
    settings.refusedIssues = flagList(value(dwcRefusedIssues).value_or(std::string(dwcRefusedIssues.toolsDefault)));

    if (line.literature) {
        std::optional<std::string> code = utf8ToCp932Exact(*line.literature);
        if (!code) {
            error = "--literature: " + quoted(*line.literature) + " には cp932 で書けない文字があります.";
            return false;
        }
        settings.literature = std::string(trimmedText(*code));
    }
    for (const std::string& list : line.ranks) {
        if (!settings.ranks.apply(list, error)) {
            error = "--rank: " + error;
            return false;
        }
    }
    if (line.rankByYear && !readYearRanks(*line.rankByYear, settings.yearRanks, error)) {
        error = "--rank-by-year: " + error;
        return false;
    }
    if (line.maxUncertainty && !readMetres(*line.maxUncertainty, settings.maxUncertainty)) {
        error = "--max-uncertainty: " + quoted(*line.maxUncertainty) + metreWords;
        return false;
    }
    if (line.grid && !readGrid(*line.grid, settings.grid)) {
        error = "--grid: " + quoted(*line.grid) + gridWords;
        return false;
    }
    if (line.encoding && !readEncoding(*line.encoding, settings.encoding)) {
        error = "--encoding: " + quoted(*line.encoding) + encodingWords;
        return false;
    }
    return true;
}

} // namespace tavik
