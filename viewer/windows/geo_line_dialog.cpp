#include "viewer/windows/geo_line_dialog.h"

#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "viewer/basemap/qt_text.h"
#include "viewer/windows/colour_box.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace tavik {
namespace {

QLabel* label(const char* text, QWidget* parent) { return new QLabel(QString::fromUtf8(text), parent); }

// A row of a label, a field and its unit, between stretches when centred.
QHBoxLayout* fieldRow(QWidget* caption, QLineEdit* field, QWidget* unit, bool centred)
{
    auto* row = new QHBoxLayout;
    if (centred)
        row->addStretch(1);
    row->addWidget(caption);
    row->addWidget(field);
    row->addWidget(unit);
    if (centred)
        row->addStretch(1);
    return row;
}

} // namespace

GeoLineDialog::GeoLineDialog(
    const GeoLineSettings& settings, const QImage& baseImage, MessageSink& messages, QWidget* parent)
    : QDialog(parent)
    , editor_(settings)
    , baseImage_(baseImage)
    , messages_(messages)
{
    setWindowTitle(QStringLiteral("経緯線の設定"));

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &GeoLineDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* left = new QVBoxLayout;
    left->addWidget(createKindGroup());
    left->addWidget(createRangeGroup());
    left->addWidget(createIntervalGroup());
    left->addWidget(createStyleControls());
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(createOverwriteGroup());
    right->addWidget(createSelectedGroup(), 1);
    right->addWidget(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right);

    updateEnabling();
    showColours();
}

QLineEdit* GeoLineDialog::createField(GeoLineField field, QWidget* parent)
{
    auto* edit = new QLineEdit(qtext(editor_.text(field)), parent);
    edit->setFixedWidth(field == GeoLineField::Ratio ? 50 : 110);
    edit->setMaxLength(static_cast<int>(GeoLineEditor::TextLimit));
    connect(edit, &QLineEdit::textEdited, this,
        [this, field](const QString& text) { editor_.setText(field, cp932Text(text)); });
    fields_[static_cast<std::size_t>(field)] = edit;
    return edit;
}

QWidget* GeoLineDialog::createKindGroup()
{
    auto* group = new QGroupBox(QStringLiteral("経緯線"), this);
    kinds_ = new QButtonGroup(group);
    auto* layout = new QHBoxLayout(group);
    const char* names[] = {"無し", "メッシュ", "十字線"};
    for (int kind = 0; kind < 3; ++kind) {
        auto* button = new QRadioButton(QString::fromUtf8(names[kind]), group);
        kinds_->addButton(button, kind);
        layout->addWidget(button);
    }
    kinds_->button(static_cast<int>(editor_.kind))->setChecked(true);
    connect(kinds_, &QButtonGroup::idClicked, this, [this](int kind) {
        editor_.kind = static_cast<GeoLineMode>(kind);
        updateEnabling();
    });
    layout->addSpacing(12);
    layout->addWidget(label("比率", group));
    layout->addWidget(createField(GeoLineField::Ratio, group));
    layout->addWidget(label("%", group));
    layout->addStretch(1);
    return group;
}

QWidget* GeoLineDialog::createRangeGroup()
{
    range_ = new QGroupBox(QStringLiteral("範囲"), this);
    auto* layout = new QVBoxLayout(range_);
    layout->addLayout(
        fieldRow(label("北", range_), createField(GeoLineField::North, range_), label("degree", range_), true));
    auto* middle = new QHBoxLayout;
    middle->addLayout(
        fieldRow(label("西", range_), createField(GeoLineField::West, range_), label("degree", range_), false));
    middle->addSpacing(16);
    middle->addLayout(
        fieldRow(label("東", range_), createField(GeoLineField::East, range_), label("degree", range_), false));
    layout->addLayout(middle);
    layout->addLayout(
        fieldRow(label("南", range_), createField(GeoLineField::South, range_), label("degree", range_), true));
    return range_;
}

QWidget* GeoLineDialog::createIntervalGroup()
{
    intervals_ = new QGroupBox(QStringLiteral("間隔"), this);
    auto* layout = new QHBoxLayout(intervals_);
    layout->addLayout(fieldRow(label("経線", intervals_), createField(GeoLineField::Meridian, intervals_),
        label("degree", intervals_), false));
    layout->addSpacing(16);
    layout->addLayout(fieldRow(label("緯線", intervals_), createField(GeoLineField::Parallel, intervals_),
        label("degree", intervals_), false));
    layout->addStretch(1);
    return intervals_;
}

QWidget* GeoLineDialog::createStyleControls()
{
    styleControls_ = new QWidget(this);
    auto* layout = new QHBoxLayout(styleControls_);
    layout->setContentsMargins(0, 0, 0, 0);
    style_ = new QComboBox(styleControls_);
    for (const char* name : {"実線", "破線", "点線", "一点鎖線", "二点鎖線"})
        style_->addItem(QString::fromUtf8(name));
    style_->setCurrentIndex(static_cast<int>(editor_.style));
    connect(style_, &QComboBox::activated, this, [this](int entry) { editor_.style = static_cast<LineType>(entry); });
    layout->addWidget(style_, 0, Qt::AlignTop);

    lineColourGroup_ = new QGroupBox(QStringLiteral("線色"), styleControls_);
    auto* colourLayout = new QHBoxLayout(lineColourGroup_);
    lineColour_ = new ColourBox(lineColourGroup_);
    lineColour_->setColour(editor_.lineColour);
    lineColourText_ = new QLabel(qtext(colourLabel(editor_.lineColour)), lineColourGroup_);
    connect(lineColour_, &ColourBox::colourChosen, this, [this](const Colour& colour) {
        editor_.lineColour = colour;
        lineColourText_->setText(qtext(colourLabel(colour)));
    });
    colourLayout->addWidget(lineColour_);
    colourLayout->addWidget(lineColourText_);
    colourLayout->addStretch(1);
    layout->addWidget(lineColourGroup_, 1);
    return styleControls_;
}

