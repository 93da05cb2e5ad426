#include "common/tool_settings.h"

#include "common/text_helpers.h"
#include "platform/paths.h"
#include "platform/text_numbers.h"

namespace tavik {

IniFile loadToolIni() { return IniFile::load(joinPath(currentDirectory(), "tavik.ini")); }

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

ToolSettings ToolSettings::load(size_t valueBytes) { return read(loadToolIni(), valueBytes); }

} // namespace tavik
