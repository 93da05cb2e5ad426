#include "viewer/session/database_folders.h"

#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "platform/report_text.h"
#include "platform/system_error.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace tavik {
namespace {

namespace fs = std::filesystem;

// "<prefix>/<relative>" for a program in "<prefix>/bin", when it exists.
LocalPath besideProgram(const LocalPath& programFolder, const char* relative, bool folder)
{
    std::error_code error;
    const fs::path path = (fs::path(programFolder.utf8()) / ".." / relative).lexically_normal();
    const bool there = folder ? fs::is_directory(path, error) : fs::is_regular_file(path, error);
    return there ? LocalPath(path.string()) : LocalPath();
}

} // namespace

LocalPath installedSampleFolder(const LocalPath& programFolder)
{
    return besideProgram(programFolder, "share/tavik/japan", true);
}

LocalPath installedGuidePage(const LocalPath& programFolder)
{
    return besideProgram(programFolder, "share/doc/tavik/guide/ja/index.html", false);
}

bool holdsDatabase(const LocalPath& folder)
{
    std::error_code error;
    return !folder.empty() && fs::is_regular_file(fs::path(folder.utf8()) / "tavik.ini", error);
}

bool confirmDatabaseFolder(const LocalPath& folder, MessageSink& messages)
{
    if (!holdsDatabase(folder)) {
        messages.stop(utf8ToCp932(withControlsEscapedUtf8(folder.utf8(), false)
            + "\nこのフォルダには tavik.ini がありません。\n"
              "tavik.ini のある、データベースのフォルダを選んで下さい。"));
        return false;
    }
    return confirmCp932Folder(folder, messages);
}

bool confirmCp932Folder(const LocalPath& folder, MessageSink& messages)
{
    if (cp932PathOf(folder))
        return true;
    messages.stop(pathWithoutCp932Message(folder));
    return false;
}

LocalPath databaseFolderOf(const LocalPath& path, const LocalPath& current)
{
    fs::path given{path.utf8()};
    if (given.is_relative())
        given = fs::path(current.utf8()) / given;
    std::error_code error;
    if (fs::is_regular_file(given, error))
        given = given.parent_path();
    std::string folder = given.lexically_normal().string();
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return LocalPath(std::move(folder));
}

std::vector<LocalPath> withRecentDatabase(std::vector<LocalPath> recent, const LocalPath& folder)
{
    recent.erase(std::remove(recent.begin(), recent.end(), folder), recent.end());
    recent.insert(recent.begin(), folder);
    if (recent.size() > kRecentDatabases)
        recent.resize(kRecentDatabases);
    return recent;
}

bool copySampleDatabase(const LocalPath& sample, const LocalPath& target, std::string& reason)
{
    std::error_code error;
    if (!fs::is_directory(sample.utf8(), error)) {
        reason = "見本のデータベースが見つかりません (" + sample.utf8() + ")";
        return false;
    }
    if (fs::exists(target.utf8(), error) && !fs::is_empty(target.utf8(), error)) {
        reason = target.utf8() + " は空のフォルダではありません";
        return false;
    }
    // Copied beside the target first, then renamed into place: a failure
    // leaves no half a database.
    const fs::path targetPath(target.utf8());
    const fs::path staging = targetPath.parent_path() / (targetPath.filename().string() + ".tavik-copy");
    fs::remove_all(staging, error);
    fs::create_directories(staging.parent_path(), error);
    fs::copy(sample.utf8(), staging, fs::copy_options::recursive, error);
    if (!error) {
        // Files installed read-only stay writable in the user's copy.
        for (const auto& entry : fs::recursive_directory_iterator(staging, error))
            fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, error);
        fs::permissions(staging, fs::perms::owner_all, fs::perm_options::add, error);
    }
    if (!error) {
        fs::remove(targetPath, error); // the empty folder, when there is one
        error.clear();
        fs::rename(staging, targetPath, error);
    }
    if (error) {
        std::error_code ignored;
        fs::remove_all(staging, ignored);
        reason = target.utf8() + " に写せません: " + systemErrorText(error.value());
        return false;
    }
    return true;
}

} // namespace tavik