QWidget* GeoLineDialog::createOverwriteGroup()
{
    overwrite_ = new QGroupBox(QStringLiteral("上書き"), this);
    overwrites_ = new QButtonGroup(overwrite_);
    auto* layout = new QVBoxLayout(overwrite_);
    const char* names[] = {"全てに上書き", "背景に上書き", "透過色に上書き"};
    for (int mode = 0; mode < 3; ++mode) {
        auto* button = new QRadioButton(QString::fromUtf8(names[mode]), overwrite_);
        overwrites_->addButton(button, mode);
        layout->addWidget(button);
    }
    overwrites_->button(static_cast<int>(editor_.overwrite))->setChecked(true);
    connect(overwrites_, &QButtonGroup::idClicked, this, [this](int mode) {
        editor_.overwrite = static_cast<GeoTransparentMode>(mode);
        updateEnabling();
    });
    return overwrite_;
}

QWidget* GeoLineDialog::createSelectedGroup()
{
    selected_ = new QGroupBox(QStringLiteral("透過色の選択"), this);
    auto* layout = new QVBoxLayout(selected_);
    takeColours_ = new QPushButton(QStringLiteral("白地図から色を取得"), selected_);
    connect(takeColours_, &QPushButton::clicked, this, [this] {
        editor_.takeColoursOf(baseImage_);
        showColours();
    });
    layout->addWidget(takeColours_);
    selectedGrid_ = new QGridLayout;
    selectedGrid_->setVerticalSpacing(2);
    for (int i = 0; i < GeoLineEditor::ColourSlots; ++i) {
        auto* check = new QCheckBox(selected_);
        check->setMinimumWidth(check->fontMetrics().horizontalAdvance(QStringLiteral("R:255  G:255  B:255")) + 30);
        connect(check, &QCheckBox::toggled, this, [this, i](bool on) { editor_.setInUse(i, on); });
        auto* box = new ColourBox(selected_);
        connect(box, &ColourBox::colourChosen, this, [this, i](const Colour& colour) {
            editor_.setColour(i, colour);
            showColours();
        });
        checks_[static_cast<std::size_t>(i)] = check;
        boxes_[static_cast<std::size_t>(i)] = box;
        selectedGrid_->addWidget(check, i, 0);
        selectedGrid_->addWidget(box, i, 1);
        // Keeps the rows' height while slots are hidden.
        selectedGrid_->setRowMinimumHeight(i, box->height());
    }
    add_ = new QToolButton(selected_);
    add_->setText(QStringLiteral("+"));
    add_->setToolTip(QStringLiteral("透過色を追加"));
    connect(add_, &QToolButton::clicked, this, [this] {
        editor_.add();
        showColours();
    });
    layout->addLayout(selectedGrid_);
    layout->addStretch(1);
    return selected_;
}

void GeoLineDialog::updateEnabling()
{
    const GeoLineEditor::Enabling on = editor_.enabling();
    field(GeoLineField::Ratio)->setEnabled(on.ratio);
    for (QWidget* widget : {static_cast<QWidget*>(range_), static_cast<QWidget*>(intervals_), styleControls_,
             static_cast<QWidget*>(overwrite_)})
        widget->setEnabled(on.lines);
    selected_->setEnabled(on.selectedColours);
}

void GeoLineDialog::showColours()
{
    for (int i = 0; i < GeoLineEditor::ColourSlots; ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        const Colour colour = editor_.colour(i);
        checks_[k]->blockSignals(true);
        checks_[k]->setChecked(editor_.inUse(i));
        checks_[k]->blockSignals(false);
        checks_[k]->setText(qtext(colourLabel(colour)));
        boxes_[k]->setColour(colour);
        checks_[k]->setVisible(editor_.shown(i));
        boxes_[k]->setVisible(editor_.shown(i));
    }
    // The add button sits where the slot it turns on will show.
    const int slot = editor_.addSlot();
    selectedGrid_->removeWidget(add_);
    if (slot < 0) {
        add_->hide();
    } else {
        selectedGrid_->addWidget(add_, slot, 1);
        add_->show();
    }
}

QRadioButton* GeoLineDialog::kindButton(GeoLineMode kind) const
{
    return qobject_cast<QRadioButton*>(kinds_->button(static_cast<int>(kind)));
}

QRadioButton* GeoLineDialog::overwriteButton(GeoTransparentMode mode) const
{
    return qobject_cast<QRadioButton*>(overwrites_->button(static_cast<int>(mode)));
}

void GeoLineDialog::accept()
{
    const std::optional<GeoLineEditor::Failure> failure = editor_.check();
    if (!failure) {
        QDialog::accept();
        return;
    }
    messages_.show({failure->title, failure->message, MessageIcon::Stop});
    QLineEdit* edit = field(failure->field);
    edit->setFocus();
    edit->selectAll();
}

} // namespace tavik
