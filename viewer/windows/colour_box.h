#pragma once

#include "common/colour.h"

#include <QToolButton>

namespace tavik {

// A colour box of the painter and geo-line dialogs: a button filled with its
// colour. A click opens the colour chooser at the box's colour; choosing a
// colour there repaints the box and emits colourChosen.
class ColourBox : public QToolButton {
    Q_OBJECT
public:
    explicit ColourBox(QWidget* parent = nullptr);

    Colour colour() const { return colour_; }
    void setColour(const Colour& colour);

Q_SIGNALS:
    void colourChosen(const tavik::Colour& colour);

private:
    void choose();

    Colour colour_;
};

} // namespace tavik
