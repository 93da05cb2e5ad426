#pragma once

#include <QDialog>

class QComboBox;
class QPrinter;
class QRadioButton;

namespace tavik {

// The printer set-up dialog "ﾌﾟﾘﾝﾀの設定": the printer (the system's printers
// or a PDF file), the paper size and the orientation. OK sets them on the
// printer that the next print and preview use.
class PrinterSetupDialog : public QDialog {
    Q_OBJECT
public:
    PrinterSetupDialog(QPrinter& printer, QWidget* parent = nullptr);

    QComboBox* printers() const { return printers_; }
    QComboBox* papers() const { return papers_; }
    QRadioButton* portrait() const { return portrait_; }
    QRadioButton* landscape() const { return landscape_; }

public Q_SLOTS:
    void accept() override;

private:
    void fillPapers();

    QPrinter& printer_;
    QComboBox* printers_;
    QComboBox* papers_;
    QRadioButton* portrait_;
    QRadioButton* landscape_;
};

} // namespace tavik
