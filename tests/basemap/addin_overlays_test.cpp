#include "viewer/basemap/addin_overlays.h"
#include "viewer/basemap/addin_tracer.h"

#include "platform/cp932.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tavik {
namespace {

TEST(AddinOverlays, ReadsTheFilesOfTheListIntoRecords)
{
    test::TestFolder folder("addin_records");
    folder.write("addin/list.txt", "coast.csv\r\n\r\nsub\\marks.csv\r\n");
    folder.write("addin/coast.csv",
        "E139.30',N35.40',moveto,blue,dot,1500\r\n"
        "E139.45,N35.50,lineto,Red,SOLID,2\r\n"
        "\r\n"
        "140,36,FilledTriangle,peru,Dash,-3\r\n");
    folder.write("addin/sub/marks.csv", "W10,S5,arc,lightgreen\r\n");
    AddinOverlays overlays;
    ASSERT_TRUE(overlays.load("addin/list.txt", folder.path())) << cp932ToUtf8(overlays.errorText());
    EXPECT_TRUE(overlays.finished());
    EXPECT_EQ(overlays.statusText(), cp932Literal("完了"));

    const auto& records = overlays.records();
    ASSERT_EQ(records.size(), 4u);
    EXPECT_DOUBLE_EQ(records[0].longitude, 139.5);
    EXPECT_NEAR(records[0].latitude, 35 + 40 / 60.0, 1e-9);
    EXPECT_EQ(records[0].command, AddinCommand::MoveTo);
    EXPECT_EQ(records[0].colour, (Colour{0, 0, 255}));
    EXPECT_EQ(records[0].style, AddinPenStyle::Dot);
    EXPECT_EQ(records[0].width, 1500);
    // Commands and styles match in any case; colour names only in lower case.
    EXPECT_EQ(records[1].command, AddinCommand::LineTo);
    EXPECT_EQ(records[1].colour, (Colour{0, 0, 0}));
    EXPECT_EQ(records[1].style, AddinPenStyle::Solid);
    EXPECT_EQ(records[2].command, AddinCommand::FilledTriangle);
    EXPECT_EQ(records[2].colour, (Colour{0xCD, 0x85, 0x3F}));
    EXPECT_EQ(records[2].style, AddinPenStyle::Solid);
    EXPECT_EQ(records[2].width, -3);
    EXPECT_EQ(records[3].command, AddinCommand::Dot);
    EXPECT_DOUBLE_EQ(records[3].longitude, -10.0);
    EXPECT_DOUBLE_EQ(records[3].latitude, -5.0);
    EXPECT_EQ(records[3].colour, (Colour{0x90, 0xEE, 0x90}));
    EXPECT_EQ(records[3].width, 0);

    // A second load does nothing.
    EXPECT_TRUE(overlays.load("addin/list.txt", folder.path()));
    EXPECT_EQ(overlays.records().size(), 4u);
}

TEST(AddinOverlays, CollectsErrorsAndGoesOnWithTheNextFile)
{
    test::TestFolder folder("addin_errors");
    std::filesystem::create_directories(folder.file("folder.csv"));
    folder.write("list.txt", "folder.csv\nmissing.csv\nbad.csv\ngood.csv\n");
    folder.write(
        "bad.csv", "E139,N35,moveto\nE139,north,lineto\nE140,N36,lineto\n\"E141,N36,lineto\nE142,N36,lineto\n");
    folder.write("good.csv", "E139,N35\n");
    AddinOverlays overlays;
    EXPECT_FALSE(overlays.load(folder.file("list.txt"), "/elsewhere"));
    const std::string dir = folder.path();
    EXPECT_EQ(cp932ToUtf8(overlays.errorText()),
        dir + "/folder.csv ディレクトリです\r\n" + dir + "/missing.csv 見つかりません\r\n" + dir
            + "/bad.csv 2 行目: 経度・緯度が読めません\r\n" + dir + "/bad.csv 4 行目: CSV の書式が違います");
    // The two good lines of bad.csv and the line of good.csv.
    EXPECT_EQ(overlays.records().size(), 3u);

    // No more than ten messages are kept.
    std::string names;
    for (int i = 0; i < 12; ++i)
        names += "gone" + std::to_string(i) + ".csv\n";
    folder.write("many.txt", names);
    AddinOverlays many;
    EXPECT_FALSE(many.load(folder.file("many.txt"), ""));
    EXPECT_EQ(many.errors().size(), AddinOverlays::kMaxErrors);

    AddinOverlays noList;
    EXPECT_FALSE(noList.load("nolist.txt", folder.path()));
    EXPECT_EQ(cp932ToUtf8(noList.errorText()), dir + "/nolist.txt 見つかりません");
}

// The list reads lone CRs as line ends, as the tables do; a device or a
// line too long for a file name is an error of its own, never a hang or the
// machine's memory.
TEST(AddinOverlays, TheListEndsLinesAsTablesDoAndBoundsThem)
{
    test::TestFolder folder("addin_list_lines");
    folder.write("a.csv", "E139,N35\n");
    folder.write("b.csv", "E140,N36\nE141,N36\n");
    folder.write("cr.txt", "a.csv\rb.csv\r");
    AddinOverlays crOnly;
    EXPECT_TRUE(crOnly.load(folder.file("cr.txt"), "")) << cp932ToUtf8(crOnly.errorText());
    EXPECT_EQ(crOnly.records().size(), 3u);

    folder.write("long.txt", "a.csv\n" + std::string(5000, 'x') + "\nb.csv\n");
    AddinOverlays longLine;
    EXPECT_FALSE(longLine.load(folder.file("long.txt"), ""));
    EXPECT_EQ(cp932ToUtf8(longLine.errorText()), folder.file("long.txt") + " 2 行目: 長すぎます");
    EXPECT_EQ(longLine.records().size(), 1u);

    folder.write("device.txt", "/dev/zero\na.csv\n");
    AddinOverlays device;
    EXPECT_FALSE(device.load(folder.file("device.txt"), ""));
    EXPECT_EQ(cp932ToUtf8(device.errorText()), "/dev/zero 読めません");
    EXPECT_EQ(device.records().size(), 1u);
    AddinOverlays deviceList;
    EXPECT_FALSE(deviceList.load("/dev/zero", ""));
    EXPECT_EQ(cp932ToUtf8(deviceList.errorText()), "/dev/zero 読めません");
}

TEST(AddinOverlays, RecordLimitEndsTheLoad)
{
    test::TestFolder folder("addin_limit");
    folder.write("list.txt", "a.csv\nb.csv\n");
    folder.write("a.csv", "1,1\n2,2\n3,3\n4,4\n");
    folder.write("b.csv", "5,5\n");
    AddinOverlays overlays(3);
    EXPECT_FALSE(overlays.load(folder.file("list.txt"), ""));
    EXPECT_EQ(cp932ToUtf8(overlays.errorText()), "データが多すぎます");
    EXPECT_EQ(overlays.records().size(), 3u);
}

TEST(AddinOverlays, EmptySettingAndStopRequestLoadNothing)
{
    test::TestFolder folder("addin_stop");
    folder.write("list.txt", "a.csv\n");
    folder.write("a.csv", "1,1\n2,2\n");
    AddinOverlays none;
    EXPECT_TRUE(none.load("", folder.path()));
    EXPECT_TRUE(none.finished());
    EXPECT_TRUE(none.records().empty());

    AddinOverlays stopped;
    stopped.requestStop();
    EXPECT_TRUE(stopped.load("list.txt", folder.path()));
    EXPECT_TRUE(stopped.finished());
    EXPECT_TRUE(stopped.records().empty());
}

AddinRecord record(AddinCommand command)
{
    AddinRecord r;
    r.command = command;
    return r;
}

TEST(AddinTracer, LinesFollowTheCurrentPositionAndLoopClosesTheFigure)
{
    AddinTracer tracer;
    const QPoint a(10, 10), b(50, 10), c(50, 40), d(20, 40);
    EXPECT_EQ(tracer.figure(record(AddinCommand::MoveTo), a, 0.4).kind, AddinFigureKind::None);
    AddinFigure line = tracer.figure(record(AddinCommand::LineTo), b, 0.4);
    EXPECT_EQ(line.kind, AddinFigureKind::Polyline);
    EXPECT_EQ(line.penWidth, 1);
    EXPECT_EQ(std::vector<QPoint>(line.points.begin(), line.points.begin() + line.pointCount), (std::vector{a, b}));
    EXPECT_EQ(tracer.figure(record(AddinCommand::LineTo), c, 3.7).penWidth, 3);
    AddinFigure loop = tracer.figure(record(AddinCommand::Loop), d, 1.0);
    EXPECT_EQ(std::vector<QPoint>(loop.points.begin(), loop.points.begin() + loop.pointCount), (std::vector{c, d, a}));
    EXPECT_EQ(tracer.currentPosition(), a);
}

TEST(AddinTracer, CirclesAndTrianglesTakeTheRadiusOrShrinkToOnePixel)
{
    AddinTracer tracer;
    const QPoint p(100, 100);
    AddinFigure circle = tracer.figure(record(AddinCommand::Circle), p, 5.9);
    EXPECT_EQ(circle.kind, AddinFigureKind::CircleOutline);
    EXPECT_EQ(circle.box, QRect(95, 95, 10, 10));
    EXPECT_EQ(circle.penWidth, 1);
    EXPECT_EQ(tracer.figure(record(AddinCommand::FilledCircle), p, 5.0).kind, AddinFigureKind::FilledCircle);

    for (AddinCommand command : {AddinCommand::Circle, AddinCommand::FilledCircle, AddinCommand::Triangle,
             AddinCommand::FilledTriangle, AddinCommand::Dot}) {
        AddinFigure small = tracer.figure(record(command), p, command == AddinCommand::Dot ? 50.0 : 0.99);
        EXPECT_EQ(small.kind, AddinFigureKind::Pixel);
        EXPECT_EQ(small.points[0], p);
    }

    // r = 10: h = trunc(20 / √3) = 11, h / 2 = 5.
    AddinFigure triangle = tracer.figure(record(AddinCommand::Triangle), p, 10.2);
    EXPECT_EQ(triangle.kind, AddinFigureKind::TriangleOutline);
    ASSERT_EQ(triangle.pointCount, 4);
    EXPECT_EQ(triangle.points, (std::array{QPoint(90, 105), QPoint(110, 105), QPoint(100, 89), QPoint(90, 105)}));
    EXPECT_EQ(tracer.figure(record(AddinCommand::FilledTriangle), p, 10.2).pointCount, 3);
    // A radius of one still gives a triangle one pixel high.
    EXPECT_EQ(tracer.figure(record(AddinCommand::Triangle), p, 1.0).points[2], QPoint(100, 99));
}

} // namespace
} // namespace tavik
