#pragma once

#include "viewer/print/print_form.h"

#include <string>
#include <string_view>
#include <vector>

namespace tavik {

class MessageSink;
struct ChildRule;
struct TagName;

// The print forms of the viewer, in file order, one of them current. The list
// always holds at least one form: the built-in one until a file gives forms.
class PrintFormList {
public:
    static constexpr int MaxForms = 32;
    static constexpr std::size_t NowPrintFormLimit = 254; // bytes of the remembered title

    PrintFormList();

    // Reads the print form file (cp932 path). Parse errors and schema
    // findings are shown through the sink, and the forms are built from
    // whatever tree the file gave. True when at least one form was built
    // (the first becomes current); otherwise the built-in form becomes the
    // only and current form, "デフォルトの印刷書式を使用します" is shown, and the
    // result is false.
    bool load(std::string_view path, MessageSink& sink);

    // The start-up step: load the file, then make the form named by the
    // remembered title (NowPrintForm, cut to 254 bytes) current, or the first
    // form when none has that title. When the built-in form was used, the
    // remembered title becomes its title, "default". Returns load()'s result.
    bool loadAtStartup(std::string_view path, std::string& nowPrintForm, MessageSink& sink);

    // Makes the first form with exactly this title current; false, and
    // nothing changes, when no form has it.
    bool select(std::string_view title);

    const PrintForm& current() const { return forms_[current_]; }
    int currentIndex() const { return current_; }
    const std::vector<PrintForm>& forms() const { return forms_; }

    // Replaces all forms (the editor's save); an empty list leaves the
    // built-in form. The current index is clamped into the list.
    void replace(std::vector<PrintForm> forms, int currentIndex);

    // Writes all forms, replacing the file whole, with CR LF line ends; false
    // when the file cannot be written.
    bool save(std::string_view path, std::string* errorText = nullptr) const;

    // The text save() writes.
    std::string text() const;

    // A script as save() writes it, on one line.
    static std::string scriptText(const std::vector<TagNode>& script);

    static const std::vector<TagName>& tagTable();
    static const std::vector<ChildRule>& schema();
    // What may stand at the top level of a script: the twelve script elements.
    static const std::vector<ChildRule>& scriptSchema();

private:
    std::vector<PrintForm> forms_;
    int current_ = 0;
};

} // namespace tavik
