#include "viewer/windows/display_order_dialog.h"

#include "platform/cp932.h"
#include "viewer/basemap/qt_text.h"
#include "viewer/document/quelna_doc.h"
#include "viewer/settings/settings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace tavik {
namespace {

} // namespace

DisplayOrderDialog::DisplayOrderDialog(const CQuelnaDoc& document, Settings& settings, QWidget* parent)
    : QDialog(parent)
    , order_(document.species(), settings.dispOrderMode)
    , settings_(settings)
    , list_(new QListWidget(this))
    , captions_(new QComboBox(this))
    , up_(new QToolButton(this))
    , down_(new QToolButton(this))
{
    setWindowTitle(QStringLiteral("表示順序"));
    setSizeGripEnabled(true);
    for (const std::string* caption : {&settings.scientificNameStr, &settings.alias1NameStr, &settings.alias2NameStr})
        captions_->addItem(qtext(*caption));
    captions_->setCurrentIndex(static_cast<int>(settings.dispOrderMode) - 1);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    up_->setAutoRepeat(true);
    down_->setAutoRepeat(true);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* arrows = new QVBoxLayout;
    arrows->addStretch(1);
    arrows->addWidget(up_);
    arrows->addWidget(down_);
    arrows->addStretch(1);
    auto* layout = new QGridLayout(this);
    layout->addWidget(captions_, 0, 0);
    layout->addWidget(list_, 1, 0);
    layout->addLayout(arrows, 1, 1);
    layout->addWidget(buttons, 2, 0, 1, 2);
    layout->setRowStretch(1, 1);
    resize(380, 420);

    fill();
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            order_.select(row);
    });
    connect(captions_, &QComboBox::activated, this, [this](int entry) {
        const NameMode mode = static_cast<NameMode>(entry + 1);
        order_.setMode(mode);
        settings_.dispOrderMode = mode;
        fill();
    });
    connect(up_, &QToolButton::clicked, this, [this] { move(1); });
    connect(down_, &QToolButton::clicked, this, [this] { move(-1); });
}

void DisplayOrderDialog::fill()
{
    const int selected = order_.selected();
    list_->blockSignals(true);
    list_->clear();
    for (const std::string& label : order_.labels())
        list_->addItem(qtext(label));
    list_->setCurrentRow(selected);
    list_->blockSignals(false);
}

void DisplayOrderDialog::move(int d)
{
    order_.move(d);
    fill();
}

} // namespace tavik
