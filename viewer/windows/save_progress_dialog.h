#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tavik {

class SaveRun;

// The progress dialog "保存中" shown while maps are saved: every 500 ms it
// shows the run's progress text and moves its bar to the percentage, and it
// closes once the run's stop flag is set (by the end of the run). Cancel
// sets the stop flag, stops polling and closes half a second later; the map
// being written is finished.
class SaveProgressDialog : public QDialog {
    Q_OBJECT
public:
    SaveProgressDialog(SaveRun& run, QWidget* parent = nullptr);

    QLabel* text() const { return text_; }
    QProgressBar* bar() const { return bar_; }
    QPushButton* cancelButton() const { return cancelButton_; }

public Q_SLOTS:
    void cancel();
    // Escape and the window's close button cancel too.
    void reject() override;

private:
    void poll();

    SaveRun& run_;
    QLabel* text_;
    QProgressBar* bar_;
    QPushButton* cancelButton_;
    QTimer* timer_;
    bool cancelled_ = false;
};

} // namespace tavik
