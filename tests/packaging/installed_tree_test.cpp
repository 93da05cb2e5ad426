// What `cmake --install` puts where a Debian desktop looks for it: the
// programs, the sample, the documents, the menu entry with its icon, the
// AppStream description and the manual pages; and that every link of the
// installed README and user guide reaches a file that was installed with it.
#include "tests/support/process_run.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace tavik {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kPrograms = {"tavik", "samvel", "ludric", "norbek", "dwcimport", "blankmap"};

// One installation for every test of this file, into a folder of its own.
class InstalledTree : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder = new test::TestFolder("installed_tree");
        const std::string build = fs::path(TAVIK_BIN).parent_path().string();
        installed = test::runProcess({"cmake", {"--install", build, "--prefix", folder->path()}});
    }
    static void TearDownTestSuite()
    {
        delete folder;
        folder = nullptr;
    }

    static std::string path(const std::string& relative) { return folder->file(relative); }

    static test::TestFolder* folder;
    static test::ProcessResult installed;
};

test::TestFolder* InstalledTree::folder = nullptr;
test::ProcessResult InstalledTree::installed;

// The width and height of a PNG file from its header; 0, 0 when it is none.
std::pair<int, int> pngSize(const std::string& file)
{
    const std::string bytes = test::readBytes(file);
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0)
        return {0, 0};
    auto number = [&](size_t at) {
        return int((unsigned char)bytes[at]) << 24 | int((unsigned char)bytes[at + 1]) << 16
            | int((unsigned char)bytes[at + 2]) << 8 | int((unsigned char)bytes[at + 3]);
    };
    return {number(16), number(20)};
}

// The local targets of the links of a page: href and src attributes of HTML
// tags (not of tags shown as text, &lt;a href=...), ](target) of Markdown;
// web addresses, mail and in-page anchors left out, and the anchor cut from
// the rest.
std::set<std::string> localLinks(const std::string& text)
{
    static const std::regex link(R"(<[A-Za-z][^>]*?\s(?:href|src)="([^"]*)\"|\]\(([^)\s]*)\))");
    std::set<std::string> targets;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), link); it != std::sregex_iterator(); ++it) {
        std::string target = (*it)[1].matched ? (*it)[1].str() : (*it)[2].str();
        if (target.empty() || target[0] == '#' || target.find("://") != std::string::npos
            || target.rfind("mailto:", 0) == 0)
            continue;
        target = target.substr(0, target.find('#'));
        targets.insert(target);
    }
    return targets;
}

TEST_F(InstalledTree, HoldsEveryPartWhereTheDesktopLooks)
{
    ASSERT_EQ(installed.status, 0) << installed.out << installed.err;
    std::vector<std::string> files = {
        "share/tavik/japan/tavik.ini",
        "share/tavik/japan/BlankMap/jpn_Prefs_LEA_S/jpn_Prefs_LEA_S.png",
        "share/tavik/japan/input/north.csv",
        "share/tavik/dwc/gbif-dwca.zip",
        "share/tavik/dwc/occurrences.csv",
        "share/tavik/boundaries/japan-prefectures.geojson",
        "share/tavik/boundaries/japan_layout.json",
        "share/doc/tavik/README.md",
        "share/doc/tavik/copyright",
        "share/doc/tavik/changelog.gz",
        "share/doc/tavik/guide/ja/index.html",
        "share/doc/tavik/guide/en/index.html",
        "share/doc/tavik/screens/main-window.png",
        "share/applications/org.tavik.Tavik.desktop",
        "share/metainfo/org.tavik.Tavik.metainfo.xml",
        "share/icons/hicolor/scalable/apps/org.tavik.Tavik.svg",
        "share/lintian/overrides/tavik",
    };
    for (const std::string& program : kPrograms) {
        files.push_back("share/man/man1/" + program + ".1.gz");
        files.push_back("share/man/ja/man1/" + program + ".1.gz");
    }
    for (const std::string& file : files)
        EXPECT_TRUE(fs::is_regular_file(path(file))) << file;
    for (const std::string& program : kPrograms) {
        const fs::perms perms = fs::status(path("bin/" + program)).permissions();
        EXPECT_NE(perms & fs::perms::others_exec, fs::perms::none) << program;
    }
    // Each size of the icon is a picture of that size.
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        EXPECT_EQ(
            pngSize(path("share/icons/hicolor/" + name + "/apps/org.tavik.Tavik.png")), std::make_pair(size, size))
            << name;
    }
    // The sample opens as it is: its fact tables are built, and nothing else
    // a run leaves in a database folder is there.
    for (const char* built : {"dbase/ta_vik.csv", "dbase/split.csv"})
        EXPECT_GT(fs::file_size(path("share/tavik/japan/") + built), 1000u) << built;
    for (const char* written : {"tavik.lock", "maps", "explain"})
        EXPECT_FALSE(fs::exists(path("share/tavik/japan/") + written)) << written;
}

TEST_F(InstalledTree, EveryLinkOfTheReadmeAndTheGuideReachesAnInstalledFile)
{
    ASSERT_EQ(installed.status, 0) << installed.out << installed.err;
    std::vector<fs::path> pages = {path("share/doc/tavik/README.md")};
    for (const auto& entry : fs::recursive_directory_iterator(path("share/doc/tavik/guide")))
        if (entry.path().extension() == ".html")
            pages.push_back(entry.path());
    ASSERT_GT(pages.size(), 2u);
    for (const fs::path& page : pages) {
        const std::set<std::string> links = localLinks(test::readBytes(page.string()));
        EXPECT_FALSE(links.empty()) << page;
        for (const std::string& link : links)
            EXPECT_TRUE(fs::exists(page.parent_path() / link)) << page << " links " << link;
    }
}

TEST_F(InstalledTree, MenuEntryAndAppStreamDescriptionAreAccepted)
{
    ASSERT_EQ(installed.status, 0) << installed.out << installed.err;
    const test::ProcessResult desktop
        = test::runProcess({"desktop-file-validate", {path("share/applications/org.tavik.Tavik.desktop")}});
    EXPECT_EQ(desktop.status, 0) << desktop.out << desktop.err;
    // The installed description, and the same with screenshots at a stand-in
    // address: the screenshot markup is accepted whatever address is set.
    const std::string withScreenshots
        = (fs::path(TAVIK_BIN).parent_path() / "packaging/test/org.tavik.Tavik.metainfo.xml").string();
    ASSERT_NE(test::readBytes(withScreenshots).find("<screenshot"), std::string::npos);
    for (const std::string& metainfo : {path("share/metainfo/org.tavik.Tavik.metainfo.xml"), withScreenshots}) {
        const test::ProcessResult result
            = test::runProcess({"appstreamcli", {"validate", "--no-net", "--no-color", metainfo}});
        EXPECT_EQ(result.status, 0) << metainfo << "\n" << result.out << result.err;
    }
}

} // namespace
} // namespace tavik
