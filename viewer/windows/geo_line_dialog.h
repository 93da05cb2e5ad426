#pragma once

#include "viewer/session/geo_line_editor.h"

#include <QDialog>

#include <array>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QImage;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace tavik {

class ColourBox;
class MessageSink;

// The geo-line dialog "経緯線の設定": the kind of lines, the cross ratio,
// the range and intervals, the line style and colour, where lines overwrite
// the map and the selected colours. It works on a GeoLineEditor; OK runs its
// checks (a failure is shown and the focus goes to the field) and the caller
// applies editor() to the settings.
class GeoLineDialog : public QDialog {
    Q_OBJECT
public:
    // baseImage: the base map, whose colours "白地図から色を取得" collects.
    GeoLineDialog(
        const GeoLineSettings& settings, const QImage& baseImage, MessageSink& messages, QWidget* parent = nullptr);

    const GeoLineEditor& editor() const { return editor_; }

    void accept() override;

    // The controls, for tests.
    QRadioButton* kindButton(GeoLineMode kind) const;
    QLineEdit* field(GeoLineField field) const { return fields_[static_cast<std::size_t>(field)]; }
    QComboBox* styleList() const { return style_; }
    ColourBox* lineColourBox() const { return lineColour_; }
    QLabel* lineColourText() const { return lineColourText_; }
    QRadioButton* overwriteButton(GeoTransparentMode mode) const;
    QPushButton* takeColoursButton() const { return takeColours_; }
    QCheckBox* colourCheck(int slot) const { return checks_[static_cast<std::size_t>(slot)]; }
    ColourBox* colourBox(int slot) const { return boxes_[static_cast<std::size_t>(slot)]; }
    QToolButton* addButton() const { return add_; }
    QGroupBox* rangeGroup() const { return range_; }
    QGroupBox* selectedGroup() const { return selected_; }

private:
    QWidget* createKindGroup();
    QWidget* createRangeGroup();
    QWidget* createIntervalGroup();
    QWidget* createStyleControls();
    QWidget* createOverwriteGroup();
    QWidget* createSelectedGroup();
    QLineEdit* createField(GeoLineField field, QWidget* parent);
    void updateEnabling();
    void showColours();

    GeoLineEditor editor_;
    const QImage& baseImage_;
    MessageSink& messages_;
    QButtonGroup* kinds_ = nullptr;
    QButtonGroup* overwrites_ = nullptr;
    std::array<QLineEdit*, 7> fields_{};
    QGroupBox* range_ = nullptr;
    QGroupBox* intervals_ = nullptr;
    QWidget* styleControls_ = nullptr;
    QComboBox* style_ = nullptr;
    QGroupBox* lineColourGroup_ = nullptr;
    ColourBox* lineColour_ = nullptr;
    QLabel* lineColourText_ = nullptr;
    QGroupBox* overwrite_ = nullptr;
    QGroupBox* selected_ = nullptr;
    QPushButton* takeColours_ = nullptr;
    QGridLayout* selectedGrid_ = nullptr;
    std::array<QCheckBox*, GeoLineEditor::ColourSlots> checks_{};
    std::array<ColourBox*, GeoLineEditor::ColourSlots> boxes_{};
    QToolButton* add_ = nullptr;
};

} // namespace tavik
