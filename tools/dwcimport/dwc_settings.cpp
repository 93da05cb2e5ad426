#include "tools/dwcimport/dwc_settings.h"

#include "common/text_helpers.h"
#include "platform/cp932.h"
#include "platform/ini_file.h"
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

} // namespace

bool DwcSettings::resolve(
    const IniFile& ini, const DwcImportCommandLine& line, DwcSettings& settings, std::string& error)
{
    settings = {};
    settings.literature = std::string(trimmedText(ini.value("Dwc", "Literature", "")));
    if (std::optional<std::string> ranks = ini.value("Dwc", "Rank"); ranks && !settings.ranks.apply(*ranks, error)) {
        error = "[Dwc] Rank: " + cp932ToUtf8(error);
        return false;
    }
    if (std::optional<std::string> metres = ini.value("Dwc", "MaxUncertainty");
        metres && !readMetres(*metres, settings.maxUncertainty)) {
        error = "[Dwc] MaxUncertainty: \"" + cp932ToUtf8(*metres) + "\" is not a number of metres";
        return false;
    }
    if (std::optional<std::string> grid = ini.value("Dwc", "Grid"); grid && !readGrid(*grid, settings.grid)) {
        error = "[Dwc] Grid: \"" + cp932ToUtf8(*grid) + "\" is not 1, 2, 3, half, quarter, eighth or none";
        return false;
    }
    settings.refusedIssues = flagList(ini.value("Dwc", "RefusedIssues", defaultRefusedIssues));

    if (line.literature) {
        std::optional<std::string> code = utf8ToCp932Exact(*line.literature);
        if (!code) {
            error = "--literature: cp932 cannot hold \"" + *line.literature + "\"";
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
    if (line.maxUncertainty && !readMetres(*line.maxUncertainty, settings.maxUncertainty)) {
        error = "--max-uncertainty: \"" + *line.maxUncertainty + "\" is not a number of metres";
        return false;
    }
    if (line.grid && !readGrid(*line.grid, settings.grid)) {
        error = "--grid: \"" + *line.grid + "\" is not 1, 2, 3, half, quarter, eighth or none";
        return false;
    }
    return true;
}

} // namespace tavik
