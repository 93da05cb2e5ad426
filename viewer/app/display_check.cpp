#include "viewer/app/display_check.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace tavik {
namespace {

// Whether a Unix socket at this address accepts a connection; an address that
// begins with NUL is in the abstract namespace.
bool socketAnswers(const std::string& address)
{
    sockaddr_un where{};
    where.sun_family = AF_UNIX;
    if (address.size() >= sizeof where.sun_path)
        return false;
    std::memcpy(where.sun_path, address.data(), address.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + address.size());
    const bool answered = ::connect(fd, reinterpret_cast<const sockaddr*>(&where), length) == 0;
    ::close(fd);
    return answered;
}

} // namespace

std::string displayProblem()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    // Another platform plugin chosen by the user (offscreen, wayland, vnc) is
    // theirs to answer for.
    if (platform && *platform && std::strncmp(platform, "xcb", 3) != 0)
        return {};
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display)
        return "ディスプレイがありません。DISPLAY が設定されていません。ウィンドウを開くには X サーバーが要ります"
               "（ウィンドウを使わない仕事は tavik --help を参照）";
    // A local display ":N", ":N.S" or "unix:N" listens on the socket X<N>.
    std::string name = display;
    if (name.rfind("unix:", 0) == 0)
        name.erase(0, 4);
    if (name.empty() || name[0] != ':')
        return {}; // a remote or otherwise named display: left to Qt
    const std::string number = name.substr(1, name.find('.') - 1);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
        return {};
    const std::string socketPath = "/tmp/.X11-unix/X" + number;
    if (socketAnswers(socketPath) || socketAnswers(std::string(1, '\0') + socketPath))
        return {};
    return "ウィンドウを開けません。ディスプレイ " + std::string(display) + " に接続できません（" + socketPath
        + " に X サーバーが応答しません。ウィンドウを使わない仕事は tavik --help を参照）";
}

} // namespace tavik
