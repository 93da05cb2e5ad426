#include "viewer/render/page_renderer.h"

#include "common/datum_shift_table.h"
#include "platform/cp932.h"
#include "platform/huge_pages.h"
#include "platform/message_sink.h"
#include "viewer/basemap/addin_record.h"
#include "viewer/basemap/blank_map.h"
#include "viewer/basemap/qt_text.h"
#include "viewer/render/addin_painter.h"
#include "viewer/render/draw_item.h"
#include "viewer/render/flood_fill.h"
#include "viewer/render/geo_lines.h"
#include "viewer/render/grid_square.h"
#include "viewer/render/mark_painter.h"
#include "viewer/render/mark_stamps.h"
#include "viewer/render/painter_config.h"
#include "viewer/settings/area_table.h"
#include "viewer/settings/distribution_table.h"
#include "viewer/settings/settings.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <new>

namespace tavik {
namespace {

constexpr size_t kMaxSpecies = 10;

QRgb toQRgb(const Colour& c) { return qRgb(c.r, c.g, c.b); }

// Kilometres on the ground per pixel of a block, for the walk of the
// longitude-latitude lines.
double kilometresPerPixel(const MapBlock& block)
{
    if (block.kind == ProjectionKind::LambertEqualArea)
        return 1.0 / (block.lambert.magnification * 0.00015710919088766692);
    return 1.0 / (block.transverseMercator.magnification * 1000.0);
}

// One pass: the items of every species in one block.
class Pass {
public:
    // `items` is where the pass keeps its items: emptied here, and reserved
    // for the map's `records` (one item each), since growing the list item by
    // item would copy a crowded map's items many times.
    Pass(const RenderSources& sources, const MapBlock& block, const QImage* clip, std::vector<DrawItem>& items,
        size_t records)
        : s_(sources)
        , block_(block)
        , projection_(block)
        , clip_(clip)
        , items_(items)
    {
        items_.clear();
        items_.reserve(records);
        preferHugePages(items_);
    }

    void collect(int slot, const RecordSet& records)
    {
        // Every record makes its item: a pass holds as many as the species
        // have records.
        const TargetStyle& style = s_.painter->slot(slot);
        for (const DistributionRecord& record : records.records) {
            const RankColors& colours = style.ranks[std::min<size_t>(record.rank, 3)];
            DrawItem item;
            item.slot = slot;
            item.rank = record.rank;
            item.shape = style.shape;
            item.thickness = style.thickness;
            item.size = style.size;
            switch (record.kind) {
            case LocationKind::Coordinates:
                addMark(item, colours, projection_.project(record.longitude, record.latitude));
                break;
            case LocationKind::Area:
                addArea(item, colours, record.areaCode);
                break;
            case LocationKind::None:
                break;
            default:
                addSquare(item, colours, record);
                break;
            }
        }
    }

    // markClip: the pixels the block's clip path lets the painter draw (see
    // markClipOf), for the marks copied from stamps.
    void draw(QImage& image, double markScale, const QFont& letterFont, MarkStamps& stamps, const MarkClip* markClip)
    {
        sortForFanOut(items_);
        fanOutMarks(items_, QPoint(s_.painter->overlapShiftX, s_.painter->overlapShiftY));
        sortForDrawing(items_);
        drawFills(image);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        if (clip_)
            painter.setClipPath(block_.clipPath());
        drawSquares(painter);
        drawMarks(painter, image, markScale, letterFont, stamps, clip_ ? markClip : nullptr);
    }

private:
    void addMark(DrawItem item, const RankColors& colours, const QPoint& at)
    {
        item.type = DrawItem::Type::Mark;
        item.colour = toQRgb(colours.mark);
        item.position = at;
        items_.push_back(item);
    }

    void addArea(DrawItem item, const RankColors& colours, std::int32_t code)
    {
        const AreaRecord* area = s_.areas->find(code);
        if (!area)
            return;
        QPoint seed = block_.kind == ProjectionKind::None ? QPoint(area->x, area->y)
                                                          : projection_.project(area->longitude, area->latitude);
        if (!area->fill) {
            addMark(item, colours, seed);
            return;
        }
        item.type = DrawItem::Type::Fill;
        item.colour = toQRgb(colours.fill);
        item.position = seed;
        items_.push_back(item);
    }

