#pragma once

#include "platform/paths.h"

#include <string>
#include <vector>

namespace tavik {

class MessageSink;

// Where an installed Tavik keeps what it ships, found from the folder of the
// running program ("<prefix>/bin"): the sample database in
// "<prefix>/share/tavik/japan" and the user guide's first page in
// "<prefix>/share/doc/tavik/guide/ja/index.html". The build tree mirrors
// that layout. Empty when it is not there.
LocalPath installedSampleFolder(const LocalPath& programFolder);
LocalPath installedGuidePage(const LocalPath& programFolder);

// Whether a folder holds a database: a tavik.ini there.
bool holdsDatabase(const LocalPath& folder);

// Whether a folder chosen by the user holds a database the viewer can open;
// when not, one message names the folder and says why: tavik.ini is missing,
// or the folder's name has no cp932 form (confirmCp932Folder).
bool confirmDatabaseFolder(const LocalPath& folder, MessageSink& messages);

// Whether a folder's name has a cp932 form that leads back to it, as the
// viewer holds the paths of a database (cp932PathOf); when not, a message
// names the folder and asks for another name.
bool confirmCp932Folder(const LocalPath& folder, MessageSink& messages);

// The database folder a path names: a folder as it is, the folder of a file
// in it (tavik.ini given to the program); made absolute from `current`.
LocalPath databaseFolderOf(const LocalPath& path, const LocalPath& current);

// The recently opened database folders with `folder` put first: no folder
// twice, at most kRecentDatabases.
inline constexpr size_t kRecentDatabases = 8;
std::vector<LocalPath> withRecentDatabase(std::vector<LocalPath> recent, const LocalPath& folder);

// Copies the sample database (folder `sample`) into `target`, a folder that
// does not exist yet or is empty, keeping nothing half-copied: false, with
// the reason in Japanese (UTF-8), when it cannot.
bool copySampleDatabase(const LocalPath& sample, const LocalPath& target, std::string& reason);

} // namespace tavik
