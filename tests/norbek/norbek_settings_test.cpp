// norbek's [Norbek] settings read in the program: what an empty section
// gives, values in any case and blanks, the report of the first value that
// is not allowed, and every declared key reaching the settings.
#include "tools/norbek/norbek_settings.h"

#include "common/tavik_ini_keys.h"
#include "platform/ascii_case.h"
#include "platform/cp932.h"
#include "platform/ini_file.h"

#include <functional>
#include <map>

#include <gtest/gtest.h>

namespace tavik {
namespace {

// The settings of a tavik.ini holding `lines` in [Norbek]; the report of a
// fault in `fault` (UTF-8).
bool readSettings(const std::string& lines, NorbekSettings& settings, std::string& fault)
{
    const IniFile ini = IniFile::fromText(cp932Literal("[Norbek]\r\n" + lines));
    Cp932Text report;
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

// A key of [Norbek] as the settings file spells it, a value other than its
// default, what norbek keeps of it shown in the settings file's words, and
// the bytes it keeps of a longer text (0: not a text kept as written).
struct KeyReach {
    std::string name;
    std::string value;
    std::function<std::string(const NorbekSettings&)> shown;
    size_t keptBytes = 0;
};

std::string formWord(NameForm form) { return std::array{"standard", "alias1", "alias2"}[static_cast<int>(form)]; }

std::vector<KeyReach> norbekKeyReaches()
{
    using S = NorbekSettings;
    auto yesNo = [](bool S::*flag) { return [flag](const S& s) { return std::string(s.*flag ? "yes" : "no"); }; };
    auto form = [](NameForm S::*field) { return [field](const S& s) { return formWord(s.*field); }; };
    auto text = [](std::string S::*field) { return [field](const S& s) { return s.*field; }; };
    std::vector<KeyReach> reaches{
        {"OrderBy", "AuthorAlias1", [](const S& s) { return "author" + formWord(s.orderBy); }},
        {"Species", "Alias2,Scientific",
            [](const S& s) {
                std::string names;
                for (NameForm name : s.species)
                    names += (names.empty() ? "" : ",") + (name == NameForm::Standard ? "scientific" : formWord(name));
                return names;
            }},
        {"PhyleticYN", "no", yesNo(&S::phyletic)},
        {"GeoDeticYN", "no", yesNo(&S::geoDetic)},
        {"Area", "Alias1", form(&S::area)},
        {"SmallRegionYN", "no", yesNo(&S::smallRegion)},
        {"LargeRegionYN", "no", yesNo(&S::largeRegion)},
        {"Literature", "Alias2", form(&S::literature)},
        {"Book", "Alias1", form(&S::book)},
        {"DefaultFileType", "Text",
            [](const S& s) { return std::string(s.defaultFileType == PageFileType::Html ? "html" : "text"); }},
        {"HtmlCharSet", "Shift_JIS", text(&S::htmlCharSet), 63},
        {"HtmlFont", "Century",
            [](const S& s) { // the family without the quotes norbek puts around each name
                std::string names = s.fontFamily;
                std::erase(names, '"');
                return names;
            }},
        {"HtmlBackGroundColor", "10,20,30",
            [](const S& s) {
                return std::to_string(s.background[0]) + "," + std::to_string(s.background[1]) + ","
                    + std::to_string(s.background[2]);
            }},
        {"HtmlLitHeader", "Literature", text(&S::litHeader), 255},
        {"HtmlAllAreaHeader", "All areas", text(&S::allAreaHeader), 255},
        {"IndexHtmlSort", "Code",
            [](const S& s) {
                return std::string(
                    std::array{"none", "code", "scientific", "alias1", "alias2"}[static_cast<int>(s.indexOrder)]);
            }},
        {"OtherTextFile", "exp", text(&S::otherTextFile), 15},
    };
    for (int n = 0; n < 10; ++n) {
        const std::string number = std::to_string(n + 1);
        reaches.push_back(
            {"HtmlImageURL" + number, "maps" + number + "/*.png", [n](const S& s) { return s.imageUrls[n]; }, 255});
        reaches.push_back(
            {"HtmlImageList" + number, "lists/" + number + ".txt", [n](const S& s) { return s.imageLists[n]; }, 255});
    }
    return reaches;
}

// The declarations of [Norbek] against what norbek reads: each key, spelt as
// in the settings file, reaches the settings when written; when not, gives
// its declared default (as does a settings object not read at all); and a
// long text is cut where norbek has always cut it.
TEST(NorbekSettings, EveryDeclaredKeyIsReadWithItsDefaultAndBound)
{
    const std::vector<KeyReach> reaches = norbekKeyReaches();
    std::map<std::string, const IniKey*> declared;
    for (const IniKey& key : norbekIniKeys()) {
        EXPECT_EQ(key.section, "Norbek") << key.name;
        declared[std::string(key.name)] = &key;
    }
    ASSERT_EQ(declared.size(), reaches.size());

    std::string written;
    std::string tooLong;
    for (const KeyReach& reach : reaches) {
        ASSERT_TRUE(declared.count(reach.name)) << reach.name << " is not declared";
        written += reach.name + "=" + reach.value + "\r\n";
        if (reach.keptBytes > 0)
            tooLong += reach.name + "=" + std::string(300, 'x') + "\r\n";
    }
    NorbekSettings unset;
    NorbekSettings set;
    NorbekSettings cut;
    std::string fault;
    ASSERT_TRUE(readSettings("", unset, fault)) << fault;
    ASSERT_TRUE(readSettings(written, set, fault)) << fault;
    ASSERT_TRUE(readSettings(tooLong, cut, fault)) << fault;
    const NorbekSettings constructed;
    for (const KeyReach& reach : reaches) {
        const IniKey& key = *declared.at(reach.name);
        const std::string byDefault = asciiLower(key.toolsDefault);
        EXPECT_NE(asciiLower(reach.value), byDefault) << reach.name; // the default would prove nothing
        EXPECT_EQ(asciiLower(reach.shown(unset)), byDefault) << reach.name;
        EXPECT_EQ(asciiLower(reach.shown(constructed)), byDefault) << reach.name;
        EXPECT_EQ(asciiLower(reach.shown(set)), asciiLower(reach.value)) << reach.name;
        if (reach.keptBytes > 0) {
            EXPECT_EQ(key.maxBytes, reach.keptBytes) << reach.name;
            EXPECT_EQ(reach.shown(cut), std::string(reach.keptBytes, 'x')) << reach.name;
        }
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
