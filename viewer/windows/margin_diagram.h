#pragma once

#include <QWidget>

namespace tavik {

// The picture beside the margin fields of the print form editor: a page with
// its header, a grid of four maps with their titles, and its footer, each
// length marked with the letter (A to O) of the field that sets it.
class MarginDiagram : public QWidget {
    Q_OBJECT
public:
    explicit MarginDiagram(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tavik
