#pragma once

#include "viewer/session/painter_editor.h"

#include <QDialog>

#include <array>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace tavik {

class ColourBox;
class MessageSink;
struct Settings;

// The painter dialog "ペンキ屋": per slot the shape list, the size and
// thickness fields and the eight colour boxes, each row labelled with the
// species it paints; the "重なり" preview with its spins; the letter-mark
// font. It works on a PainterEditor; OK runs its checks (a failure is shown
// and the focus goes to the field) and the caller takes accepted().
class PainterDialog : public QDialog {
    Q_OBJECT
public:
    // rowLabels: ten cp932 labels (painterRowLabels); faces: the installed
    // font families (cp932). Settings give the mark scale of the preview.
    PainterDialog(const PainterConfig& config, const std::vector<std::string>& rowLabels,
        const std::vector<std::string>& faces, const Settings& settings, MessageSink& messages,
        QWidget* parent = nullptr);

    const PainterEditor& editor() const { return editor_; }

    void accept() override;

    // The controls, for tests.
    QLabel* rowLabel(int slot) const { return rows_[index(slot)].label; }
    QComboBox* shapeList(int slot) const { return rows_[index(slot)].shape; }
    QLineEdit* sizeField(int slot) const { return rows_[index(slot)].size; }
    QLineEdit* thicknessField(int slot) const { return rows_[index(slot)].thickness; }
    ColourBox* colourBox(int slot, int box) const;
    QLabel* preview() const { return preview_; }
    QToolButton* spinButton(Qt::ArrowType arrow) const;
    QComboBox* faceList() const { return faceList_; }
    QCheckBox* boldBox() const { return bold_; }
    QCheckBox* italicBox() const { return italic_; }

private:
    struct Row {
        QLabel* label = nullptr;
        QComboBox* shape = nullptr;
        QLineEdit* size = nullptr;
        QLineEdit* thickness = nullptr;
        std::array<ColourBox*, PainterEditor::ColourBoxes> colours{};
    };

    static std::size_t index(int slot);
    QWidget* createSlots(const std::vector<std::string>& rowLabels);
    QWidget* createSide(const std::vector<std::string>& faces);
    void redrawPreview();

    PainterEditor editor_;
    MessageSink& messages_;
    double markScale_ = 1.0;
    std::array<Row, PainterConfig::SlotCount> rows_{};
    QLabel* preview_ = nullptr;
    std::array<QToolButton*, 4> spins_{}; // left, right, up, down
    QComboBox* faceList_ = nullptr;
    QCheckBox* bold_ = nullptr;
    QCheckBox* italic_ = nullptr;
};

} // namespace tavik
