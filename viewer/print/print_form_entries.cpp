#include "viewer/print/print_form_entries.h"

#include "platform/cp932.h"
#include "platform/text_format.h"
#include "platform/text_numbers.h"
#include "tagfile/schema_validator.h"
#include "tagfile/tag_reader.h"
#include "viewer/print/print_form.h"
#include "viewer/print/print_form_list.h"

namespace tavik {
namespace {

using Kind = FormFieldSpec::Kind;

// The characters that would break the attribute syntax of the print form
// file, where every text is written between double quotes unescaped.
constexpr std::string_view kForbidden = "<>\"'=";

// The real field of a form that an editor field edits; null for the others.
template <typename Form> auto realField(Form& form, FormField field) -> decltype(&form.leftMargin)
{
    switch (field) {
    case FormField::LeftMargin:
        return &form.leftMargin;
    case FormField::RightMargin:
        return &form.rightMargin;
    case FormField::TopMargin:
        return &form.topMargin;
    case FormField::BottomMargin:
        return &form.bottomMargin;
    case FormField::HorizontalGap:
        return &form.horizontalGap;
    case FormField::VerticalGap:
        return &form.verticalGap;
    case FormField::HeaderTop:
        return &form.pageHeader.topOffset;
    case FormField::HeaderLeft:
        return &form.pageHeader.leftProtrusion;
    case FormField::HeaderRight:
        return &form.pageHeader.rightProtrusion;
    case FormField::TitleTop:
        return &form.mapTitle.topOffset;
    case FormField::TitleLeft:
        return &form.mapTitle.leftProtrusion;
    case FormField::TitleRight:
        return &form.mapTitle.rightProtrusion;
    case FormField::FooterTop:
        return &form.pageFooter.topOffset;
    case FormField::FooterLeft:
        return &form.pageFooter.leftProtrusion;
    case FormField::FooterRight:
        return &form.pageFooter.rightProtrusion;
    default:
        return nullptr;
    }
}

std::vector<TagNode>& scriptOf(PrintForm& form, FormScript script)
{
    switch (script) {
    case FormScript::Header:
        return form.pageHeader.script;
    case FormScript::MapTitle:
        return form.mapTitle.script;
    case FormScript::Footer:
        break;
    }
    return form.pageFooter.script;
}

void writeEditorText(const std::vector<TagNode>& nodes, std::string& text)
{
    for (const TagNode& node : nodes) {
        if (node.isText()) {
            text += node.text + "\r\n";
            continue;
        }
        text += "<" + node.name;
        for (const TagAttribute& attribute : node.attributes)
            text += " " + attributeText(attribute.name, attribute.value);
        if (node.kind != TagNode::Kind::Start) {
            text += "/>\r\n";
            continue;
        }
        text += ">\r\n";
        writeEditorText(node.children, text);
        text += "</" + node.name + ">\r\n";
    }
}

struct ScriptParse {
    TagStatus status;
    std::vector<TagNode> nodes;
    std::vector<TagError> errors;
};

ScriptParse parseScript(const std::string& text)
{
    TagReader reader;
    reader.setTagTable(PrintFormList::tagTable());
    const TagStatus status = reader.parseLines(editorLines(text));
    return {status, reader.takeNodes(), reader.errors()};
}

std::optional<EntryFault> checkScript(const PrintFormEntries& entries, FormScript script)
{
    const FormTab tab = scriptTab(script);
    const ScriptParse parse = parseScript(entries.script(script));
    if (parse.status != TagStatus::Ok) {
        Cp932Text message = cp932Literal(std::string(formTabName(tab)) + "\n");
        for (const TagError& error : parse.errors)
            message += cp932Printf("  line: %d   column: %d   \n  [%s] \n  %s   \n", error.line, error.column,
                error.text.c_str(), tagStatusMessage(error.status).c_str());
        return EntryFault{tab, std::nullopt, message};
    }
    Cp932Text message = cp932Literal(std::string(formTabName(tab)) + "  \n");
    SchemaValidator validator;
    if (!validator.validate(parse.nodes, PrintFormList::scriptSchema(), message))
        return EntryFault{tab, std::nullopt, message};
    return std::nullopt;
}

} // namespace

const std::array<FormFieldSpec, kFormFieldCount>& formFieldSpecs()
{
    static const std::array<FormFieldSpec, kFormFieldCount> specs = {{
        {FormField::Title, FormTab::Title, "書式名", Kind::Text, 0, 0},
        {FormField::Columns, FormTab::Grid, "列数(columns)", Kind::Integer, 1, 32},
        {FormField::Rows, FormTab::Grid, "行数(rows)", Kind::Integer, 1, 32},
        {FormField::PagingLevel, FormTab::Paging, "paging level", Kind::Integer, -1, 256},
        {FormField::LeftMargin, FormTab::Margins, "A 左　余白", Kind::Real, 0.1, 999},
        {FormField::RightMargin, FormTab::Margins, "B 右　余白", Kind::Real, 0.1, 999},
        {FormField::TopMargin, FormTab::Margins, "C 上　余白", Kind::Real, 0.1, 999},
        {FormField::BottomMargin, FormTab::Margins, "D 下　余白", Kind::Real, 0.1, 999},
        {FormField::HorizontalGap, FormTab::Margins, "E 横　間隔", Kind::Real, 0.1, 999},
        {FormField::VerticalGap, FormTab::Margins, "F 縦　間隔 ", Kind::Real, 0.1, 999},
        {FormField::HeaderTop, FormTab::Margins, "G ページヘッダ", Kind::Real, 0.1, 999},
        {FormField::HeaderLeft, FormTab::Margins, "H 左　はみ出し量", Kind::Real, 0, 999},
        {FormField::HeaderRight, FormTab::Margins, "I 右　はみ出し量", Kind::Real, 0, 999},
        {FormField::TitleTop, FormTab::Margins, "J 地図タイトル", Kind::Real, 0.1, 999},
        {FormField::TitleLeft, FormTab::Margins, "K 左　はみ出し量", Kind::Real, 0, 999},
        {FormField::TitleRight, FormTab::Margins, "L 右　はみ出し量", Kind::Real, 0, 999},
        {FormField::FooterTop, FormTab::Margins, "M ページフッター", Kind::Real, 0.1, 999},
        {FormField::FooterLeft, FormTab::Margins, "N 左　はみ出し量", Kind::Real, 0, 999},
        {FormField::FooterRight, FormTab::Margins, "O 右　はみ出し量", Kind::Real, 0, 999},
    }};
    return specs;
}

const FormFieldSpec& formFieldSpec(FormField field) { return formFieldSpecs()[static_cast<std::size_t>(field)]; }

const char* formTabName(FormTab tab)
{
    static const char* const names[]
        = {"書式名", "段組み", "改ページ", "余白/間隔", "ヘッダ", "地図タイトル", "フッタ"};
    return names[static_cast<int>(tab)];
}

FormTab scriptTab(FormScript script)
{
    switch (script) {
    case FormScript::Header:
        return FormTab::Header;
    case FormScript::MapTitle:
        return FormTab::MapTitle;
    case FormScript::Footer:
        break;
    }
    return FormTab::Footer;
}

PrintFormEntries PrintFormEntries::of(const PrintForm& form)
{
    PrintFormEntries entries;
    entries.field(FormField::Title) = form.title;
    entries.field(FormField::Columns) = form.columns.text;
    entries.field(FormField::Rows) = form.rows.text;
    entries.field(FormField::PagingLevel) = form.pagingLevel.text;
    for (const FormFieldSpec& spec : formFieldSpecs()) {
        if (const RealField* real = realField(form, spec.field))
            entries.field(spec.field) = real->text;
    }
    entries.titleBelow = form.mapTitle.bottom;
    entries.script(FormScript::Header) = scriptEditorText(form.pageHeader.script);
    entries.script(FormScript::MapTitle) = scriptEditorText(form.mapTitle.script);
    entries.script(FormScript::Footer) = scriptEditorText(form.pageFooter.script);
    return entries;
}

std::optional<EntryFault> checkEntries(const PrintFormEntries& entries)
{
    for (const FormFieldSpec& spec : formFieldSpecs()) {
        const std::string& text = entries.field(spec.field);
        const std::string label = cp932Literal(spec.label);
        if (text.find_first_of(kForbidden) != std::string::npos) {
            return EntryFault{spec.tab, spec.field,
                cp932Printf(
                    "  %s :  %s   ", label.c_str(), cp932Literal("文字に <>\"'= を含めることはできません。").c_str())};
        }
        if (spec.kind == Kind::Text)
            continue;
        const double value = parseReal(text);
        if (value < spec.minimum || value > spec.maximum) {
            // The bounds as "%6.1f" prints them, in the C locale whatever the
            // program's locale.
            const std::string minimum = formatFixed(spec.minimum, 6, 1);
            const std::string maximum = formatFixed(spec.maximum, 6, 1);
            return EntryFault{spec.tab, spec.field,
                cp932Printf("  %s :  %s   \n  Out of range!   \n  Please input  %s <   %s   < %s   ", label.c_str(),
                    text.c_str(), minimum.c_str(), label.c_str(), maximum.c_str())};
        }
    }
    for (FormScript script : {FormScript::Header, FormScript::MapTitle, FormScript::Footer}) {
        if (std::optional<EntryFault> fault = checkScript(entries, script))
            return fault;
    }
    return std::nullopt;
}

void applyEntries(PrintFormEntries& entries, PrintForm& form)
{
    form.title = cutCp932(entries.field(FormField::Title), PrintForm::TitleLimit);
    form.columns = PrintForm::countFromText(entries.field(FormField::Columns));
    form.rows = PrintForm::countFromText(entries.field(FormField::Rows));
    form.pagingLevel = IntegerField::fromText(entries.field(FormField::PagingLevel));
    for (const FormFieldSpec& spec : formFieldSpecs()) {
        if (RealField* real = realField(form, spec.field))
            *real = RealField::fromText(entries.field(spec.field));
    }
    form.mapTitle.bottom = entries.titleBelow;
    for (std::size_t i = 0; i < kFormScriptCount; ++i) {
        if (!entries.scriptChanged[i])
            continue;
        // A script that does not parse is kept as it was, so that nothing is
        // lost when apply runs without a passed check.
        ScriptParse parse = parseScript(entries.scripts[i]);
        if (parse.status == TagStatus::Ok)
            scriptOf(form, static_cast<FormScript>(i)) = std::move(parse.nodes);
        entries.scriptChanged[i] = false;
    }
}

std::string scriptEditorText(const std::vector<TagNode>& script)
{
    std::string text;
    writeEditorText(script, text);
    return text;
}

std::vector<std::string> editorLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

} // namespace tavik
