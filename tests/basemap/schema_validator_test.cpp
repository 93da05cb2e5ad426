#include "tagfile/schema_validator.h"

#include "platform/cp932.h"
#include "tagfile/tag_reader.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

// A small file type: <map> holding 1 to 3 <item/> and at most one <group>,
// which needs at least one <item/>.
struct TestSchema {
    TagRule item{"item",
        {
            {"x", AttributeType::Integer, "0", "10", false},
            {"flag", AttributeType::String, "true\nfalse", "", true},
            {"r", AttributeType::Real, "0.5", "1.5", false},
            {"m", AttributeType::PositiveReal, "0.0", "9", false},
            {"c", AttributeType::Colour, "", "", false},
        },
        {}};
    TagRule group{"group", {}, {{"item", 1, 3, &item}}};
    TagRule map{
        "map", {{"comment", AttributeType::String, "", "", false}}, {{"item", 1, 3, &item}, {"group", 0, 1, &group}}};
    std::vector<ChildRule> top{{"map", 1, 1, &map}};
};

std::string validate(const std::vector<std::string>& lines, int* findings = nullptr)
{
    static const TestSchema schema;
    TagReader reader;
    reader.setTagTable({{"map", TagKind::Paired}, {"group", TagKind::Paired}, {"item", TagKind::Single},
        {"Item", TagKind::Single}, {"other", TagKind::Single}});
    EXPECT_EQ(reader.parseLines(lines), TagStatus::Ok);
    Cp932Text messages;
    SchemaValidator validator;
    bool valid = validator.validate(reader.nodes(), schema.top, messages);
    EXPECT_EQ(valid, messages.empty());
    if (findings)
        *findings = validator.findings();
    return cp932ToUtf8(messages);
}

TEST(SchemaValidator, AcceptsAValidFileWithIndentation)
{
    EXPECT_EQ(validate({"<map comment=\"x\">", "  <item flag=\"true\" x=\"10\" r=\"0.5\"/>", "  <group>",
                  "    <item flag=\"false\"/>", "  </group>", "</map>"}),
        "");
}

TEST(SchemaValidator, WritesEveryKindOfFindingInItsFormat)
{
    std::string messages = validate({
        "<map>",
        "<item flag=\" true\" x=\"-1\"/>",
        "<item flag=\"True\" x=\"11\" r=\"2\" Y=\"1\" z=\"1\"/>",
        "<item flag=\"maybe\" x=\"1\" x=\"2\"/>",
        "<item/>",
        "<Item flag=\"true\"/>",
        "<other/>",
        "<group></group>",
        "</map>",
    });
    EXPECT_EQ(messages,
        "line: 2   column: 1   <item .. flag=\" true\" : 属性値に余計な空白があります. \n"
        "line: 2   column: 1   <item .. x=\"-1\" : 下限値を下回っています.  x < MIN 0\n"
        "line: 3   column: 1   <item .. flag=\"True\" : 小文字で書いて下さい. \n"
        "line: 3   column: 1   <item .. x=\"11\" : 上限値を上回っています.  x > MAX 10\n"
        "line: 3   column: 1   <item .. r=\"2\" : 上限値を上回っています.  r > MAX 1.5\n"
        "line: 3   column: 1   <item .. Y : このような属性はありません. \n"
        "line: 3   column: 1   <item .. z : このような属性はありません. \n"
        "line: 4   column: 1   <item .. flag=\"maybe\" : 属性値は以下のいずれかでなくてはなりません. \ntrue\nfalse \n"
        "line: 4   column: 1   <item .. x : この属性は重複定義されています. \n"
        "line: 5   column: 1   <item .. flag : 必須属性が定義されていません. \n"
        "line: 6   column: 1   <Item : 小文字で書いて下さい. \n");
}

// Values that the readers would take as some number without a word: an
// integer that is no whole number, a magnification of 0, a colour beyond
// 0 to 255 or of fewer parts.
TEST(SchemaValidator, RefusesValuesTheReadersWouldMisreadSilently)
{
    EXPECT_EQ(validate({"<map>", "<item flag=\"true\" x=\" 3 \" m=\"0.001\" c=\"0, 128 ,255\"/>", "</map>"}), "");
    EXPECT_EQ(validate({
                  "<map>",
                  "<item flag=\"true\" x=\"nan\" m=\"0\" c=\"256,0,0\"/>",
                  "<item flag=\"true\" x=\"1.5\" m=\"inf\" c=\"1,2\"/>",
                  "<item flag=\"true\" x=\"+4\" m=\"-1\" c=\"1,2,3,4\"/>",
                  "</map>",
              }),
        "line: 2   column: 1   <item .. x=\"nan\" : 整数を書いて下さい. \n"
        "line: 2   column: 1   <item .. m=\"0\" : 下限値より大きくして下さい.  m <= MIN 0.0\n"
        "line: 2   column: 1   <item .. c=\"256,0,0\" : 色は 0 から 255 の整数 3 つで \"R,G,B\" と書いて下さい. \n"
        "line: 3   column: 1   <item .. x=\"1.5\" : 整数を書いて下さい. \n"
        "line: 3   column: 1   <item .. m=\"inf\" : 有限の数値を書いて下さい. \n"
        "line: 3   column: 1   <item .. c=\"1,2\" : 色は 0 から 255 の整数 3 つで \"R,G,B\" と書いて下さい. \n"
        "line: 4   column: 1   <item .. m=\"-1\" : 下限値より大きくして下さい.  m <= MIN 0.0\n"
        "line: 4   column: 1   <item .. c=\"1,2,3,4\" : 色は 0 から 255 の整数 3 つで \"R,G,B\" と書いて下さい. \n");
}

TEST(SchemaValidator, ChecksCountsNestingAndTagsWithoutAttributes)
{
    EXPECT_EQ(validate({"<map>", "<group x=\"1\"></group>", "<group></group>", "</map>"}),
        "line: 2   column: 1   <group x... : タグが余計な属性を持っています. \n"
        "line: 3   column: 1   <group : さらに入れ子タグが必要です. \n"
        "line: 3   column: 1   <item : 必須タグが足りません. \n"
        "line: 3   column: 1   <group : タグの多重定義です. \n");
    EXPECT_EQ(validate({"<map>", "<item flag=\"true\"/><item flag=\"true\"/>",
                  "<item flag=\"true\"/><item flag=\"true\"/>", "<other/>", "</map>"}),
        "line: 4   column: 1   <other : 余計なタグがあります. \n"
        "line: 4   column: 1   <item : タグが多すぎます. Max:  3\n");
    // Text is reported only where a tag allows no tags at all; a lower-case
    // attribute name that the schema knows in lower case is asked for.
    EXPECT_EQ(validate({"<map>", "<item flag=\"true\" X=\"1\"/>", "</map>"}),
        "line: 2   column: 1   <item .. X : 小文字で書いて下さい. \n");
    EXPECT_EQ(validate({}), "line: 0   column: 0   <map : 必須タグが足りません. \n");
}

TEST(SchemaValidator, StopsAfterMoreThanTenFindings)
{
    std::vector<std::string> lines{"<map>", "<item flag=\"true\"/>"};
    for (int i = 0; i < 12; ++i)
        lines.push_back("<other/>");
    lines.push_back("</map>");
    int findings = 0;
    std::string messages = validate(lines, &findings);
    EXPECT_EQ(findings, 11);
    EXPECT_EQ(std::count(messages.begin(), messages.end(), '\n'), 11);
}

} // namespace
} // namespace tavik
