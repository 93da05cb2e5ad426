#include "viewer/print/print_form_editor.h"

#include "common/tavik_ini_keys.h"
#include "platform/cp932.h"
#include "platform/ini_file.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "viewer/print/print_form_list.h"
#include "viewer/settings/settings.h"

#include <algorithm>

namespace tavik {
namespace {

// Numbered names run from (2) to (32) and then start again at (2).
constexpr int kFirstNumber = 2;
constexpr int kLastNumber = 32;
// The longest name a number is added to form, in bytes.
constexpr std::size_t kNumberedNameLimit = 126;

// The number n of a name that ends in "(n)" from its first opening bracket
// on, n from 1 to 32 written plainly; nothing for any other name.
std::optional<int> bracketNumber(const std::string& name, std::size_t open)
{
    const std::string digits = name.substr(open + 1);
    if (digits.size() < 2 || digits.back() != ')')
        return std::nullopt;
    const std::string number = digits.substr(0, digits.size() - 1);
    if (number.empty() || number.size() > 2 || number.front() == '0'
        || !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int n = std::stoi(number);
    if (n < 1 || n > kLastNumber)
        return std::nullopt;
    return n;
}

} // namespace

PrintFormEditor::PrintFormEditor(const PrintFormList& list)
    : forms_(list.forms())
    , selected_(list.currentIndex())
{
}

std::vector<std::string> PrintFormEditor::titles() const
{
    std::vector<std::string> titles;
    for (const PrintForm& form : forms_)
        titles.push_back(form.title);
    return titles;
}

void PrintFormEditor::apply(PrintFormEntries& entries)
{
    applyEntries(entries, forms_[static_cast<std::size_t>(selected_)]);
}

std::optional<EntryFault> PrintFormEditor::choose(PrintFormEntries& entries, const std::string& title)
{
    if (std::optional<EntryFault> fault = checkEntries(entries))
        return fault;
    apply(entries);
    auto found = std::find_if(forms_.begin(), forms_.end(), [&](const PrintForm& form) { return form.title == title; });
    if (found != forms_.end())
        selected_ = static_cast<int>(found - forms_.begin());
    return std::nullopt;
}

std::optional<Cp932Text> PrintFormEditor::addRefusal() const
{
    if (forms_.size() < static_cast<std::size_t>(PrintFormList::MaxForms))
        return std::nullopt;
    return cp932Printf(
        "Over %d\n  %s", PrintFormList::MaxForms, cp932Literal("これ以上書式を追加できません。").c_str());
}

std::string PrintFormEditor::newFormName(const std::string& fieldText) const
{
    auto taken = [&](const std::string& title) {
        return std::any_of(forms_.begin(), forms_.end(), [&](const PrintForm& form) { return form.title == title; });
    };
    if (!taken(fieldText))
        return fieldText;
    // "Atlas(3)" counts on from 3 on the stem "Atlas"; another name with a
    // bracket counts on from 2, one without from 1, on the whole name.
    std::string stem = fieldText;
    int start = 1;
    const std::size_t open = fieldText.find('(');
    if (open != std::string::npos) {
        if (std::optional<int> n = bracketNumber(fieldText, open)) {
            stem = fieldText.substr(0, open);
            start = *n;
        } else {
            start = 2;
        }
    }
    int n = start;
    for (int tries = kFirstNumber; tries <= kLastNumber; ++tries) {
        n = n + 1 > kLastNumber ? kFirstNumber : n + 1;
        if (n == start)
            break;
        const std::string candidate = stem + "(" + std::to_string(n) + ")";
        if (candidate.size() > kNumberedNameLimit)
            break;
        if (!taken(candidate))
            return candidate;
    }
    // No free number: the name is used as it is.
    return fieldText;
}

Cp932Text PrintFormEditor::addQuestion(const std::string& name)
{
    return cp932Printf("以下の名前で新しい書式を追加します\n%s", name.c_str());
}

std::optional<EntryFault> PrintFormEditor::add(const std::string& name, PrintFormEntries& entries)
{
    PrintForm form = selectedForm();
    form.title = cutCp932(name, PrintForm::TitleLimit);
    forms_.push_back(std::move(form));
    selected_ = static_cast<int>(forms_.size()) - 1;
    entries.field(FormField::Title) = forms_.back().title;
    if (std::optional<EntryFault> fault = checkEntries(entries))
        return fault;
    apply(entries);
    return std::nullopt;
}

std::optional<Cp932Text> PrintFormEditor::deleteRefusal() const
{
    if (forms_.size() > 1)
        return std::nullopt;
    return cp932Literal("書式を全て消すことはできません。");
}

Cp932Text PrintFormEditor::deleteQuestion() { return cp932Literal("書式を削除します。よいですか。"); }

void PrintFormEditor::removeSelected()
{
    if (forms_.size() <= 1)
        return;
    forms_.erase(forms_.begin() + selected_);
    selected_ = std::max(0, selected_ - 1);
}

bool PrintFormEditor::save(PrintFormList& list, Settings& settings, MessageSink& messages) const
{
    list.replace(forms_, selected_);
    std::string error;
    if (!list.save(settings.printFormCfg, &error)) {
        // The message names the file and the reason after the editor's own words.
        messages.stop(cp932Printf(
            "書式のファイル保存に失敗しました。\n%s\n%s", settings.printFormCfg.c_str(), utf8ToCp932(error).c_str()));
        return false;
    }
    settings.nowPrintForm = list.current().title;
    const std::string path = joinPath(settings.startupDirectory, "tavik.ini");
    IniFile ini = IniFile::load(path);
    ini.setValue(iniKey::nowPrintForm.section, iniKey::nowPrintForm.name, settings.nowPrintForm);
    if (!ini.save(path, &error)) {
        messages.stop(cp932Printf("%s に書き込みできませんでした。\n%s", path.c_str(), utf8ToCp932(error).c_str()));
        return false;
    }
    return true;
}

} // namespace tavik
