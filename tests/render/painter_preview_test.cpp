// The painter dialog's preview: every slot's mark, drawn as maps draw it,
// shifted by the overlap shift from the centre of a white square.
#include "viewer/render/painter_preview.h"

#include "viewer/render/mark_painter.h"
#include "viewer/render/painter_config.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace tavik {
namespace {

TEST(PainterPreview, DrawsTheTenSlotsAlongTheShiftInRankAMarkColours)
{
    PainterConfig config;
    config.overlapShiftX = 6;
    config.overlapShiftY = -6;
    for (int i = 0; i < 10; ++i) {
        TargetStyle& style = config.slots[static_cast<size_t>(i)];
        style.shape = MarkShape::FilledSquare;
        style.size = 4.0f;
        style.thickness = 1;
        style.ranks[0].mark = {static_cast<std::uint8_t>(20 * i), 100, 0};
        style.ranks[0].fill = {0, 0, 255}; // never in the preview
        style.ranks[1].mark = {0, 0, 254};
    }
    const QImage preview = painterPreview(config, 1.0);
    ASSERT_EQ(preview.size(), QSize(161, 161));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(preview.pixelColor(80 + 6 * i, 80 - 6 * i), QColor(20 * i, 100, 0)) << i;
    EXPECT_EQ(preview.pixelColor(0, 0), QColor(Qt::white));
    EXPECT_EQ(preview.pixelColor(80, 120), QColor(Qt::white));

    // Slot 1 is exactly the mark a map draws at that point.
    QImage expected(161, 161, QImage::Format_RGB32);
    expected.fill(Qt::white);
    {
        QPainter painter(&expected);
        setMarkPen(painter, QColor(0, 100, 0), 1);
        drawMark(painter, MarkShape::FilledSquare, 4.0, 1.0, QPoint(80, 80), letterMarkFont(config));
    }
    EXPECT_EQ(preview.copy(75, 77, 9, 9), expected.copy(75, 77, 9, 9));
}

} // namespace
} // namespace tavik
