#include "viewer/windows/mesh_dialog.h"

#include "viewer/settings/settings.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tavik {

MeshDialog::MeshDialog(const MeshSettings& settings, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("地域メッシュ"));

    auto* datum = new QGroupBox(QStringLiteral("地域メッシュの測地系"), this);
    wgs_ = new QRadioButton(QStringLiteral("世界測地系、日本測地系2000"), datum);
    jgs_ = new QRadioButton(QStringLiteral("旧　測地系  ( 地域メッシュコードＮ )"), datum);
    auto* datumLayout = new QVBoxLayout(datum);
    datumLayout->addWidget(wgs_);
    datumLayout->addWidget(jgs_);
    (settings.meshWgs ? wgs_ : jgs_)->setChecked(true);

    auto* paint = new QGroupBox(QStringLiteral("表示方法"), this);
    filled_ = new QRadioButton(QStringLiteral("塗りつぶした矩形"), paint);
    marked_ = new QRadioButton(QStringLiteral("マークを描く"), paint);
    auto* paintLayout = new QVBoxLayout(paint);
    paintLayout->addWidget(filled_);
    paintLayout->addWidget(marked_);
    (settings.meshMarked ? marked_ : filled_)->setChecked(true);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(datum);
    layout->addWidget(paint);
    layout->addWidget(buttons);
}

bool MeshDialog::wgs() const { return wgs_->isChecked(); }

bool MeshDialog::marked() const { return marked_->isChecked(); }

void MeshDialog::apply(MeshSettings& settings) const
{
    settings.meshWgs = wgs();
    settings.meshMarked = marked();
}

} // namespace tavik
