// The settings file reader and the settings record read from it; writing a
// key keeps every other line.
#include "fuzz/fuzz_support.h"
#include "platform/ini_file.h"
#include "viewer/settings/settings.h"

using namespace tavik;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text = fuzz::asText(data, size);
    IniFile ini = IniFile::fromText(text);
    FUZZ_CHECK(ini.text() == text);
    Settings settings = readSettings(ini, "/start");
    FUZZ_CHECK(settings.displayFontSize >= 1.0 && settings.displayFontSize <= 99.0);
    FUZZ_CHECK(settings.areaMax >= 0 && settings.speciesMax >= 0);
    writeSettings(settings, WindowState::Normal, ini);
    IniFile again = IniFile::fromText(ini.text());
    FUZZ_CHECK(again.value("Display", "MeshPaint").has_value());
    return 0;
}
