#pragma once

#include "common/tavik_ini_keys.h"
#include "platform/cp932_text.h"
#include "platform/ini_file.h"

#include <string>
#include <string_view>

namespace tavik {

struct ToolError;

// The keys through which the console tools find their tables, read from
// "tavik.ini" in the current directory; a missing file or key gives the
// tools' default of its declaration (common/tavik_ini_keys.h). Paths are
// cp932 as written; a relative path is relative to the current directory.
struct ToolSettings {
    std::string speciesTable{iniKey::speciesTable.toolsDefault};
    std::string areaTable{iniKey::areaTable.toolsDefault};
    std::string literaTable{iniKey::literaTable.toolsDefault};
    std::string taVikDb{iniKey::taVikDb.toolsDefault}; // the distribution table
    std::string spLitDb{iniKey::spLitDb.toolsDefault}; // the species-literature table
    int speciesMax = iniCountDefault(iniKey::speciesMax.toolsDefault);
    int areaMax = iniCountDefault(iniKey::areaMax.toolsDefault);
    int literaMax = iniCountDefault(iniKey::literaMax.toolsDefault); // literature rows
    int pointMaxPerSpecies = iniCountDefault(iniKey::pointMaxPerSpecies.toolsDefault); // kept, limits nothing here

    // Bytes a value may hold: samvel and norbek read values into 512-byte
    // buffers, ludric into 10,000-byte ones.
    static constexpr size_t standardValueBytes = 511;
    static constexpr size_t ludricValueBytes = 9999;

    // Reads every key from an open settings file.
    static ToolSettings read(const IniFile& ini, size_t valueBytes = standardValueBytes);

    // Reads every key from "tavik.ini" in the current directory; false, with
    // the fault in error, when that file is there but cannot be read whole.
    static bool load(ToolSettings& settings, ToolError& error, size_t valueBytes = standardValueBytes);
};

// The settings file of the tools: "tavik.ini" in the current directory. A
// missing file gives an empty document; one that cannot be read whole (a
// folder, a read error, too large) is a fault: false, with the file and the
// reason in error. Going on with the defaults would send the tools to other
// tables than the ones the settings name.
bool loadToolIni(IniFile& ini, ToolError& error);

// The same without the check; ini.readWhole() tells whether the file was
// read whole.
IniFile loadToolIni();

// The path of "tavik.ini" in the current directory: the full cp932 path, or
// the bare name when the directory's name has no cp932 form (cp932PathOf).
// The tools open their tables relative to that directory, so they work there
// without a name for it.
std::string toolIniPath();

// The fault of a settings file that was not read whole (cp932):
// "初期設定ファイルを読めません (<reason>).".
Cp932Text settingsFileFault(const IniFile& ini);

// A text value cut to valueBytes bytes, or the default.
std::string toolSettingText(const IniFile& ini, std::string_view section, std::string_view key,
    std::string_view fallback, size_t valueBytes = ToolSettings::standardValueBytes);

// A decimal integer value (a non-numeric value gives 0), or the default.
int toolSettingNumber(const IniFile& ini, std::string_view section, std::string_view key, int fallback);

// A declared key as the tools read it, with the tools' default.
std::string toolSettingText(
    const IniFile& ini, const IniKey& key, size_t valueBytes = ToolSettings::standardValueBytes);
int toolSettingNumber(const IniFile& ini, const IniKey& key);

} // namespace tavik
