#pragma once

#include "viewer/print/print_form_editor.h"
#include "viewer/print/script_insertion.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace tavik {

class MessageSink;
class ScriptEditor;
class Workspace;

// The print form editor "印刷書式": the forms' titles in a drop-down list,
// seven tabs with the fields of the selected form and its three scripts, and
// the buttons "追加", "削除", "保存して閉じる" and "キャンセル". It works on
// copies (PrintFormEditor); "保存して閉じる" replaces the viewer's forms,
// writes the print form file and NowPrintForm and accepts the dialog, after
// which the caller has the open documents take the new current form.
class PrintFormDialog : public QDialog {
    Q_OBJECT
public:
    PrintFormDialog(Workspace& workspace, MessageSink& messages, QWidget* parent = nullptr);

    const PrintFormEditor& editor() const { return editor_; }

    // The controls, for tests and pictures.
    QComboBox* formList() const { return formList_; }
    QTabWidget* tabs() const { return tabs_; }
    QLineEdit* field(FormField field) const { return fields_[static_cast<std::size_t>(field)]; }
    QComboBox* arrangeChoice() const { return arrange_; }
    ScriptEditor* scriptEditor(FormScript script) const { return scripts_[index(script)].editor; }
    QPushButton* scriptButton(FormScript script, ScriptButton button) const
    {
        return scripts_[index(script)].buttons[static_cast<std::size_t>(button)];
    }
    QComboBox* faceList(FormScript script) const { return scripts_[index(script)].faces; }
    QLineEdit* sizeField(FormScript script) const { return scripts_[index(script)].size; }
    QPushButton* addButton() const { return add_; }
    QPushButton* deleteButton() const { return delete_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    struct ScriptTab {
        ScriptEditor* editor = nullptr;
        std::array<QPushButton*, kScriptButtonCount> buttons{};
        QComboBox* faces = nullptr;
        QLineEdit* size = nullptr;
    };
    static std::size_t index(FormScript script) { return static_cast<std::size_t>(script); }

    QWidget* makeTitleTab();
    QWidget* makeGridTab();
    QWidget* makePagingTab();
    QWidget* makeMarginsTab();
    QWidget* makeScriptTab(FormScript script);
    QLineEdit* makeField(FormField field, QWidget* parent);

    // The controls' texts, and the controls filled from a form.
    PrintFormEntries entries() const;
    void fill(const PrintForm& form);
    void fillFormList();
    // The first field or script holding a character cp932 lacks, which would
    // be stored as "?": named, so that nothing typed is changed unseen.
    std::optional<EntryFault> textWithoutCp932() const;
    // Shows a refused check: its tab in front, the message, the field focused.
    void showFault(const EntryFault& fault);
    // Marks the script editors unchanged after an apply.
    void markScriptsApplied();

    void chooseForm(int entry);
    void addForm();
    void deleteForm();
    void saveAndClose();
    void tabChanged(int tab);
    void insert(FormScript script, ScriptButton button);

    Workspace& workspace_;
    MessageSink& messages_;
    PrintFormEditor editor_;
    QComboBox* formList_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    std::array<QLineEdit*, kFormFieldCount> fields_{};
    QComboBox* arrange_ = nullptr;
    std::array<ScriptTab, kFormScriptCount> scripts_{};
    QPushButton* add_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* cancel_ = nullptr;
    int shownTab_ = 0;
};

} // namespace tavik
