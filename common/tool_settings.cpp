#include "common/tool_settings.h"

#include "common/text_helpers.h"
#include "common/tool_error.h"
#include "platform/cp932.h"
#include "platform/paths.h"
#include "platform/text_numbers.h"

#include <optional>

namespace tavik {

std::string toolIniPath()
{
    const std::optional<std::string> folder = currentDirectory();
    return folder ? joinPath(*folder, "tavik.ini") : std::string("tavik.ini");
}

IniFile loadToolIni() { return IniFile::load(toolIniPath()); }

Cp932Text settingsFileFault(const IniFile& ini)
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

std::string toolSettingText(const IniFile& ini, const IniKey& key, size_t valueBytes)
{
    return toolSettingText(ini, key.section, key.name, key.toolsDefault, valueBytes);
}

int toolSettingNumber(const IniFile& ini, const IniKey& key)
{
    return toolSettingNumber(ini, key.section, key.name, iniCountDefault(key.toolsDefault));
}

ToolSettings ToolSettings::read(const IniFile& ini, size_t valueBytes)
{
    ToolSettings settings;
    settings.speciesTable = toolSettingText(ini, iniKey::speciesTable, valueBytes);
    settings.areaTable = toolSettingText(ini, iniKey::areaTable, valueBytes);
    settings.literaTable = toolSettingText(ini, iniKey::literaTable, valueBytes);
    settings.taVikDb = toolSettingText(ini, iniKey::taVikDb, valueBytes);
    settings.spLitDb = toolSettingText(ini, iniKey::spLitDb, valueBytes);
    settings.speciesMax = toolSettingNumber(ini, iniKey::speciesMax);
    settings.areaMax = toolSettingNumber(ini, iniKey::areaMax);
    settings.literaMax = toolSettingNumber(ini, iniKey::literaMax);
    settings.pointMaxPerSpecies = toolSettingNumber(ini, iniKey::pointMaxPerSpecies);
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
