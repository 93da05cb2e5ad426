#include "tagfile/tag_reader.h"

#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

namespace tavik {
namespace {

const std::vector<TagName> kTable = {
    {"blank-map", TagKind::Paired},
    {"map-block", TagKind::Paired},
    {"polygon", TagKind::Paired},
    {"vertex", TagKind::Single},
    {"a", TagKind::Paired},
    {"b", TagKind::Paired},
};

struct Parsed {
    TagStatus status;
    std::vector<TagError> errors;
    std::vector<TagNode> nodes;
};

Parsed parse(const std::vector<std::string>& lines)
{
    TagReader reader;
    reader.setTagTable(kTable);
    Parsed parsed;
    parsed.status = reader.parseLines(lines);
    parsed.errors = reader.errors();
    parsed.nodes = reader.takeNodes();
    return parsed;
}

std::vector<const TagNode*> elements(const std::vector<TagNode>& nodes)
{
    std::vector<const TagNode*> result;
    for (const TagNode& node : nodes) {
        if (!node.isText())
            result.push_back(&node);
    }
    return result;
}

TEST(TagReader, BuildsTheTreeWithPositionsAttributesAndText)
{
    Parsed p = parse({
        "<blank-map comment=\"Japan's map\">",
        "\t<map-block comment='say \"hi\"' empty=\"\">",
        "\t\t<polygon>",
        "\t\t\t<vertex x=\"1\" y=\"2\"/><vertex",
        "\t\t\t\tx = '3'",
        "\t\t\t\ty=\"4\" />",
        "\t\t</polygon>",
        "\t</map-block>",
        "</blank-map>",
    });
    ASSERT_EQ(p.status, TagStatus::Ok);
    EXPECT_TRUE(p.errors.empty());
    ASSERT_EQ(p.nodes.size(), 1u);
    const TagNode& root = p.nodes[0];
    EXPECT_EQ(root.kind, TagNode::Kind::Start);
    EXPECT_EQ(root.attributes.at(0).value, "Japan's map");
    EXPECT_EQ(root.line, 1);
    EXPECT_EQ(root.column, 1);

    // Indentation becomes text nodes inside the elements.
    ASSERT_EQ(root.children.size(), 2u);
    EXPECT_TRUE(root.children[0].isText());
    EXPECT_EQ(root.children[0].text, "\t");
    const TagNode& block = root.children[1];
    EXPECT_EQ(block.name, "map-block");
    EXPECT_EQ(block.line, 2);
    EXPECT_EQ(block.column, 2);
    ASSERT_EQ(block.attributes.size(), 2u);
    EXPECT_EQ(block.attributes[0].value, "say \"hi\"");
    EXPECT_EQ(block.attributes[1].name, "empty");
    EXPECT_EQ(block.attributes[1].value, "");

    const TagNode& polygon = *elements(block.children).at(0);
    std::vector<const TagNode*> vertices = elements(polygon.children);
    ASSERT_EQ(vertices.size(), 2u);
    EXPECT_EQ(vertices[0]->kind, TagNode::Kind::Single);
    EXPECT_EQ(vertices[1]->line, 4); // the tag split over three lines keeps the position of its "<"
    EXPECT_EQ(vertices[1]->column, 25);
    EXPECT_EQ(vertices[1]->attributes.at(0).value, "3");
    EXPECT_EQ(vertices[1]->attributes.at(1).value, "4");
    EXPECT_LT(vertices[0]->index, vertices[1]->index);
}

TEST(TagReader, BlankLinesAndIndentationGiveTextNodesOnly)
{
    Parsed p = parse({"", "   ", "\t\t", ""});
    EXPECT_EQ(p.status, TagStatus::Ok);
    ASSERT_EQ(p.nodes.size(), 2u);
    EXPECT_TRUE(p.nodes[0].isText() && p.nodes[1].isText());
    EXPECT_EQ(p.nodes[0].line, 2);
}

struct Case {
    const char* line;
    TagStatus first;
    int column;
    TagStatus second = TagStatus::Ok;
};

TEST(TagReader, DiagnosesMalformedTags)
{
    const Case cases[] = {
        {"<a x=1></a>", TagStatus::UnquotedValue, 4},
        {"<a x\"1\"></a>", TagStatus::MissingEquals, 4},
        {"<a x=\"1></a>", TagStatus::UnterminatedQuote, 6},
        {"<a//>", TagStatus::DoubledSlash, 3},
        {"</a//>", TagStatus::DoubledSlash, 4},
        {"<a x==\"1\"></a>", TagStatus::DoubledEquals, 5, TagStatus::BadAttribute},
        {"<=\"x\">", TagStatus::MissingTagName, 1, TagStatus::MissingAttributeName},
        {"<>", TagStatus::MissingTagName, 1},
        {"<a =\"1\"></a>", TagStatus::MissingAttributeName, 4},
        {"<a x=></a>", TagStatus::MissingValue, 4},
        {"<a \"x\"></a>", TagStatus::BadAttribute, 4},
        {"<a x y></a>", TagStatus::BadAttribute, 4},
        {"<a / x=\"1\"></a>", TagStatus::StraySlash, 4},
        {"<a x=\"1\" , ></a>", TagStatus::StrayComma, 10},
        {"<a b></a>", TagStatus::StrayWord, 4},
        {"<a x=1 y></a>", TagStatus::UnquotedValue, 4, TagStatus::StrayWord},
        {"</a/>", TagStatus::MalformedTag, 1},
        {"<Blank-map></Blank-map>", TagStatus::UpperCaseTagName, 1},
        {"<nothing></nothing>", TagStatus::UnknownTagName, 1},
        {"</vertex>", TagStatus::NotEndTag, 1},
        {"<vertex></vertex>", TagStatus::NotStartTag, 1},
        {"<blank-map/>", TagStatus::NotSingleTag, 1},
        {"</a>", TagStatus::NoStartTag, 1},
        {"<a>", TagStatus::NoEndTag, 1},
        {"<a><b></a></b>", TagStatus::EndTagOutside, 4},
        {"<a", TagStatus::UnclosedTag, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Parsed p = parse({"", c.line});
        ASSERT_FALSE(p.errors.empty());
        EXPECT_EQ(p.errors[0].status, c.first);
        EXPECT_EQ(p.errors[0].line, 2);
        EXPECT_EQ(p.errors[0].column, c.column);
        if (c.second != TagStatus::Ok) {
            ASSERT_GE(p.errors.size(), 2u);
            EXPECT_EQ(p.errors[1].status, c.second);
        }
        EXPECT_EQ(p.status, p.errors.back().status);
        EXPECT_FALSE(tagStatusMessage(p.errors[0].status).empty());
    }
}

TEST(TagReader, GoesOnInTheSameLineAfterStrayBracketsAndUnclosedTags)
{
    Parsed p = parse({"> <a x=\"1\" <a>text</a>"});
    ASSERT_EQ(p.errors.size(), 2u);
    EXPECT_EQ(p.errors[0].status, TagStatus::StrayCloseBracket);
    EXPECT_EQ(p.errors[0].text, ">");
    EXPECT_EQ(p.errors[1].status, TagStatus::UnclosedTag);
    EXPECT_EQ(p.errors[1].column, 12);
    ASSERT_EQ(elements(p.nodes).size(), 1u);
    EXPECT_EQ(elements(p.nodes)[0]->children.at(0).text, "text");
}

TEST(TagReader, SkipsTheRestOfTheLineAfterAnErrorAndPairsWhatIsLeft)
{
    Parsed p = parse({"<a>", "<b x=1></b> <b>", "</a>"});
    // The end tag and the unclosed start tag after the fault are never read.
    ASSERT_EQ(p.errors.size(), 1u);
    EXPECT_EQ(p.errors[0].status, TagStatus::UnquotedValue);
    EXPECT_EQ(p.errors[0].text, "x=1");
    ASSERT_EQ(elements(p.nodes).size(), 1u);
    EXPECT_TRUE(elements(elements(p.nodes)[0]->children).empty());
}

TEST(TagReader, KeepsAtMostTenErrorsAndReturnsTheLastRecorded)
{
    std::vector<std::string> lines;
    for (int i = 0; i < 15; ++i)
        lines.push_back(i < 9 ? "<a x=1>" : "<a //>");
    Parsed p = parse(lines);
    ASSERT_EQ(p.errors.size(), 10u);
    EXPECT_EQ(p.errors[8].status, TagStatus::UnquotedValue);
    EXPECT_EQ(p.errors[9].status, TagStatus::DoubledSlash);
    EXPECT_EQ(p.status, TagStatus::DoubledSlash);
}

TEST(TagReader, RefusesWhatGoesBeyondItsLimits)
{
    std::string manyTokens = "<a";
    for (int i = 0; i < 200; ++i)
        manyTokens += " x=\"1\"";
    manyTokens += "></a>";
    const std::string longLine(70000, 'x');
    const std::string longWord = "<a x=\"" + std::string(300, 'w') + "\"></a>";
    const std::string longText = std::string(2000, 't');
    for (const std::string& line : {manyTokens, longLine, longWord, longText}) {
        Parsed p = parse({line, "<a></a>"});
        ASSERT_FALSE(p.errors.empty());
        EXPECT_EQ(p.errors[0].status, TagStatus::TooLarge);
        EXPECT_LE(p.errors[0].text.size(), 126u);
        // The next line is read as usual.
        EXPECT_EQ(elements(p.nodes).size(), 1u);
    }

    std::vector<std::string> deep(1000, "<a>");
    deep.insert(deep.end(), 1000, "</a>");
    Parsed p = parse(deep);
    ASSERT_FALSE(p.errors.empty());
    EXPECT_EQ(p.errors[0].status, TagStatus::TooLarge);
}

TEST(TagReader, ReadsFilesWithEitherLineEndAndSurvivesGarbage)
{
    test::TestFolder folder("tag_reader_files");
    const std::string dir = folder.path();
    const std::string path = dir + "/tag_reader_crlf.cfg";
    {
        std::ofstream out(path, std::ios::binary);
        out << "<a>\r\n\t<b x='1'>\r\n\t</b>\r\n</a>";
    }
    TagReader reader;
    reader.setTagTable(kTable);
    ASSERT_EQ(reader.parseFile(path), TagStatus::Ok);
    ASSERT_NE(reader.root(), nullptr);
    // No text node carries a carriage return.
    const TagNode& b = reader.root()->children.at(1);
    EXPECT_EQ(b.name, "b");
    EXPECT_EQ(b.children.at(0).text, "\t");

    EXPECT_EQ(reader.parseFile(dir + "/no_such_file.cfg"), TagStatus::CannotOpen);
    EXPECT_TRUE(reader.errors().empty());
    EXPECT_EQ(reader.root(), nullptr);

    // A quoted value left open at the very end of the file.
    {
        std::ofstream out(path, std::ios::binary);
        out << "<a>\n</a>\n<b x=\"open";
    }
    ASSERT_EQ(reader.parseFile(path), TagStatus::UnterminatedQuote);
    ASSERT_EQ(reader.errors().size(), 1u);
    EXPECT_EQ(reader.errors()[0].line, 3);
    EXPECT_EQ(reader.errors()[0].column, 6);

    std::mt19937 random(7);
    std::string garbage;
    for (int i = 0; i < 200000; ++i)
        garbage += static_cast<char>(random() & 0xFF);
    {
        std::ofstream out(path, std::ios::binary);
        out << garbage << "<a x=\"open";
    }
    TagStatus status = reader.parseFile(path);
    EXPECT_NE(status, TagStatus::Ok);
    EXPECT_LE(reader.errors().size(), 10u);
    std::remove(path.c_str());
}

// A configuration path that names a folder or a device, or a file far larger
// than any configuration, is refused at once: no endless read, no tree that
// takes the machine's memory.
TEST(TagReader, RefusesFoldersDevicesAndHugeFiles)
{
    test::TestFolder folder("tag_reader_refusals");
    TagReader reader;
    reader.setTagTable(kTable);
    for (const std::string& path : {folder.path(), std::string("/dev/zero"), std::string("/dev/urandom")}) {
        EXPECT_EQ(reader.parseFile(path), TagStatus::CannotOpen) << path;
        EXPECT_TRUE(reader.errors().empty());
    }
    const std::string huge = folder.write("huge.cfg", std::string(TagReader::kMaxFileBytes + 1, '\n'));
    EXPECT_EQ(reader.parseFile(huge), TagStatus::TooLarge);
    ASSERT_EQ(reader.errors().size(), 1u);
    EXPECT_EQ(reader.errors()[0].text, "33554433 bytes > MAX 33554432");
    EXPECT_EQ(reader.root(), nullptr);
}

} // namespace
} // namespace tavik
