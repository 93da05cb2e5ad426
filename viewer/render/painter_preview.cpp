#include "viewer/render/painter_preview.h"

#include "viewer/render/mark_painter.h"
#include "viewer/render/painter_config.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>

namespace tavik {

QImage painterPreview(const PainterConfig& painter, double markScale)
{
    QImage image(kPainterPreviewSide, kPainterPreviewSide, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter canvas(&image);
    canvas.setRenderHint(QPainter::Antialiasing, false);
    const QFont letterFont = letterMarkFont(painter);
    const int middle = kPainterPreviewSide / 2;
    for (int i = 0; i < PainterConfig::SlotCount; ++i) {
        const TargetStyle& style = painter.slot(i);
        const Colour& colour = style.ranks[0].mark;
        setMarkPen(canvas, QColor(colour.r, colour.g, colour.b), style.thickness);
        const QPoint centre(middle + i * painter.overlapShiftX, middle + i * painter.overlapShiftY);
        drawMark(canvas, style.shape, style.size, markScale, centre, letterFont);
    }
    return image;
}

} // namespace tavik
