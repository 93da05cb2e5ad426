// The geo-line dialog's decisions without the dialog: the checks of OK with
// their titles, messages and fields, the enabling rules, the selected-colour
// slots and the colours taken from the base map.
#include "viewer/session/geo_line_editor.h"

#include "common/angle_text.h"
#include "platform/cp932.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>

namespace tavik {
namespace {

// Settings whose geo-line fields all pass the checks.
Settings validSettings(GeoLineMode kind)
{
    Settings s;
    s.geoLine = kind;
    s.geoCrossPercentText = "5";
    s.geoWest = {"E120", 120};
    s.geoEast = {"E150", 150};
    s.geoSouth = {"N20", 20};
    s.geoNorth = {"N46", 46};
    s.geoLonSpan = {"1", 1};
    s.geoLatSpan = {"0.30'", 0.5};
    return s;
}

struct Outcome {
    std::string title, message;
    GeoLineField field = GeoLineField::Ratio;
};

Outcome outcomeOf(const GeoLineEditor& editor)
{
    const auto failure = editor.check();
    if (!failure)
        return {};
    return {cp932ToUtf8(failure->title), cp932ToUtf8(failure->message), failure->field};
}

const char* const kLongitudeFormat = "範囲: 東の経度\n\n許される書式          \n"
                                     "E179.59'59\"\nE179.59'99999\nE179.59'\nE179.99999\nE179\n179.99999\n"
                                     "W179.59'59\"\nW179.59'99999\nW179.59'\nW179.99999\nW179\n-179.99999";

TEST(GeoLineEditor, OkChecksTheRatioThenTheAnglesWithTheirMessages)
{
    struct Case {
        GeoLineMode kind;
        GeoLineField field; // the field typed into
        const char* text;
        const char* title; // of the message box; empty with the message for a pass
        const char* message;
    } cases[] = {
        // The ratio is checked for every kind of lines.
        {GeoLineMode::None, GeoLineField::Ratio, "50", "", "比率\n1 以上 49 以下で入力して下さい。"},
        {GeoLineMode::Mesh, GeoLineField::Ratio, "0.5", "", "比率\n1 以上 49 以下で入力して下さい。"},
        {GeoLineMode::Cross, GeoLineField::Ratio, "nan", "", "比率\n1 以上 49 以下で入力して下さい。"},
        {GeoLineMode::Cross, GeoLineField::Ratio, "49", "", ""},
        // Without lines the angles are not read.
        {GeoLineMode::None, GeoLineField::North, "garbage", "", ""},
        {GeoLineMode::Mesh, GeoLineField::North, "N91", "範囲エラー",
            "範囲: 北の緯度\n-89.99999 以上  89.99999 以下で入力して下さい。"},
        {GeoLineMode::Mesh, GeoLineField::East, "135E", "書式エラー", kLongitudeFormat},
        {GeoLineMode::Cross, GeoLineField::West, "W180", "範囲エラー",
            "範囲: 西の経度\n-179.99999 以上 179.99999 以下で入力して下さい。"},
        {GeoLineMode::Cross, GeoLineField::South, "E35", "書式エラー",
            "範囲: 南の緯度\n\n許される書式          \nN89.59'59\"\nN89.59'99999\nN89.59'\nN89.99999\nN89\n89.99999\n"
            "S89.59'59\"\nS89.59'99999\nS89.59'\nS89.99999\nS89\n-89.99999"},
        {GeoLineMode::Mesh, GeoLineField::Meridian, "0", "範囲エラー",
            "間隔: 経線\n0.00001 以上 179.99999 以下で入力して下さい。"},
        {GeoLineMode::Mesh, GeoLineField::Parallel, "N1", "書式エラー",
            "間隔: 緯線\n\n許される書式          \n89.59'59\"\n89.59'99999\n89.59'\n89.99999"},
        {GeoLineMode::Mesh, GeoLineField::Parallel, "90", "範囲エラー",
            "間隔: 緯線\n0.00001 以上  89.99999 以下で入力して下さい。"},
        // Spans that give more lines than a map can show (N20 to N46, E120 to E150).
        {GeoLineMode::Mesh, GeoLineField::Parallel, "0.00025", "範囲エラー",
            "緯線が 104001 本になります。緯線の間隔 0.00025 を広げて、1000 本以下にして下さい。"},
        {GeoLineMode::Cross, GeoLineField::Meridian, "0.001", "範囲エラー",
            "経線が 30001 本になります。経線の間隔 0.001 を広げて、1000 本以下にして下さい。"},
        {GeoLineMode::Mesh, GeoLineField::Parallel, "0.03", "", ""},
        {GeoLineMode::Mesh, GeoLineField::West, "W179.59'59\"", "", ""},
        {GeoLineMode::Mesh, GeoLineField::North, "-89.99999", "", ""},
    };
    for (const Case& c : cases) {
        GeoLineEditor editor(validSettings(c.kind));
        editor.setText(c.field, c.text);
        const Outcome outcome = outcomeOf(editor);
        EXPECT_EQ(outcome.title, c.title) << c.text;
        EXPECT_EQ(outcome.message, c.message) << c.text;
        if (*c.message) {
            EXPECT_EQ(outcome.field, c.field) << c.text;
        }
    }

    // In order: the ratio first, then west, east, south, north, meridians,
    // parallels; the edges are not compared with each other.
    GeoLineEditor editor(validSettings(GeoLineMode::Mesh));
    editor.setText(GeoLineField::West, "E150");
    editor.setText(GeoLineField::East, "E120");
    EXPECT_FALSE(editor.check());
    for (GeoLineField field : {GeoLineField::Parallel, GeoLineField::Meridian, GeoLineField::North, GeoLineField::South,
             GeoLineField::East, GeoLineField::West, GeoLineField::Ratio}) {
        editor.setText(field, "x");
        EXPECT_EQ(outcomeOf(editor).field, field);
    }
}

TEST(GeoLineEditor, ApplyCopiesTheFieldsAsTypedIntoTheSettings)
{
    Settings settings = validSettings(GeoLineMode::None);
    GeoLineEditor editor(settings);
    editor.setText(GeoLineField::North, "garbage");
    editor.setText(GeoLineField::Ratio, "12.5");
    editor.setText(GeoLineField::South, std::string(40, '1')); // kept to 31 bytes
    editor.style = LineType::DashDot;
    editor.lineColour = {10, 20, 30};
    editor.overwrite = GeoTransparentMode::Select;
    editor.add();
    editor.setColour(0, {1, 2, 3});
    ASSERT_FALSE(editor.check());
    editor.apply(settings);
    EXPECT_EQ(settings.geoNorth.text, "garbage");
    EXPECT_EQ(settings.geoNorth.degrees, kInvalidAngle);
    EXPECT_EQ(settings.geoSouth.text, std::string(31, '1'));
    EXPECT_EQ(settings.geoCrossPercentText, "12.5");
    EXPECT_DOUBLE_EQ(settings.geoCrossPercent, 12.5);
    EXPECT_DOUBLE_EQ(settings.geoLatSpan.degrees, 0.5);
    EXPECT_EQ(settings.geoLineType, LineType::DashDot);
    EXPECT_EQ(settings.geoLineColor, (Colour{10, 20, 30}));
    EXPECT_EQ(settings.geoTransparent, GeoTransparentMode::Select);
    EXPECT_TRUE(settings.geoTransparentCheck[0]);
    EXPECT_EQ(settings.geoTransparentColor[0], (Colour{1, 2, 3}));
    EXPECT_FALSE(settings.geoTransparentCheck[1]);
}

TEST(GeoLineEditor, EnablingFollowsTheKindAndTheOverwriteMode)
{
    struct Case {
        GeoLineMode kind;
        GeoTransparentMode overwrite;
        bool ratio, lines, selected;
    } cases[] = {
        {GeoLineMode::None, GeoTransparentMode::Select, false, false, false},
        {GeoLineMode::Mesh, GeoTransparentMode::Select, false, true, true},
        {GeoLineMode::Cross, GeoTransparentMode::Select, true, true, true},
        {GeoLineMode::Cross, GeoTransparentMode::Background, true, true, false},
        {GeoLineMode::Mesh, GeoTransparentMode::All, false, true, false},
    };
    for (const Case& c : cases) {
        GeoLineEditor editor(validSettings(c.kind));
        editor.overwrite = c.overwrite;
        const GeoLineEditor::Enabling on = editor.enabling();
        EXPECT_EQ(on.ratio, c.ratio);
        EXPECT_EQ(on.lines, c.lines);
        EXPECT_EQ(on.selectedColours, c.selected);
    }
}

TEST(GeoLineEditor, TheAddButtonTurnsOnTheSlotAfterTheLastShown)
{
    Settings settings = validSettings(GeoLineMode::Mesh);
    settings.geoTransparentCheck = {false, false, true, false, true, false, false, false};
    settings.geoTransparentColor[2] = Colour{9, 9, 9};
    // Slot 4 is checked but has no colour: not in use.
    GeoLineEditor editor(settings);
    EXPECT_TRUE(editor.shown(2));
    EXPECT_FALSE(editor.inUse(4));
    EXPECT_FALSE(editor.shown(4));
    EXPECT_EQ(editor.addSlot(), 3);
    editor.add();
    EXPECT_TRUE(editor.inUse(3));
    EXPECT_EQ(editor.colour(3), Colour{});
    // A slot turned off stays shown, so the button stays after it.
    editor.setInUse(3, false);
    EXPECT_TRUE(editor.shown(3));
    EXPECT_EQ(editor.addSlot(), 4);
    while (editor.addSlot() >= 0)
        editor.add();
    EXPECT_TRUE(editor.inUse(7));

    GeoLineEditor none(validSettings(GeoLineMode::Mesh));
    EXPECT_EQ(none.addSlot(), 0);
}

TEST(GeoLineEditor, ColoursOfTheBaseMapAreTakenMostFrequentFirst)
{
    // Three colours: 60 of white, 30 of blue, 10 of black.
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(qRgb(255, 255, 255));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 10; ++x)
            image.setPixel(x, 6 + y, qRgb(0, 0, 255));
    for (int x = 0; x < 10; ++x)
        image.setPixel(x, 9, qRgb(0, 0, 0));
    image.setPixel(0, 0, qRgb(0, 0, 255)); // blue enters the table first
    image.setPixel(0, 8, qRgb(255, 255, 255));

