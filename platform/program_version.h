#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavik {

// The version of this build of Tavik ("1.0.0"): the project version of the
// top CMakeLists.txt, the one place it is set. Every program, the About box,
// the package and the AppStream release carry it.
std::string_view programVersion();

// What `PROGRAM --version` prints (UTF-8): the program, the system and the
// version on the first line, in the form man-page tools read
// ("samvel (Tavik) 1.0.0"), then what the program is part of.
std::string versionText(std::string_view program);

// True when the arguments after the program name hold "--version": the
// program then prints versionText and ends with status 0, whatever else is given.
bool asksForVersion(const std::vector<std::string>& arguments);

// True when the arguments hold "--help" or "-h": the program then prints its
// usage to standard output and ends with status 0.
bool asksForHelp(const std::vector<std::string>& arguments);

} // namespace tavik
