#pragma once

#include <string>
#include <vector>

namespace tavik {

// Starts programs for the viewer (a web browser, the desktop's opener) as
// processes of their own, with an argument vector and never through a shell,
// and does not wait for them.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;

    // Starts `program` (a file-system path, or a name looked up on PATH;
    // UTF-8) with `arguments` (UTF-8). False when it could not be started.
    virtual bool startDetached(const std::string& program, const std::vector<std::string>& arguments) = 0;
};

// The program that opens a file with the desktop's default application.
inline constexpr const char* kDesktopOpener = "xdg-open";

} // namespace tavik
