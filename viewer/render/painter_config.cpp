#include "viewer/render/painter_config.h"

#include "platform/cp932.h"
#include "platform/file_replacement.h"
#include "platform/text_format.h"
#include "platform/text_numbers.h"
#include "tagfile/tag_file.h"
#include "viewer/render/mark_painter.h"

#include <algorithm>

namespace tavik {

namespace {

const char* const kRankTags[4] = {"rank-a", "rank-b", "rank-c", "rank-z"};

std::string shapeEnumeration()
{
    std::string names;
    for (int code = MarkShape::Cross; code <= MarkShape::LastLetter; ++code) {
        if (!names.empty())
            names += '\n';
        names += markShapeName(code);
    }
    return names;
}

struct PainterSchema {
    const std::string truth = "true\nfalse";
    TagRule overlap{"overlap",
        {{"shift-x", AttributeType::Integer, "-80", "80", true},
            {"shift-y", AttributeType::Integer, "-80", "80", true}},
        {}};
    TagRule font{"font",
        {{"facename", AttributeType::String, "", "", true}, {"size", AttributeType::Real, "0", "99", false},
            {"bold", AttributeType::String, truth, "", true}, {"italic", AttributeType::String, truth, "", true}},
        {}};
    TagRule mark{"mark",
        {{"shape", AttributeType::String, shapeEnumeration(), "", false},
            {"size", AttributeType::Real, "0", "99", true}, {"thickness", AttributeType::Integer, "0", "20", true}},
        {}};
    std::array<TagRule, 4> ranks{rank(0), rank(1), rank(2), rank(3)};
    TagRule target{"target", {{"comment", AttributeType::String, "", "", false}},
        {{"mark", 1, 1, &mark}, {"rank-a", 1, 1, &ranks[0]}, {"rank-b", 1, 1, &ranks[1]}, {"rank-c", 1, 1, &ranks[2]},
            {"rank-z", 1, 1, &ranks[3]}}};
    TagRule painter{"painter", {}, {{"overlap", 1, 1, &overlap}, {"font", 1, 1, &font}, {"target", 1, 10, &target}}};
    std::vector<ChildRule> top{{"painter", 1, 1, &painter}};

