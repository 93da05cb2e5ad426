#include "viewer/windows/colour_box.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

namespace tavik {

ColourBox::ColourBox(QWidget* parent)
    : QToolButton(parent)
{
    setFixedSize(30, 20);
    setIconSize(QSize(22, 12));
    setFocusPolicy(Qt::StrongFocus);
    setColour(Colour{});
    connect(this, &QToolButton::clicked, this, &ColourBox::choose);
}

void ColourBox::setColour(const Colour& colour)
{
    colour_ = colour;
    QPixmap swatch(iconSize());
    swatch.fill(QColor(colour.r, colour.g, colour.b));
    QPainter painter(&swatch);
    painter.setPen(Qt::darkGray);
    painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    painter.end();
    setIcon(QIcon(swatch));
    setToolTip(QStringLiteral("R:%1  G:%2  B:%3").arg(colour.r).arg(colour.g).arg(colour.b));
}

void ColourBox::choose()
{
    // Qt's own chooser, which always shows the custom colours and the
    // spectrum (the fully opened chooser).
    QColorDialog dialog(QColor(colour_.r, colour_.g, colour_.b), this);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QColor chosen = dialog.selectedColor();
    setColour({static_cast<std::uint8_t>(chosen.red()), static_cast<std::uint8_t>(chosen.green()),
        static_cast<std::uint8_t>(chosen.blue())});
    Q_EMIT colourChosen(colour_);
}

} // namespace tavik
