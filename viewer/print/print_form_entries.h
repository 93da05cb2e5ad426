#pragma once

#include "platform/cp932_text.h"
#include "tagfile/tag_node.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tavik {

struct PrintForm;

// The tabs of the print form editor, in the order they are shown and checked.
enum class FormTab { Title, Grid, Paging, Margins, Header, MapTitle, Footer };

// The text fields of the print form editor, in the order they are checked.
enum class FormField {
    Title,
    Columns,
    Rows,
    PagingLevel,
    LeftMargin, // A
    RightMargin, // B
    TopMargin, // C
    BottomMargin, // D
    HorizontalGap, // E
    VerticalGap, // F
    HeaderTop, // G
    HeaderLeft, // H
    HeaderRight, // I
    TitleTop, // J
    TitleLeft, // K
    TitleRight, // L
    FooterTop, // M
    FooterLeft, // N
    FooterRight, // O
};
constexpr std::size_t kFormFieldCount = 19;

// The three scripts of a form, in the order of their tabs.
enum class FormScript { Header, MapTitle, Footer };
constexpr std::size_t kFormScriptCount = 3;

// A field of the editor: where it sits, its label and what it accepts.
struct FormFieldSpec {
    enum class Kind { Text, Integer, Real };
    FormField field;
    FormTab tab;
    const char* label; // UTF-8, as the editor shows it and its messages name it
    Kind kind;
    double minimum; // numbers only, inclusive
    double maximum;
};

// Every field, in the order the editor checks them.
const std::array<FormFieldSpec, kFormFieldCount>& formFieldSpecs();
const FormFieldSpec& formFieldSpec(FormField field);

// The names of the seven tabs (UTF-8).
const char* formTabName(FormTab tab);

// The tab that edits a script.
FormTab scriptTab(FormScript script);

// What the controls of the print form editor hold, as cp932 text: the field
// texts, the arrange choice, and the three script editors' texts (lines
// separated by "\r\n" or "\n") with whether each was changed since it was
// filled.
struct PrintFormEntries {
    std::array<std::string, kFormFieldCount> fields;
    bool titleBelow = false; // "下端" is chosen
    std::array<std::string, kFormScriptCount> scripts;
    std::array<bool, kFormScriptCount> scriptChanged{};

    std::string& field(FormField f) { return fields[static_cast<std::size_t>(f)]; }
    const std::string& field(FormField f) const { return fields[static_cast<std::size_t>(f)]; }
    std::string& script(FormScript s) { return scripts[static_cast<std::size_t>(s)]; }
    const std::string& script(FormScript s) const { return scripts[static_cast<std::size_t>(s)]; }

    // The controls filled from a form: the stored texts, the arrange choice
    // and each script as editor text; every script marked unchanged.
    static PrintFormEntries of(const PrintForm& form);
};

// Why the entries were refused: the tab to bring to the front, the field at
// fault (none for a script) and the message.
struct EntryFault {
    FormTab tab;
    std::optional<FormField> field;
    Cp932Text message;
};

// Checks every field, tab by tab in the order of formFieldSpecs(): none may
// hold any of < > " ' =, and a number must lie within its range (read as a
// real). Then the three scripts, header, title, footer, must parse and keep
// to the script schema. The first failure is returned.
std::optional<EntryFault> checkEntries(const PrintFormEntries& entries);

// Stores the entries in a form: texts cut to their capacities (127 bytes for
// the title, 31 for numbers, at a character boundary) with their values. A
// changed script is parsed: no node empties it, a good parse replaces it, a
// failed parse leaves it. Every script is then marked unchanged.
void applyEntries(PrintFormEntries& entries, PrintForm& form);

// A script as the editor shows it: one node per line, lines ending in "\r\n",
// containers opened and closed on lines of their own (cp932).
std::string scriptEditorText(const std::vector<TagNode>& script);

// The lines of an editor's text, without their line ends.
std::vector<std::string> editorLines(const std::string& text);

} // namespace tavik
