#include "viewer/windows/print_form_dialog.h"

#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "platform/text_format.h"
#include "viewer/basemap/qt_text.h"
#include "viewer/render/font_faces.h"
#include "viewer/session/workspace.h"
#include "viewer/windows/margin_diagram.h"
#include "viewer/windows/script_editor.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tavik {
namespace {

// Text for an editor: its lines end in one line break each.
QString editorText(const std::string& cp932Text)
{
    QString text = qtext(cp932Text);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

QPushButton* plainButton(const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    // Enter in a field must not press a button.
    button->setAutoDefault(false);
    return button;
}

constexpr FormScript kScripts[] = {FormScript::Header, FormScript::MapTitle, FormScript::Footer};

bool isScriptTab(int tab) { return tab >= static_cast<int>(FormTab::Header); }

// The message for the first character of `text` that cp932 lacks,
// by its code point, since the message cannot show it; nothing when every
// character has a cp932 form.
std::optional<Cp932Text> characterWithoutCp932(const QString& text)
{
    for (const char32_t code : text.toUcs4()) {
        if (!utf8ToCp932Exact(utf8Of(QString::fromUcs4(&code, 1))))
            return cp932Printf("%s U+%04X %s", cp932Literal("シフト JIS で書けない文字").c_str(),
                static_cast<unsigned>(code), cp932Literal("があります。別の文字にして下さい。").c_str());
    }
    return std::nullopt;
}

} // namespace

PrintFormDialog::PrintFormDialog(Workspace& workspace, MessageSink& messages, QWidget* parent)
    : QDialog(parent)
    , workspace_(workspace)
    , messages_(messages)
    , editor_(workspace.printForms())
{
    setWindowTitle(QStringLiteral("印刷書式"));
    setSizeGripEnabled(true);

    add_ = plainButton(QStringLiteral("追加"), this);
    delete_ = plainButton(QStringLiteral("削除"), this);
    save_ = plainButton(QStringLiteral("保存して閉じる"), this);
    cancel_ = plainButton(QStringLiteral("キャンセル"), this);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {add_, delete_, save_, cancel_})
        buttons->addWidget(button);
    buttons->addStretch(1);

    formList_ = new QComboBox(this);
    formList_->setMinimumContentsLength(24);
    formList_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    auto* chosen = new QHBoxLayout;
    chosen->addWidget(new QLabel(QStringLiteral("選択されている書式"), this));
    chosen->addWidget(formList_, 1);

    tabs_ = new QTabWidget(this);
    tabs_->addTab(makeTitleTab(), QString::fromUtf8(formTabName(FormTab::Title)));
    tabs_->addTab(makeGridTab(), QString::fromUtf8(formTabName(FormTab::Grid)));
    tabs_->addTab(makePagingTab(), QString::fromUtf8(formTabName(FormTab::Paging)));
    tabs_->addTab(makeMarginsTab(), QString::fromUtf8(formTabName(FormTab::Margins)));
    for (FormScript script : kScripts)
        tabs_->addTab(makeScriptTab(script), QString::fromUtf8(formTabName(scriptTab(script))));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addLayout(chosen);
    layout->addWidget(tabs_, 1);
    resize(640, 560);

    fillFormList();
    fill(editor_.selectedForm());
    tabs_->setCurrentIndex(0);

