#include "tools/norbek/norbek_tables.h"

#include "common/csv_reader.h"
#include "common/group_codes.h"
#include "common/literature_table.h"
#include "common/table_columns.h"
#include "common/table_overflow.h"
#include "common/text_helpers.h"
#include "common/tool_error.h"
#include "common/tool_table_rows.h"
#include "platform/cp932.h"
#include "platform/paths.h"
#include "platform/report_text.h"
#include "tools/norbek/norbek_settings.h"

#include <algorithm>
#include <new>
#include <set>
#include <utility>

namespace tavik {
namespace {

constexpr size_t nameBytes = 63;
constexpr size_t codeBytes = 27;

// Opens a table; on failure the table's own message for a missing file or
// for any other reason.
bool openTable(CsvReader& reader, std::string_view path, const char* missing, const char* unreadable, ToolError& error)
{
    if (reader.open(path))
        return true;
    return error.set(path, norbekOpenMessage(reader.openResult(), missing, unreadable));
}

// Reads the lines of an open table and hands each line holding fields to
// `take(row, stop)`: it returns false after setting the error, or sets `stop`
// to end the table quietly (rows beyond a capacity that ignores them). Blank
// lines are passed over; a syntax code is a fault.
template <typename Take> bool readRows(CsvReader& reader, std::string_view path, ToolError& error, Take take)
{
    for (;;) {
        CsvStatus status = reader.nextLine();
        if (status == CsvStatus::EndOfFile)
            return true;
        if (status != CsvStatus::Ok)
            return error.set(path, norbekSyntaxMessage(status, reader.lineNumber(), reader.errorText()));
        if (reader.fieldCount() == 0)
            continue;
        bool stop = false;
        if (!take(reader.lineNumber(), stop))
            return false;
        if (stop)
            return true;
    }
}

template <typename Record, typename Key> void sortByCode(std::vector<Record>& records, Key Record::*key)
{
    std::stable_sort(
        records.begin(), records.end(), [key](const Record& a, const Record& b) { return a.*key < b.*key; });
}

// The first record whose key equals `code`, in a vector sorted by that key.
template <typename Record, typename Key, typename Code>
const Record* findByCode(const std::vector<Record>& records, Key Record::*key, const Code& code)
{
    auto it = std::lower_bound(records.begin(), records.end(), code,
        [key](const Record& record, const Code& wanted) { return record.*key < wanted; });
    return it != records.end() && (*it).*key == code ? &*it : nullptr;
}

} // namespace

const std::string& speciesName(const SpeciesRecord& species, NameForm form)
{
    switch (form) {
    case NameForm::Alias1:
        return species.alias1;
    case NameForm::Alias2:
        return species.alias2;
    default:
        return species.scientificName;
    }
}

Cp932Text norbekOpenMessage(const FileReadResult& result, const char* missing, const char* unreadable)
{
    if (result.status == FileReadStatus::Missing)
        return cp932Literal(missing);
    return utf8ToCp932(std::string(unreadable) + " (" + fileReadFailureText(result) + ")");
}

Cp932Text norbekSyntaxMessage(CsvStatus status, long row, std::string_view errorText)
{
    switch (status) {
    case CsvStatus::ReadError:
        return csvSyntaxMessage(status, row, errorText);
    case CsvStatus::UnterminatedQuote:
        return cp932Printf("%ld 行目: 文字列が \"\" で囲まれていません。", row);
    case CsvStatus::MisplacedQuote:
        return cp932Printf("%ld 行目: デリミタ不正", row);
    case CsvStatus::FieldTooLong:
        return cp932Printf("%ld 行目: 文字列が長過ぎて扱えません。", row);
    case CsvStatus::LineTooLong:
        return cp932Printf("%ld 行目: 行が長過ぎて扱えません。", row);
    default:
        return cp932Printf("%ld 行目: 項目が多過ぎて扱えません。", row);
    }
}

bool NorbekTables::loadSpeciesTable(std::string_view path, int capacity, ToolError& error)
{
    species_.clear();
    speciesBeyondCapacity_.clear();
    CsvReader reader;
    if (!openTable(reader, path, "種テーブルが見つかりません.", "種テーブル読み込みエラー.", error))
        return false;
    bool read = readRows(reader, path, error, [&](long, bool&) {
        if (species_.size() >= static_cast<size_t>(std::max(capacity, 0))) {
            // Rows beyond SpeciesMax are ignored; their codes are kept to
            // tell a species left out from one the table lacks.
            speciesBeyondCapacity_.insert(tableCode(reader.field(speciesColumn::code)));
            return true;
        }
        SpeciesRecord species = SpeciesRecord::read(reader, TableTexts::Trimmed);
        species.row = static_cast<int>(species_.size());
        species_.push_back(std::move(species));
        return true;
    });
    sortByCode(species_, &SpeciesRecord::code);
    return read;
}

bool NorbekTables::loadPhyleticTable(std::string_view path, int capacity, ToolError& error)
{
    groups_.clear();
    CsvReader reader;
    if (!openTable(reader, path, "系統テーブルが見つかりません.", "系統テーブル読み込みエラー.", error))
        return false;
    bool read = readRows(reader, path, error, [&](long, bool& stop) {
        if (groups_.size() >= static_cast<size_t>(std::max(capacity, 0))) {
            stop = true; // rows beyond PhyleticMax are ignored
            return true;
        }
        PhyleticRecord group = PhyleticRecord::read(reader, TableTexts::Trimmed);
        group.row = static_cast<int>(groups_.size());
        groups_.push_back(std::move(group));
        return true;
    });
    sortByCode(groups_, &PhyleticRecord::code);
    return read;
}

bool NorbekTables::assignGroups(int phyleticMax, std::string_view phyleticPath, ToolError& error)
{
    GroupAssignment assignment = assignGroupCodes(species_, groups_, static_cast<size_t>(std::max(phyleticMax, 0)));
    if (assignment.full)
        return error.set(phyleticPath, tableOverflowMessage("Phyletic Table", "PhyleticMax"));
    if (assignment.created.empty())
        return true;
    for (PhyleticRecord& group : assignment.created)
        groups_.push_back(std::move(group));
    sortByCode(groups_, &PhyleticRecord::code);
    return true;
}

bool NorbekTables::loadAreaTable(std::string_view path, int capacity, ToolError& error)
{
    areas_.clear();
    CsvReader reader;
    if (!openTable(reader, path, "地域テーブルが見つかりません.", "地域テーブル読み込みエラー.", error))
        return false;
    bool read = readRows(reader, path, error, [&](long row, bool&) {
        if (areas_.size() >= static_cast<size_t>(std::max(capacity, 0)))
            return error.set(path, cp932Printf("地域テーブルの地域数が多すぎます.上限: %d", capacity));
        std::string code(trimmedText(reader.field(areaColumn::code)));
        NorbekArea area;
        area.code = areaCode(code);
        if (area.code <= 0)
            return error.set(path,
                cp932Printf(" %ld 行目: 地域テーブルの地域コードが異常です [%s]", row, quotedForReport(code).c_str()));
        area.name = keptField(reader, areaColumn::name, nameBytes);
        area.alias1 = keptField(reader, areaColumn::alias1, nameBytes);
        area.alias2 = keptField(reader, areaColumn::alias2, nameBytes);
        area.latitude = keptField(reader, areaColumn::latitude, 15);
        area.longitude = keptField(reader, areaColumn::longitude, 15);
        area.largeRegion = keptField(reader, areaColumn::largeRegion, nameBytes);
        area.smallRegion = keptField(reader, areaColumn::smallRegion, 255);
        areas_.push_back(std::move(area));
        return true;
    });
    sortByCode(areas_, &NorbekArea::code);
    return read;
}

bool NorbekTables::loadLiteratureTable(std::string_view path, int capacity, ToolError& error)
{
    literature_.clear();
    CsvReader reader;
    if (!openTable(reader, path, "文献テーブルが見つかりません.", "文献テーブル読み込みエラー.", error))
        return false;
    bool read = readRows(reader, path, error, [&](long row, bool&) {
        if (literature_.size() >= static_cast<size_t>(std::max(capacity, 0)))
            return error.set(path, cp932Printf("文献テーブルの文献数が多すぎます.上限: %d", capacity));
        LiteratureRow literature = LiteratureRow::read(reader);
        if (literature.code.empty()) {
            std::string written(reader.field(literatureColumn::code));
            return error.set(path,
                cp932Printf(
                    " %ld 行目: 文献テーブルの文献コードが異常です [%s]", row, quotedForReport(written).c_str()));
        }
        literature_.push_back(std::move(literature));
        return true;
    });
    sortByCode(literature_, &LiteratureRow::code);
    return read;
}

bool NorbekTables::loadBookTable(std::string_view path, int capacity, ToolError& error)
{
    books_.clear();
    CsvReader reader;
    if (!reader.open(path)) {
        // Without a book table the entries go without book titles.
        if (reader.openResult().status == FileReadStatus::Missing)
            return true;
        return error.set(path, norbekOpenMessage(reader.openResult(), "", "書誌テーブル読み込みエラー."));
    }
    bool read = readRows(reader, path, error, [&](long, bool&) {
        if (books_.size() >= static_cast<size_t>(std::max(capacity, 0)))
            return error.set(path, cp932Printf("書誌テーブルの書誌数が多すぎます.上限: %d", capacity));
        NorbekBook book;
        book.code = keptField(reader, bookColumn::code, codeBytes);
        book.title = keptField(reader, bookColumn::title, 127);
        book.title1 = keptField(reader, bookColumn::title1, 127);
        book.title2 = keptField(reader, bookColumn::title2, 127);
        books_.push_back(std::move(book));
        return true;
    });
    sortByCode(books_, &NorbekBook::code);
    return read;
}

bool NorbekTables::loadSpecies(const NorbekSettings& settings, ToolError& error)
{
    try {
        if (!loadSpeciesTable(settings.tables.speciesTable, settings.tables.speciesMax, error)
            || !loadPhyleticTable(settings.phyleticTable, settings.phyleticMax, error))
            return false;
        return assignGroups(settings.phyleticMax, settings.phyleticTable, error);
    } catch (const std::bad_alloc&) {
        return error.set("", cp932Literal("メモリが足りません."));
    }
}

bool NorbekTables::loadReferences(const NorbekSettings& settings, ToolError& error)
{
    // Each table reports the storage it could not obtain by its own name.
    struct Step {
        bool (NorbekTables::*load)(std::string_view, int, ToolError&);
        const std::string& path;
        int capacity;
        const char* noStorage;
    } steps[] = {
        {&NorbekTables::loadAreaTable, settings.tables.areaTable, settings.tables.areaMax,
            "地域テーブル格納領域がありません."},
        {&NorbekTables::loadLiteratureTable, settings.tables.literaTable, settings.tables.literaMax,
            "文献テーブル格納領域がありません."},
        {&NorbekTables::loadBookTable, settings.bookTable, settings.bookMax, "書誌テーブル格納領域がありません."},
    };
    for (const Step& step : steps) {
        try {
            if (!(this->*step.load)(step.path, step.capacity, error))
                return false;
        } catch (const std::bad_alloc&) {
            return error.set(step.path, cp932Literal(step.noStorage));
        }
    }
    return true;
}

int NorbekTables::findSpecies(std::int64_t code) const
{
    const SpeciesRecord* found = findByCode(species_, &SpeciesRecord::code, code);
    return found ? static_cast<int>(found - species_.data()) : -1;
}

bool NorbekTables::isSpeciesBeyondCapacity(std::int64_t code) const { return speciesBeyondCapacity_.contains(code); }

const PhyleticRecord* NorbekTables::findGroup(std::int64_t code) const
{
    return findByCode(groups_, &PhyleticRecord::code, code);
}

const NorbekArea* NorbekTables::findArea(std::int32_t code) const
{
    return findByCode(areas_, &NorbekArea::code, code);
}

int NorbekTables::findLiterature(std::string_view code) const
{
    const LiteratureRow* found = findByCode(literature_, &LiteratureRow::code, std::string(cutText(code, codeBytes)));
    return found ? static_cast<int>(found - literature_.data()) : -1;
}

const NorbekBook* NorbekTables::findBook(std::string_view code) const
{
    // An empty book code names no book, even when a book row has none.
    if (code.empty())
        return nullptr;
    return findByCode(books_, &NorbekBook::code, std::string(code));
}

} // namespace tavik
