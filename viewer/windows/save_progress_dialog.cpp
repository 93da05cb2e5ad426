#include "viewer/windows/save_progress_dialog.h"

#include "platform/cp932.h"
#include "viewer/session/save_run.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tavik {

SaveProgressDialog::SaveProgressDialog(SaveRun& run, QWidget* parent)
    : QDialog(parent)
    , run_(run)
    , text_(new QLabel(this))
    , bar_(new QProgressBar(this))
    , cancelButton_(new QPushButton(QStringLiteral("Cancel"), this))
    , timer_(new QTimer(this))
{
    setWindowTitle(QStringLiteral("保存中"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    text_->setMinimumWidth(420);
    text_->setTextFormat(Qt::PlainText);
    layout->addWidget(text_);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    layout->addWidget(bar_);
    layout->addWidget(cancelButton_, 0, Qt::AlignRight);
    connect(cancelButton_, &QPushButton::clicked, this, &SaveProgressDialog::cancel);
    connect(timer_, &QTimer::timeout, this, &SaveProgressDialog::poll);
    timer_->start(500);
}

void SaveProgressDialog::poll()
{
    if (run_.stopping()) {
        timer_->stop();
        QDialog::accept();
        return;
    }
    text_->setText(QString::fromStdString(cp932ToUtf8(run_.progress().text())));
    bar_->setValue(run_.progress().percent.load());
}

void SaveProgressDialog::cancel()
{
    if (cancelled_)
        return;
    cancelled_ = true;
    run_.cancel();
    timer_->stop();
    QTimer::singleShot(500, this, [this] { QDialog::reject(); });
}

void SaveProgressDialog::reject() { cancel(); }

} // namespace tavik