    void addSquare(DrawItem item, const RankColors& colours, const DistributionRecord& record)
    {
        std::optional<GridSquare> square = gridSquareOf(record);
        if (!square)
            return;
        if (!s_.settings->meshWgs) {
            int code = record.firstLatitude * 100 + record.firstLongitude;
            if (const DatumShiftRecord* shift = s_.datumShifts->find(code)) {
                square->latitude += shift->latitudeShift;
                square->longitude += shift->longitudeShift;
            }
        }
        const double south = square->latitude, west = square->longitude;
        const double north = south + square->latitudeExtent, east = west + square->longitudeExtent;
        if (s_.settings->meshMarked) {
            addMark(item, colours,
                projection_.project(west + square->longitudeExtent / 2, south + square->latitudeExtent / 2));
            return;
        }
        item.type = DrawItem::Type::Square;
        item.colour = toQRgb(colours.fill);
        item.corners = projection_.projectCorners(west, south, east, north);
        item.position = item.corners[0];
        items_.push_back(item);
    }

    // Consecutive items of the type at the same position form a group drawn
    // once in the per-channel mean of their colours.
    template <typename DrawGroup> void forEachGroup(DrawItem::Type type, DrawGroup drawGroup) const
    {
        size_t i = 0;
        while (i < items_.size()) {
            if (items_[i].type != type) {
                ++i;
                continue;
            }
            size_t end = i + 1;
            int red = qRed(items_[i].colour), green = qGreen(items_[i].colour), blue = qBlue(items_[i].colour);
            while (end < items_.size() && items_[end].type == type && items_[end].position == items_[i].position) {
                red += qRed(items_[end].colour);
                green += qGreen(items_[end].colour);
                blue += qBlue(items_[end].colour);
                ++end;
            }
            int n = static_cast<int>(end - i);
            drawGroup(items_[i], qRgb(red / n, green / n, blue / n));
            i = end;
        }
    }

    void drawFills(QImage& image) const
    {
        forEachGroup(DrawItem::Type::Fill,
            [&](const DrawItem& item, QRgb colour) { floodFill(image, item.position, colour, clip_); });
    }

    void drawSquares(QPainter& painter) const
    {
        // Pen and brush change only with the colour: setting them costs as
        // much as filling a square of a few pixels.
        std::optional<QRgb> current;
        forEachGroup(DrawItem::Type::Square, [&](const DrawItem& item, QRgb colour) {
            if (current != colour) {
                painter.setPen(QPen(QColor(colour), 1));
                painter.setBrush(QColor(colour));
                current = colour;
            }
            // A square smaller than a pixel still shows as one pixel.
            const auto& c = item.corners;
            if (c[0] == c[1] && c[0] == c[2] && c[0] == c[3])
                painter.drawPoint(c[0]);
            else
                painter.drawPolygon(c.data(), 4, Qt::WindingFill);
        });
    }

    // Marks are copied from stamps, the pixels drawing them would give;
    // the kinds that cannot be copied (antialiased letters) are drawn.
    void drawMarks(QPainter& painter, QImage& image, double markScale, const QFont& letterFont, MarkStamps& stamps,
        const MarkClip* markClip) const
    {
        for (const DrawItem& item : items_) {
            if (item.type != DrawItem::Type::Mark)
                continue;
            const MarkStyle style{item.shape, item.size, item.thickness, item.colour};
            if (!stamps.stamp(image, style, item.position, markClip))
                drawStyledMark(painter, style, markScale, item.position, letterFont);
        }
    }

