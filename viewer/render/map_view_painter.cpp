#include "viewer/render/map_view_painter.h"

#include "platform/cp932.h"
#include "viewer/basemap/qt_text.h"
#include "viewer/render/mark_painter.h"
#include "viewer/render/painter_config.h"
#include "viewer/render/pixel_rounding.h"
#include "viewer/settings/settings.h"
#include "viewer/settings/species_table.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <string>

namespace tavik {
namespace {

QFont displayFont(const Settings& settings)
{
    QFont font(qtext(settings.displayFontFace));
    font.setPointSizeF(settings.displayFontSize);
    font.setWeight(QFont::Normal);
    return font;
}

// H: the display font's height in pixels of the device.
int fontHeight(const Settings& settings, QPainter& painter)
{
    int dpi = painter.device() ? painter.device()->logicalDpiY() : 96;
    return std::abs(static_cast<int>(std::lround(settings.displayFontSize * dpi / 72.0)));
}

// Text with its top-left corner at the point.
void drawTextAt(QPainter& painter, int x, int y, const QString& line)
{
    QFontMetrics metrics(painter.font(), painter.device());
    painter.drawText(QPoint(x, y + metrics.ascent()), line);
}

// The full name line: scientific name, two blanks, author and year.
QString fullName(const SpeciesRecord& species)
{
    return qtext(species.scientificName + "  " + authorYearText(species));
}

// Whether the full name needs two lines (the author on a line of its own).
bool twoLineName(const MapViewContent& content, const Settings& s, QPainter& painter)
{
    if (!s.dispScientificName || content.species.empty() || !content.map)
        return false;
    QFontMetrics metrics(displayFont(s), painter.device());
    return metrics.horizontalAdvance(fullName(*content.species.front())) > content.map->width();
}

// Caption lines above a single-species map. The author line of a two-line
// name counts as a line of its own, so that it never runs over the map.
int captionLines(const MapViewContent& content, const Settings& s, QPainter& painter)
{
    return s.dispScientificName + s.dispAlias1 + s.dispAlias2 + twoLineName(content, s, painter);
}

// L: the legend's line height; taller than the font when mark samples are.
double legendLineHeight(
    const MapViewContent& content, const Settings& settings, const PainterConfig& config, double markScale, int h)
{
    double largest = 0.0;
    for (size_t k = 0; k < content.species.size(); ++k)
        largest = std::max(largest, static_cast<double>(config.slot(static_cast<int>(k)).size));
    if (settings.dispMarkLegend && 2.0 * largest * markScale > h)
        return 2.0 * largest * markScale;
    return h;
}

void paintCaptions(QPainter& painter, const SpeciesRecord& species, const Settings& s, bool twoLines, int h, int t)
{
    QString full = fullName(species);
    auto lineY = [&](double f) { return truncToInt(f * h - 0.98 * t); };
    double f = 0.2;
    if (!twoLines) {
        if (s.dispScientificName) {
            drawTextAt(painter, 0, lineY(f), full);
            f = 1.3;
        }
    } else if (s.dispScientificName) {
        drawTextAt(painter, 0, lineY(0.2), qtext(species.scientificName));
        drawTextAt(painter, 2 * h, lineY(1.3), qtext(authorYearText(species)));
        f = 2.4;
    }
    if (s.dispAlias1) {
        drawTextAt(painter, 0, lineY(f), qtext(species.alias1));
        f += 1.1;
    }
    if (s.dispAlias2)
        drawTextAt(painter, 0, lineY(f), qtext(species.alias2));
}

void paintLegend(QPainter& painter, const MapViewContent& content, const Settings& s, const PainterConfig& config,
    double markScale, int h, int mapHeight)
{
    const double l = legendLineHeight(content, s, config, markScale, h);
    QFont letterFont(qtext(config.faceName));
    letterFont.setBold(config.bold);
    letterFont.setItalic(config.italic);
    for (size_t k = 0; k < content.species.size(); ++k) {
        const SpeciesRecord& species = *content.species[k];
        const TargetStyle& style = config.slot(static_cast<int>(k));
        const int y = truncToInt(static_cast<double>(k) * l * 1.1 + mapHeight + 3.0);
        int x = 0;
        if (s.dispMarkLegend) {
            QColor colour(style.ranks[0].mark.r, style.ranks[0].mark.g, style.ranks[0].mark.b);
            painter.setPen(QPen(colour, style.thickness, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.setBrush(colour);
            QPoint centre(truncToInt(style.size * markScale * 0.5), y - truncToInt(0.35 * h) + truncToInt(l));
            drawMark(painter, style.shape, style.size, markScale, centre, letterFont);
            x = 1 + truncToInt(1.2 * style.size * markScale);
        }
        if (s.dispFillLegend) {
            QColor colour(style.ranks[0].fill.r, style.ranks[0].fill.g, style.ranks[0].fill.b);
            painter.setPen(QPen(colour, 1));
            painter.setBrush(colour);
            int side = truncToInt(0.8 * h);
            painter.drawRect(QRect(x + truncToInt(0.1 * h), y - truncToInt(0.75 * h) + truncToInt(l), side, side));
            x = x + 1 + truncToInt(1.2 * h);
        }
        std::string names;
        auto join = [&](const std::string& part) {
            if (!names.empty())
                names += "  ";
            names += part;
        };
        if (s.dispScientificName)
            join(species.scientificName + "  " + authorYearText(species));
        if (s.dispAlias1)
            join(species.alias1);
        if (s.dispAlias2)
            join(species.alias2);
        painter.setPen(Qt::black);
        drawTextAt(painter, x, y - truncToInt(0.9 * h) + truncToInt(l), qtext(names));
    }
}

} // namespace

std::string authorYearText(const SpeciesRecord& species)
{
    std::string inner = species.author + " " + species.year;
    return species.parenthesis ? "(" + inner + ")" : inner;
}

QPoint mapOrigin(const MapViewContent& content, const Settings& settings, QPainter& painter)
{
    if (content.overlay)
        return QPoint(10, 10);
    int h = fontHeight(settings, painter);
    return QPoint(10, 3 + captionLines(content, settings, painter) * (h + 2));
}

QSize mapViewSize(const MapViewContent& content, const Settings& settings, const PainterConfig& config,
    double markScale, QPainter& painter)
{
    const QSize map = content.map ? content.map->size() : QSize();
    if (!content.overlay)
        return QSize(map.width() + 17, map.height() + 42);
    int h = fontHeight(settings, painter);
    double l = legendLineHeight(content, settings, config, markScale, h);
    return QSize(
        map.width() + 17, truncToInt(l * 1.3 * static_cast<double>(content.species.size()) + map.height()) + 12);
}

void paintMapView(QPainter& painter, const MapViewContent& content, const Settings& settings,
    const PainterConfig& config, double markScale)
{
    if (!content.map)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setFont(displayFont(settings));
    const int h = fontHeight(settings, painter);
    const QPoint origin = mapOrigin(content, settings, painter);
    painter.drawImage(origin, *content.map);
    painter.translate(origin);
    painter.setPen(Qt::black);
    if (!content.overlay && !content.species.empty()) {
        int t = origin.y();
        paintCaptions(painter, *content.species.front(), settings, twoLineName(content, settings, painter), h, t);
    } else if (content.overlay) {
        paintLegend(painter, content, settings, config, markScale, h, content.map->height());
    }
    painter.restore();
}

} // namespace tavik
