#include "viewer/session/database_folders.h"

#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "platform/system_error.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace tavik {
namespace {

namespace fs = std::filesystem;

// "<prefix>/<relative>" for a program in "<prefix>/bin", when it exists.
std::string besideProgram(std::string_view programFolder, const char* relative, bool folder)
{
    std::error_code error;
    const fs::path path = (fs::path(std::string(programFolder)) / ".." / relative).lexically_normal();
    const bool there = folder ? fs::is_directory(path, error) : fs::is_regular_file(path, error);
    return there ? path.string() : std::string();
}

} // namespace

std::string installedSampleFolder(std::string_view programFolder)
{
    return besideProgram(programFolder, "share/tavik/japan", true);
}

LocalPath installedGuidePage(std::string_view programFolder)
{
    return LocalPath(besideProgram(programFolder, "share/doc/tavik/guide/ja/index.html", false));
}

bool holdsDatabase(std::string_view folder)
{
    std::error_code error;
    return !folder.empty() && fs::is_regular_file(fs::path(std::string(folder)) / "tavik.ini", error);
}

bool confirmDatabaseFolder(const std::string& folder, MessageSink& messages)
{
    if (!holdsDatabase(folder)) {
        messages.stop("",
            utf8ToCp932(folder
                + "\nこのフォルダには tavik.ini がありません。\n"
                  "tavik.ini のある、データベースのフォルダを選んで下さい。"));
        return false;
    }
    return confirmCp932Folder(folder, messages);
}

bool confirmCp932Folder(const std::string& folder, MessageSink& messages)
{
    const LocalPath local(folder);
    if (cp932PathOf(local))
        return true;
    messages.stop("", pathWithoutCp932Message(local));
    return false;
}

std::string databaseFolderOf(std::string_view path, std::string_view current)
{
    fs::path given{std::string(path)};
    if (given.is_relative())
        given = fs::path(std::string(current)) / given;
    std::error_code error;
    if (fs::is_regular_file(given, error))
        given = given.parent_path();
    std::string folder = given.lexically_normal().string();
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

std::vector<std::string> withRecentDatabase(std::vector<std::string> recent, const std::string& folder)
{
    recent.erase(std::remove(recent.begin(), recent.end(), folder), recent.end());
    recent.insert(recent.begin(), folder);
    if (recent.size() > kRecentDatabases)
        recent.resize(kRecentDatabases);
    return recent;
}

bool copySampleDatabase(const std::string& sample, const std::string& target, std::string& reason)
{
    std::error_code error;
    if (!fs::is_directory(sample, error)) {
        reason = "見本のデータベースが見つかりません (" + sample + ")";
        return false;
    }
    if (fs::exists(target, error) && !fs::is_empty(target, error)) {
        reason = target + " は空のフォルダではありません";
        return false;
    }
    // Copied beside the target first, then renamed into place: a failure
    // leaves no half a database.
    const fs::path staging = fs::path(target).parent_path() / (fs::path(target).filename().string() + ".tavik-copy");
    fs::remove_all(staging, error);
    fs::create_directories(staging.parent_path(), error);
    fs::copy(sample, staging, fs::copy_options::recursive, error);
    if (!error) {
        // Files installed read-only stay writable in the user's copy.
        for (const auto& entry : fs::recursive_directory_iterator(staging, error))
            fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, error);
        fs::permissions(staging, fs::perms::owner_all, fs::perm_options::add, error);
    }
    if (!error) {
        fs::remove(target, error); // the empty folder, when there is one
        error.clear();
        fs::rename(staging, target, error);
    }
    if (error) {
        std::error_code ignored;
        fs::remove_all(staging, ignored);
        reason = target + " に写せません: " + systemErrorText(error.value());
        return false;
    }
    return true;
}

} // namespace tavik
