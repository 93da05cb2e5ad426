#include "viewer/print/print_form_list.h"

#include "platform/cp932.h"
#include "platform/file_replacement.h"
#include "platform/message_sink.h"
#include "tagfile/schema_validator.h"
#include "tagfile/tag_file.h"
#include "tagfile/tag_reader.h"

#include <algorithm>
#include <array>

namespace tavik {

namespace {

const char* const kScriptElements[] = {
    "font", "page", "node", "left", "center", "right", "cr", "numofpage", "spname", "nomenclator", "spcount", "legend"};

struct PrintFormSchema {
    static AttributeRule value(AttributeType type, const char* minimum, const char* maximum)
    {
        return {"value", type, minimum, maximum, true};
    }
    static AttributeRule optional(const char* name, AttributeType type, const char* minimum, const char* maximum)
    {
        return {name, type, minimum, maximum, false};
    }
    static AttributeRule speciesName()
    {
        return {"name", AttributeType::String, "scientific\nalias1\nalias2", "", true};
    }
    static AttributeRule order() { return optional("order", AttributeType::Integer, "1", "10"); }

    TagRule count{"", {value(AttributeType::Integer, "1", "32")}, {}};
    TagRule paging{"paging", {{"level", AttributeType::Integer, "-1", "256", true}}, {}};
    TagRule margin{"", {value(AttributeType::Real, "0.1", "999")}, {}};
    TagRule topMargin{"top-marginmm", {value(AttributeType::Real, "0.0", "999")}, {}};
    TagRule protrusion{"", {value(AttributeType::Real, "0.0", "999")}, {}};

    // Script elements; containers hold the twelve again.
    TagRule font{"font",
        {optional("size", AttributeType::Real, "0.1", "999"), optional("facename", AttributeType::String, "", ""),
            optional("italic", AttributeType::String, "true\nfalse", "")},
        {}};
    TagRule left{"left", {}, {}};
    TagRule center{"center", {}, {}};
    TagRule right{"right", {}, {}};
    TagRule page{"page", {optional("start", AttributeType::Integer, "0", "32767")}, {}};
    TagRule node{"node", {optional("level", AttributeType::Integer, "-1", "9999"), speciesName(), order()}, {}};
    TagRule bare{"", {}, {}};
    TagRule spname{"spname", {speciesName(), order()}, {}};
    TagRule nomenclator{"nomenclator",
        {optional("wrap", AttributeType::String, "true\nfalse", ""),
            optional("indent", AttributeType::Integer, "0", "512"), order()},
        {}};
    TagRule spcount{"spcount",
        {optional("start", AttributeType::Integer, "0", "2000000000"),
            optional("format", AttributeType::String, "", "")},
        {}};
    TagRule legend{"legend",
        {{"draw", AttributeType::String, "mark\nfill", "", true}, order(),
            optional("rank", AttributeType::String, "a\nb\nc\nz", "")},
        {}};
    std::vector<ChildRule> scriptElements;
    TagRule script{"script", {}, {}};

    TagRule mapTitle{"map-title", {optional("arrange", AttributeType::String, "top\nbottom", "")}, {}};
    TagRule pageBlock{"", {}, {}};
    TagRule pageForm{"page-form", {{"title", AttributeType::String, "", "", true}}, {}};
    TagRule printForm{"print-form", {}, {}};
    std::vector<ChildRule> top;

