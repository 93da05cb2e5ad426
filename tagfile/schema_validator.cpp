#include "tagfile/schema_validator.h"

#include "platform/ascii_case.h"
#include "platform/cp932.h"
#include "platform/text_numbers.h"

#include <string_view>

namespace tavik {

namespace {

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// Digits with an optional sign: what an integer attribute may hold.
bool isWholeNumber(std::string_view text)
{
    if (!text.empty() && (text.front() == '+' || text.front() == '-'))
        text.remove_prefix(1);
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// "R,G,B" with three whole numbers 0 to 255 (blanks around each allowed).
bool isColourText(std::string_view text)
{
    for (int part = 0; part < 3; ++part) {
        const size_t comma = text.find(',');
        if ((comma == std::string_view::npos) != (part == 2))
            return false;
        const std::string_view number = trimBlanks(text.substr(0, comma));
        if (number.empty() || number.size() > 3 || number.find_first_not_of("0123456789") != std::string_view::npos
            || parseInteger(number) > 255)
            return false;
        text.remove_prefix(comma == std::string_view::npos ? text.size() : comma + 1);
    }
    return true;
}

bool inEnumeration(std::string_view value, std::string_view enumeration)
{
    while (true) {
        std::size_t end = enumeration.find('\n');
        if (enumeration.substr(0, end) == value)
            return true;
        if (end == std::string_view::npos)
            return false;
        enumeration.remove_prefix(end + 1);
    }
}

const ChildRule* findChild(const std::vector<ChildRule>& schema, std::string_view name, std::size_t* index = nullptr)
{
    for (std::size_t i = 0; i < schema.size(); ++i) {
        if (schema[i].name == name) {
            if (index)
                *index = i;
            return &schema[i];
        }
    }
    return nullptr;
}

const AttributeRule* findAttribute(
    const std::vector<AttributeRule>& rules, std::string_view name, std::size_t* index = nullptr)
{
    for (std::size_t i = 0; i < rules.size(); ++i) {
        if (rules[i].name == name) {
            if (index)
                *index = i;
            return &rules[i];
        }
    }
    return nullptr;
}

} // namespace

bool SchemaValidator::validate(
    const std::vector<TagNode>& nodes, const std::vector<ChildRule>& schema, Cp932Text& messages)
{
    messages_ = &messages;
    const int before = findings_;
    if (!stopped())
        check(nodes, schema);
    messages_ = nullptr;
    return findings_ == before;
}

void SchemaValidator::report(const Cp932Text& line)
{
    if (stopped())
        return;
    *messages_ += line;
    ++findings_;
}

void SchemaValidator::check(const std::vector<TagNode>& nodes, const std::vector<ChildRule>& schema)
{
    std::vector<int> counts(schema.size(), 0);
    for (const TagNode& node : nodes) {
        if (stopped())
            return;
        if (schema.empty()) {
            report(cp932Printf("line: %d   column: %d   <%s : %s \n", node.line, node.column, node.name.c_str(),
                cp932Literal("余計なタグがあります.").c_str()));
            continue;
        }
        std::size_t entry = 0;
        const ChildRule* child = findChild(schema, node.name, &entry);
        if (!child) {
            if (node.name.empty())
                continue;
            const char* message
                = findChild(schema, asciiLower(node.name)) ? "小文字で書いて下さい." : "余計なタグがあります.";
            report(cp932Printf("line: %d   column: %d   <%s : %s \n", node.line, node.column, node.name.c_str(),
                cp932Literal(message).c_str()));
            continue;
        }
        ++counts[entry];
        static const TagRule nothing;
        const TagRule& rule = child->rule ? *child->rule : nothing;
        if (!checkAttributes(node, rule))
            continue;
        if (stopped())
            return;
        if (!node.children.empty()) {
            check(node.children, rule.children);
        } else {
            for (const ChildRule& required : rule.children) {
                if (required.minimum >= 1) {
                    report(cp932Printf("line: %d   column: %d   <%s : %s \n", node.line, node.column, node.name.c_str(),
                        cp932Literal("さらに入れ子タグが必要です.").c_str()));
                    break;
                }
            }
        }
    }
    if (nodes.empty() && schema.empty())
        return;
    const int line = nodes.empty() ? 0 : nodes.back().line;
    const int column = nodes.empty() ? 0 : nodes.back().column;
    for (std::size_t i = 0; i < schema.size() && !stopped(); ++i) {
        const ChildRule& entry = schema[i];
        if (counts[i] > entry.maximum) {
            if (entry.maximum == 1)
                report(cp932Printf("line: %d   column: %d   <%s : %s \n", line, column, entry.name.c_str(),
                    cp932Literal("タグの多重定義です.").c_str()));
            else
                report(cp932Printf("line: %d   column: %d   <%s : %s %d\n", line, column, entry.name.c_str(),
                    cp932Literal("タグが多すぎます. Max: ").c_str(), entry.maximum));
        } else if (counts[i] < entry.minimum) {
            report(cp932Printf("line: %d   column: %d   <%s : %s \n", line, column, entry.name.c_str(),
                cp932Literal("必須タグが足りません.").c_str()));
        }
    }
}

// Checks the attributes of one tag; false when the tag has attributes but its
// rule allows none, which ends the check of that tag.
bool SchemaValidator::checkAttributes(const TagNode& node, const TagRule& rule)
{
    if (!node.attributes.empty() && rule.attributes.empty()) {
        report(cp932Printf("line: %d   column: %d   <%s %s... : %s \n", node.line, node.column, node.name.c_str(),
            node.attributes.front().name.c_str(), cp932Literal("タグが余計な属性を持っています.").c_str()));
        return false;
    }
    std::vector<int> counts(rule.attributes.size(), 0);
    for (const TagAttribute& attribute : node.attributes) {
        if (stopped())
            return false;
        std::size_t index = 0;
        const AttributeRule* attributeRule = findAttribute(rule.attributes, attribute.name, &index);
        if (!attributeRule) {
            const char* message = findAttribute(rule.attributes, asciiLower(attribute.name))
                ? "小文字で書いて下さい."
                : "このような属性はありません.";
            report(cp932Printf("line: %d   column: %d   <%s .. %s : %s \n", node.line, node.column, node.name.c_str(),
                attribute.name.c_str(), cp932Literal(message).c_str()));
            continue;
        }
        ++counts[index];
        checkValue(node, attribute, *attributeRule);
    }
    for (std::size_t i = 0; i < rule.attributes.size() && !stopped(); ++i) {
        const char* message = nullptr;
        if (counts[i] >= 2)
            message = "この属性は重複定義されています.";
        else if (counts[i] == 0 && rule.attributes[i].required)
            message = "必須属性が定義されていません.";
        if (message)
            report(cp932Printf("line: %d   column: %d   <%s .. %s : %s \n", node.line, node.column, node.name.c_str(),
                rule.attributes[i].name.c_str(), cp932Literal(message).c_str()));
    }
    return true;
}

void SchemaValidator::checkValue(const TagNode& node, const TagAttribute& attribute, const AttributeRule& rule)
{
    const char* tag = node.name.c_str();
    const char* name = attribute.name.c_str();
    const char* value = attribute.value.c_str();
    auto belowMinimum = [&] {
        report(cp932Printf("line: %d   column: %d   <%s .. %s=\"%s\" : %s  %s < MIN %s\n", node.line, node.column, tag,
            name, value, cp932Literal("下限値を下回っています.").c_str(), name, rule.minimum.c_str()));
    };
    auto aboveMaximum = [&] {
        report(cp932Printf("line: %d   column: %d   <%s .. %s=\"%s\" : %s  %s > MAX %s\n", node.line, node.column, tag,
            name, value, cp932Literal("上限値を上回っています.").c_str(), name, rule.maximum.c_str()));
    };
    switch (rule.type) {
    case AttributeType::String:
        if (rule.minimum.empty() || inEnumeration(attribute.value, rule.minimum))
            return;
        if (inEnumeration(asciiLower(attribute.value), rule.minimum)) {
            report(cp932Printf("line: %d   column: %d   <%s .. %s=\"%s\" : %s \n", node.line, node.column, tag, name,
                value, cp932Literal("小文字で書いて下さい.").c_str()));
        } else if (inEnumeration(trimBlanks(attribute.value), rule.minimum)) {
            report(cp932Printf("line: %d   column: %d   <%s .. %s=\"%s\" : %s \n", node.line, node.column, tag, name,
                value, cp932Literal("属性値に余計な空白があります.").c_str()));
        } else {
            report(
                cp932Printf("line: %d   column: %d   <%s .. %s=\"%s\" : %s \n%s \n", node.line, node.column, tag, name,
                    value, cp932Literal("属性値は以下のいずれかでなくてはなりません.").c_str(), rule.minimum.c_str()));
        }
        return;
    case AttributeType::Integer: {
        // "nan", "1.5" or "12px" would be read as some number without a word.
        if (!isWholeNumber(trimBlanks(attribute.value))) {
            report(cp932Printf("line: %d   column: %d   <%s .. %s=\"%s\" : %s \n", node.line, node.column, tag, name,
                value, cp932Literal("整数を書いて下さい.").c_str()));
            return;
        }
        const long long number = parseInteger64(attribute.value);
        if (!rule.minimum.empty() && number < parseInteger64(rule.minimum))
            belowMinimum();
        else if (!rule.maximum.empty() && number > parseInteger64(rule.maximum))
            aboveMaximum();
        return;
    }
    case AttributeType::Real: {
        // "nan", "inf" and "1e400" read as 0, which every range admits; they
        // are faults of their own.
        if (isNonFiniteReal(attribute.value)) {
            report(cp932Printf("line: %d   column: %d   <%s .. %s=\"%s\" : %s \n", node.line, node.column, tag, name,
                value, cp932Literal("有限の数値を書いて下さい.").c_str()));
            return;
        }
        const double number = parseReal(attribute.value);
        if (!rule.minimum.empty() && number < parseReal(rule.minimum))
            belowMinimum();
        if (!rule.maximum.empty() && number > parseReal(rule.maximum))
            aboveMaximum();
        return;
    }
    case AttributeType::PositiveReal: {
        // A magnification of 0 would put every point of a block on one pixel.
        if (isNonFiniteReal(attribute.value)) {
            report(cp932Printf("line: %d   column: %d   <%s .. %s=\"%s\" : %s \n", node.line, node.column, tag, name,
                value, cp932Literal("有限の数値を書いて下さい.").c_str()));
            return;
        }
        const double number = parseReal(attribute.value);
        if (!(number > parseReal(rule.minimum)))
            report(cp932Printf("line: %d   column: %d   <%s .. %s=\"%s\" : %s  %s <= MIN %s\n", node.line, node.column,
                tag, name, value, cp932Literal("下限値より大きくして下さい.").c_str(), name, rule.minimum.c_str()));
        else if (!rule.maximum.empty() && number > parseReal(rule.maximum))
            aboveMaximum();
        return;
    }
    case AttributeType::Colour:
        if (!isColourText(attribute.value))
            report(cp932Printf("line: %d   column: %d   <%s .. %s=\"%s\" : %s \n", node.line, node.column, tag, name,
                value, cp932Literal("色は 0 から 255 の整数 3 つで \"R,G,B\" と書いて下さい.").c_str()));
        return;
    }
}

} // namespace tavik
