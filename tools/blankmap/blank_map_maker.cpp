#include "tools/blankmap/blank_map_maker.h"

#include "platform/cp932.h"
#include "platform/file_replacement.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "tools/blankmap/area_point_finder.h"
#include "tools/blankmap/block_outlines.h"
#include "tools/blankmap/geo_regions.h"
#include "tools/blankmap/json_file.h"
#include "tools/blankmap/map_layout.h"
#include "tools/blankmap/region_raster.h"
#include "viewer/basemap/blank_map.h"
#include "viewer/basemap/image_files.h"
#include "viewer/basemap/palette.h"

#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <unistd.h>

namespace tavik {

namespace {

// Columns of the area table that blankmap fills itself.
constexpr int kAreaColumns = 14;

// Reads the definition text back as the viewer reads a definition file, so
// that everything drawn uses the projections the viewer will use.
bool readBack(const std::string& text, BlankMap& blankMap, std::string& error)
{
    const char* directory = std::getenv("TMPDIR");
    std::string pattern = std::string(directory && *directory ? directory : "/tmp") + "/blankmap-XXXXXX";
    const int descriptor = ::mkstemp(pattern.data());
    if (descriptor < 0) {
        error = "cannot create a temporary file in " + pattern.substr(0, pattern.rfind('/'));
        return false;
    }
    const bool written = ::write(descriptor, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(descriptor);
    MessageLog messages;
    const bool loaded = written && blankMap.load(utf8ToCp932(pattern), messages);
    ::unlink(pattern.c_str());
    if (!loaded || !messages.messages.empty()) {
        error = "the blank-map definition made from the layout does not read back";
        for (const std::string& text : messages.utf8Texts())
            error += "\n" + text;
        return false;
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
        for (const GeoPoint& point : ring)
            points.push_back(block.imagePosition(point.longitude, point.latitude));
        rings.push_back(std::move(points));
    }
    return rings;
}

void print(std::FILE* report, const std::string& line)
{
    if (report)
        std::fprintf(report, "%s\n", line.c_str());
}

std::string blockName(const MapLayout& layout, std::size_t block)
{
    std::string name = "block " + std::to_string(block + 1);
    const std::string& comment = layout.blocks[block].block.comment;
    return comment.empty() ? name : name + " (" + cp932ToUtf8(comment) + ")";
}

} // namespace

std::string BlankMapMaker::usage()
{
    return "usage: blankmap [-a AREA-TABLE] LAYOUT BOUNDARIES IMAGE.png\n"
           "\n"
           "Makes a base map from boundary polygons: IMAGE.png (8-bit, standard palette), its\n"
           "blank-map definition IMAGE.cfg beside it, and with -a an area table skeleton\n"
           "(cp932 CSV: code, names, reference point, its pixel, fill flag).\n"
           "\n"
           "BOUNDARIES is a GeoJSON FeatureCollection of Polygon and MultiPolygon features in\n"
           "longitude and latitude (WGS84), one feature per area.\n"
           "\n"
           "LAYOUT is a JSON object:\n"
           "  \"comment\"   text on the blank-map element and the PNG title\n"
           "  \"width\", \"height\"   image size in pixels\n"
           "  \"sea\", \"land\", \"boundary\"   [R, G, B] colours of the standard palette\n"
           "              (red and green 0,32,64,96,128,160,192,255; blue 0,64,128,255)\n"
           "  \"code\"      feature property holding the area code (default \"code\")\n"
           "  \"label\"     [latitude property, longitude property] of a label point, taken\n"
           "              as the reference point when it lies well inside the region\n"
           "  \"columns\"   {\"3\": property, ...}: area-table name columns (1-3, 9-13) from properties\n"
           "  \"fill\"      true (default): areas are shown by filling (\"F\" in column 8)\n"
           "  \"blocks\"    list of map blocks, drawn in order (a later block lies over an earlier):\n"
           "    \"comment\"       text of the map-block\n"
           "    \"projection\"    \"lambert-e-a\" or \"transverse-mercator\"\n"
           "    \"lon0\", \"lat0\"  centre (Lambert) or central meridian (lon0), degrees\n"
           "    \"rotation\"      degrees, counter-clockwise (default 0)\n"
           "    \"magnification\" pixels per plane unit, or \"km-per-pixel\"\n"
           "    \"shift-x\", \"shift-y\"  in plane units, or \"anchor\": [lon, lat, x, y] to put\n"
           "                    that point on pixel (x, y)\n"
           "    \"rect\"          [left, top, right, bottom] pixels it occupies (right, bottom\n"
           "                    exclusive); its outline is this rectangle less the rectangles\n"
           "                    of later blocks\n"
           "    \"select\"        [west, south, east, north] degrees: it draws every polygon\n"
           "                    whose bounding box has its centre in this box\n"
           "    \"frame\"         true: a boundary-coloured line round its outline\n";
}

bool BlankMapMaker::make(const BlankMapRequest& request, std::FILE* report, std::string& error)
{
    MapLayout layout;
    if (!readMapLayout(request.layoutPath, layout, error))
        return false;
    std::vector<GeoRegion> regions;
    std::vector<std::string> warnings;
    if (!readGeoRegions(request.boundaryPath, layout.properties, regions, error, warnings))
        return false;
    for (const std::string& warning : warnings)
        print(report, "warning: " + warning);
    const std::string layoutName = displayPath(request.layoutPath);

    // Outlines: each block's rectangle less those of the blocks over it.
    std::vector<MapBlock> made;
    for (std::size_t i = 0; i < layout.blocks.size(); ++i) {
        std::vector<QRect> above;
        for (std::size_t j = i + 1; j < layout.blocks.size(); ++j)
            above.push_back(layout.blocks[j].rect);
        std::string why;
        layout.blocks[i].block.polygon = blockOutline(layout.blocks[i].rect, above, MapBlock::MaxVertices, why);
        if (layout.blocks[i].block.polygon.empty()) {
            error = layoutName + ": " + blockName(layout, i) + ": " + why;
            return false;
        }
        made.push_back(layout.blocks[i].block);
    }
    BlankMap definition;
    definition.setBlocks(made);
    const std::string definitionText = definition.text(layout.comment);
    BlankMap blankMap;
    if (!readBack(definitionText, blankMap, error)) {
        error = layoutName + ": " + error;
        return false;
    }
    const std::vector<MapBlock>& blocks = blankMap.blocks();

    // The pixels: blocks, frames, polygons, boundaries.
    RegionRaster raster(layout.width, layout.height);
    const QSize size(layout.width, layout.height);
    std::vector<QImage> masks;
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        masks.push_back(blocks[b].clipMask(size));
        raster.setBlockMask(static_cast<int>(b), masks.back());
    }
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        if (layout.blocks[b].frame)
            raster.frameBlock(static_cast<int>(b));
    }
    std::vector<DrawnPolygon> drawn;
    std::vector<std::vector<std::vector<QPointF>>> drawnRings;
    std::vector<int> regionOf;
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        for (std::size_t r = 0; r < regions.size(); ++r) {
            for (std::size_t k = 0; k < regions[r].polygons.size(); ++k) {
                if (!layout.blocks[b].select.contains(regions[r].polygons[k].bounds().centre()))
                    continue;
                drawn.push_back({static_cast<int>(r), static_cast<int>(k), static_cast<int>(b)});
                drawnRings.push_back(projectRings(regions[r].polygons[k], blocks[b]));
                regionOf.push_back(static_cast<int>(r));
            }
        }
    }
    // Interiors first, so that an edge never takes a pixel another polygon covers at its centre.
    for (std::size_t i = 0; i < drawn.size(); ++i)
        raster.fillPolygon(static_cast<int>(i), drawnRings[i], drawn[i].block);
    for (std::size_t i = 0; i < drawn.size(); ++i)
        raster.traceRings(static_cast<int>(i), drawnRings[i], drawn[i].block);
    raster.separateRegions(regionOf);

    // What the blocks draw, and what would show where the map does not draw it.
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        int polygons = 0, beyond = 0;
        std::vector<bool> regionsDrawn(regions.size(), false);
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            if (drawn[i].block != static_cast<int>(b))
                continue;
            ++polygons;
            regionsDrawn[static_cast<std::size_t>(drawn[i].region)] = true;
            for (const QPointF& point : drawnRings[i].front()) {
                const QPoint pixel(static_cast<int>(std::floor(point.x())), static_cast<int>(std::floor(point.y())));
                if (!raster.contains(pixel.x(), pixel.y())
                    || raster.blockAt(pixel.x(), pixel.y()) != static_cast<int>(b)) {
                    ++beyond;
                    break;
                }
            }
        }
        print(report,
            blockName(layout, b) + ": " + std::to_string(polygons) + " polygons of "
                + std::to_string(std::count(regionsDrawn.begin(), regionsDrawn.end(), true)) + " areas");
        if (beyond > 0)
            print(report,
                "warning: " + blockName(layout, b) + ": " + std::to_string(beyond)
                    + " of its polygons reach beyond its outline and are cut");
    }
    for (std::size_t r = 0; r < regions.size(); ++r) {
        int nowhere = 0;
        std::vector<int> strayBlocks;
        for (std::size_t k = 0; k < regions[r].polygons.size(); ++k) {
            std::vector<bool> drawnIn(blocks.size(), false);
            for (const DrawnPolygon& d : drawn) {
                if (d.region == static_cast<int>(r) && d.polygon == static_cast<int>(k))
                    drawnIn[static_cast<std::size_t>(d.block)] = true;
            }
            if (std::find(drawnIn.begin(), drawnIn.end(), true) == drawnIn.end())
                ++nowhere;
            // A polygon that a block does not draw but whose points that
            // block projects inside its outline: records there would be
            // drawn on that block's sea.
            for (std::size_t b = 0; b < blocks.size(); ++b) {
                if (drawnIn[b])
                    continue;
                for (const GeoPoint& point : regions[r].polygons[k].rings.front()) {
                    const QPoint pixel = blocks[b].project(point.longitude, point.latitude);
                    if (raster.contains(pixel.x(), pixel.y())
                        && raster.blockAt(pixel.x(), pixel.y()) == static_cast<int>(b)) {
                        if (std::find(strayBlocks.begin(), strayBlocks.end(), static_cast<int>(b)) == strayBlocks.end())
                            strayBlocks.push_back(static_cast<int>(b));
                        break;
                    }
                }
            }
        }
        if (nowhere > 0)
            print(report,
                regions[r].displayName() + ": " + std::to_string(nowhere) + " of its "
                    + std::to_string(regions[r].polygons.size()) + " polygons lie in no block's selection");
        for (int b : strayBlocks)
            print(report,
                "warning: " + regions[r].displayName() + ": polygons that "
                    + blockName(layout, static_cast<std::size_t>(b)) + " does not draw project inside its outline");
    }

    // Reference points.
    AreaPointFinder finder(raster, blocks, drawn);
    std::vector<AreaPoint> points;
    int fromLabels = 0, found = 0;
    for (std::size_t r = 0; r < regions.size(); ++r) {
        AreaPoint point = finder.find(static_cast<int>(r), regions[r]);
        if (!point.placed) {
            print(report, "warning: " + regions[r].displayName() + " has no land on the map: its row gets no point");
        } else {
            (point.fromLabel ? fromLabels : found)++;
            for (std::size_t b = 0; b < blocks.size(); ++b) {
                if (static_cast<int>(b) == point.block)
                    continue;
                const QPoint pixel = blocks[b].project(point.position.longitude, point.position.latitude);
                if (raster.contains(pixel.x(), pixel.y())
                    && raster.blockAt(pixel.x(), pixel.y()) == static_cast<int>(b))
                    print(report,
                        "warning: " + regions[r].displayName() + ": its point also falls inside " + blockName(layout, b)
                            + ", at pixel " + std::to_string(pixel.x()) + "," + std::to_string(pixel.y()));
            }
        }
        points.push_back(point);
    }
    print(report,
        "area points: " + std::to_string(fromLabels) + " label points, " + std::to_string(found) + " found on the map");

    // The files, each written whole or not at all.
    const std::vector<std::uint8_t> pixels = raster.indices(static_cast<std::uint8_t>(paletteIndex(layout.sea)),
        static_cast<std::uint8_t>(paletteIndex(layout.land)), static_cast<std::uint8_t>(paletteIndex(layout.boundary)));
    PixelRows rows{pixels.data(), layout.width, layout.width, layout.height, 8};
    if (writePng(request.imagePath, layout.comment, rows, 8, standardPalette()) != ImageWriteStatus::Ok) {
        error = displayPath(request.imagePath) + ": cannot write the image";
        return false;
    }
    const std::string definitionPath = BlankMap::definitionPath(request.imagePath);
    std::string why;
    if (!replaceFileContent(definitionPath, definitionText, &why)) {
        error = displayPath(definitionPath) + ": cannot write the blank-map definition: " + why;
        return false;
    }
    std::string written = "wrote " + displayPath(request.imagePath) + " (" + std::to_string(layout.width) + " x "
        + std::to_string(layout.height) + "), " + displayPath(definitionPath) + " (" + std::to_string(blocks.size())
        + " blocks)";
    if (!request.areaTablePath.empty()) {
        std::string table;
        for (std::size_t r = 0; r < regions.size(); ++r) {
            std::vector<std::string> columns(kAreaColumns);
            for (const auto& [column, text] : regions[r].columns)
                columns[static_cast<std::size_t>(column)] = text;
            columns[0] = std::to_string(regions[r].code);
            const AreaPoint& point = points[r];
            columns[4] = point.placed ? point.latitudeText : "";
            columns[5] = point.placed ? point.longitudeText : "";
            columns[6] = std::to_string(point.placed ? point.pixel.x() : 0);
            columns[7] = std::to_string(point.placed ? point.pixel.y() : 0);
            columns[8] = layout.fill ? "F" : "";
            while (columns.size() > 9 && columns.back().empty())
                columns.pop_back();
            for (std::size_t c = 0; c < columns.size(); ++c)
                table += (c ? "," : "") + csvField(columns[c]);
            table += "\r\n";
        }
        if (!replaceFileContent(request.areaTablePath, table, &why)) {
            error = displayPath(request.areaTablePath) + ": cannot write the area table: " + why;
            return false;
        }
        written += ", " + displayPath(request.areaTablePath) + " (" + std::to_string(regions.size()) + " areas)";
    }
    print(report, written);
    return true;
}

} // namespace tavik
