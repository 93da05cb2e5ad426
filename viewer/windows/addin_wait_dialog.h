#pragma once

#include <QDialog>

class QLabel;
class QTimer;

namespace tavik {

class AddinLoadJob;

// The wait dialog "Addin読込中" shown while the add-ins load: every 500 ms it
// copies the worker's status into its status line, and once the worker has
// finished it shows "完了" for a second and closes. Cancel asks the worker to
// stop and closes half a second later.
class AddinWaitDialog : public QDialog {
    Q_OBJECT
public:
    AddinWaitDialog(AddinLoadJob& job, QWidget* parent = nullptr);

    QLabel* statusLine() const { return status_; }

public Q_SLOTS:
    void cancel();
    // Escape and the window's close button cancel too.
    void reject() override;

private:
    void poll();

    AddinLoadJob& job_;
    QLabel* status_;
    QTimer* timer_;
    bool cancelled_ = false;
};

} // namespace tavik
