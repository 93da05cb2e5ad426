#include "viewer/session/workspace.h"

#include "platform/cp932.h"
#include "platform/file_reading.h"
#include "platform/ini_file.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "viewer/render/font_faces.h"
#include "viewer/render/geo_lines.h"

namespace tavik {
namespace {

void cannotRead(MessageSink& messages, const std::string& path)
{
    messages.stop("", cp932Printf("%s\nファイルを読めません。確認してください。", path.c_str()));
}

// A line of a table that the start-up cannot go past: the tables are read
// whole or not at all, so that no row after a faulty one is silently lost.
void faultyLine(MessageSink& messages, const std::string& path, const CsvLineFault& fault)
{
    messages.stop("", csvLineFaultMessage(fault.status, path, fault.line));
}

} // namespace

std::string Workspace::resolved(const std::string& path) const { return makeAbsolute(path, settings.startupDirectory); }

bool Workspace::start(std::string_view startupDirectory, MessageSink& messages)
{
    if (!loadSettings(startupDirectory, messages))
        return false;
    if (!loadSpeciesTable(messages) || !loadBaseImage(messages))
        return false;
    settleFonts();
    return true;
}

void Workspace::settleFonts() { settleFontFaces(settings, installedFontFamilies()); }

bool Workspace::loadSettings(std::string_view startupDirectory, MessageSink& messages)
{
    const std::string iniPath = joinPath(startupDirectory, "tavik.ini");
    IniFile ini = IniFile::load(iniPath);
    // Settings read in part would draw with defaults that point elsewhere,
    // and be written back over the file on exit.
    if (!ini.readWhole()) {
        messages.stop("",
            cp932Printf("%s\n設定ファイルを読めません（%s）。", iniPath.c_str(),
                utf8ToCp932(fileReadFailureText(ini.loadResult())).c_str()));
        return false;
    }
    settings = readSettings(ini, startupDirectory);
    return checkCapacities(messages) && loadConfigurationFiles(messages) && loadTables(messages);
}

bool Workspace::loadConfigurationFiles(MessageSink& messages)
{
    // A print form file that does not load is replaced by the built-in form;
    // that is no reason to stop.
    printForms.loadAtStartup(settings.printFormCfg, settings.nowPrintForm, messages);

    if (!blankMap.loadForImage(resolved(settings.blankMap), messages)) {
        messages.stop("", cp932Literal("白地図情報が読めません"));
        return false;
    }
    if (!painter.load(settings.paintCfg, messages)) {
        messages.stop("", cp932Literal("色塗り情報が読めません"));
        return false;
    }
    // Lines that no map could show would cost seconds and hundreds of
    // megabytes a map: they are not drawn, and the user is told why.
    const GeoLineFault lines = geoLineFault(settings);
    if (lines.part != GeoLineFault::Part::None)
        messages.show(
            {"", "tavik.ini\n" + lines.text + cp932Literal("\n経緯線は描きません。"), MessageIcon::Exclamation});
    return true;
}

bool Workspace::checkCapacities(MessageSink& messages) const
{
    // A setting beyond any machine's memory is refused at start rather than
    // when the first large species is drawn.
    if (settings.pointMaxPerSpeciesFault) {
        messages.stop("",
            cp932Printf("tavik.ini の PointMaxPerSpecies の値 \"%s\" は正の整数ではありません。\n\n"
                        "1 から %d までの整数（桁区切りのカンマなし）にして下さい",
                cutCp932(*settings.pointMaxPerSpeciesFault, 80).c_str(), kPointMaxLimit));
        return false;
    }
    if (settings.pointMaxPerSpecies > kPointMaxLimit) {
        messages.stop("",
            cp932Printf("tavik.ini の PointMaxPerSpecies の値 %d が大きすぎます。\n\n%d 以下にして下さい",
                settings.pointMaxPerSpecies, kPointMaxLimit));
        return false;
    }
    return true;
}

bool Workspace::loadTables(MessageSink& messages)
{
    Settings& s = settings;
    // A missing group table is not reported: groups are then made from the
    // species table. A faulty line is: the groups after it would be lost.
    if (phyletic.load(resolved(s.phyleticTable), s.phyleticMax) == PhyleticTableStatus::FaultyLine) {
        faultyLine(messages, resolved(s.phyleticTable), phyletic.fault());
        return false;
    }
    s.phyleticTable = resolved(s.phyleticTable);

    switch (areas.load(resolved(s.areaTable), s.areaMax)) {
    case AreaTableStatus::Ok:
        break;
    case AreaTableStatus::CannotOpen:
        cannotRead(messages, s.areaTable);
        return false;
    case AreaTableStatus::Overflow:
        messages.stop("", cp932Literal("Area Table が溢れました\n\ntavik.ini の AreaMax の値を増やして下さい"));
        return false;
    case AreaTableStatus::FaultyLine:
        faultyLine(messages, resolved(s.areaTable), areas.fault());
        return false;
    }
    s.areaTable = resolved(s.areaTable);

    switch (datumShifts.load(resolved(s.wgsJgsTable), s.wgsJgsMax)) {
    case DatumShiftStatus::Ok:
        break;
    case DatumShiftStatus::CannotOpen:
        cannotRead(messages, s.wgsJgsTable);
        return false;
    case DatumShiftStatus::Overflow:
        messages.stop("", cp932Literal("WgsJgs Table が溢れました\n\ntavik.ini の WgsJgsMax の値を増やして下さい"));
        return false;
    case DatumShiftStatus::BadSquareCode:
        messages.stop(
            "", cp932Printf("%s\nファイルの地域メッシュコードが異常です。確認してください。", s.wgsJgsTable.c_str()));
        return false;
    case DatumShiftStatus::FaultyLine:
        faultyLine(messages, resolved(s.wgsJgsTable), datumShifts.fault());
        return false;
    }
    s.wgsJgsTable = resolved(s.wgsJgsTable);

    switch (distribution.buildIndex(s.taVikDb, s.speciesMax)) {
    case DistributionIndexStatus::Ok:
        break;
    case DistributionIndexStatus::CannotOpen:
        messages.stop("", cp932Printf("%s\nファイルを読めません。確認して下さい。", s.taVikDb.c_str()));
        return false;
    case DistributionIndexStatus::Overflow:
        messages.stop(
            "", cp932Literal("Species map table が溢れました\n\ntavik.ini の SpeciesMax の値を増やして下さい"));
        return false;
    case DistributionIndexStatus::ReadError:
        faultyLine(messages, s.taVikDb, {CsvStatus::ReadError, distribution.readErrorLine()});
        return false;
    }
    return true;
}

bool Workspace::refreshDistributionIndex(MessageSink& messages)
{
    if (!distribution.changedOnDisk())
        return false;
    DistributionTable fresh;
    const DistributionIndexStatus status = fresh.buildIndex(settings.taVikDb, settings.speciesMax);
    if (status != DistributionIndexStatus::Ok) {
        if (status == DistributionIndexStatus::ReadError)
            faultyLine(messages, settings.taVikDb, {CsvStatus::ReadError, fresh.readErrorLine()});
        else
            messages.stop(
                "", cp932Printf("%s\n種別分布テーブルが変更されましたが、読み直せません。", settings.taVikDb.c_str()));
        return false;
    }
    distribution = std::move(fresh);
    markChanged();
    return true;
}

bool Workspace::loadSpeciesTable(MessageSink& messages)
{
    // A missing table leaves no species to open; a faulty line would leave
    // out the species after it, so it ends the start-up.
    if (species.load(resolved(settings.speciesTable), settings.speciesMax, settings.spNameMode, messages)
        == SpeciesTable::LoadResult::FaultyLine)
        return false;
    // A group table too small for the species' groups is reported; the maps
    // can still be drawn.
    species.assignPhyleticCodes(phyletic, messages);
    return true;
}

bool Workspace::loadBaseImage(MessageSink& messages) { return tavik::loadBaseImage(settings, baseImage, messages); }

bool Workspace::loadAddins(MessageSink& messages)
{
    const bool loaded = addins.load(settings.addinMap, settings.startupDirectory);
    markChanged();
    if (loaded)
        return true;
    messages.stop("", addins.errorText());
    return false;
}

RenderSources Workspace::renderSources() const
{
    return RenderSources::copiesOf(
        settings, baseImage.image, blankMap, painter, areas, datumShifts, distribution, &addins.records());
}

} // namespace tavik