    PrintFormSchema()
    {
        const std::array<const TagRule*, 12> rules
            = {&font, &page, &node, &left, &center, &right, &bare, &bare, &spname, &nomenclator, &spcount, &legend};
        for (std::size_t i = 0; i < rules.size(); ++i)
            scriptElements.push_back({kScriptElements[i], 0, 999, rules[i]});
        for (TagRule* container : {&font, &left, &center, &right, &script})
            container->children = scriptElements;

        mapTitle.children = {{"top-marginpc", 1, 1, &margin}, {"left-protrusionpc", 1, 1, &protrusion},
            {"right-protrusionpc", 1, 1, &protrusion}, {"script", 1, 1, &script}};
        pageBlock.children = {{"top-marginmm", 1, 1, &topMargin}, {"left-protrusionmm", 1, 1, &protrusion},
            {"right-protrusionmm", 1, 1, &protrusion}, {"script", 1, 1, &script}};
        pageForm.children = {{"num-of-rows", 1, 1, &count}, {"num-of-cols", 1, 1, &count}, {"paging", 1, 1, &paging},
            {"left-marginmm", 1, 1, &margin}, {"right-marginmm", 1, 1, &margin}, {"top-marginmm", 1, 1, &topMargin},
            {"bottom-marginmm", 1, 1, &margin}, {"hor-gap-ratio", 1, 1, &margin}, {"ver-gap-ratio", 1, 1, &margin},
            {"map-title", 1, 1, &mapTitle}, {"page-header", 1, 1, &pageBlock}, {"page-footer", 1, 1, &pageBlock}};
        printForm.children = {{"page-form", 1, PrintFormList::MaxForms, &pageForm}};
        top = {{"print-form", 1, 1, &printForm}};
    }
};

const PrintFormSchema& printFormSchema()
{
    static const PrintFormSchema schema;
    return schema;
}

// The value of a number element: its first attribute, which must have the
// expected name. Null when it has not, which ends the building of forms.
const TagAttribute* numberAttribute(const TagNode& node, const char* name = "value")
{
    if (node.attributes.empty() || node.attributes.front().name != name)
        return nullptr;
    return &node.attributes.front();
}

bool readBlock(const TagNode& node, TextBlock& block)
{
    for (const TagNode& child : node.children) {
        RealField* field = nullptr;
        if (child.name == "top-marginpc" || child.name == "top-marginmm")
            field = &block.topOffset;
        else if (child.name == "left-protrusionpc" || child.name == "left-protrusionmm")
            field = &block.leftProtrusion;
        else if (child.name == "right-protrusionpc" || child.name == "right-protrusionmm")
            field = &block.rightProtrusion;
        else if (child.name == "script")
            block.script = child.children;
        if (!field)
            continue;
        const TagAttribute* value = numberAttribute(child);
        if (!value)
            return false;
        *field = RealField::fromText(value->value);
    }
    return true;
}

// Reads one page-form element into a form; false when an element lacks its
// value, which ends the building after this form.
bool readForm(const TagNode& node, PrintForm& form)
{
    if (const TagAttribute* title = node.attribute("title"))
        form.title = cutCp932(title->value, PrintForm::TitleLimit);
    for (const TagNode& child : node.children) {
        const std::string& name = child.name;
        if (name == "map-title") {
            const TagAttribute* arrange = child.attribute("arrange");
            form.mapTitle.bottom = arrange && arrange->value == "bottom";
            if (!readBlock(child, form.mapTitle))
                return false;
            continue;
        }
        if (name == "page-header" || name == "page-footer") {
            if (!readBlock(child, name == "page-header" ? form.pageHeader : form.pageFooter))
                return false;
            continue;
        }
        RealField* real = nullptr;
        if (name == "left-marginmm")
            real = &form.leftMargin;
        else if (name == "right-marginmm")
            real = &form.rightMargin;
        else if (name == "top-marginmm")
            real = &form.topMargin;
        else if (name == "bottom-marginmm")
            real = &form.bottomMargin;
        else if (name == "hor-gap-ratio")
            real = &form.horizontalGap;
        else if (name == "ver-gap-ratio")
            real = &form.verticalGap;
        const bool integer = name == "num-of-rows" || name == "num-of-cols" || name == "paging";
        if (!real && !integer)
            continue;
        const TagAttribute* value = numberAttribute(child, name == "paging" ? "level" : "value");
        if (!value)
            return false;
        if (real)
            *real = RealField::fromText(value->value);
        else if (name == "num-of-rows")
            form.rows = PrintForm::countFromText(value->value);
        else if (name == "num-of-cols")
            form.columns = PrintForm::countFromText(value->value);
        else
            form.pagingLevel = IntegerField::fromText(value->value);
    }
    return true;
}

void writeScript(const std::vector<TagNode>& nodes, std::string& text)
{
    for (const TagNode& node : nodes) {
        if (node.isText()) {
            text += node.text;
            continue;
        }
        text += "<" + node.name;
        for (const TagAttribute& attribute : node.attributes)
            text += " " + attributeText(attribute.name, attribute.value);
        if (node.kind != TagNode::Kind::Start) {
            text += "/>";
            continue;
        }
        text += ">";
        writeScript(node.children, text);
        text += "</" + node.name + ">";
    }
}

} // namespace

PrintFormList::PrintFormList()
    : forms_{PrintForm::builtIn()}
{
}

const std::vector<TagName>& PrintFormList::tagTable()
{
    static const std::vector<TagName> table = [] {
        std::vector<TagName> names;
        for (const char* name : {"print-form", "page-form", "map-title", "page-header", "page-footer", "script", "font",
                 "left", "center", "right"})
            names.push_back({name, TagKind::Paired});
        for (const char* name : {"num-of-rows", "num-of-cols", "paging", "left-marginmm", "right-marginmm",
                 "top-marginmm", "bottom-marginmm", "hor-gap-ratio", "ver-gap-ratio", "top-marginpc",
                 "left-protrusionpc", "right-protrusionpc", "left-protrusionmm", "right-protrusionmm", "page", "node",
                 "cr", "numofpage", "spname", "nomenclator", "spcount", "legend"})
            names.push_back({name, TagKind::Single});
        return names;
    }();
    return table;
}

const std::vector<ChildRule>& PrintFormList::schema() { return printFormSchema().top; }

const std::vector<ChildRule>& PrintFormList::scriptSchema() { return printFormSchema().scriptElements; }

bool PrintFormList::load(std::string_view path, MessageSink& sink)
{
    TagReader reader;
    reader.setTagTable(tagTable());
    const std::string pathText(path);
    if (reader.parseFile(path) != TagStatus::Ok) {
        Cp932Text text = cp932Printf("%s 印刷書式読み込み　　エラー\n", pathText.c_str());
        text += tagErrorLines(reader.errors());
        sink.show({cp932Literal("印刷書式"), text, MessageIcon::Stop});
    }
    // The forms are built from whatever tree the file gave, also after
    // errors, so that one broken script does not cost every form.
    std::vector<PrintForm> forms;
    if (const TagNode* root = reader.root()) {
        Cp932Text text = cp932Printf("%s 印刷書式読み込み　　\n", pathText.c_str());
        SchemaValidator validator;
        if (!validator.validate(reader.nodes(), schema(), text))
            sink.show({cp932Literal("印刷書式"), text, MessageIcon::Stop});
        if (root->kind == TagNode::Kind::Start && root->name == "print-form") {
            for (const TagNode& child : root->children) {
                if (child.name != "page-form")
                    continue;
                if (forms.size() >= static_cast<std::size_t>(MaxForms))
                    break;
                forms.emplace_back();
                if (!readForm(child, forms.back()))
                    break;
            }
        }
    }
    if (forms.empty()) {
        forms_.assign(1, PrintForm::builtIn());
        current_ = 0;
        sink.show({cp932Literal("印刷書式"), cp932Literal("デフォルトの印刷書式を使用します\n"), MessageIcon::Stop});
        return false;
    }
    forms_ = std::move(forms);
    current_ = 0;
    return true;
}

bool PrintFormList::loadAtStartup(std::string_view path, std::string& nowPrintForm, MessageSink& sink)
{
    nowPrintForm = cutCp932(nowPrintForm, NowPrintFormLimit);
    if (!load(path, sink)) {
        nowPrintForm = current().title;
        return false;
    }
    if (!select(nowPrintForm))
        current_ = 0;
    return true;
}

bool PrintFormList::select(std::string_view title)
{
    for (std::size_t i = 0; i < forms_.size(); ++i) {
        if (forms_[i].title == title) {
            current_ = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

void PrintFormList::replace(std::vector<PrintForm> forms, int currentIndex)
{
    if (forms.empty())
        forms.push_back(PrintForm::builtIn());
    forms_ = std::move(forms);
    current_ = std::clamp(currentIndex, 0, static_cast<int>(forms_.size()) - 1);
}

std::string PrintFormList::scriptText(const std::vector<TagNode>& script)
{
    std::string text;
    writeScript(script, text);
    return text;
}

std::string PrintFormList::text() const
{
    // Lines end in CR LF, as the file has always been written in text mode.
    const std::string end = "\r\n";
    auto number = [&](const char* indent, const char* tag, const char* attribute, const std::string& value) {
        return std::string(indent) + "<" + tag + " " + attributeText(attribute, value) + "/>" + end;
    };
    auto block = [&](const char* tag, const TextBlock& b, const std::string& attributes, const char* unit) {
        std::string text = std::string("\t\t<") + tag + attributes + ">" + end;
        text += "\t\t\t<script>" + scriptText(b.script) + "</script>" + end;
        text += number("\t\t\t", (std::string("top-margin") + unit).c_str(), "value", b.topOffset.text);
        text += number("\t\t\t", (std::string("left-protrusion") + unit).c_str(), "value", b.leftProtrusion.text);
        text += number("\t\t\t", (std::string("right-protrusion") + unit).c_str(), "value", b.rightProtrusion.text);
        text += std::string("\t\t</") + tag + ">" + end;
        return text;
    };
    std::string text = "<print-form>" + end;
    for (const PrintForm& form : forms_) {
        text += "\t<page-form " + attributeText("title", form.title) + ">" + end;
        text += number("\t\t", "num-of-rows", "value", form.rows.text);
        text += number("\t\t", "num-of-cols", "value", form.columns.text);
        text += number("\t\t", "paging", "level", form.pagingLevel.text);
        text += number("\t\t", "left-marginmm", "value", form.leftMargin.text);
        text += number("\t\t", "right-marginmm", "value", form.rightMargin.text);
        text += number("\t\t", "top-marginmm", "value", form.topMargin.text);
        text += number("\t\t", "bottom-marginmm", "value", form.bottomMargin.text);
        text += number("\t\t", "hor-gap-ratio", "value", form.horizontalGap.text);
        text += number("\t\t", "ver-gap-ratio", "value", form.verticalGap.text);
        text += block("page-header", form.pageHeader, "", "mm");
        text += block("map-title", form.mapTitle,
            std::string(" ") + attributeText("arrange", form.mapTitle.bottom ? "bottom" : "top"), "pc");
        text += block("page-footer", form.pageFooter, "", "mm");
        text += "\t</page-form>" + end;
    }
    text += "</print-form>" + end;
    return text;
}

bool PrintFormList::save(std::string_view path, std::string* errorText) const
{
    return replaceFileContent(path, text(), errorText);
}

} // namespace tavik
