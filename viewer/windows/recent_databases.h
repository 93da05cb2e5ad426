#pragma once

#include <string>
#include <vector>

class QSettings;

namespace tavik {

// The database folders the user opened last, kept in the user's own Qt
// settings (not in any tavik.ini): most recent first.
std::vector<std::string> recentDatabases(const QSettings& store);
void rememberDatabase(QSettings& store, const std::string& folder);

} // namespace tavik
