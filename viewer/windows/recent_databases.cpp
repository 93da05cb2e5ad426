#include "viewer/windows/recent_databases.h"

#include "viewer/basemap/qt_text.h"
#include "viewer/session/database_folders.h"

#include <QSettings>
#include <QStringList>

namespace tavik {
namespace {

const QString kKey = QStringLiteral("recentDatabases");

} // namespace

std::vector<LocalPath> recentDatabases(const QSettings& store)
{
    std::vector<LocalPath> folders;
    for (const QString& folder : store.value(kKey).toStringList())
        folders.push_back(localPathOf(folder));
    return folders;
}

void rememberDatabase(QSettings& store, const LocalPath& folder)
{
    QStringList list;
    for (const LocalPath& kept : withRecentDatabase(recentDatabases(store), folder))
        list << qpath(kept);
    store.setValue(kKey, list);
    store.sync();
}

} // namespace tavik
