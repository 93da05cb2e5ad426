#include "viewer/basemap/addin_overlays.h"

#include "common/angle_text.h"
#include "common/table_rows.h"
#include "platform/cp932.h"
#include "platform/file_reading.h"
#include "platform/paths.h"
#include "platform/text_numbers.h"

#include <cstdio>
#include <new>

namespace tavik {
namespace {

// Bytes of one line of the list: a file name with its folders. A longer line
// holds no name, and reading it whole could take the machine's memory.
constexpr size_t kListLineBytes = 4096;

enum class ListLine { Name, End, TooLong, ReadError };

// The next line of the list file without its line end (LF, CR LF, or a CR
// alone, as the tables' line ends).
ListLine nextListLine(std::FILE* file, std::string& line)
{
    line.clear();
    int c;
    bool any = false;
    bool tooLong = false;
    while ((c = std::getc(file)) != EOF) {
        any = true;
        if (c == '\n')
            break;
        if (c == '\r') {
            const int next = std::getc(file);
            if (next != '\n' && next != EOF)
                std::ungetc(next, file);
            break;
        }
        if (line.size() < kListLineBytes)
            line.push_back(static_cast<char>(c));
        else
            tooLong = true;
    }
    if (std::ferror(file))
        return ListLine::ReadError;
    if (!any)
        return ListLine::End;
    while (!line.empty() && line.back() == '\x1A')
        line.pop_back();
    return tooLong ? ListLine::TooLong : ListLine::Name;
}

} // namespace

AddinOverlays::AddinOverlays(size_t recordLimit)
    : recordLimit_(recordLimit)
{
}

std::string AddinOverlays::statusText() const
{
    std::lock_guard lock(statusMutex_);
    return status_;
}

void AddinOverlays::setStatus(std::string text)
{
    std::lock_guard lock(statusMutex_);
    status_ = std::move(text);
}

Cp932Text AddinOverlays::errorText() const
{
    Cp932Text text;
    for (const Cp932Text& error : errors_) {
        if (!text.empty())
            text += cp932Literal("\r\n");
        text += error;
    }
    return text;
}

void AddinOverlays::addError(Cp932Text message)
{
    if (errors_.size() < kMaxErrors)
        errors_.push_back(std::move(message));
}

void AddinOverlays::takeLoaded(AddinOverlays& loaded)
{
    attempted_ = true;
    records_ = std::move(loaded.records_);
    errors_ = std::move(loaded.errors_);
    setStatus(loaded.statusText());
    finished_.store(true, std::memory_order_release);
}

void AddinOverlays::clear()
{
    records_.clear();
    records_.shrink_to_fit();
}

bool AddinOverlays::load(std::string_view addinMap, std::string_view startupDirectory)
{
    if (attempted_ || addinMap.empty()) {
        finished_.store(true, std::memory_order_release);
        return true;
    }
    attempted_ = true;
    readList(makeAbsolute(addinMap, startupDirectory));
    setStatus(cp932Literal("完了"));
    finished_.store(true, std::memory_order_release);
    return errors_.empty();
}

void AddinOverlays::readList(const std::string& listPath)
{
    if (isDirectory(listPath)) {
        addError(cp932Printf("%s ディレクトリです", listPath.c_str()));
        return;
    }
    FilePtr list = openRegularFile(listPath);
    if (!list) {
        addError(cp932Printf(fileExists(listPath) ? "%s 読めません" : "%s 見つかりません", listPath.c_str()));
        return;
    }
    // Names in the list are taken from the list file's folder.
    PathParts parts = splitPath(listPath);
    std::string listFolder = parts.drive + parts.directory;
    std::string name;
    for (long lineNumber = 1; !stopRequested_.load(); ++lineNumber) {
        const ListLine line = nextListLine(list.get(), name);
        if (line == ListLine::End)
            return;
        if (line != ListLine::Name) {
            addError(cp932Printf(line == ListLine::TooLong ? "%s %ld 行目: 長すぎます" : "%s %ld 行目: 読めません",
                listPath.c_str(), lineNumber));
            return;
        }
        if (name.empty())
            continue;
        if (readFile(makeAbsolute(name, listFolder)) == FileResult::EndLoad)
            return;
    }
}

AddinOverlays::FileResult AddinOverlays::readFile(const std::string& path)
{
    setStatus(path);
    // A directory opens for reading here, so it is told apart first.
    if (isDirectory(path)) {
        addError(cp932Printf("%s ディレクトリです", path.c_str()));
        return FileResult::Done;
    }
    CsvReader reader(CsvReader::viewerTables);
    if (!reader.open(path)) {
        addError(cp932Printf(fileExists(path) ? "%s 読めません" : "%s 見つかりません", path.c_str()));
        return FileResult::Done;
    }
    if (records_.capacity() == 0) {
        try {
            records_.reserve(kGrowthStep);
        } catch (const std::bad_alloc&) {
            addError(cp932Literal("メモリが確保できません"));
            return FileResult::EndLoad;
        }
    }

    while (!stopRequested_.load()) {
        CsvStatus status = reader.nextLine();
        if (status == CsvStatus::EndOfFile)
            break;
        if (status == CsvStatus::ReadError) {
            addError(cp932Printf("%s %ld 行目: 読めません", path.c_str(), reader.lineNumber()));
            break;
        }
        if (status != CsvStatus::Ok) {
            // The rest of a file after a line it cannot split is not guessed at.
            addError(cp932Printf("%s %ld 行目: CSV の書式が違います", path.c_str(), reader.lineNumber()));
            break;
        }
        if (reader.fieldCount() == 0)
            continue;
        AddinRecord record;
        record.longitude = parseLongitude(reader.field(0));
        record.latitude = parseLatitude(reader.field(1));
        if (record.longitude == kInvalidAngle || record.latitude == kInvalidAngle) {
            // A position that is not an angle would be drawn at a random place.
            addError(cp932Printf("%s %ld 行目: 経度・緯度が読めません", path.c_str(), reader.lineNumber()));
            continue;
        }
        record.command = addinCommand(reader.field(2));
        record.colour = addinColour(reader.field(3)).value_or(Colour{});
        record.style = addinPenStyle(reader.field(4));
        record.width = parseInteger(reader.field(5));
        if (!appendRecord(record))
            return FileResult::EndLoad;
    }
    return stopRequested_.load() ? FileResult::EndLoad : FileResult::Done;
}

bool AddinOverlays::appendRecord(const AddinRecord& record)
{
    if (records_.size() >= recordLimit_) {
        addError(cp932Literal("データが多すぎます"));
        return false;
    }
    if (records_.size() == records_.capacity()) {
        try {
            records_.reserve(records_.capacity() + kGrowthStep);
        } catch (const std::bad_alloc&) {
            addError(cp932Literal("メモリが確保できません"));
            clear();
            return false;
        }
    }
    records_.push_back(record);
    return true;
}

} // namespace tavik
