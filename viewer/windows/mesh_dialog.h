#pragma once

#include <QDialog>

class QRadioButton;

namespace tavik {

struct MeshSettings;

// The mesh dialog "地域メッシュ": the datum of grid-square codes
// (MeshGeodetic) and how squares are drawn (MeshPaint). It opens with the
// settings' choices; the caller stores wgs() and marked() on OK.
class MeshDialog : public QDialog {
    Q_OBJECT
public:
    MeshDialog(const MeshSettings& settings, QWidget* parent = nullptr);

    // Codes on the world datum ("WGS"), else the old Japanese datum.
    bool wgs() const;
    // A mark in each square ("MARKEDMESH"), else a filled square.
    bool marked() const;

    // Stores the two choices in the settings.
    void apply(MeshSettings& settings) const;

    QRadioButton* datumButton(bool wgs) const { return wgs ? wgs_ : jgs_; }
    QRadioButton* paintButton(bool marked) const { return marked ? marked_ : filled_; }

private:
    QRadioButton* wgs_;
    QRadioButton* jgs_;
    QRadioButton* filled_;
    QRadioButton* marked_;
};

} // namespace tavik
