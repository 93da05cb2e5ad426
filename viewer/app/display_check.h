#pragma once

#include <string>

namespace tavik {

// Why the windowed viewer cannot open its windows here, as one line (UTF-8);
// empty when a display is there to be used. With no display Qt would end the
// program inside its own start-up; the viewer says so instead and exits 1.
std::string displayProblem();

} // namespace tavik
