#include "viewer/windows/print_preview_dialog.h"

#include "viewer/document/quelna_doc.h"
#include "viewer/session/preview_pages.h"
#include "viewer/session/print_snapshot.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>

#include <algorithm>

namespace tavik {
namespace {

constexpr int kZooms[] = {25, 50, 75, 100, 150, 200};

QPushButton* button(const char* text, QWidget* parent)
{
    auto* made = new QPushButton(QString::fromUtf8(text), parent);
    made->setAutoDefault(false);
    return made;
}

} // namespace

PrintPreviewDialog::PrintPreviewDialog(std::shared_ptr<const PrintSnapshot> snapshot, const CQuelnaDoc& document,
    const PreviewPaper& paper, MessageSink& faults, QWidget* parent)
    : QDialog(parent)
    , snapshot_(std::move(snapshot))
    , document_(std::make_unique<CQuelnaDoc>(document))
    , paper_(paper)
    , faults_(faults)
    , sheet_(new QLabel)
    , area_(new QScrollArea(this))
    , pageText_(new QLabel(this))
    , zoomList_(new QComboBox(this))
    , printButton_(button("印刷(&P)...", this))
    , setupButton_(button("ﾌﾟﾘﾝﾀの設定(&R)...", this))
{
    setWindowTitle(QStringLiteral("印刷ﾌﾟﾚﾋﾞｭｰ"));
    auto* first = button("先頭ページ", this);
    auto* previous = button("前ページ(&V)", this);
    auto* next = button("次ページ(&N)", this);
    auto* last = button("最終ページ", this);
    auto* close = button("閉じる(&C)", this);
    for (int percent : kZooms)
        zoomList_->addItem(QStringLiteral("%1 %").arg(percent), percent);
    zoomList_->setCurrentIndex(1);

    auto* bar = new QHBoxLayout;
    for (QWidget* widget :
        std::initializer_list<QWidget*>{printButton_, setupButton_, first, previous, pageText_, next, last, zoomList_})
        bar->addWidget(widget);
    bar->addStretch(1);
    bar->addWidget(close);
    sheet_->setAlignment(Qt::AlignCenter);
    sheet_->setMargin(12);
    area_->setWidget(sheet_);
    area_->setWidgetResizable(true);
    area_->setAlignment(Qt::AlignCenter);
    area_->setBackgroundRole(QPalette::Dark);
    auto* column = new QVBoxLayout(this);
    column->addLayout(bar);
    column->addWidget(area_, 1);

    connect(first, &QPushButton::clicked, this, [this] { showPage(1); });
    connect(previous, &QPushButton::clicked, this, [this] { showPage(page_ - 1); });
    connect(next, &QPushButton::clicked, this, [this] { showPage(page_ + 1); });
    connect(last, &QPushButton::clicked, this, [this] { showPage(pageCount()); });
    connect(new QShortcut(QKeySequence::MoveToNextPage, this), &QShortcut::activated, this,
        [this] { showPage(page_ + 1); });
    connect(new QShortcut(QKeySequence::MoveToPreviousPage, this), &QShortcut::activated, this,
        [this] { showPage(page_ - 1); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(printButton_, &QPushButton::clicked, this, &PrintPreviewDialog::printRequested);
    connect(setupButton_, &QPushButton::clicked, this, &PrintPreviewDialog::setupRequested);
    connect(zoomList_, &QComboBox::activated, this, [this](int index) { setZoom(zoomList_->itemData(index).toInt()); });
    // Pages are drawn on the worker; the dialog looks again on its own thread.
    connect(this, &PrintPreviewDialog::pageDrawn, this, &PrintPreviewDialog::refresh, Qt::QueuedConnection);
    makePages();
    resize(900, 1000);
    refresh();
}

PrintPreviewDialog::~PrintPreviewDialog()
{
    // The worker ends before the dialog it reports to.
    pages_.reset();
}

void PrintPreviewDialog::makePages()
{
    pages_.reset();
    pages_ = std::make_unique<PreviewPages>(
        snapshot_, *document_, paper_, faults_, [this](int page) { Q_EMIT pageDrawn(page); });
}

void PrintPreviewDialog::setPaper(const PreviewPaper& paper)
{
    paper_ = paper;
    makePages();
    refresh();
}

int PrintPreviewDialog::pageCount() const { return pages_->pageCount(); }

double PrintPreviewDialog::dpi() const { return logicalDpiY() * zoom_ / 100.0; }

void PrintPreviewDialog::showPage(int page)
{
    page_ = std::clamp(page, 1, std::max(1, pageCount()));
    refresh();
}

void PrintPreviewDialog::setZoom(int percent)
{
    zoom_ = std::clamp(percent, 25, 200);
    for (int i = 0; i < zoomList_->count(); ++i)
        if (zoomList_->itemData(i).toInt() == zoom_)
            zoomList_->setCurrentIndex(i);
    refresh();
}

void PrintPreviewDialog::refresh()
{
    pageText_->setText(QStringLiteral("%1 / %2").arg(page_).arg(pageCount()));
    shown_ = pages_->page(page_, dpi());
    if (shown_.isNull()) {
        sheet_->setPixmap({});
        sheet_->setText(QStringLiteral("%1 ページを描いています…").arg(page_));
        return;
    }
    sheet_->setPixmap(QPixmap::fromImage(shown_));
    // The next page is drawn ahead, while this one is read.
    if (page_ < pageCount())
        pages_->page(page_ + 1, dpi());
}

} // namespace tavik
