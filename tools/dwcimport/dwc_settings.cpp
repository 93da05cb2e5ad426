#include "tools/dwcimport/dwc_settings.h"

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
    settings.literature = std::string(trimmedText(ini.value("Dwc", "Literature", "")));
    if (std::optional<std::string> ranks = ini.value("Dwc", "Rank");
        ranks && !settings.ranks.apply(cp932ToUtf8(*ranks), error)) {
        error = "tavik.ini の [Dwc] Rank: " + error;
        return false;
    }
    if (std::optional<std::string> years = ini.value("Dwc", "RankByYear");
        years && !readYearRanks(cp932ToUtf8(*years), settings.yearRanks, error)) {
        error = "tavik.ini の [Dwc] RankByYear: " + error;
        return false;
    }
    if (std::optional<std::string> metres = ini.value("Dwc", "MaxUncertainty");
        metres && !readMetres(*metres, settings.maxUncertainty)) {
        error = "tavik.ini の [Dwc] MaxUncertainty: " + quoted(cp932ToUtf8(*metres)) + metreWords;
        return false;
    }
    if (std::optional<std::string> grid = ini.value("Dwc", "Grid"); grid && !readGrid(*grid, settings.grid)) {
        error = "tavik.ini の [Dwc] Grid: " + quoted(cp932ToUtf8(*grid)) + gridWords;
        return false;
    }
    if (std::optional<std::string> encoding = ini.value("Dwc", "Encoding"); encoding && !trimmedText(*encoding).empty()
        && !readEncoding(trimmedText(*encoding), settings.settingsEncoding)) {
        error = "tavik.ini の [Dwc] Encoding: " + quoted(cp932ToUtf8(*encoding)) + encodingWords;
        return false;
    }
    settings.refusedIssues = flagList(ini.value("Dwc", "RefusedIssues", defaultRefusedIssues));

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