    connect(formList_, &QComboBox::activated, this, &PrintFormDialog::chooseForm);
    connect(tabs_, &QTabWidget::currentChanged, this, &PrintFormDialog::tabChanged);
    connect(add_, &QPushButton::clicked, this, &PrintFormDialog::addForm);
    connect(delete_, &QPushButton::clicked, this, &PrintFormDialog::deleteForm);
    connect(save_, &QPushButton::clicked, this, &PrintFormDialog::saveAndClose);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

QLineEdit* PrintFormDialog::makeField(FormField f, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    // Numbers keep 31 bytes and titles 127: longer input is refused here
    // (counted in characters) and cut at a character boundary on apply.
    edit->setMaxLength(formFieldSpec(f).kind == FormFieldSpec::Kind::Text ? 127 : 31);
    fields_[static_cast<std::size_t>(f)] = edit;
    return edit;
}

QWidget* PrintFormDialog::makeTitleTab()
{
    auto* page = new QWidget;
    auto* layout = new QGridLayout(page);
    layout->addWidget(new QLabel(QString::fromUtf8(formFieldSpec(FormField::Title).label), page), 0, 0);
    layout->addWidget(makeField(FormField::Title, page), 0, 1);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(1, 1);
    return page;
}

QWidget* PrintFormDialog::makeGridTab()
{
    auto* page = new QWidget;
    auto* layout = new QGridLayout(page);
    int row = 0;
    for (FormField f : {FormField::Columns, FormField::Rows}) {
        layout->addWidget(new QLabel(QString::fromUtf8(formFieldSpec(f).label), page), row, 0);
        QLineEdit* edit = makeField(f, page);
        edit->setMaximumWidth(80);
        layout->addWidget(edit, row++, 1);
    }
    arrange_ = new QComboBox(page);
    arrange_->addItems({QStringLiteral("上端"), QStringLiteral("下端")});
    layout->addWidget(new QLabel(QStringLiteral("地図タイトルの配置"), page), row, 0);
    layout->addWidget(arrange_, row++, 1, Qt::AlignLeft);
    layout->setColumnStretch(2, 1);
    layout->setRowStretch(row, 1);
    return page;
}

QWidget* PrintFormDialog::makePagingTab()
{
    auto* page = new QWidget;
    auto* layout = new QGridLayout(page);
    layout->addWidget(new QLabel(QString::fromUtf8(formFieldSpec(FormField::PagingLevel).label), page), 0, 0);
    QLineEdit* edit = makeField(FormField::PagingLevel, page);
    edit->setMaximumWidth(80);
    layout->addWidget(edit, 0, 1);
    auto* explanation = new QLabel(QStringLiteral("1: Force paging at each bottom node.\n      ex. genus, family...\n"
                                                  "2: Paging at upper node.\n3: ...\n..."),
        page);
    explanation->setTextFormat(Qt::PlainText);
    layout->addWidget(explanation, 1, 0, 1, 3);
    layout->setColumnStretch(2, 1);
    layout->setRowStretch(2, 1);
    return page;
}

QWidget* PrintFormDialog::makeMarginsTab()
{
    auto* page = new QWidget;
    auto* fields = new QVBoxLayout;
    struct Group {
        const char* title;
        std::initializer_list<FormField> fields;
        const char* unit;
    };
    const Group groups[] = {
        {"余白", {FormField::LeftMargin, FormField::RightMargin, FormField::TopMargin, FormField::BottomMargin}, "mm"},
        {"間隔", {FormField::HorizontalGap, FormField::VerticalGap}, "%"},
        {"ページヘッダ", {FormField::HeaderTop, FormField::HeaderLeft, FormField::HeaderRight}, "mm"},
        {"地図タイトル", {FormField::TitleTop, FormField::TitleLeft, FormField::TitleRight}, "%"},
        {"ページフッター", {FormField::FooterTop, FormField::FooterLeft, FormField::FooterRight}, "mm"},
    };
    auto* grid = new QGridLayout;
    int row = 0;
    for (const Group& group : groups) {
        for (FormField f : group.fields) {
            grid->addWidget(new QLabel(QString::fromUtf8(formFieldSpec(f).label), page), row, 0);
            QLineEdit* edit = makeField(f, page);
            edit->setMaximumWidth(80);
            grid->addWidget(edit, row, 1);
            grid->addWidget(new QLabel(QString::fromUtf8(group.unit), page), row, 2);
            ++row;
        }
        grid->setRowMinimumHeight(row++, 4);
    }
    fields->addLayout(grid);
    fields->addStretch(1);
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(fields);
    layout->addWidget(new MarginDiagram(page), 1);
    return page;
}

QWidget* PrintFormDialog::makeScriptTab(FormScript script)
{
    auto* page = new QWidget;
    ScriptTab& tab = scripts_[index(script)];
    tab.editor = new ScriptEditor(messages_, page);

    auto* buttons = new QGridLayout;
    for (std::size_t i = 0; i < kScriptButtonCount; ++i) {
        const auto button = static_cast<ScriptButton>(i);
        tab.buttons[i] = plainButton(QString::fromUtf8(scriptButtonLabel(button)), page);
        buttons->addWidget(tab.buttons[i], static_cast<int>(i / 2), static_cast<int>(i % 2));
        connect(tab.buttons[i], &QPushButton::clicked, this, [this, script, button] { insert(script, button); });
    }

    const Settings& settings = workspace_.settings();
    tab.faces = new QComboBox(page);
    for (const std::string& family : installedFontFamilies())
        tab.faces->addItem(qtext(family));
    int face = tab.faces->findText(qtext(settings.printFontFace), Qt::MatchExactly);
    if (face < 0 && !settings.printFontFace.empty()) {
        tab.faces->insertItem(0, qtext(settings.printFontFace));
        face = 0;
    }
    tab.faces->setCurrentIndex(face);
    tab.size = new QLineEdit(qtext(formatFixed(settings.printFontSize, 4, 1)), page);
    tab.size->setMaximumWidth(60);
    auto* font = new QHBoxLayout;
    font->addWidget(tab.faces, 1);
    font->addWidget(tab.size);
    font->addWidget(new QLabel(QStringLiteral("pt"), page));

    auto* side = new QVBoxLayout;
    side->addLayout(buttons);
    side->addStretch(1);
    auto* body = new QHBoxLayout;
    body->addWidget(tab.editor, 1);
    body->addLayout(side);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(body, 1);
    layout->addLayout(font);
    return page;
}

std::optional<EntryFault> PrintFormDialog::textWithoutCp932() const
{
    for (const FormFieldSpec& spec : formFieldSpecs()) {
        if (std::optional<Cp932Text> missing = characterWithoutCp932(field(spec.field)->text()))
            return EntryFault{
                spec.tab, spec.field, cp932Printf("  %s :  %s   ", cp932Literal(spec.label).c_str(), missing->c_str())};
    }
    for (FormScript script : kScripts) {
        if (std::optional<Cp932Text> missing = characterWithoutCp932(scriptEditor(script)->toPlainText()))
            return EntryFault{scriptTab(script), std::nullopt,
                cp932Literal(std::string(formTabName(scriptTab(script))) + "\n  ") + *missing};
    }
    return std::nullopt;
}

PrintFormEntries PrintFormDialog::entries() const
{
    PrintFormEntries entries;
    for (std::size_t i = 0; i < kFormFieldCount; ++i)
        entries.fields[i] = cp932Text(fields_[i]->text());
    entries.titleBelow = arrange_->currentIndex() == 1;
    for (std::size_t i = 0; i < kFormScriptCount; ++i) {
        entries.scripts[i] = cp932Text(scripts_[i].editor->toPlainText());
        entries.scriptChanged[i] = scripts_[i].editor->changed();
    }
    return entries;
}

void PrintFormDialog::fill(const PrintForm& form)
{
    const PrintFormEntries entries = PrintFormEntries::of(form);
    for (std::size_t i = 0; i < kFormFieldCount; ++i)
        fields_[i]->setText(qtext(entries.fields[i]));
    arrange_->setCurrentIndex(entries.titleBelow ? 1 : 0);
    for (std::size_t i = 0; i < kFormScriptCount; ++i)
        scripts_[i].editor->fill(editorText(entries.scripts[i]));
}

void PrintFormDialog::fillFormList()
{
    formList_->clear();
    for (const std::string& title : editor_.titles())
        formList_->addItem(qtext(title));
    formList_->setCurrentIndex(editor_.selected());
}

void PrintFormDialog::showFault(const EntryFault& fault)
{
    tabs_->setCurrentIndex(static_cast<int>(fault.tab));
    messages_.stop(fault.message);
    if (fault.field) {
        QLineEdit* edit = field(*fault.field);
        edit->setFocus();
        edit->selectAll();
    } else {
        for (FormScript script : kScripts) {
            if (scriptTab(script) == fault.tab)
                scriptEditor(script)->setFocus();
        }
    }
}

void PrintFormDialog::markScriptsApplied()
{
    for (ScriptTab& tab : scripts_)
        tab.editor->markUnchanged();
}

void PrintFormDialog::chooseForm(int entry)
{
    const int previous = editor_.selected();
    if (entry == previous || entry < 0 || static_cast<std::size_t>(entry) >= editor_.forms().size())
        return;
    const std::string title = editor_.forms()[static_cast<std::size_t>(entry)].title;
    if (std::optional<EntryFault> fault = textWithoutCp932()) {
        formList_->setCurrentIndex(previous);
        showFault(*fault);
        return;
    }
    PrintFormEntries shown = entries();
    if (std::optional<EntryFault> fault = editor_.choose(shown, title)) {
        formList_->setCurrentIndex(previous);
        showFault(*fault);
        return;
    }
    formList_->setItemText(previous, qtext(editor_.forms()[static_cast<std::size_t>(previous)].title));
    formList_->setCurrentIndex(editor_.selected());
    fill(editor_.selectedForm());
}

void PrintFormDialog::addForm()
{
    if (std::optional<Cp932Text> refusal = editor_.addRefusal()) {
        messages_.stop(*refusal);
        return;
    }
    if (std::optional<EntryFault> fault = textWithoutCp932()) {
        showFault(*fault);
        return;
    }
    PrintFormEntries shown = entries();
    const std::string name = editor_.newFormName(shown.field(FormField::Title));
    if (!messages_.ask({{}, PrintFormEditor::addQuestion(name), MessageIcon::Exclamation}))
        return;
    std::optional<EntryFault> fault = editor_.add(name, shown);
    formList_->addItem(qtext(editor_.selectedForm().title));
    formList_->setCurrentIndex(editor_.selected());
    field(FormField::Title)->setText(qtext(editor_.selectedForm().title));
    if (fault)
        showFault(*fault);
    else
        markScriptsApplied();
}

void PrintFormDialog::deleteForm()
{
    if (std::optional<Cp932Text> refusal = editor_.deleteRefusal()) {
        messages_.stop(*refusal);
        return;
    }
    if (!messages_.ask({{}, PrintFormEditor::deleteQuestion(), MessageIcon::Exclamation}))
        return;
    const int removed = editor_.selected();
    editor_.removeSelected();
    formList_->removeItem(removed);
    formList_->setCurrentIndex(editor_.selected());
    fill(editor_.selectedForm());
}

void PrintFormDialog::saveAndClose()
{
    if (std::optional<EntryFault> fault = textWithoutCp932()) {
        showFault(*fault);
        return;
    }
    PrintFormEntries shown = entries();
    if (std::optional<EntryFault> fault = checkEntries(shown)) {
        showFault(*fault);
        return;
    }
    editor_.apply(shown);
    // A file that cannot be written has been reported; the new forms stay
    // in memory and the dialog closes all the same.
    workspace_.changeSettings([this](Settings& settings) {
        workspace_.changePrintForms([&](PrintFormList& forms) { editor_.save(forms, settings, messages_); });
    });
    accept();
}

void PrintFormDialog::tabChanged(int tab)
{
    // The face and size chosen on a script tab go to all three when it is left.
    if (isScriptTab(shownTab_) && tab != shownTab_) {
        const ScriptTab& left = scripts_[static_cast<std::size_t>(shownTab_ - static_cast<int>(FormTab::Header))];
        for (ScriptTab& other : scripts_) {
            other.faces->setCurrentIndex(left.faces->currentIndex());
            other.size->setText(left.size->text());
        }
    }
    shownTab_ = tab;
}

void PrintFormDialog::insert(FormScript script, ScriptButton button)
{
    const ScriptTab& tab = scripts_[index(script)];
    const ScriptInsertion insertion
        = scriptInsertion(button, cp932Text(tab.size->text()), cp932Text(tab.faces->currentText()));
    const int caret = static_cast<int>(editorText(insertion.text.substr(0, insertion.caret)).size());
    tab.editor->insertScript(editorText(insertion.text), caret);
}

} // namespace tavik
