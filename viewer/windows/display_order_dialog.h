#pragma once

#include "viewer/session/display_order.h"

#include <QDialog>

class QComboBox;
class QListWidget;
class QToolButton;

namespace tavik {

class CQuelnaDoc;
struct Settings;

// The display order dialog "表示順序": the document's species in a list, an
// up-down control that moves the selected species, and the list of the three
// name captions that chooses the name the species are listed by
// (DispOrderMode). It works on a copy; the caller applies order() on OK.
class DisplayOrderDialog : public QDialog {
    Q_OBJECT
public:
    DisplayOrderDialog(const CQuelnaDoc& document, Settings& settings, QWidget* parent = nullptr);

    const DisplayOrder& order() const { return order_; }

    QListWidget* list() const { return list_; }
    QComboBox* captions() const { return captions_; }
    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

private:
    void fill();
    void move(int d);

    DisplayOrder order_;
    Settings& settings_;
    QListWidget* list_;
    QComboBox* captions_;
    QToolButton* up_;
    QToolButton* down_;
};

} // namespace tavik