    const RenderSources& s_;
    const MapBlock& block_;
    const BlockProjection projection_; // the block's, for every item of the pass
    const QImage* clip_;
    std::vector<DrawItem>& items_;
};

} // namespace

double markScale(const FontSettings& settings, QPaintDevice& device)
{
    QFont font(qtext(settings.displayFontFace));
    font.setPointSizeF(settings.displayFontSize);
    font.setWeight(QFont::Normal);
    QFontMetrics metrics(font, &device);
    int tenth = metrics.horizontalAdvance(QStringLiteral("0123456789")) / 10;
    return tenth / settings.displayFontSize;
}

RenderSources RenderSources::copiesOf(const Settings& settings, const QImage& baseImage, const BlankMap& blankMap,
    const PainterConfig& painter, const AreaTable& areas, const DatumShiftTable& datumShifts,
    const DistributionTable& distribution, const std::vector<AddinRecord>* addins)
{
    RenderSources sources;
    sources.settings = std::make_shared<const Settings>(settings);
    sources.baseImage = baseImage;
    sources.blankMap = std::make_shared<const BlankMap>(blankMap);
    sources.painter = std::make_shared<const PainterConfig>(painter);
    sources.areas = std::make_shared<const AreaTable>(areas);
    sources.datumShifts = std::make_shared<const DatumShiftTable>(datumShifts);
    sources.distribution = std::make_shared<const DistributionTable>(distribution);
    if (addins && !addins->empty())
        sources.addins = std::make_shared<const std::vector<AddinRecord>>(*addins);
    return sources;
}

PageRenderer::PageRenderer(const RenderSources& sources)
    : sources_(sources)
{
    const std::vector<MapBlock>& blocks = sources.blankMap->blocks();
    for (const MapBlock& block : blocks) {
        masks_.push_back(block.clips() ? block.clipMask(sources.baseImage.size()) : QImage());
        markClips_.push_back(block.clips() ? markClipOf(block.clipPath(), sources.baseImage.size()) : MarkClip());
    }
    if (sources.settings->geoLine == GeoLineMode::None)
        return;
    // The lines are the same on every map: trace them once per block.
    for (size_t i = 0; i < blocks.size(); ++i) {
        const MapBlock& block = blocks[i];
        if (block.kind == ProjectionKind::None)
            continue;
        geoLines_.push_back(traceGeoLines(
            *sources.settings, sources.baseImage.size(), kilometresPerPixel(block),
            [&](double longitude, double latitude) { return block.project(longitude, latitude); },
            masks_[i].isNull() ? nullptr : &masks_[i]));
    }
}

QImage PageRenderer::render(const std::vector<std::int64_t>& species, double scale, MessageSink& messages) const
{
    // Renderers run on worker threads too, where an exception would end the
    // program: memory that runs out is a map not drawn, and said so.
    try {
        return drawMap(species, scale, messages);
    } catch (const std::bad_alloc&) {
        messages.stop(cp932Literal("メモリが足りません。地図を描けませんでした。"));
        return {};
    }
}

QImage PageRenderer::drawMap(const std::vector<std::int64_t>& species, double scale, MessageSink& messages) const
{
    const Settings& settings = *sources_.settings;
    QImage image = sources_.baseImage.convertToFormat(QImage::Format_RGB32);
    const std::vector<MapBlock>& blocks = sources_.blankMap->blocks();

    auto maskOf = [&](size_t i) { return masks_[i].isNull() ? nullptr : &masks_[i]; };

    if (sources_.addins && !sources_.addins->empty()) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        for (const MapBlock& block : blocks) {
            painter.setClipping(block.clips());
            if (block.clips())
                painter.setClipPath(block.clipPath());
            drawAddins(painter, *sources_.addins, block);
        }
    }

    auto drawLines = [&] {
        for (const std::vector<QPoint>& pixels : geoLines_)
            paintGeoLines(image, pixels, settings);
    };
    if (settings.geoLine != GeoLineMode::None && settings.geoTransparent == GeoTransparentMode::Background)
        drawLines();

    // The records of each species are read once and used in every pass.
    std::vector<RecordSet> records(std::min(species.size(), kMaxSpecies));
    for (size_t i = 0; i < records.size(); ++i)
        if (!sources_.distribution->readSpeciesRecords(species[i], settings, records[i], messages))
            records[i].records.clear();

    QFont letterFont = letterMarkFont(*sources_.painter);
    MarkStamps stamps(scale, letterFont);
    size_t total = 0;
    for (const RecordSet& set : records)
        total += set.records.size();
    // The passes' items, in room each thread keeps for its next map: a
    // crowded map's items take megabytes, and fresh memory costs a page
    // fault for every 4 kB of it.
    thread_local std::vector<DrawItem> items;
    bool unprojected = blocks.empty() || blocks.front().kind == ProjectionKind::None;
    size_t passes = unprojected ? std::min<size_t>(blocks.size(), 1) : blocks.size();
    for (size_t b = 0; b < passes; ++b) {
        Pass pass(sources_, blocks[b], unprojected ? nullptr : maskOf(b), items, total);
        for (size_t slot = 0; slot < records.size(); ++slot)
            pass.collect(static_cast<int>(slot), records[slot]);
        pass.draw(image, scale, letterFont, stamps, markClips_[b].mask.isNull() ? nullptr : &markClips_[b]);
    }

    if (settings.geoLine != GeoLineMode::None && settings.geoTransparent != GeoTransparentMode::Background)
        drawLines();
    return image;
}

} // namespace tavik
