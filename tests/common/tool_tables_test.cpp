#include "common/literature_table.h"
#include "common/species_code_table.h"
#include "common/species_name_table.h"
#include "common/tool_area_table.h"
#include "common/tool_error.h"
#include "common/tool_settings.h"
#include "platform/cp932.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

class ToolTables : public ::testing::Test {
protected:
    // Writes UTF-8 text as a cp932 table and returns its path.
    std::string table(const std::string& name, const std::string& utf8)
    {
        return folder_.write(name, cp932Literal(utf8));
    }

    std::string message() const { return cp932ToUtf8(error_.message); }

    test::TestFolder folder_{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    ToolError error_;
};

TEST_F(ToolTables, SpeciesCodesLoadUpToTheCapacity)
{
    SpeciesCodeTable species;
    std::string path = table("species.csv", "30,Cus\r\n\r\n10,Aus\r\n 20 ,Bus\r\n10,Again\r\n");
    ASSERT_TRUE(species.load(path, 4, error_));
    EXPECT_EQ(species.codes(), (std::vector<std::int64_t>{10, 20, 30}));
    EXPECT_EQ(species.find(20), 1u);
    EXPECT_FALSE(species.find(15));

    EXPECT_FALSE(species.load(path, 3, error_));
    EXPECT_EQ(error_.path, path);
    EXPECT_EQ(message(), "種テーブルの種数が多すぎます.上限は 3 種です.");

    EXPECT_FALSE(species.load(table("bad.csv", "1,a\r\n\r\n-4,b\r\n"), 10, error_));
    EXPECT_EQ(message(), "種テーブル 3 行目: 種コードが異常です [-4]");

    EXPECT_FALSE(species.load(table("quote.csv", "1,a\r\n2,\"b\r\n3,c\r\n"), 10, error_));
    EXPECT_EQ(message(), "2 行目: ２重引用符の使い方が間違っています\n\"b");
}

TEST_F(ToolTables, OpenFailuresSayWhetherTheTableExists)
{
    SpeciesCodeTable species;
    std::string missing = folder_.file("none.csv");
    EXPECT_FALSE(species.load(missing, 10, error_));
    EXPECT_EQ(error_.path, "");
    EXPECT_EQ(message(), "種テーブル " + missing + " が見つかりません.");
    ToolAreaTable areas;
    EXPECT_FALSE(areas.load(folder_.path(), 10, error_));
    EXPECT_EQ(message(), "地域テーブル " + folder_.path() + " が読めませんでした (フォルダです).");
    // A device never ends: it is refused at once.
    LiteratureTable literature;
    EXPECT_FALSE(literature.load("/dev/zero", 10, error_));
    EXPECT_EQ(message(), "文献テーブル /dev/zero が読めませんでした (装置ファイルです).");
}

TEST_F(ToolTables, AreaNamesAreFoldedAndCountedWhenTheyRepeat)
{
    // Columns: code, -, -, standard name, lat, lon, x, y, fill, alias 1, alias 2, further name.
    std::string path = table("area.csv",
        "101,,,港区,,,,,,ミナト,,\r\n"
        "102,,,湊町,,,,,,みなと,,\r\n"
        "103,,,新宿,,,,,,シンジュク,,しんじゅく\r\n"
        "\r\n"
        "104,,,中野,,,,,,ナカノ,,ノガタ\r\n");
    ToolAreaTable areas;
    ASSERT_TRUE(areas.load(path, 4, error_)) << message();
    EXPECT_EQ(areas.codes(), (std::vector<std::int32_t>{101, 102, 103, 104}));
    EXPECT_TRUE(areas.containsCode(103));
    EXPECT_FALSE(areas.containsCode(105));

    const AreaName* minato = areas.findName(cp932Literal("　みなと"));
    ASSERT_NE(minato, nullptr);
    EXPECT_EQ(minato->duplicateCount, 2);
    const AreaName* shinjuku = areas.findName(cp932Literal("シンジュク"));
    ASSERT_NE(shinjuku, nullptr);
    EXPECT_EQ(shinjuku->duplicateCount, 0); // a further name equal to the first is the same area
    const AreaName* nogata = areas.findName(cp932Literal("のがた"));
    ASSERT_NE(nogata, nullptr);
    EXPECT_EQ(nogata->areaCode, 104);
    EXPECT_EQ(areas.findName(cp932Literal("ナカ")), nullptr);

    EXPECT_FALSE(areas.load(path, 3, error_));
    EXPECT_EQ(message(), "地域テーブルの地域数が多すぎます.上限は 3 地域です.");
    EXPECT_FALSE(areas.load(table("bad.csv", "1\r\nx\r\n"), 10, error_));
    EXPECT_EQ(message(), "地域テーブル 2 行目の地域コードが異常です [x]");
}

TEST_F(ToolTables, AreaNamesMatchOnTheirFirst31Bytes)
{
    // 20 kanji: the table keeps 15 of them (30 bytes); the full input name finds it.
    std::string longName = "一二三四五六七八九十一二三四五六七八九十";
    ToolAreaTable areas;
    ASSERT_TRUE(areas.load(table("area.csv", "7,,,,,,,,," + longName + "\r\n"), 10, error_));
    const AreaName* area = areas.findName(cp932Literal(longName));
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->areaCode, 7);
}

