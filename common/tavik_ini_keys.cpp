#include "common/tavik_ini_keys.h"

#include "platform/text_numbers.h"

#include <array>
#include <vector>

namespace tavik {

std::span<const IniKey> sharedIniKeys()
{
    static constexpr std::array keys{iniKey::speciesTable, iniKey::areaTable, iniKey::literaTable,
        iniKey::phyleticTable, iniKey::bookTable, iniKey::wgsJgsTable, iniKey::taVikDb, iniKey::spLitDb,
        iniKey::speciesMax, iniKey::phyleticMax, iniKey::literaMax, iniKey::bookMax, iniKey::areaMax, iniKey::wgsJgsMax,
        iniKey::pointMaxPerSpecies, iniKey::meshGeodetic};
    return keys;
}

std::span<const IniKey> allIniKeys()
{
    static const std::vector<IniKey> keys = [] {
        std::vector<IniKey> all(sharedIniKeys().begin(), sharedIniKeys().end());
        return all;
    }();
    return keys;
}

int iniCountDefault(std::string_view text) { return parseInteger(text); }

} // namespace tavik
