#include "viewer/render/painter_config.h"

#include "platform/message_sink.h"
#include "tests/support/test_folder.h"
#include "viewer/render/mark_painter.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tavik {
namespace {

const std::string kData = TAVIK_TEST_DATA "/render/";

using test::readBytes;

TEST(PainterConfig, ReadsStylesAndReportsSchemaFindings)
{
    PainterConfig config;
    MessageLog log;
    ASSERT_TRUE(config.load(kData + "three_targets.cfg", log));
    EXPECT_TRUE(config.held);
    EXPECT_EQ(config.slotCount, 3);
    EXPECT_EQ(config.overlapShiftX, 3);
    EXPECT_EQ(config.overlapShiftY, -4);
    EXPECT_EQ(config.faceName, "MS Mincho");
    EXPECT_DOUBLE_EQ(config.fontSize, 12.0);
    EXPECT_FALSE(config.bold); // "TRUE" is reported and read as off
    EXPECT_TRUE(config.italic);

    const TargetStyle& first = config.slot(0);
    EXPECT_EQ(first.comment, "first species");
    EXPECT_EQ(first.shape, MarkShape::FilledCircle);
    EXPECT_EQ(first.size, 5.0f);
    EXPECT_EQ(first.thickness, 2);
    EXPECT_EQ(first.ranks[0].mark, (Colour{255, 0, 0}));
    EXPECT_EQ(first.ranks[0].fill, (Colour{44, 1, 2}));
    EXPECT_EQ(first.ranks[3].fill, (Colour{10, 11, 12}));
    // "Cross" is not a shape name: the code stays 0, drawn as a cross.
    EXPECT_EQ(config.slot(1).shape, 0);
    EXPECT_EQ(config.slot(1).comment, "say \"two\"");
    EXPECT_EQ(config.slot(2).shape, MarkShape::FirstCapital + ('Q' - 'A'));
    EXPECT_EQ(&config.slot(42), &config.slot(9));

    // Colours that are no three numbers 0 to 255 are read as always (the
    // low byte of each, a missing part 0) and reported.
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.utf8Texts()[0],
        kData
            + "three_targets.cfg  ファイル読み込み\n"
              "line: 3   column: 2   <font .. bold=\"TRUE\" : 小文字で書いて下さい. \n"
              "line: 6   column: 3   <rank-a .. markcolor=\"255,0\" : 色は 0 から 255 の整数 3 つで \"R,G,B\" "
              "と書いて下さい. \n"
              "line: 6   column: 3   <rank-a .. fillcolor=\"300,1,2\" : 色は 0 から 255 の整数 3 つで \"R,G,B\" "
              "と書いて下さい. \n"
              "line: 12   column: 3   <mark .. shape=\"Cross\" : 小文字で書いて下さい. \n");
}

TEST(PainterConfig, SavesAllTenSlotsInTheFixedFormatAndReadsThemBack)
{
    PainterConfig config;
    MessageLog log;
    ASSERT_TRUE(config.load(kData + "three_targets.cfg", log));
    const std::string expected = readBytes(kData + "three_targets_saved.cfg");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(config.text(), expected);

    test::TestFolder folder("painter_roundtrip");
    const std::string path = folder.file("painter_roundtrip.cfg");
    ASSERT_TRUE(config.save(path));
    EXPECT_EQ(readBytes(path), expected);

    PainterConfig again;
    log.messages.clear();
    ASSERT_TRUE(again.load(path, log));
    EXPECT_TRUE(log.messages.empty());
    EXPECT_EQ(again.slotCount, 10);
    EXPECT_EQ(again.slot(0), config.slot(0));
    // An unused slot comes back as a slot of black crosses of size 0.
    TargetStyle unused;
    unused.shape = MarkShape::Cross;
    EXPECT_EQ(again.slot(9), unused);
    ASSERT_TRUE(again.save(path));
    EXPECT_EQ(readBytes(path), expected);
    std::remove(path.c_str());
}

TEST(PainterConfig, RefusesFilesItCannotUseAndStaysAsItWas)
{
    PainterConfig config;
    MessageLog log;
    ASSERT_TRUE(config.load(kData + "three_targets.cfg", log));

    std::string eleven = "<painter>\n";
    for (int i = 0; i < 11; ++i)
        eleven += "<target></target>\n";
    eleven += "</painter>\n";
    test::TestFolder folder("painter_refused");
    const std::string files[] = {
        folder.write("painter_eleven.cfg", eleven),
        folder.write("painter_trailing.cfg", "<painter>\n<target></target>\n</painter> x\n"),
        folder.write("painter_wrong_top.cfg", "<target></target>\n"),
        folder.write("painter_parse_error.cfg", "<painter>\n<overlap shift-x=\"1\" shift-y=2/>\n</painter>\n"),
        folder.file("painter_missing.cfg"),
    };
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        log.messages.clear();
        EXPECT_FALSE(config.load(path, log));
        EXPECT_EQ(config.slotCount, 3);
        EXPECT_EQ(config.faceName, "MS Mincho");
        std::remove(path.c_str());
    }
    ASSERT_EQ(log.messages.size(), 1u); // the missing file
    EXPECT_NE(log.utf8Texts()[0].find("painter_missing.cfg  ファイル読み込みエラー\n"), std::string::npos);
}

TEST(PainterConfig, EmptyPainterHoldsNothingAndSavesNothing)
{
    test::TestFolder folder("painter_empty");
    const std::string path = folder.write("painter_empty.cfg", "<painter></painter>\n");
    PainterConfig config;
    MessageLog log;
    ASSERT_TRUE(config.load(path, log));
    EXPECT_FALSE(config.held);
    EXPECT_EQ(config.slotCount, 0);
    std::remove(path.c_str());
    EXPECT_TRUE(config.save(path));
    EXPECT_FALSE(std::ifstream(path).good());
}

TEST(PainterConfig, ParsesColoursKeepingTheLowEightBits)
{
    struct Case {
        const char* text;
        Colour color;
    };
    const Case cases[] = {
        {"255,0", {255, 0, 0}},
        {"300,1,2", {44, 1, 2}},
        {"-1,256,1000", {255, 0, 232}},
        {" 1, 2 ,3,4", {1, 2, 3}},
        {"", {0, 0, 0}},
        {"red", {0, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PainterConfig::parseColor(c.text), c.color) << c.text;
}

} // namespace
} // namespace tavik
