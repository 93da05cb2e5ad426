// The explanation of a species: which files are found, the composed page,
// and how pages are opened (or why not).
#include "viewer/session/explanation_display.h"

#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "platform/private_directory.h"
#include "tests/support/test_folder.h"
#include "viewer/session/process_launcher.h"
#include "viewer/settings/settings.h"
#include "viewer/settings/species_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include <sys/stat.h>

namespace tavik {
namespace {

class RecordingLauncher : public ProcessLauncher {
public:
    bool startDetached(const std::string& program, const std::vector<std::string>& arguments) override
    {
        started.push_back({program, arguments});
        return succeeds;
    }
    struct Start {
        std::string program;
        std::vector<std::string> arguments;
    };
    std::vector<Start> started;
    bool succeeds = true;
};

// The species "Aus bus" (alias 1 エー, alias 2 empty, code 123) with an
// explanation folder, a browser program and a temporary folder in a test
// folder with a blank in its name.
class ExplanationTest : public ::testing::Test {
public:
    ExplanationTest()
        : folder("explain me")
    {
        species.code = 123;
        species.scientificName = "Aus bus";
        species.alias1 = cp932Literal("エー");
        settings.explanationPath = folder.path() + "/explain/";
        settings.browser = folder.write("bin/browser", "#!/bin/sh\n");
        std::filesystem::create_directories(folder.file("tmp"));
    }

    void show()
    {
        ExplanationDisplay display(settings, launcher, log, folder.file("tmp"));
        display.showExplanation(&species);
    }
    std::string page() const { return folder.read("tmp/TavikTmp.html"); }
    std::string url(const std::string& name) const
    {
        std::string path = folder.path() + "/explain/" + name;
        std::string encoded;
        for (char c : path)
            encoded += c == ' ' ? std::string("%20") : std::string(1, c);
        return "file://" + encoded;
    }

    test::TestFolder folder;
    SpeciesRecord species;
    Settings settings;
    RecordingLauncher launcher;
    MessageLog log;
};

TEST_F(ExplanationTest, AnHtmlPageIsOpenedAsItIsBeforeAnyOtherFile)
{
    folder.write("explain/Aus bus.html", "<p>page</p>");
    folder.write("explain/123.lit", "literature");
    show();
    ASSERT_EQ(launcher.started.size(), 1u) << (log.messages.empty() ? "" : log.utf8Texts()[0]);
    EXPECT_EQ(launcher.started[0].program, settings.browser);
    EXPECT_EQ(launcher.started[0].arguments, std::vector<std::string>{folder.path() + "/explain/Aus bus.html"});
    EXPECT_FALSE(std::filesystem::exists(folder.file("tmp/TavikTmp.html")));
}

TEST_F(ExplanationTest, TheTemporaryPageFramesTheFilesFound)
{
    const std::string head = "<HTML>\n<HEAD>\n<META content=\"text/html; charset=shift_jis\" "
                             "http-equiv=Content-Type>\n</HEAD>\n<BODY>\n";
    const std::string tail = "</BODY>\n</HTML>\n";
    auto frame = [](const std::string& url, const char* height) {
        return "<OBJECT type=\"text/plain\" data=\"" + url + "\" height=\"" + height + "\" width=\"100%\">\n"
            + "</OBJECT><BR>\n";
    };

    // A text and a literature file: two frames of 40%.
    // The literature is found under alias 1, whose UTF-8 name is
    // percent-encoded in its URL.
    folder.write("explain/Aus bus.txt", "text");
    folder.write("explain/" + cp932ToUtf8(species.alias1) + ".lit", "literature");
    show();
    EXPECT_EQ(cp932ToUtf8(page()),
        head + "説明<BR>\n" + frame(url("Aus bus.txt"), "40%") + "文献<BR>\n"
            + frame(url("%E3%82%A8%E3%83%BC.lit"), "40%") + tail);

    // The literature alone, found under the species code: one frame of 85%,
    // after a header.
    std::filesystem::remove_all(folder.file("explain"));
    folder.write("explain/123.lit", "literature");
    folder.write("explain/123.hdr", "header");
    show();
    EXPECT_EQ(
        cp932ToUtf8(page()), head + frame(url("123.hdr"), "70") + "文献<BR>\n" + frame(url("123.lit"), "85%") + tail);
    ASSERT_EQ(launcher.started.size(), 2u);
    EXPECT_EQ(launcher.started[1].arguments, std::vector<std::string>{folder.file("tmp/TavikTmp.html")});
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(ExplanationTest, PagesOpenThroughTheBrowserAsAPathOrAUrl)
{
    folder.write("explain/123.txt", "text");
    settings.browserUrlStyle = true;
    show();
    ASSERT_EQ(launcher.started.size(), 1u);
    std::string tmp = folder.file("tmp/TavikTmp.html");
    EXPECT_EQ(launcher.started[0].arguments[0], "file://" + tmp.replace(tmp.find(' '), 1, "%20"));

    // A prefix of the settings replaces the scheme; its closing "/" is not
    // doubled. Frames take it too.
    settings.browserUrlTop = "http://localhost/";
    show();
    EXPECT_TRUE(launcher.started[1].arguments[0].starts_with("http://localhost/"));
    EXPECT_EQ(launcher.started[1].arguments[0].find("//", 8), std::string::npos);
    EXPECT_NE(page().find("data=\"http://localhost/"), std::string::npos);
}

TEST_F(ExplanationTest, TheDefaultActionOpensWithTheDesktopAndSkipsBrowser)
{
    folder.write("explain/Aus bus.html", "<p>page</p>");
    settings.htmlDefaultAction = true;
    settings.browser = folder.path(); // a folder: would fail if it were consulted
    show();
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].program, kDesktopOpener);
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(ExplanationTest, FailuresAreShownWithTheirMessages)
{
    struct Case {
        const char* name;
        std::function<void(ExplanationTest&)> arrange;
        std::string message;
    } cases[] = {
        {"no files", [](ExplanationTest&) {}, "Aus bus\nエー\n\n説明はありません"},
        {"a folder named like a page",
            [](ExplanationTest& t) { std::filesystem::create_directories(t.folder.file("explain/Aus bus.html")); },
            "Aus bus\nエー\n\n説明はありません"},
        {"Browser names a folder",
            [](ExplanationTest& t) {
                t.folder.write("explain/Aus bus.html", "");
                t.settings.browser = t.folder.path() + "/bin";
            },
            "BROWSER\n\nブラウザ起動失敗。\n\ntavik.ini の Browser を確認して下さい。"},
        {"the browser does not start",
            [](ExplanationTest& t) {
                t.folder.write("explain/Aus bus.html", "");
                t.launcher.succeeds = false;
            },
            "BROWSER\n\nブラウザ起動失敗。\n\ntavik.ini の Browser を確認して下さい。"},
        {"the temporary folder is gone",
            [](ExplanationTest& t) {
                t.folder.write("explain/Aus bus.lit", "");
                std::filesystem::remove_all(t.folder.file("tmp"));
            },
            "TMP/TavikTmp.html\n\nテンポラリファイル作成失敗。"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(folder.file("explain"));
        std::filesystem::create_directories(folder.file("tmp"));
        settings.browser = folder.file("bin/browser");
        launcher = RecordingLauncher();
        log.messages.clear();
        c.arrange(*this);
        show();
        std::string expected = c.message;
        if (auto at = expected.find("BROWSER"); at != std::string::npos)
            expected.replace(at, 7, settings.browser);
        if (auto at = expected.find("TMP"); at != std::string::npos)
            expected.replace(at, 3, folder.file("tmp"));
        ASSERT_EQ(log.messages.size(), 1u) << c.name;
        EXPECT_EQ(log.utf8Texts()[0], expected) << c.name;
        EXPECT_EQ(log.messages[0].icon, MessageIcon::Stop);
    }
}

TEST_F(ExplanationTest, TheHelpDocumentOpensOrIsSaidToBeMissing)
{
    settings.helpDocumentPath = folder.path() + "/doc/";
    settings.helpDocumentName = "Tavik_doc.html";
    ExplanationDisplay display(settings, launcher, log, folder.file("tmp"));
    display.showHelpDocument();
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.utf8Texts()[0],
        folder.path()
            + "/doc/Tavik_doc.html\n\nドキュメントがありません。\ntavik.ini の DocumentPath を確認して下さい");
    folder.write("doc/Tavik_doc.html", "<p>help</p>");
    display.showHelpDocument();
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].arguments[0], folder.path() + "/doc/Tavik_doc.html");
}

