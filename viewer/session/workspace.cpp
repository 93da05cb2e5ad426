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
    messages.stop(cp932Printf("%s\nファイルを読めません。確認してください。", path.c_str()));
}

// A line of a table that the start-up cannot go past: the tables are read
// whole or not at all, so that no row after a faulty one is silently lost.
void faultyLine(MessageSink& messages, const std::string& path, const CsvLineFault& fault)
{
    messages.stop(csvLineFaultMessage(fault.status, path, fault.line));
}

} // namespace

std::string Workspace::resolved(const std::string& path) const
{
    return makeAbsolute(path, settings_.startupDirectory);
}

bool Workspace::start(std::string_view startupDirectory, MessageSink& messages)
{
    if (!loadSettings(startupDirectory, messages))
        return false;
    if (!loadSpeciesTable(messages) || !loadBaseImage(messages))
        return false;
    settleFonts();
    return true;
}

void Workspace::settleFonts() { settleFontFaces(settings_, installedFontFamilies()); }

bool Workspace::loadSettings(std::string_view startupDirectory, MessageSink& messages)
{
    const std::string iniPath = joinPath(startupDirectory, "tavik.ini");
    IniFile ini = IniFile::load(iniPath);
    // Settings read in part would draw with defaults that point elsewhere,
    // and be written back over the file on exit.
    if (!ini.readWhole()) {
        messages.stop(cp932Printf("%s\n設定ファイルを読めません（%s）。", iniPath.c_str(),
            utf8ToCp932(fileReadFailureText(ini.loadResult())).c_str()));
        return false;
    }
    settings_ = readSettings(ini, startupDirectory);
    return checkCapacities(messages) && loadConfigurationFiles(messages) && loadTables(messages);
}

bool Workspace::loadConfigurationFiles(MessageSink& messages)
{
    // A print form file that does not load is replaced by the built-in form;
    // that is no reason to stop.
    printForms_.loadAtStartup(settings_.printFormCfg, settings_.nowPrintForm, messages);

    if (!blankMap_.loadForImage(resolved(settings_.blankMap), messages)) {
        messages.stop(cp932Literal("白地図情報が読めません"));
        return false;
    }
    if (!painter_.load(settings_.paintCfg, messages)) {
        messages.stop(cp932Literal("色塗り情報が読めません"));
        return false;
    }
    // Lines that no map could show would cost seconds and hundreds of
    // megabytes a map: they are not drawn, and the user is told why.
    const GeoLineFault lines = geoLineFault(settings_);
    if (lines.part != GeoLineFault::Part::None)
        messages.show({{}, cp932Literal("tavik.ini\n") + lines.text + cp932Literal("\n経緯線は描きません。"),
            MessageIcon::Exclamation});
    return true;
}

bool Workspace::checkCapacities(MessageSink& messages) const
{
    // A setting beyond any machine's memory is refused at start rather than
    // when the first large species is drawn.
    if (settings_.pointMaxPerSpeciesFault) {
        messages.stop(cp932Printf("tavik.ini の PointMaxPerSpecies の値 \"%s\" は正の整数ではありません。\n\n"
                                  "1 から %d までの整数（桁区切りのカンマなし）にして下さい",
            cutCp932(*settings_.pointMaxPerSpeciesFault, 80).c_str(), kPointMaxLimit));
        return false;
    }
    if (settings_.pointMaxPerSpecies > kPointMaxLimit) {
        messages.stop(cp932Printf("tavik.ini の PointMaxPerSpecies の値 %d が大きすぎます。\n\n%d 以下にして下さい",
            settings_.pointMaxPerSpecies, kPointMaxLimit));
        return false;
    }
    return true;
}

