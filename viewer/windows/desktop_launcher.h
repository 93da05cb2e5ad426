#pragma once

#include "viewer/session/process_launcher.h"

namespace tavik {

// Starts programs as detached processes of their own (not children the viewer
// waits for), with an argument vector.
class DesktopLauncher : public ProcessLauncher {
public:
    bool startDetached(const std::string& program, const std::vector<std::string>& arguments) override;
};

} // namespace tavik
