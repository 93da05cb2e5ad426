#include "tools/blankmap/blank_map_maker.h"

#include "common/database_lock.h"
#include "common/table_columns.h"
#include "common/tool_error.h"
#include "imagefiles/image_files.h"
#include "imagefiles/palette.h"
#include "platform/cp932.h"
#include "platform/file_replacement.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "platform/report_text.h"
#include "platform/system_error.h"
#include "tools/blankmap/area_point_finder.h"
#include "tools/blankmap/block_outlines.h"
#include "tools/blankmap/geo_regions.h"
#include "tools/blankmap/json_file.h"
#include "tools/blankmap/map_layout.h"
#include "tools/blankmap/region_raster.h"
#include "viewer/basemap/blank_map.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <set>
#include <unistd.h>

namespace tavik {

namespace {

// Columns of the area table that blankmap fills itself.

// Reads the definition text back as the viewer reads a definition file, so
// that everything drawn uses the projections the viewer will use. A
// definition the viewer does not take is a fault of the layout it was made
// from (layoutName).
bool readBack(const std::string& text, const std::string& layoutName, BlankMap& blankMap, BlankMapError& error)
{
    const char* directory = std::getenv("TMPDIR");
    std::string pattern = std::string(directory && *directory ? directory : "/tmp") + "/blankmap-XXXXXX";
    const std::string folder = pattern.substr(0, pattern.rfind('/'));
    const int descriptor = ::mkstemp(pattern.data());
    if (descriptor < 0)
        return error.set(folder, "一時ファイルを作れません (" + systemErrorText(errno) + ")");
    const ssize_t wrote = ::write(descriptor, text.data(), text.size());
    const int writeError = wrote < 0 ? errno : ENOSPC; // a short write: the disk is full
    ::close(descriptor);
    if (wrote != static_cast<ssize_t>(text.size())) {
        ::unlink(pattern.c_str());
        return error.set(folder, "一時ファイルを書けません (" + systemErrorText(writeError) + ")");
    }
    MessageLog messages;
    const bool loaded = blankMap.load(utf8ToCp932(pattern), messages);
    ::unlink(pattern.c_str());
    if (!loaded || !messages.messages.empty()) {
        std::string why = "レイアウトから作った白地図情報を読み直せません";
        for (const std::string& message : messages.utf8Texts())
            why += "\n" + message;
        return error.set(layoutName, why);
    }
    return true;
}

int paletteIndex(const Colour& colour)
{
    const Palette palette = standardPalette();
    return static_cast<int>(std::find(palette.begin(), palette.end(), colour) - palette.begin());
}

std::string csvField(const std::string& text)
{
    if (text.find_first_of(",\"") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}

std::vector<std::vector<QPointF>> projectRings(const GeoPolygon& polygon, const MapBlock& block)
{
    std::vector<std::vector<QPointF>> rings;
    for (const auto& ring : polygon.rings) {
        std::vector<QPointF> points;
        points.reserve(ring.size());
        for (const BoundaryPoint& point : ring)
            points.push_back(block.imagePosition(point.longitude, point.latitude));
        rings.push_back(std::move(points));
    }
    return rings;
}

// The pixels of the image that a block's outline may cover: the box of its
// vertices, a pixel wider all round.
QRect blockArea(const MapBlock& block, int width, int height)
{
    QRect box;
    for (const QPoint& vertex : block.polygon)
        box |= QRect(vertex, QSize(1, 1));
    return box.adjusted(-1, -1, 1, 1) & QRect(0, 0, width, height);
}

// The block's clip mask over `area`, pixel for pixel as the viewer's mask of
// the whole image has it there.
QImage blockMask(const MapBlock& block, const QRect& area)
{
    QImage mask(area.size(), QImage::Format_Grayscale8);
    mask.fill(0);
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.translate(-area.topLeft());
    painter.drawPath(block.clipPath());
    return mask;
}

// One line of the report. Names of regions and blocks come from the input
// files: their control characters are shown, never sent to the terminal.
void print(std::FILE* report, const std::string& line)
{
    if (report)
        std::fprintf(report, "%s\n", withControlsEscapedUtf8(line, false).c_str());
}

// One run of the maker: the steps of make() and what they hand on.
class MakerRun {
public:
    MakerRun(const BlankMapRequest& request, std::FILE* report)
        : request_(request)
        , report_(report)
    {
    }

    bool readInputs(BlankMapError& error);
    // The file being read or made (cp932): the layout, the boundaries, then the image.
    const std::string& workingOn() const { return *workingOn_; }
    // Gives back the memory of what was made so far.
    void release()
    {
        regions_ = {};
        raster_.reset();
        drawn_ = {};
        drawnRings_ = {};
    }
    bool makeDefinition(BlankMapError& error);
    void draw();
    void reportCoverage() const;
    void findPoints();
    bool writeFiles(BlankMapError& error) const;

private:
    std::string blockName(std::size_t block) const
    {
        const std::string name = "ブロック " + std::to_string(block + 1);
        const std::string& comment = layout_.blocks[block].block.comment;
        return comment.empty() ? name : name + " (" + cp932ToUtf8(comment) + ")";
    }
    // True when the pixel belongs to the block (inside its outline).
    bool inBlock(QPoint pixel, std::size_t block) const
    {
        return raster_->contains(pixel.x(), pixel.y())
            && raster_->blockAt(pixel.x(), pixel.y()) == static_cast<int>(block);
    }
    std::string areaTableText() const;

    const BlankMapRequest& request_;
    std::FILE* report_;
    MapLayout layout_;
    std::vector<GeoRegion> regions_;
    std::string definitionText_;
    BlankMap blankMap_; // as the viewer reads the definition
    std::unique_ptr<RegionRaster> raster_;
    std::vector<DrawnPolygon> drawn_;
    std::vector<std::vector<std::vector<QPointF>>> drawnRings_; // pixel positions, per drawn polygon
    std::vector<AreaPoint> points_; // per region
    const std::string* workingOn_ = &request_.layoutPath;
};

bool MakerRun::readInputs(BlankMapError& error)
{
    if (!readMapLayout(request_.layoutPath, layout_, error))
        return false;
    workingOn_ = &request_.boundaryPath;
    std::vector<std::string> warnings;
    if (!readGeoRegions(request_.boundaryPath, layout_.properties, regions_, error, warnings))
        return false;
    for (const std::string& warning : warnings)
        print(report_, "警告: " + warning);
    return true;
}

// Each block's outline is its rectangle less those of the blocks over it.
// Everything after this works with the blocks as the viewer reads them.
bool MakerRun::makeDefinition(BlankMapError& error)
{
    const std::string layoutName = displayPath(request_.layoutPath);
    std::vector<MapBlock> blocks;
    for (std::size_t i = 0; i < layout_.blocks.size(); ++i) {
        std::vector<QRect> above;
        for (std::size_t j = i + 1; j < layout_.blocks.size(); ++j)
            above.push_back(layout_.blocks[j].rect);
        std::string why;
        layout_.blocks[i].block.polygon = blockOutline(layout_.blocks[i].rect, above, MapBlock::MaxVertices, why);
        if (layout_.blocks[i].block.polygon.empty())
            return error.set(layoutName, blockName(i) + ": " + why);
        blocks.push_back(layout_.blocks[i].block);
    }
    BlankMap definition;
    definition.setBlocks(blocks);
    definitionText_ = definition.text(layout_.comment);
    return readBack(definitionText_, layoutName, blankMap_, error);
}

void MakerRun::draw()
{
    workingOn_ = &request_.imagePath;
    const std::vector<MapBlock>& blocks = blankMap_.blocks();
    raster_ = std::make_unique<RegionRaster>(layout_.width, layout_.height);
    // Each block's mask covers the box of its outline only, so that the cost
    // follows the pixels of the image rather than its pixels times its blocks.
    std::vector<QRect> areas;
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        areas.push_back(blockArea(blocks[b], layout_.width, layout_.height));
        raster_->setBlockMask(static_cast<int>(b), blockMask(blocks[b], areas.back()), areas.back().topLeft());
    }
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        if (layout_.blocks[b].frame)
            raster_->frameBlock(static_cast<int>(b), areas[b]);
    }
    std::vector<int> regionOf;
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        for (std::size_t r = 0; r < regions_.size(); ++r) {
            for (std::size_t k = 0; k < regions_[r].polygons.size(); ++k) {
                if (!layout_.blocks[b].select.contains(regions_[r].polygons[k].bounds().centre()))
                    continue;
                drawn_.push_back({static_cast<int>(r), static_cast<int>(k), static_cast<int>(b)});
                drawnRings_.push_back(projectRings(regions_[r].polygons[k], blocks[b]));
                regionOf.push_back(static_cast<int>(r));
            }
        }
    }
    // Interiors first, so that an edge never takes a pixel another polygon covers at its centre.
    for (std::size_t i = 0; i < drawn_.size(); ++i)
        raster_->fillPolygon(static_cast<int>(i), drawnRings_[i], drawn_[i].block);
    for (std::size_t i = 0; i < drawn_.size(); ++i)
        raster_->traceRings(static_cast<int>(i), drawnRings_[i], drawn_[i].block);
    raster_->separateRegions(regionOf);
}