    Settings settings = validSettings(GeoLineMode::Mesh);
    for (size_t i = 0; i < 8; ++i) {
        settings.geoTransparentCheck[i] = true;
        settings.geoTransparentColor[i] = Colour{7, 7, 7};
    }
    GeoLineEditor editor(settings);
    editor.takeColoursOf(image);
    EXPECT_EQ(editor.colour(0), (Colour{255, 255, 255}));
    EXPECT_EQ(editor.colour(1), (Colour{0, 0, 255}));
    EXPECT_EQ(editor.colour(2), (Colour{0, 0, 0}));
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(editor.inUse(i), i < 3) << i;
        EXPECT_EQ(editor.shown(i), i < 3) << i;
        if (i >= 3) {
            EXPECT_EQ(editor.colour(i), Colour{}) << i;
        }
    }
    EXPECT_EQ(editor.addSlot(), 3);
    EXPECT_EQ(cp932ToUtf8(colourLabel(editor.colour(1))), "R:0  G:0  B:255");
}

TEST(GeoLineEditor, AFullFrequencyTableSortsBeforeItsLastEntryGivesWay)
{
    // Fifteen colours once, the sixteenth three times, then a seventeenth:
    // the full table is sorted first (its last entry counts 3), so the
    // fifteenth colour gives way and the sixteenth stays.
    QImage image(20, 1, QImage::Format_RGB32);
    for (int x = 0; x < 15; ++x)
        image.setPixel(x, 0, qRgb(x, 0, 0));
    for (int x = 15; x < 18; ++x)
        image.setPixel(x, 0, qRgb(0, 100, 0));
    image.setPixel(18, 0, qRgb(0, 0, 200));
    image.setPixel(19, 0, qRgb(0, 0, 201));
    const std::vector<ColourCount> table = frequentColours(image);
    ASSERT_EQ(table.size(), 16u);
    EXPECT_EQ(table[0], (ColourCount{{0, 100, 0}, 3}));
    for (const ColourCount& entry : table)
        EXPECT_NE(entry.colour, (Colour{14, 0, 0}));
    // The last entry now counts 1: the next new colour replaces it unsorted.
    EXPECT_EQ(table.back(), (ColourCount{{0, 0, 201}, 1}));
    EXPECT_EQ(std::count_if(table.begin(), table.end(), [](const ColourCount& e) { return e.colour.b == 200; }), 0);
}

} // namespace
} // namespace tavik