bool Workspace::loadTables(MessageSink& messages)
{
    Settings& s = settings_;
    // A missing group table is not reported: groups are then made from the
    // species table. A faulty line is: the groups after it would be lost.
    if (phyletic_.load(resolved(s.phyleticTable), s.phyleticMax) == PhyleticTableStatus::FaultyLine) {
        faultyLine(messages, resolved(s.phyleticTable), phyletic_.fault());
        return false;
    }
    s.phyleticTable = resolved(s.phyleticTable);

    switch (areas_.load(resolved(s.areaTable), s.areaMax)) {
    case AreaTableStatus::Ok:
        break;
    case AreaTableStatus::CannotOpen:
        cannotRead(messages, s.areaTable);
        return false;
    case AreaTableStatus::Overflow:
        messages.stop(cp932Literal("Area Table が溢れました\n\ntavik.ini の AreaMax の値を増やして下さい"));
        return false;
    case AreaTableStatus::FaultyLine:
        faultyLine(messages, resolved(s.areaTable), areas_.fault());
        return false;
    }
    s.areaTable = resolved(s.areaTable);

    switch (datumShifts_.load(resolved(s.wgsJgsTable), s.wgsJgsMax)) {
    case DatumShiftStatus::Ok:
        break;
    case DatumShiftStatus::CannotOpen:
        cannotRead(messages, s.wgsJgsTable);
        return false;
    case DatumShiftStatus::Overflow:
        messages.stop(cp932Literal("WgsJgs Table が溢れました\n\ntavik.ini の WgsJgsMax の値を増やして下さい"));
        return false;
    case DatumShiftStatus::BadSquareCode:
        messages.stop(
            cp932Printf("%s\nファイルの地域メッシュコードが異常です。確認してください。", s.wgsJgsTable.c_str()));
        return false;
    case DatumShiftStatus::FaultyLine:
        faultyLine(messages, resolved(s.wgsJgsTable), datumShifts_.fault());
        return false;
    }
    s.wgsJgsTable = resolved(s.wgsJgsTable);

    switch (distribution_.buildIndex(s.taVikDb, s.speciesMax)) {
    case DistributionIndexStatus::Ok:
        break;
    case DistributionIndexStatus::CannotOpen:
        messages.stop(cp932Printf("%s\nファイルを読めません。確認して下さい。", s.taVikDb.c_str()));
        return false;
    case DistributionIndexStatus::Overflow:
        messages.stop(cp932Literal("Species map table が溢れました\n\ntavik.ini の SpeciesMax の値を増やして下さい"));
        return false;
    case DistributionIndexStatus::ReadError:
        faultyLine(messages, s.taVikDb, {CsvStatus::ReadError, distribution_.readErrorLine()});
        return false;
    }
    return true;
}

bool Workspace::refreshDistributionIndex(MessageSink& messages)
{
    if (!distribution_.changedOnDisk())
        return false;
    DistributionTable fresh;
    const DistributionIndexStatus status = fresh.buildIndex(settings_.taVikDb, settings_.speciesMax);
    if (status != DistributionIndexStatus::Ok) {
        if (status == DistributionIndexStatus::ReadError)
            faultyLine(messages, settings_.taVikDb, {CsvStatus::ReadError, fresh.readErrorLine()});
        else
            messages.stop(
                cp932Printf("%s\n種別分布テーブルが変更されましたが、読み直せません。", settings_.taVikDb.c_str()));
        return false;
    }
    distribution_ = std::move(fresh);
    ++revision_;
    return true;
}

bool Workspace::loadSpeciesTable(MessageSink& messages)
{
    // A missing table leaves no species to open; a faulty line would leave
    // out the species after it, so it ends the start-up.
    if (species_.load(resolved(settings_.speciesTable), settings_.speciesMax, settings_.spNameMode, messages)
        == SpeciesTable::LoadResult::FaultyLine)
        return false;
    // A group table too small for the species' groups is reported; the maps
    // can still be drawn.
    species_.assignPhyleticCodes(phyletic_, messages);
    return true;
}

bool Workspace::loadBaseImage(MessageSink& messages) { return tavik::loadBaseImage(settings_, baseImage_, messages); }

bool Workspace::loadAddins(MessageSink& messages)
{
    const bool loaded = addins_.load(settings_.addinMap, settings_.startupDirectory);
    ++revision_;
    if (loaded)
        return true;
    messages.stop(addins_.errorText());
    return false;
}

RenderSources Workspace::renderSources() const
{
    return RenderSources::copiesOf(
        settings_, baseImage_.image, blankMap_, painter_, areas_, datumShifts_, distribution_, &addins_.records());
}

} // namespace tavik

namespace tavik {

void Workspace::setPainter(PainterConfig painter)
{
    painter_ = std::move(painter);
    ++revision_;
}

void Workspace::takeAddins(AddinOverlays& loaded)
{
    addins_.takeLoaded(loaded);
    ++revision_;
}

void Workspace::setNameMode(NameMode mode)
{
    settings_.spNameMode = mode;
    species_.sortByName(mode);
    ++revision_;
}

void Workspace::keepMapWindowSize(int width, int height)
{
    settings_.childFrameWidth = width;
    settings_.childFrameHeight = height;
}

void Workspace::keepMainWindowSize(int width, int height)
{
    settings_.frameWidth = width;
    settings_.frameHeight = height;
}

void Workspace::keepSaveFolder(std::string folder) { settings_.savePath = std::move(folder); }

} // namespace tavik