// What each block draws, what it cuts, and polygons that a block leaves out
// although it projects them inside its outline: records there would be drawn
// on that block's sea.
void MakerRun::reportCoverage() const
{
    const std::vector<MapBlock>& blocks = blankMap_.blocks();
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        int polygons = 0, beyond = 0;
        std::set<int> areas;
        for (std::size_t i = 0; i < drawn_.size(); ++i) {
            if (drawn_[i].block != static_cast<int>(b))
                continue;
            ++polygons;
            areas.insert(drawn_[i].region);
            for (const QPointF& point : drawnRings_[i].front()) {
                if (!inBlock(
                        QPoint(static_cast<int>(std::floor(point.x())), static_cast<int>(std::floor(point.y()))), b)) {
                    ++beyond;
                    break;
                }
            }
        }
        print(report_,
            blockName(b) + ": " + std::to_string(areas.size()) + " 地域のポリゴン " + std::to_string(polygons)
                + " 個を描きました");
        if (beyond > 0)
            print(report_,
                "警告: " + blockName(b) + ": ポリゴン " + std::to_string(beyond)
                    + " 個が輪郭の外にはみ出し、はみ出た部分は描かれません");
    }
    for (std::size_t r = 0; r < regions_.size(); ++r) {
        int nowhere = 0;
        std::set<std::size_t> strayBlocks;
        for (std::size_t k = 0; k < regions_[r].polygons.size(); ++k) {
            std::vector<bool> drawnIn(blocks.size(), false);
            for (const DrawnPolygon& d : drawn_) {
                if (d.region == static_cast<int>(r) && d.polygon == static_cast<int>(k))
                    drawnIn[static_cast<std::size_t>(d.block)] = true;
            }
            if (std::find(drawnIn.begin(), drawnIn.end(), true) == drawnIn.end())
                ++nowhere;
            for (std::size_t b = 0; b < blocks.size(); ++b) {
                if (drawnIn[b])
                    continue;
                for (const BoundaryPoint& point : regions_[r].polygons[k].rings.front()) {
                    if (inBlock(blocks[b].project(point.longitude, point.latitude), b)) {
                        strayBlocks.insert(b);
                        break;
                    }
                }
            }
        }
        if (nowhere > 0)
            print(report_,
                regions_[r].displayName() + ": ポリゴン " + std::to_string(regions_[r].polygons.size()) + " 個のうち "
                    + std::to_string(nowhere) + " 個は、どのブロックの \"select\" にも入りません");
        for (std::size_t b : strayBlocks)
            print(report_,
                "警告: " + regions_[r].displayName() + ": " + blockName(b)
                    + " が描かないポリゴンが、そのブロックの輪郭の内側に来ます (記録がそこの海に描かれます)");
    }
}

