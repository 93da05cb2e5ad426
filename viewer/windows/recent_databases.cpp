#include "viewer/windows/recent_databases.h"

#include "viewer/session/database_folders.h"

#include <QSettings>
#include <QStringList>

namespace tavik {
namespace {

const QString kKey = QStringLiteral("recentDatabases");

} // namespace

std::vector<std::string> recentDatabases(const QSettings& store)
{
    std::vector<std::string> folders;
    for (const QString& folder : store.value(kKey).toStringList())
        folders.push_back(folder.toStdString());
    return folders;
}

void rememberDatabase(QSettings& store, const std::string& folder)
{
    QStringList list;
    for (const std::string& kept : withRecentDatabase(recentDatabases(store), folder))
        list << QString::fromStdString(kept);
    store.setValue(kKey, list);
    store.sync();
}

} // namespace tavik
