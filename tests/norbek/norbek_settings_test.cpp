// norbek's [Norbek] settings read in the program: what an empty section
// gives, values in any case and blanks, and the report of the first value
// that is not allowed.
#include "tools/norbek/norbek_settings.h"

#include "platform/cp932.h"
#include "platform/ini_file.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

// The settings of a tavik.ini holding `lines` in [Norbek]; the report of a
// fault in `fault` (UTF-8).
bool readSettings(const std::string& lines, NorbekSettings& settings, std::string& fault)
{
    const IniFile ini = IniFile::fromText(cp932Literal("[Norbek]\r\n" + lines));
    std::string report;
    const bool read = NorbekSettings::read(ini, "tavik.ini", settings, report);
    fault = cp932ToUtf8(report);
    return read;
}

TEST(NorbekSettings, AnEmptySectionGivesTheUsualPages)
{
    NorbekSettings settings;
    std::string fault;
    ASSERT_TRUE(readSettings("", settings, fault)) << fault;
    EXPECT_EQ(settings.orderBy, NameForm::Standard);
    EXPECT_EQ(settings.species, (std::vector<NameForm>{NameForm::Standard, NameForm::Alias1}));
    EXPECT_TRUE(settings.phyletic && settings.geoDetic && settings.smallRegion && settings.largeRegion);
    EXPECT_EQ(settings.area, NameForm::Standard);
    EXPECT_EQ(settings.defaultFileType, PageFileType::Html);
    EXPECT_EQ(settings.background, (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(settings.indexOrder, IndexOrder::None);
    EXPECT_EQ(settings.fontFamily, "");
    EXPECT_EQ(settings.otherTextFile, "");
    EXPECT_EQ(settings.phyleticTable, "phyletic.csv");
}

TEST(NorbekSettings, ChoicesMatchInAnyCaseAndTextsAreCut)
{
    NorbekSettings settings;
    std::string fault;
    ASSERT_TRUE(readSettings("OrderBy=AUTHORALIAS2\r\n"
                             "Species= alias2 ,Scientific,ALIAS1,alias2\r\n" // a fourth name is not read
                             "PhyleticYN=NO\r\nGeoDeticYN=No\r\nArea=Alias1\r\nBook=alias2\r\n"
                             "DefaultFileType=TEXT\r\nHtmlBackGroundColor= 0 , 128,255\r\n"
                             "IndexHtmlSort=Alias2\r\nOtherTextFile=../notes\r\n"
                             "HtmlCharSet="
            + std::string(70, 'x') + "\r\n",
        settings, fault))
        << fault;
    EXPECT_EQ(settings.orderBy, NameForm::Alias2);
    EXPECT_EQ(settings.species, (std::vector<NameForm>{NameForm::Alias2, NameForm::Standard, NameForm::Alias1}));
    EXPECT_FALSE(settings.phyletic);
    EXPECT_FALSE(settings.geoDetic);
    EXPECT_EQ(settings.area, NameForm::Alias1);
    EXPECT_EQ(settings.book, NameForm::Alias2);
    EXPECT_EQ(settings.defaultFileType, PageFileType::Text);
    EXPECT_EQ(settings.background, (std::array<int, 3>{0, 128, 255}));
    EXPECT_EQ(settings.indexOrder, IndexOrder::Alias2);
    EXPECT_EQ(settings.otherTextFile, "._notes"); // one leading dot goes; a separator would lead elsewhere
    EXPECT_EQ(settings.htmlCharSet, std::string(63, 'x'));
}

TEST(NorbekSettings, TheFirstValueNotAllowedIsReportedWithTheChoices)
{
    struct Case {
        std::string lines;
        std::string report; // after the file, section and key lines
    } cases[] = {
        {"PhyleticYN=yes please\r\n",
            "  PhyleticYN=yes please\n初期設定ファイルでの指定が間違っています\n"
            "以下の何れかを指定して下さい\n  PhyleticYN=yes\n  PhyleticYN=no\n"},
        {"DefaultFileType=pdf\r\nArea=alias3\r\n", // DefaultFileType is read after Area
            "  Area=alias3\n初期設定ファイルでの指定が間違っています\n以下の何れかを指定して下さい\n"
            "  Area=standard\n  Area=alias1\n  Area=alias2\n"},
        {"DefaultFileType=pdf\r\n",
            "  DefaultFileType=pdf\n初期設定ファイルでの指定が間違っています\n"
            "以下の何れかを指定して下さい\n  DefaultFileType=html\n  DefaultFileType=text\n"},
        {"HtmlBackGroundColor=1,,3\r\n",
            "  HtmlBackGroundColor=1,,3\n初期設定ファイルでの指定が間違っています\n"
            "0 以上 255 以下のR,G,B値を指定して下さい\n"
            "例： HtmlBackGroundColor=255,255,255\n"},
    };
    for (const Case& c : cases) {
        NorbekSettings settings;
        std::string fault;
        EXPECT_FALSE(readSettings(c.lines, settings, fault)) << c.lines;
        EXPECT_EQ(fault, "\ntavik.ini\n [Norbek]\n" + c.report) << c.lines;
    }
}

TEST(NorbekSettings, FontNamesAreQuotedOnce)
{
    EXPECT_EQ(NorbekSettings::fontFamilyText("Century,\"Times\""), "\"Century\",\"Times\"");
    EXPECT_EQ(NorbekSettings::fontFamilyText(" MS Mincho , ,\"Open"), "\"MS Mincho\",\"Open\"");
    EXPECT_EQ(NorbekSettings::fontFamilyText(""), "");
    EXPECT_EQ(NorbekSettings::fontFamilyText("a,b,c,d,e,f,g,h,i"), "\"a\",\"b\",\"c\",\"d\",\"e\",\"f\",\"g\",\"h\"");
}

} // namespace
} // namespace tavik
