#include "viewer/windows/desktop_launcher.h"

#include <QProcess>
#include <QStringList>

namespace tavik {

bool DesktopLauncher::startDetached(const std::string& program, const std::vector<std::string>& arguments)
{
    QStringList list;
    for (const std::string& argument : arguments)
        list.push_back(QString::fromStdString(argument));
    return QProcess::startDetached(QString::fromStdString(program), list);
}

} // namespace tavik