// A database that names no document of its own gets the installed guide,
// through the desktop's opener when no browser is there; one that names a
// document keeps it, even when it is missing.
TEST_F(ExplanationTest, TheInstalledGuideStandsInOnlyWhenNoDocumentIsNamed)
{
    const std::string guide = folder.write("share/doc/tavik/guide/ja/index.html", "<p>guide</p>");
    settings.helpDocumentPath = folder.path() + "/doc/";
    settings.helpDocumentName = "Tavik_doc.html";
    settings.browser.clear();
    ExplanationDisplay display(settings, launcher, log, folder.file("tmp"));
    display.setInstalledGuide(LocalPath(guide));
    display.showHelpDocument();
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].program, "xdg-open");
    EXPECT_EQ(launcher.started[0].arguments, std::vector<std::string>{guide});
    EXPECT_TRUE(log.messages.empty());
    launcher.succeeds = false;
    display.showHelpDocument();
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.utf8Texts()[0],
        guide
            + "\n\n利用者の手引きを開けませんでした。\nxdg-"
              "open（デスクトップの既定のブラウザ）が使えるか確認して下さい。");
    launcher.succeeds = true;
    log.messages.clear();

    settings.helpDocumentNamed = true;
    display.showHelpDocument();
    EXPECT_EQ(launcher.started.size(), 2u);
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_NE(log.utf8Texts()[0].find("ドキュメントがありません。"), std::string::npos);
}

TEST(PrivateTemporaryDirectory, IsMadeForTheUserAloneAndRefusesAPlantedLink)
{
    test::TestFolder folder("private_tmp");
    const char* saved = std::getenv("TMPDIR"); // own folder: TMPDIR is pointed into it below
    const std::string savedValue = saved ? saved : "";
    ::setenv("TMPDIR", folder.path().c_str(), 1);
    const std::string mine = folder.path() + "/tavik-" + std::to_string(::getuid());

    std::string reason;
    EXPECT_EQ(privateTemporaryDirectory(&reason), mine) << reason;
    struct stat info;
    ASSERT_EQ(::stat(mine.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    ::chmod(mine.c_str(), 0755);
    EXPECT_EQ(privateTemporaryDirectory(&reason), mine);
    ASSERT_EQ(::stat(mine.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    std::filesystem::remove_all(mine);
    std::filesystem::create_directory_symlink(folder.path(), mine);
    EXPECT_EQ(privateTemporaryDirectory(&reason), "");
    EXPECT_NE(cp932ToUtf8(reason).find("フォルダではありません"), std::string::npos);

    if (saved)
        ::setenv("TMPDIR", savedValue.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
}

} // namespace
} // namespace tavik
