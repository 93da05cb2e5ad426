#include "platform/ini_file.h"

#include "platform/file_replacement.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tavik {
namespace {

const char* const kSample = "; Tavik settings\r\n"
                            "[Display]\r\n"
                            "  frametitle =  Map viewer  \r\n"
                            "FrameWidth=800\r\n"
                            "Quoted=\"  spaced  \"\r\n"
                            "\r\n"
                            "[Path]\r\n"
                            "BlankMap=.\\BlankMap\\a.png\r\n"
                            "[display]\r\n"
                            "FrameWidth=999\r\n";

TEST(IniFile, ReadsKeysInEitherCaseWithBlanksTrimmed)
{
    IniFile ini = IniFile::fromText(kSample);
    EXPECT_EQ(ini.value("DISPLAY", "FrameTitle").value_or("?"), "Map viewer");
    // The first section of a name wins over a later one spelled differently.
    EXPECT_EQ(ini.value("Display", "framewidth").value_or("?"), "800");
    EXPECT_EQ(ini.value("Display", "Quoted").value_or("?"), "  spaced  ");
    EXPECT_EQ(ini.value("Path", "BlankMap").value_or("?"), ".\\BlankMap\\a.png");
    EXPECT_FALSE(ini.value("Path", "FrameWidth").has_value());
    EXPECT_FALSE(ini.value("Print", "NowPrintForm").has_value());
    EXPECT_EQ(ini.value("Print", "NowPrintForm", "fallback"), "fallback");
}

TEST(IniFile, WritingAKeyKeepsEveryOtherLine)
{
    IniFile ini = IniFile::fromText(kSample);
    ini.setValue("Display", "FrameWidth", "1024");
    ini.setValue("Display", "FrameHeight", "700");
    ini.setValue("Print", "NowPrintForm", "Atlas");
    EXPECT_EQ(ini.text(),
        "; Tavik settings\r\n"
        "[Display]\r\n"
        "  frametitle =  Map viewer  \r\n"
        "FrameWidth=1024\r\n"
        "Quoted=\"  spaced  \"\r\n"
        "FrameHeight=700\r\n"
        "\r\n"
        "[Path]\r\n"
        "BlankMap=.\\BlankMap\\a.png\r\n"
        "[display]\r\n"
        "FrameWidth=999\r\n"
        "[Print]\r\n"
        "NowPrintForm=Atlas\r\n");
}

TEST(IniFile, WritesIntoAFileWithoutLineEndAtTheEnd)
{
    IniFile ini = IniFile::fromText("[A]\nx=1");
    ini.setValue("A", "y", "2");
    ini.setValue("B", "z", "");
    EXPECT_EQ(ini.text(), "[A]\nx=1\ny=2\n[B]\nz=\n");
}

TEST(IniFile, SavesThroughATemporaryFileAndLoadsBack)
{
    test::TestFolder folder("ini_roundtrip");
    std::string path = folder.file("tavik.ini");
    EXPECT_FALSE(IniFile::load(path).value("A", "x").has_value());

    IniFile ini;
    ini.setValue("A", "x", "1");
    ASSERT_TRUE(ini.save(path));
    EXPECT_EQ(IniFile::load(path).value("a", "X").value_or("?"), "1");
}

} // namespace
} // namespace tavik
