#include "platform/program_version.h"

#include <algorithm>

#ifndef TAVIK_VERSION
#error "TAVIK_VERSION comes from the project version (platform/CMakeLists.txt)"
#endif

namespace tavik {

std::string_view programVersion() { return TAVIK_VERSION; }

std::string versionText(std::string_view program)
{
    std::string text(program);
    text += " (Tavik) ";
    text += programVersion();
    text += "\nTavik 生物分布地図システム\n";
    return text;
}

bool asksForVersion(const std::vector<std::string>& arguments)
{
    return std::find(arguments.begin(), arguments.end(), "--version") != arguments.end();
}

bool asksForHelp(const std::vector<std::string>& arguments)
{
    return std::any_of(
        arguments.begin(), arguments.end(), [](const std::string& a) { return a == "--help" || a == "-h"; });
}

} // namespace tavik
