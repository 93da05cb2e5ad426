#pragma once

#include "platform/paths.h"

#include <vector>

class QSettings;

namespace tavik {

// The database folders the user opened last, kept in the user's own Qt
// settings (not in any tavik.ini): most recent first.
std::vector<LocalPath> recentDatabases(const QSettings& store);
void rememberDatabase(QSettings& store, const LocalPath& folder);

} // namespace tavik
