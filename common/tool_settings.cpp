#include "common/tool_settings.h"

#include "common/text_helpers.h"
#include "common/tool_error.h"
#include "platform/cp932.h"
#include "platform/paths.h"
#include "platform/text_numbers.h"

namespace tavik {

IniFile loadToolIni() { return IniFile::load(joinPath(currentDirectory(), "tavik.ini")); }

std::string settingsFileFault(const IniFile& ini)
{
    return cp932Printf(
        "初期設定ファイルを読めません (%s).", utf8ToCp932(fileReadFailureText(ini.loadResult())).c_str());
}

bool loadToolIni(IniFile& ini, ToolError& error)
{
    ini = loadToolIni();
    return ini.readWhole() || error.set(ini.path(), settingsFileFault(ini));
}

std::string toolSettingText(
    const IniFile& ini, std::string_view section, std::string_view key, std::string_view fallback, size_t valueBytes)
{
    std::optional<std::string> value = ini.value(section, key);
    return std::string(cutText(value ? *value : fallback, valueBytes));
}

int toolSettingNumber(const IniFile& ini, std::string_view section, std::string_view key, int fallback)
{
    std::optional<std::string> value = ini.value(section, key);
    return value ? parseInteger(*value) : fallback;
}

ToolSettings ToolSettings::read(const IniFile& ini, size_t valueBytes)
{
    ToolSettings settings;
    settings.speciesTable = toolSettingText(ini, "Path", "SpeciesTable", settings.speciesTable, valueBytes);
    settings.areaTable = toolSettingText(ini, "Path", "AreaTable", settings.areaTable, valueBytes);
    settings.literaTable = toolSettingText(ini, "Path", "LiteraTable", settings.literaTable, valueBytes);
    settings.taVikDb = toolSettingText(ini, "Path", "TaVikDB", settings.taVikDb, valueBytes);
    settings.spLitDb = toolSettingText(ini, "Path", "SpLitDB", settings.spLitDb, valueBytes);
    settings.speciesMax = toolSettingNumber(ini, "Capacity", "SpeciesMax", settings.speciesMax);
    settings.areaMax = toolSettingNumber(ini, "Capacity", "AreaMax", settings.areaMax);
    settings.literaMax = toolSettingNumber(ini, "Capacity", "LiteraMax", settings.literaMax);
    settings.pointMaxPerSpecies = toolSettingNumber(ini, "Capacity", "PointMaxPerSpecies", settings.pointMaxPerSpecies);
    return settings;
}

bool ToolSettings::load(ToolSettings& settings, ToolError& error, size_t valueBytes)
{
    IniFile ini;
    if (!loadToolIni(ini, error))
        return false;
    settings = read(ini, valueBytes);
    return true;
}

} // namespace tavik
