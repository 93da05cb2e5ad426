#include "viewer/windows/progress_dialog.h"

#include "platform/cp932.h"
#include "viewer/basemap/qt_text.h"
#include "viewer/session/watched_job.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tavik {

ProgressDialog::ProgressDialog(WatchedJob& job, const QString& title, const QString& cancelLabel, QWidget* parent)
    : QDialog(parent)
    , job_(job)
    , text_(new QLabel(this))
    , bar_(new QProgressBar(this))
    , cancelButton_(new QPushButton(cancelLabel, this))
    , timer_(new QTimer(this))
{
    setWindowTitle(title);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    text_->setMinimumWidth(420);
    text_->setTextFormat(Qt::PlainText);
    layout->addWidget(text_);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    layout->addWidget(bar_);
    layout->addWidget(cancelButton_, 0, Qt::AlignRight);
    connect(cancelButton_, &QPushButton::clicked, this, &ProgressDialog::cancel);
    connect(timer_, &QTimer::timeout, this, &ProgressDialog::poll);
    timer_->start(500);
}

void ProgressDialog::poll()
{
    if (job_.stopping()) {
        timer_->stop();
        QDialog::accept();
        return;
    }
    text_->setText(qtext(job_.progressText()));
    bar_->setValue(job_.percent());
}

void ProgressDialog::cancel()
{
    if (cancelled_)
        return;
    cancelled_ = true;
    job_.cancel();
    timer_->stop();
    QTimer::singleShot(500, this, [this] { QDialog::reject(); });
}

void ProgressDialog::reject() { cancel(); }

} // namespace tavik
