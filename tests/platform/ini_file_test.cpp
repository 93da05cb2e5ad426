#include "platform/ini_file.h"

#include "platform/file_replacement.h"
#include "tests/support/fault_injection.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
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

TEST(IniFile, ACarriageReturnAloneEndsALineAndStaysTheFilesLineEnd)
{
    IniFile ini = IniFile::fromText("[Display]\rFrameWidth=800\r[Path]\rTaVikDB=db\\ta_vik.csv\r");
    EXPECT_EQ(ini.value("Display", "FrameWidth").value_or("?"), "800");
    EXPECT_EQ(ini.value("Path", "TaVikDB").value_or("?"), "db\\ta_vik.csv");
    ini.setValue("Display", "FrameHeight", "600");
    EXPECT_EQ(ini.text(), "[Display]\rFrameWidth=800\rFrameHeight=600\r[Path]\rTaVikDB=db\\ta_vik.csv\r");
}

// A settings file that was not read whole is reported, and a save would
// write the keys read so far over the lines never read: it is refused.
TEST(IniFile, AFileNotReadWholeIsNeverWrittenOver)
{
    test::TestFolder folder("ini_unread");
    std::string text = "[Display]\r\nFrameWidth=800\r\n";
    for (int i = 0; text.size() < 100000; ++i)
        text += "; comment " + std::to_string(i) + "\r\n";
    text += "[Norbek]\r\nOrderBy=AuthorAlias1\r\n";
    const std::string path = folder.write("tavik.ini", text);

    IniFile whole = IniFile::load(path);
    EXPECT_TRUE(whole.readWhole());
    EXPECT_EQ(whole.loadResult().status, FileReadStatus::Ok);
    EXPECT_EQ(whole.value("Norbek", "OrderBy").value_or("?"), "AuthorAlias1");

    std::FILE* failing = test::failingStream(text, 50000, EIO);
    IniFile broken = IniFile::load(failing, path);
    std::fclose(failing);
    EXPECT_FALSE(broken.readWhole());
    EXPECT_EQ(broken.loadResult().status, FileReadStatus::ReadError);
    EXPECT_EQ(broken.path(), path);
    broken.setValue("Display", "FrameWidth", "1024");
    std::string why;
    EXPECT_FALSE(broken.save(path, &why));
    EXPECT_NE(why.find("入出力エラーです"), std::string::npos) << why;
    EXPECT_EQ(test::readBytes(path), text);

    // A folder or a device in its place reads as no file, and is no file to
    // write over either; a missing file is no fault and may be made.
    std::filesystem::create_directories(folder.file("folder.ini"));
    for (const std::string& notAFile : {folder.file("folder.ini"), std::string("/dev/zero")}) {
        IniFile ini = IniFile::load(notAFile);
        EXPECT_EQ(ini.loadResult().status, FileReadStatus::NotAFile) << notAFile;
        EXPECT_FALSE(ini.save(notAFile)) << notAFile;
    }
    // A tavik.ini shared through a link is written where the link leads.
    folder.write("shared.ini", "[Display]\r\nFrameWidth=800\r\n");
    std::filesystem::create_symlink(folder.file("shared.ini"), folder.file("linked.ini"));
    IniFile linked = IniFile::load(folder.file("linked.ini"));
    linked.setValue("Display", "FrameWidth", "640");
    ASSERT_TRUE(linked.save(folder.file("linked.ini")));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.file("linked.ini")));
    EXPECT_EQ(folder.read("shared.ini"), "[Display]\r\nFrameWidth=640\r\n");

    IniFile missing = IniFile::load(folder.file("new.ini"));
    EXPECT_TRUE(missing.readWhole());
    missing.setValue("Print", "NowPrintForm", "Atlas");
    EXPECT_TRUE(missing.save(folder.file("new.ini")));

    folder.write("huge.ini", std::string(IniFile::maxFileBytes + 1, ';'));
    EXPECT_EQ(IniFile::load(folder.file("huge.ini")).loadResult().status, FileReadStatus::TooLarge);
}

} // namespace
} // namespace tavik
