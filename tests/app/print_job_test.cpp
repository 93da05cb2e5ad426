// Runs `tavik --print` on a small database and reads the PDF back with
// poppler's tools: page count, paper size, and maps where the form puts them.
#include "tests/support/tavik_run.h"
#include "tests/support/viewer_database.h"
#include "viewer/print/print_form_list.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace tavik {
namespace {

using test::runTavik;
using test::TavikRun;

// The value of one "Key: value" line of pdfinfo.
std::string pdfInfo(const std::string& pdf, const std::string& key)
{
    test::ProcessCall call{"pdfinfo", {pdf}};
    call.mergeOutput = true;
    std::string info = test::runProcess(call).out;
    size_t at = info.find(key + ":");
    if (at == std::string::npos)
        return "(no " + key + " in: " + info + ")";
    size_t start = info.find_first_not_of(' ', at + key.size() + 1);
    return info.substr(start, info.find('\n', start) - start);
}

// One page of the PDF as an image of 2 pixels a millimetre.
QImage pdfPage(const std::string& pdf, int page, const std::string& prefix)
{
    std::string number = std::to_string(page);
    test::runProcess({"pdftoppm", {"-r", "50.8", "-png", "-singlefile", "-f", number, "-l", number, pdf, prefix}});
    return QImage(QString::fromStdString(prefix + ".png"));
}

// Close to a colour: the PDF's pixels pass through a renderer.
bool near(QRgb pixel, QRgb colour)
{
    return std::abs(qRed(pixel) - qRed(colour)) < 12 && std::abs(qGreen(pixel) - qGreen(colour)) < 12
        && std::abs(qBlue(pixel) - qBlue(colour)) < 12;
}

class PrintJobTest : public ::testing::Test {
protected:
    PrintJobTest()
        : folder("print_job")
    {
        test::writeViewerDatabase(folder, "101,1,A,N35E135,A\r\n102,2,B,N35E135,A\r\n");
        std::filesystem::create_directories(folder.file("out"));
    }

    // The built-in form, then "Two up" (2 x 1) and "Cramped" (margins wider
    // than the paper).
    void writeForms()
    {
        PrintForm twoUp = PrintForm::builtIn();
        twoUp.title = "Two up";
        twoUp.rows = PrintForm::countFromText("2");
        PrintForm cramped = PrintForm::builtIn();
        cramped.title = "Cramped";
        cramped.leftMargin = RealField::fromText("200");
        PrintFormList forms;
        forms.replace({PrintForm::builtIn(), twoUp, cramped}, 0);
        folder.write("PrintForm.cfg", forms.text());
    }

    test::TestFolder folder;
};

TEST_F(PrintJobTest, WritesOneA4PageAMapUnderTheCurrentForm)
{
    TavikRun run = runTavik(folder, {"--print", "out/all.pdf", "--all"});
    ASSERT_EQ(run.status, 0) << run.errors;
    const std::string pdf = folder.file("out/all.pdf");
    EXPECT_EQ(pdfInfo(pdf, "Pages"), "2");
    EXPECT_NE(pdfInfo(pdf, "Page size").find("(A4)"), std::string::npos) << pdfInfo(pdf, "Page size");
    EXPECT_NE(run.errors.find("(1/2)  Papilio xuthus"), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("(2/2)  Papilio machaon"), std::string::npos) << run.errors;

    // The built-in form: 30 mm margins and a title space of 20 % of the map
    // height put the 300 x 200 map at 30-180 mm across and 50-150 mm down,
    // half a millimetre a map pixel. The west island (map 60, 60) is filled
    // pink on page 1, the east island (map 220, 60) in rank B on page 2.
    QImage first = pdfPage(pdf, 1, folder.file("out/page1"));
    ASSERT_FALSE(first.isNull());
    EXPECT_TRUE(near(first.pixel(2 * 60, 2 * 80), qRgb(255, 160, 160)));
    EXPECT_TRUE(near(first.pixel(2 * 140, 2 * 80), qRgb(255, 255, 255)));
    EXPECT_TRUE(near(first.pixel(2 * 25, 2 * 80), qRgb(255, 255, 255))); // the margin
    QImage second = pdfPage(pdf, 2, folder.file("out/page2"));
    EXPECT_TRUE(near(second.pixel(2 * 140, 2 * 80), qRgb(200, 120, 120)));
}

TEST_F(PrintJobTest, FormsAndOverlaysChangeThePageCount)
{
    writeForms();
    TavikRun overlay = runTavik(folder, {"--print", "out/overlay.pdf", "--overlay", "101", "102"});
    ASSERT_EQ(overlay.status, 0) << overlay.errors;
    EXPECT_EQ(pdfInfo(folder.file("out/overlay.pdf"), "Pages"), "1");

    TavikRun twoUp = runTavik(folder, {"--print", "out/two.pdf", "--form", "Two up", "102", "101", "102"});
    ASSERT_EQ(twoUp.status, 0) << twoUp.errors;
    EXPECT_EQ(pdfInfo(folder.file("out/two.pdf"), "Pages"), "2");
}

TEST_F(PrintJobTest, RefusalsExitNonZeroAndWriteNothing)
{
    writeForms();
    TavikRun unknown = runTavik(folder, {"--print", "out/x.pdf", "--form", "Nope", "--all"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.errors.find("\"Nope\""), std::string::npos) << unknown.errors;
    EXPECT_NE(unknown.errors.find("Two up"), std::string::npos) << unknown.errors; // the forms there are

    TavikRun cramped = runTavik(folder, {"--print", "out/x.pdf", "--form", "Cramped", "--all"});
    EXPECT_EQ(cramped.status, 1);
    EXPECT_NE(cramped.errors.find("Cramped"), std::string::npos) << cramped.errors;
    EXPECT_FALSE(std::filesystem::exists(folder.file("out/x.pdf")));

    TavikRun missing = runTavik(folder, {"--print", "nowhere/x.pdf", "--all"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.errors.find("nowhere/x.pdf に書き込みできませんでした。"), std::string::npos) << missing.errors;

    // An old file stays whole when the new one is refused.
    folder.write("out/kept.pdf", "old");
    EXPECT_EQ(runTavik(folder, {"--print", "out/kept.pdf", "101", "999"}).status, 1);
    EXPECT_EQ(folder.read("out/kept.pdf"), "old");

    // A disk that fills up while the file is written leaves the old file.
    ::setenv("TAVIK_INJECT_FULL_DISK", "1", 1);
    TavikRun full = runTavik(folder, {"--print", "out/kept.pdf", "101"});
    ::unsetenv("TAVIK_INJECT_FULL_DISK");
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.errors.find("out/kept.pdf に書き込みできませんでした。"), std::string::npos) << full.errors;
    EXPECT_EQ(folder.read("out/kept.pdf"), "old");
}

} // namespace
} // namespace tavik