void MakerRun::findPoints()
{
    const std::vector<MapBlock>& blocks = blankMap_.blocks();
    AreaPointFinder finder(*raster_, blocks, drawn_);
    int fromLabels = 0, found = 0;
    for (std::size_t r = 0; r < regions_.size(); ++r) {
        AreaPoint point = finder.find(static_cast<int>(r), regions_[r]);
        if (!point.placed) {
            print(report_,
                "警告: " + regions_[r].displayName() + " は地図上に陸がないので、地域テーブルの行に代表点がありません");
        } else {
            (point.fromLabel ? fromLabels : found)++;
            // The viewer projects the point in every block and draws it where it falls inside.
            for (std::size_t b = 0; b < blocks.size(); ++b) {
                const QPoint pixel = blocks[b].project(point.position.longitude, point.position.latitude);
                if (static_cast<int>(b) != point.block && inBlock(pixel, b))
                    print(report_,
                        "警告: " + regions_[r].displayName() + ": 代表点が " + blockName(b) + " の中のピクセル "
                            + std::to_string(pixel.x()) + "," + std::to_string(pixel.y()) + " にも来ます");
            }
        }
        points_.push_back(point);
    }
    print(report_,
        "代表点: " + std::to_string(fromLabels) + " 地域はラベル点、" + std::to_string(found)
            + " 地域は地図から探した点です");
}