TEST_F(ToolTables, LiteratureIsFoundByCodeOrByText)
{
    std::string path = table("litera.csv",
        "L2,Ono,1990,日本の蝶\r\n"
        "L1,Abe,1985,  Birds of Japan  \r\n"
        "L3,Abe,1986,\r\n"
        "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123,x,1,long\r\n");
    LiteratureTable literature;
    ASSERT_TRUE(literature.load(path, 4, error_)) << message();
    EXPECT_TRUE(literature.containsCode("L1"));
    EXPECT_FALSE(literature.containsCode("L4"));
    EXPECT_TRUE(literature.containsCode("ABCDEFGHIJKLMNOPQRSTUVWXYZ0")); // kept to 27 bytes
    const LiteratureName* birds = literature.findText("Birds of Japan");
    ASSERT_NE(birds, nullptr);
    EXPECT_EQ(birds->code, "L1");
    ASSERT_NE(literature.findText(cp932Literal("日本の蝶")), nullptr);
    EXPECT_EQ(literature.findText(""), nullptr); // L3 has no text to match

    EXPECT_FALSE(literature.load(path, 3, error_));
    EXPECT_EQ(message(), "文献テーブルの文献数が多すぎます.上限は 3 文献です.");
    EXPECT_FALSE(literature.load(table("bad.csv", "L1\r\n　,x\r\n"), 10, error_));
    EXPECT_EQ(message(), "文献テーブル 2 行目の文献コードが異常です [　]");
}

TEST_F(ToolTables, SpeciesNamesAreFoundByScientificOrJapaneseName)
{
    std::string path = table("species.csv",
        "12,Parnassius glacialis,Butler,1866,,0,,ウスバシロチョウ\r\n"
        "7,Papilio machaon,L.,1758,,0,,キアゲハ\r\n"
        "9,,,,,0,,\r\n");
    SpeciesNameTable species;
    ASSERT_TRUE(species.load(path, 3, error_)) << message();
    const SpeciesName* found = species.findScientific("Papilio machaon");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->speciesCode, 7);
    found = species.findJapanese(cp932Literal("ウスバシロチョウ"));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->speciesCode, 12);
    EXPECT_EQ(species.findScientific(""), nullptr); // species 9 has no name to match
    EXPECT_EQ(species.findJapanese(cp932Literal("うすばしろちょう")), nullptr);

    EXPECT_FALSE(species.load(path, 2, error_));
    EXPECT_EQ(message(), "種テーブルの種数が多すぎます.上限は 2 種です.");
    std::string blank = table("blank.csv", "1,A\r\n\r\n");
    EXPECT_FALSE(species.load(blank, 10, error_));
    EXPECT_EQ(message(), "種テーブル " + blank + "  2 行目の種コードが数字ではありません []");
}

TEST(ToolSettings, ReadsEveryKeyWithItsDefault)
{
    ToolSettings defaults = ToolSettings::read(IniFile::fromText(""));
    EXPECT_EQ(defaults.speciesTable, "species.csv");
    EXPECT_EQ(defaults.taVikDb, "tavik.csv");
    EXPECT_EQ(defaults.spLitDb, "split.csv");
    EXPECT_EQ(defaults.areaMax, 2000);

    ToolSettings set = ToolSettings::read(IniFile::fromText("[Path]\r\nAreaTable=db\\area.csv\r\n"
                                                            "[Capacity]\r\nSpeciesMax=50\r\nLiteraMax=many\r\n"));
    EXPECT_EQ(set.areaTable, "db\\area.csv");
    EXPECT_EQ(set.speciesMax, 50);
    EXPECT_EQ(set.literaMax, 0);
    EXPECT_EQ(set.pointMaxPerSpecies, 1000);

    std::string longPath(600, 'p');
    ToolSettings cut = ToolSettings::read(IniFile::fromText("[Path]\nTaVikDB=" + longPath + "\n"));
    EXPECT_EQ(cut.taVikDb.size(), ToolSettings::standardValueBytes);
}

} // namespace
} // namespace tavik
