#include "viewer/windows/toolbar_icons.h"

#include "viewer/session/viewer_commands.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tavik {
namespace {

// Draws a picture in a 16 x 16 grid onto a pixmap of `side` pixels.
QPixmap drawIcon(Command command, int side)
{
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.scale(side / 16.0, side / 16.0);
    const QColor ink(40, 60, 110);
    painter.setPen(QPen(ink, 1.0));
    auto triangle = [&](qreal tipX, qreal baseX) {
        QPainterPath path;
        path.moveTo(tipX, 8);
        path.lineTo(baseX, 3);
        path.lineTo(baseX, 13);
        path.closeSubpath();
        painter.fillPath(path, ink);
    };
    switch (command) {
    case Command::SaveImage:
        painter.setBrush(QColor(90, 120, 190));
        painter.drawRect(QRectF(2.5, 2.5, 11, 11));
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(4.5, 2.5, 7, 4));
        painter.setBrush(QColor(220, 220, 230));
        painter.drawRect(QRectF(4.5, 9.5, 7, 4));
        break;
    case Command::Print:
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(4.5, 1.5, 7, 5));
        painter.setBrush(QColor(170, 175, 190));
        painter.drawRect(QRectF(1.5, 6.5, 13, 6));
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(4.5, 10.5, 7, 4));
        break;
    case Command::TopPage:
        painter.fillRect(QRectF(3, 3, 2, 10), ink);
        triangle(5, 12);
        break;
    case Command::PreviousPage:
        triangle(4, 11);
        break;
    case Command::NextPage:
        triangle(12, 5);
        break;
    case Command::LastPage:
        triangle(11, 4);
        painter.fillRect(QRectF(11, 3, 2, 10), ink);
        break;
    default:
        break;
    }
    return pixmap;
}

} // namespace

QIcon applicationIcon()
{
    QIcon icon;
    for (int side : {16, 32, 64}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.scale(side / 16.0, side / 16.0);
        painter.setPen(QPen(QColor(40, 60, 110), 0.8));
        painter.setBrush(QColor(185, 255, 255));
        painter.drawRect(QRectF(0.5, 1.5, 15, 13));
        QPainterPath island;
        island.moveTo(4, 12);
        island.cubicTo(2, 8, 6, 4, 9, 3);
        island.cubicTo(13, 3, 14, 7, 11, 9);
        island.cubicTo(9, 11, 7, 13, 4, 12);
        painter.setBrush(Qt::white);
        painter.drawPath(island);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(230, 40, 40));
        painter.drawEllipse(QPointF(8.5, 7), 1.8, 1.8);
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon toolbarIcon(Command command)
{
    QIcon icon;
    for (int side : {16, 32})
        icon.addPixmap(drawIcon(command, side));
    return icon;
}

} // namespace tavik
