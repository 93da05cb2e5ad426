#include "viewer/windows/printer_setup_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tavik {
namespace {

// The entry of the printer list that prints to a PDF file.
const QString kPdfEntry = QStringLiteral("PDF ファイル");

// Paper offered for a PDF file and for a printer that names none.
QList<QPageSize> standardPapers()
{
    QList<QPageSize> papers;
    for (QPageSize::PageSizeId id : {QPageSize::A3, QPageSize::A4, QPageSize::A5, QPageSize::JisB4, QPageSize::JisB5,
             QPageSize::Letter, QPageSize::Legal})
        papers.push_back(QPageSize(id));
    return papers;
}

} // namespace

PrinterSetupDialog::PrinterSetupDialog(QPrinter& printer, QWidget* parent)
    : QDialog(parent)
    , printer_(printer)
    , printers_(new QComboBox(this))
    , papers_(new QComboBox(this))
    , portrait_(new QRadioButton(QStringLiteral("縦(&O)"), this))
    , landscape_(new QRadioButton(QStringLiteral("横(&A)"), this))
{
    setWindowTitle(QStringLiteral("ﾌﾟﾘﾝﾀの設定"));
    printers_->addItems(QPrinterInfo::availablePrinterNames());
    printers_->addItem(kPdfEntry);
    if (printer.outputFormat() == QPrinter::PdfFormat)
        printers_->setCurrentText(kPdfEntry);
    else
        printers_->setCurrentText(printer.printerName());
    connect(printers_, &QComboBox::currentTextChanged, this, &PrinterSetupDialog::fillPapers);
    fillPapers();
    (printer.pageLayout().orientation() == QPageLayout::Landscape ? landscape_ : portrait_)->setChecked(true);

    auto* printerBox = new QGroupBox(QStringLiteral("プリンタ"), this);
    auto* printerForm = new QFormLayout(printerBox);
    printerForm->addRow(QStringLiteral("プリンタ名(&N):"), printers_);
    auto* paperBox = new QGroupBox(QStringLiteral("用紙"), this);
    auto* paperForm = new QFormLayout(paperBox);
    paperForm->addRow(QStringLiteral("サイズ(&Z):"), papers_);
    auto* orientationBox = new QGroupBox(QStringLiteral("印刷の向き"), this);
    auto* orientation = new QVBoxLayout(orientationBox);
    orientation->addWidget(portrait_);
    orientation->addWidget(landscape_);
    auto* lower = new QHBoxLayout;
    lower->addWidget(paperBox, 1);
    lower->addWidget(orientationBox);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &PrinterSetupDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PrinterSetupDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(printerBox);
    layout->addLayout(lower);
    layout->addWidget(buttons);
    resize(460, sizeHint().height());
}

void PrinterSetupDialog::fillPapers()
{
    const QString current = papers_->count() ? papers_->currentText() : printer_.pageLayout().pageSize().name();
    QList<QPageSize> papers;
    if (printers_->currentText() != kPdfEntry)
        papers = QPrinterInfo::printerInfo(printers_->currentText()).supportedPageSizes();
    if (papers.isEmpty())
        papers = standardPapers();
    papers_->clear();
    for (const QPageSize& paper : papers)
        papers_->addItem(paper.name(), QVariant::fromValue(paper));
    const int index = papers_->findText(current);
    papers_->setCurrentIndex(index >= 0 ? index : 0);
}

void PrinterSetupDialog::accept()
{
    if (printers_->currentText() == kPdfEntry) {
        printer_.setOutputFormat(QPrinter::PdfFormat);
    } else {
        printer_.setOutputFormat(QPrinter::NativeFormat);
        printer_.setPrinterName(printers_->currentText());
    }
    printer_.setPageSize(papers_->currentData().value<QPageSize>());
    printer_.setPageOrientation(portrait_->isChecked() ? QPageLayout::Portrait : QPageLayout::Landscape);
    QDialog::accept();
}

} // namespace tavik
