#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tavik {

class WatchedJob;

// The progress dialog shown while maps are saved ("保存中") or pages printed
// ("印刷中"): every 500 ms it shows the job's progress text and moves its
// bar to the percentage, and it closes once the job is stopping (at its
// end). Cancel asks the job to stop and closes half a second later.
class ProgressDialog : public QDialog {
    Q_OBJECT
public:
    // cancelLabel: "Cancel" for saving, whose dialog has that button; the
    // dialogs of our own say キャンセル.
    ProgressDialog(WatchedJob& job, const QString& title, const QString& cancelLabel, QWidget* parent = nullptr);

    QLabel* text() const { return text_; }
    QProgressBar* bar() const { return bar_; }
    QPushButton* cancelButton() const { return cancelButton_; }

public Q_SLOTS:
    void cancel();
    // Escape and the window's close button cancel too.
    void reject() override;

private:
    void poll();

    WatchedJob& job_;
    QLabel* text_;
    QProgressBar* bar_;
    QPushButton* cancelButton_;
    QTimer* timer_;
    bool cancelled_ = false;
};

} // namespace tavik
