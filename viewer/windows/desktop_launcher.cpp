#include "viewer/windows/desktop_launcher.h"

#include "viewer/basemap/qt_text.h"

#include <QProcess>
#include <QStringList>

namespace tavik {

bool DesktopLauncher::startDetached(const std::string& program, const std::vector<std::string>& arguments)
{
    QStringList list;
    for (const std::string& argument : arguments)
        list.push_back(qutf8(argument));
    return QProcess::startDetached(qutf8(program), list);
}

} // namespace tavik