    static TagRule rank(int i)
    {
        return {kRankTags[i],
            {{"markcolor", AttributeType::Colour, "", "", true}, {"fillcolor", AttributeType::Colour, "", "", true}},
            {}};
    }
};

// A mark or font size kept within the range the schema allows: a size the
// schema check reported (1e308, say) would overflow the pixel arithmetic of
// drawing, and would not be written back as the fixed "%4.1f" field.
double clampedSize(double size) { return std::clamp(size, 0.0, PainterConfig::MaxSize); }

void readTarget(const TagNode& node, TargetStyle& style)
{
    if (const TagAttribute* comment = node.attribute("comment"))
        style.comment = cutCp932(comment->value, TargetStyle::CommentLimit);
    for (const TagNode& child : node.children) {
        if (child.name == "mark") {
            for (const TagAttribute& attribute : child.attributes) {
                if (attribute.name == "shape") {
                    if (std::optional<int> code = markShapeCode(attribute.value))
                        style.shape = static_cast<std::uint8_t>(*code);
                } else if (attribute.name == "size") {
                    style.size = static_cast<float>(clampedSize(parseReal(attribute.value)));
                } else if (attribute.name == "thickness") {
                    style.thickness = static_cast<std::uint8_t>(parseInteger(attribute.value));
                }
            }
            continue;
        }
        for (int rank = 0; rank < 4; ++rank) {
            if (child.name != kRankTags[rank])
                continue;
            for (const TagAttribute& attribute : child.attributes) {
                if (attribute.name == "markcolor")
                    style.ranks[rank].mark = PainterConfig::parseColor(attribute.value);
                else if (attribute.name == "fillcolor")
                    style.ranks[rank].fill = PainterConfig::parseColor(attribute.value);
            }
        }
    }
}

std::string colorText(const Colour& color)
{
    return std::to_string(color.r) + "," + std::to_string(color.g) + "," + std::to_string(color.b);
}

} // namespace

const std::vector<TagName>& PainterConfig::tagTable()
{
    static const std::vector<TagName> table = {
        {"painter", TagKind::Paired},
        {"overlap", TagKind::Single},
        {"font", TagKind::Single},
        {"mark", TagKind::Single},
        {"rank-a", TagKind::Single},
        {"rank-b", TagKind::Single},
        {"rank-c", TagKind::Single},
        {"rank-z", TagKind::Single},
        {"target", TagKind::Paired},
    };
    return table;
}

const std::vector<ChildRule>& PainterConfig::schema()
{
    static const PainterSchema schema;
    return schema.top;
}

Colour PainterConfig::parseColor(std::string_view text)
{
    int parts[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        std::size_t comma = text.find(',');
        parts[i] = parseInteger(text.substr(0, comma));
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    // Only the low 8 bits of each part are kept, as a byte field keeps them.
    auto byte = [](int value) { return static_cast<std::uint8_t>(static_cast<unsigned>(value) & 0xFFu); };
    return {byte(parts[0]), byte(parts[1]), byte(parts[2])};
}

bool PainterConfig::load(std::string_view path, MessageSink& sink)
{
    const TagFileTitles titles{cp932Literal("ファイル読み込みエラー"), cp932Literal("ファイル読み込み")};
    TagFileContent content = readTagFile(path, tagTable(), schema(), titles, sink);
    if (!content.parsed())
        return false;
    if (content.nodes.size() != 1 || content.nodes[0].kind != TagNode::Kind::Start
        || content.nodes[0].name != "painter")
        return false;
    const TagNode& painter = content.nodes[0];
    PainterConfig config;
    config.held = !painter.children.empty();
    for (const TagNode& child : painter.children) {
        if (child.name == "target") {
            if (config.slotCount >= SlotCount)
                return false;
            TargetStyle& style = config.slots[config.slotCount++];
            style = TargetStyle{};
            readTarget(child, style);
        } else if (child.name == "overlap") {
            if (const TagAttribute* x = child.attribute("shift-x"))
                config.overlapShiftX = parseInteger(x->value);
            if (const TagAttribute* y = child.attribute("shift-y"))
                config.overlapShiftY = parseInteger(y->value);
        } else if (child.name == "font") {
            config.faceName = "Century";
            for (const TagAttribute& attribute : child.attributes) {
                if (attribute.name == "facename")
                    config.faceName = cutCp932(attribute.value, FaceNameLimit);
                else if (attribute.name == "size")
                    config.fontSize = clampedSize(parseReal(attribute.value));
                else if (attribute.name == "bold")
                    config.bold = attribute.value == "true";
                else if (attribute.name == "italic")
                    config.italic = attribute.value == "true";
            }
        }
    }
    *this = std::move(config);
    return true;
}

std::string PainterConfig::text() const
{
    // Lines end in CR LF, as the file has always been written in text mode.
    const char* const end = "\r\n";
    auto flag = [](bool on) { return on ? "true" : "false"; };
    std::string text = "<painter>";
    text += end;
    text += "\t<overlap shift-x=\"" + std::to_string(overlapShiftX) + "\" shift-y=\"" + std::to_string(overlapShiftY)
        + "\"/>" + end;
    text += "\t<font " + attributeText("facename", faceName) + " size=\"" + formatFixed(fontSize, 4, 1) + "\" bold=\""
        + flag(bold) + "\" italic=\"" + flag(italic) + "\"/>" + end;
    for (const TargetStyle& style : slots) {
        text += "\t<target " + attributeText("comment", style.comment) + ">" + end;
        text += "\t\t<mark shape=\"" + markShapeName(style.shape) + "\" size=\"" + formatFixed(style.size, 4, 1)
            + "\" thickness=\"" + std::to_string(style.thickness) + "\"/>" + end;
        for (int rank = 0; rank < 4; ++rank) {
            text += std::string("\t\t<") + kRankTags[rank] + " markcolor=\"" + colorText(style.ranks[rank].mark)
                + "\" fillcolor=\"" + colorText(style.ranks[rank].fill) + "\"/>" + end;
        }
        text += std::string("\t</target>") + end;
    }
    text += std::string("</painter>") + end;
    return text;
}

bool PainterConfig::save(std::string_view path, std::string* errorText) const
{
    if (!held)
        return true;
    return replaceFileContent(path, text(), errorText);
}

const TargetStyle& PainterConfig::slot(int i) const
{
    return slots[static_cast<std::size_t>(std::clamp(i, 0, SlotCount - 1))];
}

} // namespace tavik
