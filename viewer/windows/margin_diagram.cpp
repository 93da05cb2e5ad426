#include "viewer/windows/margin_diagram.h"

#include <QPainter>
#include <QPainterPath>

namespace tavik {
namespace {

// The drawing's own units: a page of 200 x 280 with the printable area's
// edges at its border.
constexpr double kPageWidth = 200;
constexpr double kPageHeight = 280;

// A measured length: a line with an arrowhead at each end and its letter
// beside the middle, offset by (dx, dy) in drawing units.
void dimension(QPainter& painter, QPointF from, QPointF to, const QString& letter, QPointF offset)
{
    painter.drawLine(from, to);
    const QLineF line(from, to);
    const QPointF unit = line.length() > 0 ? (to - from) / line.length() : QPointF();
    const QPointF normal(-unit.y(), unit.x());
    const double head = 3;
    for (auto [tip, back] : {std::pair{from, unit}, std::pair{to, -unit}}) {
        QPainterPath arrow;
        arrow.moveTo(tip);
        arrow.lineTo(tip + back * head + normal * head * 0.6);
        arrow.lineTo(tip + back * head - normal * head * 0.6);
        arrow.closeSubpath();
        painter.fillPath(arrow, painter.pen().color());
    }
    const QPointF middle = (from + to) / 2 + offset;
    painter.drawText(QRectF(middle.x() - 8, middle.y() - 6, 16, 12), Qt::AlignCenter, letter);
}

} // namespace

MarginDiagram::MarginDiagram(QWidget* parent)
    : QWidget(parent)
{
    setMinimumSize(200, 280);
}

QSize MarginDiagram::sizeHint() const { return {250, 350}; }

void MarginDiagram::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double scale = std::min(width() / (kPageWidth + 10), height() / (kPageHeight + 10));
    painter.translate((width() - kPageWidth * scale) / 2, (height() - kPageHeight * scale) / 2);
    painter.scale(scale, scale);
    QFont font = painter.font();
    font.setPixelSize(9);
    font.setBold(true);
    painter.setFont(font);

    // The printable area, the usable area inside the margins, the header
    // and footer boxes, and two rows of two maps with their titles on top.
    const QRectF page(0, 0, kPageWidth, kPageHeight);
    const double left = 34, right = 166, top = 46, bottom = 236;
    const QRectF header(22, 12, 156, 14);
    const QRectF footer(22, 248, 156, 14);
    const double mapWidth = 54, gap = right - left - 2 * mapWidth;
    const double titleHeight = 12, mapHeight = 66, rowGap = 28;
    const double mapTop[2] = {top + 20, top + 20 + mapHeight + rowGap};
    const double titleTop[2] = {top, top + 20 + mapHeight + rowGap - 20};

    painter.fillRect(page, Qt::white);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(page);
    painter.setPen(QPen(Qt::gray, 0.8, Qt::DashLine));
    painter.drawRect(QRectF(left, top, right - left, bottom - top));
    painter.setPen(QPen(QColor(0, 0, 160), 0.8));
    painter.setBrush(QColor(220, 228, 255));
    painter.drawRect(header);
    painter.drawRect(footer);
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 2; ++column) {
            const double x = left + column * (mapWidth + gap);
            painter.setBrush(QColor(255, 240, 200));
            painter.drawRect(QRectF(x - 6, titleTop[row], mapWidth + 12, titleHeight));
            painter.setBrush(QColor(205, 235, 205));
            painter.drawRect(QRectF(x, mapTop[row], mapWidth, mapHeight));
        }
    }
    painter.setBrush(Qt::NoBrush);
    QFont small = font;
    small.setPixelSize(7);
    small.setBold(false);
    painter.setFont(small);
    painter.setPen(Qt::darkGray);
    painter.drawText(header, Qt::AlignCenter, QStringLiteral("ページヘッダ"));
    painter.drawText(footer, Qt::AlignCenter, QStringLiteral("ページフッター"));
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 2; ++column) {
            const double x = left + column * (mapWidth + gap);
            painter.drawText(QRectF(x - 6, titleTop[row], mapWidth + 12, titleHeight), Qt::AlignCenter,
                QStringLiteral("地図タイトル"));
            painter.drawText(QRectF(x, mapTop[row] + 10, mapWidth, 12), Qt::AlignCenter, QStringLiteral("地図"));
        }
    }
    painter.setFont(font);
    const QColor ink(200, 0, 0);
    painter.setPen(QPen(ink, 0.8));
    const double midY = (mapTop[0] + mapHeight / 2);
    dimension(painter, {0, midY}, {left, midY}, QStringLiteral("A"), {0, -7});
    dimension(painter, {right, midY}, {kPageWidth, midY}, QStringLiteral("B"), {0, -7});
    dimension(painter, {188, 0}, {188, top}, QStringLiteral("C"), {-7, 8});
    dimension(painter, {188, bottom}, {188, kPageHeight}, QStringLiteral("D"), {-7, 6});
    dimension(
        painter, {left + mapWidth, mapTop[0] + 50}, {right - mapWidth, mapTop[0] + 50}, QStringLiteral("E"), {0, -7});
    dimension(painter, {right + 10, mapTop[0] + mapHeight}, {right + 10, mapTop[1]}, QStringLiteral("F"), {7, 0});
    dimension(painter, {60, 0}, {60, header.top()}, QStringLiteral("G"), {8, 0});
    dimension(
        painter, {header.left(), header.center().y()}, {left, header.center().y()}, QStringLiteral("H"), {0, -11});
    dimension(
        painter, {right, header.center().y()}, {header.right(), header.center().y()}, QStringLiteral("I"), {0, -11});
    dimension(painter, {right - 20, mapTop[0] + mapHeight}, {right - 20, titleTop[1]}, QStringLiteral("J"), {8, 0});
    dimension(painter, {left - 6, titleTop[1] - 4}, {left, titleTop[1] - 4}, QStringLiteral("K"), {-9, 0});
    dimension(painter, {left + mapWidth, titleTop[1] - 4}, {left + mapWidth + 6, titleTop[1] - 4}, QStringLiteral("L"),
        {9, 0});
    dimension(painter, {140, bottom}, {140, footer.top()}, QStringLiteral("M"), {8, 0});
    dimension(painter, {footer.left(), footer.center().y()}, {left, footer.center().y()}, QStringLiteral("N"), {0, 11});
    dimension(
        painter, {right, footer.center().y()}, {footer.right(), footer.center().y()}, QStringLiteral("O"), {0, 11});
}

} // namespace tavik
