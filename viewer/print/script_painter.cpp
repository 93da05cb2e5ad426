#include "viewer/print/script_painter.h"

#include "platform/cp932.h"
#include "viewer/basemap/qt_text.h"
#include "viewer/print/script_interpreter.h"
#include "viewer/render/mark_painter.h"
#include "viewer/render/painter_config.h"
#include "viewer/render/pixel_rounding.h"

#include <QFontMetrics>
#include <QPainter>

namespace tavik {
namespace {

QColor qColour(const Colour& colour) { return QColor(colour.r, colour.g, colour.b); }

QFont letterFontOf(const PainterConfig& config)
{
    QFont font(qtext(config.faceName));
    font.setBold(config.bold);
    font.setItalic(config.italic);
    return font;
}

void paintText(QPainter& painter, const TextRun& run)
{
    painter.setFont(run.font);
    painter.setPen(Qt::black);
    QFontMetrics metrics(run.font, painter.device());
    painter.drawText(QPoint(run.x, run.y + metrics.ascent()), qtext(run.text));
}

// A legend sample: the slot's mark, or a square of its fill colour, sized
// from the run's font and the map's scale on the page.
void paintSample(QPainter& painter, const TextRun& run, const PainterConfig& config, const PrintScales& scales)
{
    const TargetStyle& style = config.slot(run.slot);
    const RankColors& colours = style.ranks[static_cast<size_t>(run.rank)];
    const QColor colour = qColour(run.kind == TextRun::Kind::Mark ? colours.mark : colours.fill);
    int width = truncToInt(style.thickness * scales.sx);
    if (width > 4)
        --width;
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(colour);
    const int h = run.fontHeight;
    if (run.kind == TextRun::Kind::Fill) {
        const int side = truncToInt(0.8 * h);
        painter.drawRect(QRect(run.x + truncToInt(0.1 * h), run.y + truncToInt(0.15 * h), side, side));
        return;
    }
    const float s = static_cast<float>(style.size * scales.sx + 0.5);
    const QPoint centre(run.x + truncToInt(0.6 * s * scales.digitFactor), run.y + truncToInt(0.6 * h));
    // The mark is drawn at the scale of the maps on the page: a letter mark
    // of size x sy / ry points (fonts grow with the device's dots per inch),
    // a drawn shape of size x sy x d dots across, which is the room the run
    // takes on its line.
    drawMark(painter, style.shape, style.size * scales.sy / scales.ry, scales.digitFactor * scales.ry, centre,
        letterFontOf(config));
}

} // namespace

void paintRuns(
    QPainter& painter, const std::vector<TextRun>& runs, const PainterConfig& painterConfig, const PrintScales& scales)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const TextRun& run : runs) {
        if (run.kind == TextRun::Kind::Text)
            paintText(painter, run);
        else
            paintSample(painter, run, painterConfig, scales);
    }
    painter.restore();
}

void drawScript(QPainter& painter, const std::vector<TagNode>& script, double boxWidth, const ScriptContext& context,
    const ScriptSources& sources, const PrintScales& scales)
{
    if (script.empty() || !painter.device())
        return;
    ScriptInterpreter interpreter(sources, *painter.device(), scales, boxWidth);
    paintRuns(painter, interpreter.layout(script, context), sources.painter, scales);
}

} // namespace tavik
