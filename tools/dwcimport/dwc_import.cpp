#include "tools/dwcimport/dwc_import.h"

#include "common/csv_writer.h"
#include "common/database_lock.h"
#include "common/datum_shift_table.h"
#include "common/literature_table.h"
#include "common/species_name_table.h"
#include "common/tool_error.h"
#include "common/tool_settings.h"
#include "platform/cp932.h"
#include "platform/file_replacement.h"
#include "platform/paths.h"
#include "platform/report_text.h"
#include "platform/system_error.h"
#include "platform/utf8_text.h"
#include "tools/dwcimport/area_name_index.h"
#include "tools/dwcimport/datum_shifts.h"
#include "tools/dwcimport/dwc_settings.h"
#include "tools/dwcimport/dwcimport_command_line.h"
#include "tools/dwcimport/interrupt_cleanup.h"
#include "tools/dwcimport/occurrence_download.h"
#include "tools/dwcimport/report_text.h"
#include "tools/dwcimport/term_columns.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <new>
#include <optional>

namespace tavik {
namespace {

// A field of an input table is read cut to 255 bytes; a longer name could
// never match the species table anyway.
constexpr size_t nameFieldBytes = 256;

std::string rowsText(long count) { return std::to_string(count) + " 行"; }

// Refuses a missing or unknown literature code, naming the citation the
// download asks for and a literature row made of it.
bool refuseLiterature(
    const DwcSettings& settings, const ToolSettings& tools, const OccurrenceDownload& download, ToolError& error)
{
    std::string message = settings.literature.empty()
        ? "文献コードが指定されていません: --literature CODE (または tavik.ini の [Dwc] に Literature=CODE) で"
          "文献テーブルのコードを指定して下さい."
        : "文献コード [" + quotedForReportUtf8(cp932ToUtf8(settings.literature)) + "] は文献テーブルにありません.";
    const DownloadCitation& citation = download.citation();
    if (!citation.text.empty())
        message += "\nこのダウンロードの引用: " + quotedForReportUtf8(citation.text, 400);
    if (!citation.doi.empty() || !citation.key.empty() || !citation.text.empty()) {
        message += "\n文献テーブルに加える行 (加えてから --literature でそのコードを指定して下さい):\n"
            + cp932ToUtf8(citation.literatureRow());
        if (citation.doi.empty())
            message += "\n(GBIF のダウンロードのページに DOI があります: 表題に書き加えて下さい.)";
    }
    return error.set(tools.literaTable, utf8ToCp932(message));
}

// A name as the report shows it: each character cp932 cannot hold written as
// its code point ("Papilio<U+00A0>xuthus"), so that invisible ones are seen.
std::string visibleName(std::string_view utf8)
{
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        auto [code, length] = firstCodePoint(utf8.substr(i));
        if (length == 0) {
            code = static_cast<unsigned char>(utf8[i]);
            length = 1;
        }
        std::string_view character = utf8.substr(i, length);
        i += length;
        if (utf8ToCp932Exact(character)) {
            out += character;
            continue;
        }
        char text[16];
        std::snprintf(text, sizeof text, "<U+%04X>", static_cast<unsigned>(code));
        out += text;
    }
    return out;
}

// Why the input table could not be written, in words (UTF-8).
std::string writeFailure(const FileReplacement& output, int errorNumber)
{
    if (output.writeProtected())
        return "読み出し専用に設定されているので置き換えません.";
    return "書けません: " + systemErrorText(errorNumber) + ".";
}

} // namespace

std::string DwcImportSummary::text() const
{
    std::string out = "dwcimport: " + quotedForReportUtf8(download, 200) + " (" + form + ")\n";
    out += "  読んだ記録    " + std::to_string(rowsRead) + "\n";
    out += "  書いた行      " + std::to_string(rowsWritten) + " (緯度経度 " + std::to_string(placed.atCoordinates)
        + "、地域メッシュ " + std::to_string(placed.atSquares) + "、地域 " + std::to_string(placed.atAreas) + ")\n";
    long skippedRows = 0;
    for (long count : skipped)
        skippedRows += count;
    out += "  除いた記録    " + std::to_string(skippedRows) + "\n";
    for (size_t i = 0; i < skipReasonCount; ++i) {
        out += "    " + paddedText(std::string(skipReasonText(static_cast<SkipReason>(i))), 48)
            + std::to_string(skipped[i]);
        if (static_cast<SkipReason>(i) == SkipReason::FieldCount && !fieldCountLines.empty()) {
            out += " (";
            for (size_t k = 0; k < fieldCountLines.size(); ++k)
                out += (k ? ", " : "") + std::to_string(fieldCountLines[k]);
            out += skipped[i] > static_cast<long>(fieldCountLines.size()) ? ", … 行目)" : " 行目)";
        }
        out += "\n";
    }
    out += notes;
    if (!unknownNames.empty()) {
        out += "種テーブルにない名前 (種テーブルに加えるか、その行に IVD を付けてから ludric を実行して下さい):\n";
        for (const auto& [name, rows] : unknownNames)
            out += "  " + paddedText(quotedForReportUtf8(name), 40) + " " + rowsText(rows) + "\n";
    }
    if (!unheldNames.empty()) {
        out += "cp932 で書けない文字のある名前 (その記録は書いていません):\n";
        for (const auto& [name, rows] : unheldNames)
            out += "  " + paddedText(quotedForReportUtf8(name), 40) + " " + rowsText(rows) + "\n";
    }
    out += "--> " + quotedForReportUtf8(inputTable, 200) + "\n";
    return out;
}

