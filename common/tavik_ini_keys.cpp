#include "common/tavik_ini_keys.h"

#include "platform/text_numbers.h"

#include <array>

namespace tavik {

std::span<const IniKey> sharedIniKeys()
{
    static constexpr std::array keys{iniKey::speciesTable, iniKey::areaTable, iniKey::literaTable,
        iniKey::phyleticTable, iniKey::bookTable, iniKey::wgsJgsTable, iniKey::taVikDb, iniKey::spLitDb,
        iniKey::speciesMax, iniKey::phyleticMax, iniKey::literaMax, iniKey::bookMax, iniKey::areaMax, iniKey::wgsJgsMax,
        iniKey::pointMaxPerSpecies, iniKey::meshGeodetic};
    return keys;
}

int iniCountDefault(std::string_view text) { return parseInteger(text); }

} // namespace tavik
