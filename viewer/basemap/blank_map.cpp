#include "viewer/basemap/blank_map.h"

#include "common/angle_text.h"
#include "platform/cp932.h"
#include "platform/paths.h"
#include "platform/text_numbers.h"
#include "tagfile/tag_file.h"
#include "viewer/basemap/projection.h"

#include <charconv>
#include <cmath>

namespace tavik {

namespace {

struct BlankMapSchema {
    static AttributeRule real(const char* name, const char* minimum, const char* maximum)
    {
        return {name, AttributeType::Real, minimum, maximum, false};
    }
    // A magnification of 0 puts every point of the block on one pixel.
    static AttributeRule magnification()
    {
        return {"magnification", AttributeType::PositiveReal, "0.0", "999999999", false};
    }
    const AttributeRule comment{"comment", AttributeType::String, "", "", false};

    TagRule lambert{"lambert-e-a",
        {comment, real("lon0", "-180.0", "180.0"), real("lat0", "-180.0", "180.0"), real("rotation", "-359.9", "359.9"),
            real("shift-x", "-1.0", "1.0"), real("shift-y", "-1.0", "1.0"), magnification()},
        {}};
    TagRule mercator{"transverse-mercator",
        {comment, real("lon0", "-180.0", "180.0"), real("rotation", "-359.9", "359.9"),
            real("shift-x", "-10000000", "10000000"), real("shift-y", "-10000000", "10000000"), magnification()},
        {}};
    TagRule projection{
        "projection", {comment}, {{"lambert-e-a", 0, 1, &lambert}, {"transverse-mercator", 0, 1, &mercator}}};
    TagRule vertex{"vertex",
        {{"x", AttributeType::Integer, "0", "32767", false}, {"y", AttributeType::Integer, "0", "32767", false}}, {}};
    TagRule polygon{"polygon", {}, {{"vertex", 3, MapBlock::MaxVertices, &vertex}}};
    TagRule block{"map-block", {comment}, {{"projection", 1, 1, &projection}, {"polygon", 1, 1, &polygon}}};
    TagRule blankMap{"blank-map", {comment}, {{"map-block", 1, 100, &block}}};
    std::vector<ChildRule> top{{"blank-map", 1, 1, &blankMap}};
};

void readProjection(const TagNode& node, MapBlock& block)
{
    const bool lambert = node.name == "lambert-e-a";
    block.kind = lambert ? ProjectionKind::LambertEqualArea : ProjectionKind::TransverseMercator;
    ProjectionParameters& p = lambert ? block.lambert : block.transverseMercator;
    for (const TagAttribute& attribute : node.attributes) {
        const std::string& name = attribute.name;
        if (name == "lon0")
            p.lon0 = parseLongitude(attribute.value);
        else if (name == "lat0" && lambert)
            p.lat0 = parseLatitude(attribute.value);
        else if (name == "rotation")
            p.rotation = parseReal(attribute.value) * RadiansPerDegree;
        else if (name == "shift-x")
            p.shiftX = parseReal(attribute.value);
        else if (name == "shift-y")
            p.shiftY = parseReal(attribute.value);
        else if (name == "magnification")
            p.magnification = parseReal(attribute.value);
    }
}

MapBlock readBlock(const TagNode& node)
{
    MapBlock block;
    if (const TagAttribute* comment = node.attribute("comment"))
        block.comment = cutCp932(comment->value, MapBlock::CommentLimit);
    for (const TagNode& child : node.children) {
        if (child.name == "projection") {
            for (const TagNode& projection : child.children) {
                if (projection.name == "lambert-e-a" || projection.name == "transverse-mercator")
                    readProjection(projection, block);
            }
        } else if (child.name == "polygon") {
            for (const TagNode& vertex : child.children) {
                if (vertex.name != "vertex" || block.polygon.size() >= MapBlock::MaxVertices)
                    continue;
                const TagAttribute* x = vertex.attribute("x");
                const TagAttribute* y = vertex.attribute("y");
                block.polygon.emplace_back(x ? parseInteger(x->value) : 0, y ? parseInteger(y->value) : 0);
            }
        }
    }
    return block;
}

// A real in the shortest fixed notation that reads back to the same value:
// digits and at most one full stop, the form both the angle text reader
// (lon0, lat0) and the plain number reader take.
std::string realText(double value)
{
    if (!std::isfinite(value))
        return "0";
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    const std::string text = result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string("0");
    return text == "-0" ? "0" : text;
}

std::string projectionText(const MapBlock& block)
{
    const bool lambert = block.kind == ProjectionKind::LambertEqualArea;
    const ProjectionParameters& p = lambert ? block.lambert : block.transverseMercator;
    std::string text = lambert ? "<lambert-e-a" : "<transverse-mercator";
    text += " lon0=\"" + realText(p.lon0) + "\"";
    if (lambert)
        text += " lat0=\"" + realText(p.lat0) + "\"";
    text += " rotation=\"" + realText(p.rotation / RadiansPerDegree) + "\"";
    text += " shift-x=\"" + realText(p.shiftX) + "\" shift-y=\"" + realText(p.shiftY) + "\"";
    text += " magnification=\"" + realText(p.magnification) + "\"/>";
    return text;
}

} // namespace

std::string BlankMap::text(std::string_view comment) const
{
    const char* const end = "\r\n";
    std::string text = "<blank-map " + attributeText("comment", comment) + ">" + end;
    for (const MapBlock& block : blocks_) {
        text += "\t<map-block " + attributeText("comment", block.comment) + ">" + end;
        text += std::string("\t\t<projection>") + end;
        if (block.kind != ProjectionKind::None)
            text += "\t\t\t" + projectionText(block) + end;
        text += std::string("\t\t</projection>") + end;
        text += std::string("\t\t<polygon>") + end;
        for (const QPoint& vertex : block.polygon) {
            text += "\t\t\t<vertex x=\"" + std::to_string(vertex.x()) + "\" y=\"" + std::to_string(vertex.y()) + "\"/>"
                + end;
        }
        text += std::string("\t\t</polygon>") + end;
        text += std::string("\t</map-block>") + end;
    }
    text += std::string("</blank-map>") + end;
    return text;
}

const std::vector<TagName>& BlankMap::tagTable()
{
    static const std::vector<TagName> table = {
        {"blank-map", TagKind::Paired},
        {"map-block", TagKind::Paired},
        {"projection", TagKind::Paired},
        {"lambert-e-a", TagKind::Single},
        {"transverse-mercator", TagKind::Single},
        {"polygon", TagKind::Paired},
        {"vertex", TagKind::Single},
    };
    return table;
}

const std::vector<ChildRule>& BlankMap::schema()
{
    static const BlankMapSchema schema;
    return schema.top;
}

bool BlankMap::load(std::string_view path, MessageSink& sink)
{
    const TagFileTitles titles{
        cp932Literal("白地図定義ファイル読み込みエラー"), cp932Literal("白地図定義ファイル読み込み")};
    TagFileContent content = readTagFile(path, tagTable(), schema(), titles, sink);
    if (!content.parsed())
        return false;
    // The blank-map element must stand alone: text before or after it, even
    // blanks, makes the definition unusable.
    if (content.nodes.size() != 1 || content.nodes[0].kind != TagNode::Kind::Start
        || content.nodes[0].name != "blank-map")
        return false;
    std::vector<MapBlock> blocks;
    for (const TagNode& child : content.nodes[0].children) {
        if (child.name == "map-block")
            blocks.push_back(readBlock(child));
    }
    if (blocks.empty())
        return false;
    blocks_ = std::move(blocks);
    return true;
}

void BlankMap::setDefault() { blocks_.assign(1, MapBlock{}); }

bool BlankMap::loadForImage(std::string_view imagePath, MessageSink& sink)
{
    const std::string path = definitionPath(imagePath);
    if (!fileExists(path)) {
        setDefault();
        return true;
    }
    return load(path, sink);
}

std::string BlankMap::definitionPath(std::string_view imagePath)
{
    PathParts parts = splitPath(imagePath);
    return parts.drive + parts.directory + parts.name + ".cfg";
}

} // namespace tavik
