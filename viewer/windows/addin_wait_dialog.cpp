#include "viewer/windows/addin_wait_dialog.h"

#include "platform/cp932.h"
#include "viewer/basemap/qt_text.h"
#include "viewer/session/addin_load_job.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tavik {

AddinWaitDialog::AddinWaitDialog(AddinLoadJob& job, QWidget* parent)
    : QDialog(parent)
    , job_(job)
    , status_(new QLabel(this))
    , timer_(new QTimer(this))
{
    setWindowTitle(QStringLiteral("Addin読込中"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    status_->setMinimumWidth(360);
    status_->setTextFormat(Qt::PlainText);
    layout->addWidget(status_);
    auto* bar = new QProgressBar(this);
    bar->hide();
    layout->addWidget(bar);
    auto* cancelButton = new QPushButton(QStringLiteral("キャンセル"), this);
    layout->addWidget(cancelButton, 0, Qt::AlignRight);
    connect(cancelButton, &QPushButton::clicked, this, &AddinWaitDialog::cancel);
    connect(timer_, &QTimer::timeout, this, &AddinWaitDialog::poll);
    timer_->start(500);
}

void AddinWaitDialog::poll()
{
    status_->setText(qtext(job_.statusText()));
    if (job_.finished()) {
        timer_->stop();
        QTimer::singleShot(1000, this, &QDialog::accept);
    }
}

void AddinWaitDialog::cancel()
{
    if (cancelled_)
        return;
    cancelled_ = true;
    job_.cancel();
    timer_->stop();
    QTimer::singleShot(500, this, [this] { QDialog::reject(); });
}

void AddinWaitDialog::reject() { cancel(); }

} // namespace tavik
