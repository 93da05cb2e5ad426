#include "viewer/windows/painter_dialog.h"

#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "viewer/basemap/qt_text.h"
#include "viewer/render/page_renderer.h"
#include "viewer/render/painter_preview.h"
#include "viewer/settings/settings.h"
#include "viewer/windows/colour_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tavik {
namespace {

// A row label: the species' names, ending in an ellipsis when they are
// wider than the room the row gives them (the tool tip shows them whole).
class RowLabel : public QLabel {
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QRect room = contentsRect();
        painter.drawText(
            room, Qt::AlignLeft | Qt::AlignVCenter, fontMetrics().elidedText(text(), Qt::ElideRight, room.width()));
    }
};

QLabel* heading(const char* text, QWidget* parent, Qt::Alignment alignment = Qt::AlignHCenter)
{
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setAlignment(alignment | Qt::AlignBottom);
    return label;
}

} // namespace

PainterDialog::PainterDialog(const PainterConfig& config, const std::vector<std::string>& rowLabels,
    const std::vector<std::string>& faces, const Settings& settings, MessageSink& messages, QWidget* parent)
    : QDialog(parent)
    , editor_(config, faces)
    , messages_(messages)
{
    setWindowTitle(QStringLiteral("ペンキ屋"));

    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &PainterDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* side = new QVBoxLayout;
    side->addWidget(createSide(faces));
    side->addStretch(1);
    side->addWidget(buttons);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(createSlots(rowLabels), 1);
    layout->addLayout(side);

    markScale_ = tavik::markScale(settings, *preview_);
    redrawPreview();
}

std::size_t PainterDialog::index(int slot)
{
    return static_cast<std::size_t>(std::clamp(slot, 0, PainterConfig::SlotCount - 1));
}