std::string MakerRun::areaTableText() const
{
    std::string table;
    for (std::size_t r = 0; r < regions_.size(); ++r) {
        std::vector<std::string> columns(areaColumn::count);
        for (const auto& [column, text] : regions_[r].columns)
            columns[static_cast<std::size_t>(column)] = text;
        columns[areaColumn::code] = std::to_string(regions_[r].code);
        const AreaPoint& point = points_[r];
        columns[areaColumn::latitude] = point.placed ? point.latitudeText : "";
        columns[areaColumn::longitude] = point.placed ? point.longitudeText : "";
        columns[areaColumn::x] = std::to_string(point.placed ? point.pixel.x() : 0);
        columns[areaColumn::y] = std::to_string(point.placed ? point.pixel.y() : 0);
        columns[areaColumn::fill] = layout_.fill ? "F" : "";
        while (columns.size() > areaColumn::fill + 1 && columns.back().empty())
            columns.pop_back();
        for (std::size_t c = 0; c < columns.size(); ++c)
            table += (c ? "," : "") + csvField(columns[c]);
        table += "\r\n";
    }
    return table;
}

// The definition, the area table and the image are written beside their
// targets, and put in place only when all three are whole: a new definition
// beside the old image would project every map wrongly. The image goes
// last. Every target is checked (its temporary file made) before any is
// written.
bool MakerRun::writeFiles(BlankMapError& error) const
{
    const std::string definitionPath = BlankMap::definitionPath(request_.imagePath);
    const bool withAreaTable = !request_.areaTablePath.empty();
    FileReplacement definition(definitionPath), areaTable(request_.areaTablePath), image(request_.imagePath);
    auto fault = [&error](const FileReplacement& file, const char* what) {
        return error.set(displayPath(file.failurePath()), std::string(what) + " (" + file.errorText() + ")");
    };
    if (!definition.open())
        return fault(definition, "白地図情報を書けません");
    if (withAreaTable && !areaTable.open())
        return fault(areaTable, "地域テーブルを書けません");
    if (!image.open())
        return fault(image, "画像を書けません");

    if (!definition.write(definitionText_))
        return fault(definition, "白地図情報を書けません");
    if (withAreaTable && !areaTable.write(areaTableText()))
        return fault(areaTable, "地域テーブルを書けません");
    const std::vector<std::uint8_t> pixels = raster_->indices(static_cast<std::uint8_t>(paletteIndex(layout_.sea)),
        static_cast<std::uint8_t>(paletteIndex(layout_.land)),
        static_cast<std::uint8_t>(paletteIndex(layout_.boundary)));
    const PixelRows rows{pixels.data(), layout_.width, layout_.width, layout_.height, 8};
    // The writer opens the temporary file itself (its descriptor), never a
    // name that could have been replaced in between.
    if (writePng(image.descriptorPath(), layout_.comment, rows, 8, standardPalette()) != ImageWriteStatus::Ok) {
        image.finish(); // for the reason
        return fault(image, "画像を書けません");
    }
    const bool committed
        = withAreaTable ? commitTogether({&definition, &areaTable, &image}) : commitTogether({&definition, &image});
    if (!committed) {
        for (const auto& [file, what] : {std::pair{&definition, "白地図情報を書けません"},
                 std::pair{&areaTable, "地域テーブルを書けません"}, std::pair{&image, "画像を書けません"}})
            if (file->failure() != FileReplacement::Failure::None)
                return fault(*file, what);
        return error.set(displayPath(request_.imagePath), "画像を書けません");
    }
    std::string written = "書きました: " + displayPath(request_.imagePath) + " (" + std::to_string(layout_.width)
        + " × " + std::to_string(layout_.height) + " ピクセル)、" + displayPath(definitionPath) + " (ブロック "
        + std::to_string(blankMap_.blocks().size()) + " 個)";
    if (withAreaTable)
        written += "、" + displayPath(request_.areaTablePath) + " (地域 " + std::to_string(regions_.size()) + " 個)";
    print(report_, written);
    return true;
}

} // namespace

