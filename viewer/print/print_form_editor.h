#pragma once

#include "viewer/print/print_form.h"
#include "viewer/print/print_form_entries.h"

#include <optional>
#include <string>
#include <vector>

namespace tavik {

class MessageSink;
class PrintFormList;
struct Settings;

// What the print form editor works on: deep copies of all forms, one of them
// selected, and the steps of its buttons. Nothing reaches the viewer's list
// until save(). The dialog shows the selected form in its controls and hands
// their texts (PrintFormEntries) to these steps.
class PrintFormEditor {
public:
    // Copies every form of the list; the copy of the current form is selected.
    explicit PrintFormEditor(const PrintFormList& list);

    const std::vector<PrintForm>& forms() const { return forms_; }
    int selected() const { return selected_; }
    const PrintForm& selectedForm() const { return forms_[static_cast<std::size_t>(selected_)]; }

    // The titles in order, as the drop-down list shows them.
    std::vector<std::string> titles() const;

    // Stores the entries in the selected form (applyEntries).
    void apply(PrintFormEntries& entries);

    // Choosing another form in the drop-down list: the entries are checked
    // (the fault is returned and nothing changes), applied to the selected
    // form, and the first form with that title (byte for byte) becomes the
    // selected one. Nothing is selected anew when no form has the title.
    std::optional<EntryFault> choose(PrintFormEntries& entries, const std::string& title);

    // Adding a form, step by step as the dialog runs it:
    // the refusal when the list is full ("Over 32"), or nothing;
    std::optional<Cp932Text> addRefusal() const;
    // the name of the new form, made from the title field's text (cp932);
    std::string newFormName(const std::string& fieldText) const;
    // the question that asks whether to add it;
    static Cp932Text addQuestion(const std::string& name);
    // the new form: a copy of the selected form as it stood at its last
    // apply, with the name as its title, appended and selected. The entries'
    // title becomes the name; when the entries pass the check they are
    // applied to the new form, else their fault is returned.
    std::optional<EntryFault> add(const std::string& name, PrintFormEntries& entries);

    // Deleting the selected form: the refusal when it is the only form, or
    // nothing; the question; and the removal, after which the form before it
    // (or the new first) is selected.
    std::optional<Cp932Text> deleteRefusal() const;
    static Cp932Text deleteQuestion();
    void removeSelected();

    // Save and close after the entries passed their check and were applied:
    // the viewer's list is rebuilt from copies of the working list with the
    // selected form current, and written to the print form file
    // (PrintFormCfg). When the file was written, NowPrintForm becomes the
    // current title in memory and in "tavik.ini"; otherwise
    // "書式のファイル保存に失敗しました。" is shown and the new list stays in
    // memory. False when anything could not be written.
    bool save(PrintFormList& list, Settings& settings, MessageSink& messages) const;

private:
    std::vector<PrintForm> forms_;
    int selected_ = 0;
};

} // namespace tavik