QWidget* PainterDialog::createSlots(const std::vector<std::string>& rowLabels)
{
    auto* area = new QWidget(this);
    auto* grid = new QGridLayout(area);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    grid->addWidget(heading("形", area), 0, 1);
    grid->addWidget(heading("大きさ", area), 0, 2);
    grid->addWidget(heading("point", area), 1, 2, Qt::AlignHCenter | Qt::AlignTop);
    grid->addWidget(heading("太さ", area), 0, 3);
    grid->addWidget(heading("pixel", area), 1, 3, Qt::AlignHCenter | Qt::AlignTop);
    grid->addWidget(heading("ランク", area), 0, 5, 1, 4);
    const char* ranks[] = {"A", "B", "C", "Z"};
    for (int r = 0; r < 4; ++r)
        grid->addWidget(heading(ranks[r], area), 1, 5 + r);

    const std::vector<std::string>& shapes = PainterEditor::shapeEntries();
    for (int i = 0; i < PainterConfig::SlotCount; ++i) {
        Row& row = rows_[index(i)];
        const int top = 2 + 2 * i;
        // A little room above every slot but the first.
        if (i > 0)
            grid->setRowMinimumHeight(top, 26);

        auto* number = new QLabel(QString::number(i + 1), area);
        number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(number, top + 1, 0);

        const std::string& label = static_cast<std::size_t>(i) < rowLabels.size() ? rowLabels[index(i)] : "";
        row.label = new RowLabel(qtext(label), area);
        row.label->setTextFormat(Qt::PlainText);
        row.label->setToolTip(qtext(label));
        grid->addWidget(row.label, top, 1, 1, 3);

        row.shape = new QComboBox(area);
        for (const std::string& entry : shapes)
            row.shape->addItem(qtext(entry));
        row.shape->setMaxVisibleItems(20);
        row.shape->setCurrentIndex(editor_.shapeEntry(i));
        connect(row.shape, &QComboBox::activated, this, [this, i](int entry) {
            editor_.setShapeEntry(i, entry);
            redrawPreview();
        });
        grid->addWidget(row.shape, top + 1, 1);

        row.size = new QLineEdit(qtext(editor_.sizeText(i)), area);
        row.size->setFixedWidth(52);
        row.size->setAlignment(Qt::AlignRight);
        connect(row.size, &QLineEdit::textEdited, this, [this, i](const QString& text) {
            editor_.setSizeText(i, cp932Text(text));
            redrawPreview();
        });
        grid->addWidget(row.size, top + 1, 2);

        row.thickness = new QLineEdit(qtext(editor_.thicknessText(i)), area);
        row.thickness->setFixedWidth(40);
        row.thickness->setAlignment(Qt::AlignRight);
        connect(row.thickness, &QLineEdit::textEdited, this, [this, i](const QString& text) {
            editor_.setThicknessText(i, cp932Text(text));
            redrawPreview();
        });
        grid->addWidget(row.thickness, top + 1, 3);

        grid->addWidget(heading("マーク", area, Qt::AlignRight), top, 4, Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(heading("塗りつぶし", area, Qt::AlignRight), top + 1, 4, Qt::AlignRight | Qt::AlignVCenter);
        for (int box = 0; box < PainterEditor::ColourBoxes; ++box) {
            auto* colour = new ColourBox(area);
            colour->setColour(editor_.colour(i, box));
            connect(colour, &ColourBox::colourChosen, this, [this, i, box](const Colour& chosen) {
                editor_.setColour(i, box, chosen);
                redrawPreview();
            });
            row.colours[static_cast<std::size_t>(box)] = colour;
            grid->addWidget(colour, top + box / 4, 5 + box % 4);
        }
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2 + 2 * PainterConfig::SlotCount, 1);
    return area;
}

QWidget* PainterDialog::createSide(const std::vector<std::string>& faces)
{
    auto* side = new QWidget(this);
    auto* layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* overlap = new QGroupBox(QStringLiteral("重なり"), side);
    auto* grid = new QGridLayout(overlap);
    preview_ = new QLabel(overlap);
    preview_->setFrameShape(QFrame::Box);
    preview_->setAlignment(Qt::AlignCenter);
    const int frame = preview_->frameWidth();
    preview_->setFixedSize(kPainterPreviewSide + 2 * frame, kPainterPreviewSide + 2 * frame);
    grid->addWidget(preview_, 0, 0);
    const Qt::ArrowType arrows[] = {Qt::LeftArrow, Qt::RightArrow, Qt::UpArrow, Qt::DownArrow};
    const int steps[][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    for (std::size_t k = 0; k < spins_.size(); ++k) {
        auto* button = new QToolButton(overlap);
        button->setArrowType(arrows[k]);
        button->setAutoRepeat(true);
        const int dx = steps[k][0], dy = steps[k][1];
        connect(button, &QToolButton::clicked, this, [this, dx, dy] {
            editor_.stepOverlap(dx, dy);
            redrawPreview();
        });
        spins_[k] = button;
    }
    auto* horizontal = new QHBoxLayout;
    horizontal->addStretch(1);
    horizontal->addWidget(spins_[0]);
    horizontal->addWidget(spins_[1]);
    horizontal->addStretch(1);
    grid->addLayout(horizontal, 1, 0);
    auto* vertical = new QVBoxLayout;
    vertical->addStretch(1);
    vertical->addWidget(spins_[2]);
    vertical->addWidget(spins_[3]);
    vertical->addStretch(1);
    grid->addLayout(vertical, 0, 1);
    layout->addWidget(overlap);

    auto* font = new QGroupBox(QStringLiteral("フォント"), side);
    auto* fontLayout = new QVBoxLayout(font);
    faceList_ = new QComboBox(font);
    faceList_->setMaxVisibleItems(20);
    faceList_->setMinimumContentsLength(14);
    faceList_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    int current = -1;
    for (const std::string& face : faces) {
        if (face == editor_.config().faceName && editor_.faceChosen())
            current = faceList_->count();
        faceList_->addItem(qtext(face));
    }
    faceList_->setCurrentIndex(current);
    connect(faceList_, &QComboBox::activated, this, [this](int entry) {
        editor_.chooseFace(cp932Text(faceList_->itemText(entry)));
        redrawPreview();
    });
    fontLayout->addWidget(faceList_);
    bold_ = new QCheckBox(QStringLiteral("太字"), font);
    bold_->setChecked(editor_.config().bold);
    connect(bold_, &QCheckBox::toggled, this, [this](bool on) {
        editor_.setBold(on);
        redrawPreview();
    });
    italic_ = new QCheckBox(QStringLiteral("斜体"), font);
    italic_->setChecked(editor_.config().italic);
    connect(italic_, &QCheckBox::toggled, this, [this](bool on) {
        editor_.setItalic(on);
        redrawPreview();
    });
    auto* styles = new QHBoxLayout;
    styles->addWidget(bold_);
    styles->addWidget(italic_);
    styles->addStretch(1);
    fontLayout->addLayout(styles);
    layout->addWidget(font);
    return side;
}

ColourBox* PainterDialog::colourBox(int slot, int box) const
{
    return rows_[index(slot)].colours[static_cast<std::size_t>(std::clamp(box, 0, PainterEditor::ColourBoxes - 1))];
}

QToolButton* PainterDialog::spinButton(Qt::ArrowType arrow) const
{
    switch (arrow) {
    case Qt::LeftArrow:
        return spins_[0];
    case Qt::RightArrow:
        return spins_[1];
    case Qt::UpArrow:
        return spins_[2];
    case Qt::DownArrow:
        return spins_[3];
    default:
        return nullptr;
    }
}

void PainterDialog::redrawPreview()
{
    preview_->setPixmap(QPixmap::fromImage(painterPreview(editor_.config(), markScale_)));
}

void PainterDialog::accept()
{
    const std::optional<PainterEditor::Failure> failure = editor_.check();
    if (!failure) {
        QDialog::accept();
        return;
    }
    messages_.show({{}, failure->message, MessageIcon::Stop});
    const Row& row = rows_[index(failure->field.slot)];
    switch (failure->field.kind) {
    case PainterEditor::Field::Kind::Size:
        row.size->setFocus();
        row.size->selectAll();
        break;
    case PainterEditor::Field::Kind::Thickness:
        row.thickness->setFocus();
        row.thickness->selectAll();
        break;
    case PainterEditor::Field::Kind::Font:
        faceList_->setFocus();
        break;
    }
}

} // namespace tavik
