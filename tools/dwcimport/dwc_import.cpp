#include "tools/dwcimport/dwc_import.h"

#include "common/csv_writer.h"
#include "common/literature_table.h"
#include "common/species_name_table.h"
#include "common/tool_error.h"
#include "common/tool_settings.h"
#include "platform/cp932.h"
#include "platform/file_replacement.h"
#include "platform/paths.h"
#include "tools/dwcimport/area_name_index.h"
#include "tools/dwcimport/datum_shift_table.h"
#include "tools/dwcimport/dwc_settings.h"
#include "tools/dwcimport/dwcimport_command_line.h"
#include "tools/dwcimport/occurrence_download.h"
#include "tools/dwcimport/term_columns.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <new>

namespace tavik {
namespace {

// A field of an input table is read cut to 255 bytes; a longer name could
// never match the species table anyway.
constexpr size_t nameFieldBytes = 256;

std::string rowsText(long count) { return std::to_string(count) + (count == 1 ? " row" : " rows"); }

std::string padded(std::string text, size_t width)
{
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

// Refuses a missing or unknown literature code, naming the citation the
// download asks for and a literature row made of it.
bool refuseLiterature(
    const DwcSettings& settings, const ToolSettings& tools, const OccurrenceDownload& download, ToolError& error)
{
    std::string message = settings.literature.empty()
        ? "no literature named: give --literature CODE (or Literature= in [Dwc] of tavik.ini) with a code of the "
          "literature table"
        : "the literature code [" + cp932ToUtf8(settings.literature) + "] is not in the literature table";
    const DownloadCitation& citation = download.citation();
    if (!citation.text.empty())
        message += "\nThis download is cited as: " + citation.text;
    if (!citation.doi.empty() || !citation.key.empty() || !citation.text.empty()) {
        message += "\nA row for the literature table, to add and then name with --literature:\n"
            + cp932ToUtf8(citation.literatureRow());
        if (citation.doi.empty())
            message += "\n(GBIF shows the download's DOI on its page; put it into the title.)";
    }
    return error.set(tools.literaTable, utf8ToCp932(message));
}

// A name as the report shows it: each character cp932 cannot hold written as
// its code point ("Papilio<U+00A0>xuthus"), so that invisible ones are seen.
std::string visibleName(std::string_view utf8)
{
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        auto lead = static_cast<unsigned char>(utf8[i]);
        size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        std::string_view character = utf8.substr(i, length);
        i += character.size();
        if (utf8ToCp932Exact(character)) {
            out += character;
            continue;
        }
        std::uint32_t code = length == 1 ? lead : lead & (0xFF >> (length + 1));
        for (size_t k = 1; k < character.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(character[k]) & 0x3F);
        char text[16];
        std::snprintf(text, sizeof text, "<U+%04X>", static_cast<unsigned>(code));
        out += text;
    }
    return out;
}

} // namespace

std::string DwcImportSummary::text() const
{
    std::string out = "dwcimport: " + download + " (" + form + ")\n";
    out += "  records read      " + std::to_string(rowsRead) + "\n";
    out += "  rows written      " + std::to_string(rowsWritten) + " (" + std::to_string(placed.atCoordinates)
        + " at coordinates, " + std::to_string(placed.atSquares) + " at grid squares, " + std::to_string(placed.atAreas)
        + " at areas)\n";
    long skippedRows = 0;
    for (long count : skipped)
        skippedRows += count;
    out += "  records skipped   " + std::to_string(skippedRows) + "\n";
    for (size_t i = 0; i < skipReasonCount; ++i)
        out += "    " + padded(std::string(skipReasonText(static_cast<SkipReason>(i))), 44) + std::to_string(skipped[i])
            + "\n";
    out += datumNote;
    if (!unknownNames.empty()) {
        out += "Names not in the species table (add them to it, or mark their rows IVD, before ludric):\n";
        for (const auto& [name, rows] : unknownNames)
            out += "  " + padded(name, 40) + " " + rowsText(rows) + "\n";
    }
    if (!unheldNames.empty()) {
        out += "Names cp932 cannot hold (their records are not written):\n";
        for (const auto& [name, rows] : unheldNames)
            out += "  " + padded(name, 40) + " " + rowsText(rows) + "\n";
    }
    out += "--> " + inputTable + "\n";
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
        std::string meshDatum = toolSettingText(ini, "Display", "MeshGeodetic", "JGS");
        for (char& c : meshDatum)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        bool squaresOnWorldDatum = meshDatum == "WGS";

        std::string downloadPath = utf8ToCp932(line.download);
        std::string tablePath = utf8ToCp932(line.inputTable);
        OccurrenceDownload download;
        if (!download.open(downloadPath, error))
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
        std::string shiftPath = toolSettingText(ini, "Path", "WgsJgsTable", ".\\dbase\\WGS_JGS.csv");
        DatumShiftTable shifts;
        bool haveShifts = false;
        bool needShifts = settings.grid && !squaresOnWorldDatum;
        if (needShifts || isRegularFile(shiftPath)) {
            ToolError shiftError;
            haveShifts = shifts.load(shiftPath, toolSettingNumber(ini, "Capacity", "WgsJgsMax", 200), shiftError);
            if (!haveShifts && needShifts) {
                shiftError.message += utf8ToCp932("\n(grid squares are on the Tokyo datum, MeshGeodetic=JGS, and "
                                                  "need the datum-shift table)");
                error = shiftError;
                return false;
            }
        }

        OccurrenceMapper::Rules rules;
        rules.ranks = settings.ranks;
        rules.maxUncertainty = settings.maxUncertainty;
        rules.grid = settings.grid;
        rules.squaresOnTokyoDatum = settings.grid && !squaresOnWorldDatum;
        rules.refusedIssues = settings.refusedIssues;
        OccurrenceMapper mapper(rules, areas, haveShifts ? &shifts : nullptr);

        FileReplacement output(tablePath);
        if (!output.open())
            return error.set(tablePath, "cannot be written: " + utf8ToCp932(output.errorText()));
        CsvWriter writer(output.stream());
        InputRow row;
        for (;;) {
            DelimitedReader::Status status = download.next();
            if (status == DelimitedReader::Status::End)
                break;
            if (status == DelimitedReader::Status::Error)
                return error.set(download.dataPath(),
                    cp932Printf("line %ld: %s", download.lineNumber(), utf8ToCp932(download.errorText()).c_str()));
            ++summary.rowsRead;
            if (progress && summary.rowsRead % progressRows == 0) {
                std::fprintf(progress, "\r  %ld records read", summary.rowsRead);
                std::fflush(progress);
            }
            std::optional<SkipReason> skip = mapper.map(download.columns(), download.fields(), row);
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
            if (!writer.putField(row.grid) || !writer.endLine())
                return error.set(tablePath, "cannot be written: " + utf8ToCp932(output.errorText()));
            ++summary.rowsWritten;
        }
        if (progress && summary.rowsRead >= progressRows)
            std::fprintf(progress, "\r  %ld records read\n", summary.rowsRead);
        if (!writer.flush() || !output.commit())
            return error.set(tablePath, "cannot be written: " + utf8ToCp932(output.errorText()));

        summary.download = cp932ToUtf8(download.dataPath());
        summary.form = download.description();
        summary.inputTable = line.inputTable;
        summary.placed = mapper.counts();
        summary.datumNote = "Latitudes and longitudes are written on the world datum (WGS84; JGD2000 and JGD2011 "
                            "agree with it within a metre).\n";
        if (summary.placed.fromTokyoDatum > 0)
            summary.datumNote += rowsText(summary.placed.fromTokyoDatum)
                + " on the Tokyo datum were shifted to it with the datum-shift table.\n";
        if (settings.grid)
            summary.datumNote += squaresOnWorldDatum ? "Grid squares (" + std::string(gridOrderName(*settings.grid))
                    + ") are on the world datum, as MeshGeodetic=WGS says.\n"
                                                     : "Grid squares (" + std::string(gridOrderName(*settings.grid))
                    + ") are on the Tokyo datum, as MeshGeodetic says: each point was shifted back with "
                    + cp932ToUtf8(shiftPath) + " before its square was taken.\n";
        return true;
    } catch (const std::bad_alloc&) {
        return error.set("", "out of memory");
    }
}

} // namespace tavik