bool BlankMapMaker::make(const BlankMapRequest& request, std::FILE* report, BlankMapError& error)
{
    // Under the database lock no other run replaces the same files, and the
    // temporary files a killed run left beside them can go.
    DatabaseLock lock;
    if (!request.lockPath.empty()) {
        ToolError locked;
        if (!lock.acquire(locked, request.lockPath))
            return error.set(cp932ToUtf8(locked.path), cp932ToUtf8(locked.message));
        for (const std::string& target :
            {request.imagePath, BlankMap::definitionPath(request.imagePath), request.areaTablePath})
            if (!target.empty())
                removeLeftoverTemporaries(target);
    }
    // Memory that runs out is reported with the file being worked on.
    MakerRun run(request, report);
    try {
        if (!run.readInputs(error) || !run.makeDefinition(error))
            return false;
        run.draw();
        run.reportCoverage();
        run.findPoints();
        return run.writeFiles(error);
    } catch (const std::bad_alloc&) {
        run.release();
        return error.set(displayPath(run.workingOn()), "メモリが足りません.");
    }
}

std::string BlankMapMaker::usage()
{
    return "使い方: blankmap [-a 地域テーブル] レイアウト 境界データ 画像.png\n"
           "\n"
           "境界のポリゴンから白地図を作ります: 画像.png（8 ビット、標準パレット）、その横に\n"
           "白地図情報 画像.cfg、-a を付けると地域テーブルのひな形（cp932 の CSV: コード、\n"
           "名前、代表点、そのピクセル、塗りつぶし）も書きます。\n"
           "\n"
           "境界データは GeoJSON の FeatureCollection で、Polygon と MultiPolygon の地物を\n"
           "経度・緯度（WGS84）で持ち、地域ごとに 1 つの地物です。\n"
           "\n"
           "レイアウトは JSON のオブジェクトです:\n"
           "  \"comment\"   blank-map 要素と PNG の題に入る文\n"
           "  \"width\", \"height\"   画像の大きさ（ピクセル）。それぞれ 32767 まで、全体で 1 億まで\n"
           "  \"sea\", \"land\", \"boundary\"   標準パレットの色 [R, G, B]\n"
           "              （赤と緑は 0,32,64,96,128,160,192,255、青は 0,64,128,255）\n"
           "  \"code\"      地域コードを持つ地物のプロパティ（既定 \"code\"）\n"
           "  \"label\"     ラベル点の [緯度のプロパティ, 経度のプロパティ]。地域の十分内側に\n"
           "              あれば代表点にします\n"
           "  \"columns\"   {\"3\": プロパティ, ...}: 地域テーブルの名前の列（1-3, 9-13）をプロパティから\n"
           "  \"fill\"      true（既定）: 地域を塗りつぶしで示します（8 列目に \"F\"）\n"
           "  \"blocks\"    地図ブロックのリスト。順に描き、後のブロックが前のブロックの上に重なります:\n"
           "    \"comment\"       map-block の文\n"
           "    \"projection\"    \"lambert-e-a\" か \"transverse-mercator\"\n"
           "    \"lon0\", \"lat0\"  中心（ランベルト）または中央子午線（lon0）、度\n"
           "    \"rotation\"      回転、度、反時計回り（既定 0）\n"
           "    \"magnification\" 平面の 1 単位あたりのピクセル数、または \"km-per-pixel\"\n"
           "    \"shift-x\", \"shift-y\"  平面の単位で、または \"anchor\": [経度, 緯度, x, y] で\n"
           "                    その点をピクセル (x, y) に置きます\n"
           "    \"rect\"          占めるピクセルの [左, 上, 右, 下]（右と下は含まない）。輪郭は\n"
           "                    この長方形から後のブロックの長方形を除いたものです\n"
           "    \"select\"        [西, 南, 東, 北] の度: 外接矩形の中心がこの範囲にある\n"
           "                    ポリゴンをすべて描きます\n"
           "    \"frame\"         true: 輪郭に沿って境界の色の線を引きます\n"
           "\n"
           "  blankmap --help     この説明を表示します\n"
           "  blankmap --version  版を表示します\n";
}

} // namespace tavik