bool DwcImport::run(const DwcImportCommandLine& line, std::FILE* progress, DwcImportSummary& summary, ToolError& error)
{
    try {
        summary = {};
        IniFile ini = loadToolIni();
        ToolSettings tools = ToolSettings::read(ini);
        DwcSettings settings;
        std::string reason;
        if (!DwcSettings::resolve(ini, line, settings, reason))
            return error.set("", utf8ToCp932(reason));
        std::string meshDatum = toolSettingText(ini, iniKey::meshGeodetic);
        for (char& c : meshDatum)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        bool squaresOnWorldDatum = meshDatum == "WGS";

        const std::optional<std::string> downloadArgument = cp932PathArgument(line.download);
        if (!downloadArgument)
            return error.set("", pathWithoutCp932Message(LocalPath(line.download)));
        const std::optional<std::string> tableArgument = cp932PathArgument(line.inputTable);
        if (!tableArgument)
            return error.set("", pathWithoutCp932Message(LocalPath(line.inputTable)));
        const std::string downloadPath = *downloadArgument;
        const std::string tablePath = *tableArgument;
        OccurrenceDownload download;
        OccurrenceDownload::Options reading;
        reading.encoding = settings.encoding;
        reading.settingsEncoding = settings.settingsEncoding;
        reading.progress = progress;
        if (!download.open(downloadPath, reading, error))
            return false;

        LiteratureTable literature;
        if (!literature.load(tools.literaTable, tools.literaMax, error))
            return false;
        if (settings.literature.empty() || !literature.containsCode(settings.literature))
            return refuseLiterature(settings, tools, download, error);
        SpeciesNameTable species;
        if (!species.load(tools.speciesTable, tools.speciesMax, error))
            return false;
        AreaNameIndex areas;
        if (!areas.load(tools.areaTable, tools.areaMax, error))
            return false;

        // The datum-shift table turns Tokyo-datum coordinates to the world
        // datum, and points to the Tokyo datum of the squares when
        // MeshGeodetic says the database's squares are on it.
        std::string shiftPath = toolSettingText(ini, iniKey::wgsJgsTable);
        DatumShiftTable shifts;
        bool haveShifts = false;
        bool needShifts = settings.grid && !squaresOnWorldDatum;
        if (needShifts || isRegularFile(shiftPath)) {
            ToolError shiftError;
            haveShifts = loadDatumShifts(shiftPath, toolSettingNumber(ini, iniKey::wgsJgsMax), shifts, shiftError);
            if (!haveShifts && needShifts) {
                shiftError.message += cp932Literal("\n(地域メッシュが日本測地系 (MeshGeodetic=JGS) なので、測地系変換"
                                                   "テーブルが要ります)");
                error = shiftError;
                return false;
            }
        }

        OccurrenceMapper::Rules rules;
        rules.ranks = settings.ranks;
        rules.yearRanks = settings.yearRanks;
        rules.maxUncertainty = settings.maxUncertainty;
        rules.grid = settings.grid;
        rules.squaresOnTokyoDatum = settings.grid && !squaresOnWorldDatum;
        rules.refusedIssues = settings.refusedIssues;
        OccurrenceMapper mapper(rules, areas, haveShifts ? &shifts : nullptr);

        // The input table is a table of the database: ludric rewrites it,
        // samvel reads it. Under the lock this run alone writes it, and the
        // temporary files a killed run left beside it go first.
        DatabaseLock lock;
        if (!lock.acquire(error))
            return false;
        removeLeftoverTemporaries(tablePath);
        InterruptCleanup cleanup;
        FileReplacement output(tablePath);
        {
            InterruptCleanup::Held held;
            if (!output.open())
                return error.set(tablePath, utf8ToCp932(writeFailure(output, output.errorNumber())));
            cleanup.watch(output.temporaryPath());
        }
        CsvWriter writer(output.stream());
        InputRow row;
        const size_t expectedFields = download.expectedFields();
        for (;;) {
            DelimitedReader::Status status = download.next();
            if (status == DelimitedReader::Status::End)
                break;
            if (status == DelimitedReader::Status::Error)
                return error.set(download.dataPath(),
                    cp932Printf("%ld 行目: %s", download.lineNumber(), utf8ToCp932(download.errorText()).c_str()));
            ++summary.rowsRead;
            if (progress && summary.rowsRead % progressRows == 0) {
                std::fprintf(progress, "\r  %ld 件読みました", summary.rowsRead);
                std::fflush(progress);
            }
            std::optional<SkipReason> skip;
            if (expectedFields != 0 && download.fields().size() != expectedFields) {
                skip = SkipReason::FieldCount;
                if (summary.fieldCountLines.size() < shownLines)
                    summary.fieldCountLines.push_back(download.lineNumber());
            } else {
                skip = mapper.map(download.columns(), download.fields(), row, download.event());
            }
            if (skip) {
                ++summary.skipped[static_cast<size_t>(*skip)];
                if (*skip == SkipReason::NotCp932)
                    ++summary.unheldNames[visibleName(mapper.lastName())];
                continue;
            }
            const SpeciesName* known = static_cast<unsigned char>(row.name[0]) < 0x7F ? species.findScientific(row.name)
                                                                                      : species.findJapanese(row.name);
            if (!known)
                ++summary.unknownNames[cp932ToUtf8(row.name)];
            writer.putField(row.name, nameFieldBytes);
            writer.putField("");
            writer.putField("");
            writer.putField(row.area);
            writer.putField(settings.literature);
            writer.putField(std::string_view(&row.rank, 1));
            writer.putField(row.latitude);
            writer.putField(row.longitude);
            if (!writer.putField(row.grid) || !writer.endLine()) {
                int number = errno;
                return error.set(tablePath, utf8ToCp932(writeFailure(output, number)));
            }
            ++summary.rowsWritten;
        }
        if (progress && summary.rowsRead >= progressRows)
            std::fprintf(progress, "\r  %ld 件読みました\n", summary.rowsRead);
        if (!writer.flush()) {
            int number = errno;
            return error.set(tablePath, utf8ToCp932(writeFailure(output, number)));
        }
        if (!output.commit())
            return error.set(tablePath, utf8ToCp932(writeFailure(output, output.errorNumber())));
        cleanup.watch("");

        summary.download = cp932ToUtf8(download.dataPath());
        summary.form = download.description();
        summary.inputTable = line.inputTable;
        summary.placed = mapper.counts();
        std::string& notes = summary.notes;
        notes = "緯度経度は世界測地系 (WGS84。JGD2000 と JGD2011 は 1 m 以内で一致します) で書きました.\n";
        if (summary.placed.fromTokyoDatum > 0)
            notes += "日本測地系 (Tokyo) の " + rowsText(summary.placed.fromTokyoDatum)
                + "は測地系変換テーブルで世界測地系に移しました.\n";
        if (settings.grid)
            notes += squaresOnWorldDatum ? "地域メッシュ (" + std::string(gridOrderName(*settings.grid))
                    + ") は MeshGeodetic=WGS のとおり世界測地系で求めました.\n"
                                         : "地域メッシュ (" + std::string(gridOrderName(*settings.grid))
                    + ") は MeshGeodetic のとおり日本測地系で求めました: 各点を "
                    + quotedForReportUtf8(cp932ToUtf8(shiftPath)) + " で戻してからメッシュを取りました.\n";
        if (settings.yearRanks)
            notes += "階級は basisOfRecord でなく日付で決めました (" + settings.yearRanks->text() + ").\n";
        if (download.isSurvey()) {
            notes += "調査イベント: イベント " + std::to_string(download.eventCount()) + " 件のうち、"
                + rowsText(summary.placed.fromEvent) + "が場所か日付をイベントから受け継ぎました.\n";
            if (download.recordsWithoutEvent() > 0)
                notes += "  イベントの見つからない記録 " + std::to_string(download.recordsWithoutEvent())
                    + " 件 (自分の場所と日付だけで変換しました)\n";
            if (download.eventDuplicates() > 0)
                notes += "  id が前のイベントと同じイベント " + std::to_string(download.eventDuplicates())
                    + " 件 (最初のものを使いました)\n";
            if (download.eventsSkipped() > 0)
                notes
                    += "  列の数が合わないイベント " + std::to_string(download.eventsSkipped()) + " 件 (除きました)\n";
        }
        return true;
    } catch (const std::bad_alloc&) {
        return error.set("", cp932Literal("メモリが足りません."));
    }
}

} // namespace tavik
