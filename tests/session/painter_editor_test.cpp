// The painter dialog's decisions without the dialog: the checks of OK and
// their messages, what the fields keep, the spins, the letter-mark font
// size, the row labels, and what OK does with the painter file.
#include "viewer/session/painter_editor.h"

#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "tests/session/session_tables.h"
#include "tests/support/sample_files.h"
#include "tests/support/workspace_access.h"
#include "viewer/document/quelna_doc.h"
#include "viewer/render/mark_painter.h"
#include "viewer/session/document_list.h"
#include "viewer/session/workspace.h"
#include "viewer/settings/species_table.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

// A configuration whose ten slots all pass the checks.
PainterConfig passingConfig()
{
    PainterConfig config;
    config.faceName = "IPAPGothic";
    for (TargetStyle& style : config.slots) {
        style.shape = MarkShape::FilledCircle;
        style.size = 8.0f;
        style.thickness = 2;
    }
    return config;
}

const std::vector<std::string> kFaces = {"IPAGothic", "IPAPGothic"};

std::string messageOf(const std::optional<PainterEditor::Failure>& failure)
{
    return failure ? cp932ToUtf8(failure->message) : "";
}

TEST(PainterEditor, OkChecksSizesThenThicknessesThenTheFace)
{
    using Kind = PainterEditor::Field::Kind;
    const std::string sizeMessage = "大きさ:\n1以上99以下の値を指定して下さい";
    const std::string thicknessMessage = "太さ:\n1以上20以下の値を指定して下さい";
    struct Case {
        const char* size;
        const char* thickness;
        const char* message; // empty when OK passes
        Kind kind;
    } cases[] = {
        {"0.5", "2", sizeMessage.c_str(), Kind::Size}, // read as an integer it is 0
        {"1.5", "2", "", Kind::Size}, {"99", "2", "", Kind::Size},
        {"99.5", "2", sizeMessage.c_str(), Kind::Size}, // the file refuses a size above 99
        {"1e5", "2", sizeMessage.c_str(), Kind::Size},
        {"1e400", "2", sizeMessage.c_str(),
            Kind::Size}, // no finite value {"100", "2", sizeMessage.c_str(), Kind::Size},
        {"big", "2", sizeMessage.c_str(), Kind::Size},
        {"5", "0", thicknessMessage.c_str(), Kind::Thickness}, // the file accepts 0, the dialog does not
        {"5", "20", "", Kind::Size}, {"5", "21", thicknessMessage.c_str(), Kind::Thickness},
        {"0", "0", sizeMessage.c_str(), Kind::Size}, // sizes first
    };
    for (const Case& c : cases) {
        PainterEditor editor(passingConfig(), kFaces);
        editor.setThicknessText(4, c.thickness);
        editor.setSizeText(6, c.size);
        const auto failure = editor.check();
        EXPECT_EQ(messageOf(failure), c.message) << c.size << " " << c.thickness;
        if (failure) {
            EXPECT_EQ(failure->field, (PainterEditor::Field{c.kind, c.kind == Kind::Size ? 6 : 4}));
        }
    }

    // 1.5 passes and is kept as 1.5, also in the file's text.
    PainterEditor editor(passingConfig(), kFaces);
    editor.setSizeText(0, "1.5");
    EXPECT_FLOAT_EQ(editor.accepted().slots[0].size, 1.5f);
    EXPECT_NE(editor.accepted().text().find("size=\" 1.5\""), std::string::npos);

    // A face that is not installed counts as not chosen until one is.
    PainterConfig century = passingConfig();
    century.faceName = "Century";
    PainterEditor noFace(century, kFaces);
    EXPECT_EQ(messageOf(noFace.check()), "フォントを指定して下さい");
    EXPECT_EQ(noFace.check()->field.kind, Kind::Font);
    noFace.chooseFace("IPAGothic");
    EXPECT_FALSE(noFace.check());
    EXPECT_EQ(noFace.accepted().faceName, "IPAGothic");
}

TEST(PainterEditor, FieldsShowTheirValuesAndKeepWhatIsTyped)
{
    PainterConfig config = passingConfig();
    config.slots[2].size = 5.0f;
    config.slots[2].thickness = 3;
    config.slots[2].shape = 0;
    config.slots[3].shape = MarkShape::FirstSmall + 25; // "z"
    PainterEditor editor(config, kFaces);
    EXPECT_EQ(editor.sizeText(2), " 5.0");
    EXPECT_EQ(editor.thicknessText(2), "3");

    // The list: nine shapes in the dialog's spelling, then the letters.
    const std::vector<std::string>& entries = PainterEditor::shapeEntries();
    ASSERT_EQ(entries.size(), 61u);
    EXPECT_EQ(entries[4], "filled-reberse-triangle");
    EXPECT_EQ(entries[9], "A");
    EXPECT_EQ(entries[60], "z");
    EXPECT_EQ(editor.shapeEntry(2), -1); // code 0: no entry
    EXPECT_EQ(entries[static_cast<size_t>(editor.shapeEntry(3))], "z");
    editor.setShapeEntry(2, 9);
    EXPECT_EQ(editor.config().slots[2].shape, MarkShape::FirstCapital);

    editor.setThicknessText(2, "300"); // a byte keeps the low 8 bits; OK refuses it
    EXPECT_EQ(editor.config().slots[2].thickness, 44);
    EXPECT_TRUE(editor.check());

    editor.setColour(2, 1, {1, 2, 3}); // mark colour of rank B
    editor.setColour(2, 7, {4, 5, 6}); // fill colour of rank Z
    EXPECT_EQ(editor.config().slots[2].ranks[1].mark, (Colour{1, 2, 3}));
    EXPECT_EQ(editor.config().slots[2].ranks[3].fill, (Colour{4, 5, 6}));
    EXPECT_EQ(editor.colour(2, 7), (Colour{4, 5, 6}));
}

TEST(PainterEditor, SpinsKeepTheShiftWithin78)
{
    PainterConfig config = passingConfig();
    config.overlapShiftX = 77;
    config.overlapShiftY = 80; // the file allows up to 80
    PainterEditor editor(config, kFaces);
    editor.stepOverlap(1, 0);
    editor.stepOverlap(1, 0);
    EXPECT_EQ(editor.config().overlapShiftX, 78);
    editor.stepOverlap(0, 1);
    EXPECT_EQ(editor.config().overlapShiftY, 78);
    for (int i = 0; i < 200; ++i)
        editor.stepOverlap(-1, -1);
    EXPECT_EQ(editor.config().overlapShiftX, -78);
    EXPECT_EQ(editor.config().overlapShiftY, -78);
}

TEST(PainterEditor, TheLetterFontTakesTheSizeOfTheFirstLetterSlot)
{
    PainterConfig config = passingConfig();
    for (int i = 0; i < 10; ++i)
        config.slots[static_cast<size_t>(i)].size = static_cast<float>(10 + i);
    PainterEditor none(config, kFaces);
    EXPECT_DOUBLE_EQ(none.accepted().fontSize, 10.0); // slot 1

    config.slots[2].shape = MarkShape::FirstCapital + 2; // slot 3: "C"
    config.slots[4].shape = MarkShape::FirstSmall; // slot 5: "a"
    PainterEditor letters(config, kFaces);
    const PainterConfig accepted = letters.accepted();
    EXPECT_DOUBLE_EQ(accepted.fontSize, 12.0);
    EXPECT_TRUE(accepted.held);
    EXPECT_EQ(accepted.slotCount, 10);
}

TEST(PainterEditor, RowLabelsNameTheSpeciesOfTheActiveMap)
{
    SpeciesRecord xuthus;
    xuthus.scientificName = "Papilio xuthus";
    xuthus.author = "Linnaeus";
    xuthus.year = "1767";
    xuthus.alias1 = cp932Literal("アゲハ");
    EXPECT_EQ(cp932ToUtf8(painterRowLabel(xuthus)), "Papilio xuthus  Linnaeus 1767  アゲハ");
    SpeciesRecord alcinous;
    alcinous.scientificName = "Byasa alcinous";
    alcinous.author = "Klug";
    alcinous.year = "1836";
    alcinous.parenthesis = true;
    EXPECT_EQ(painterRowLabel(alcinous), "Byasa alcinous  (Klug 1836)  ");

    test::TestFolder folder("painter_labels");
    Workspace workspace;
    test::loadSpeciesTables(
        workspace, folder, "1,X,0,,\r\n", "1,Aus a,Ab,1900,,1\r\n2,Aus b,Cd,1901,C,1\r\n3,Aus c,Ef,1902,,1\r\n");
    DocumentList documents(workspace);
    EXPECT_EQ(painterRowLabels(nullptr), std::vector<std::string>(10));
    const std::vector<std::string> ordinary = painterRowLabels(documents.open({1, 2}, false));
    EXPECT_EQ(ordinary[0], "Aus b  (Cd 1901)  ");
    EXPECT_EQ(ordinary[1], ""); // an ordinary document labels its first species only
    const std::vector<std::string> overlay = painterRowLabels(documents.open({2, 0, 1}, true));
    EXPECT_EQ(overlay[0], "Aus c  Ef 1902  ");
    EXPECT_EQ(overlay[1], "Aus a  Ab 1900  ");
    EXPECT_EQ(overlay[2], "Aus b  (Cd 1901)  ");
    EXPECT_EQ(overlay[3], "");
}

// What OK does: the painter file is replaced whole and reads back equal; a
// file that cannot be written is named and the new configuration still
// applies.
TEST(PainterEditor, AcceptingWritesThePainterFileOrSaysWhichFileFailed)
{
    test::TestFolder folder("painter_accept");
    Workspace workspace;
    MessageLog log;
    WorkspaceAccess::settings(workspace).paintCfg = folder.write("Painter.cfg", test::kPainterCfg);
    ASSERT_TRUE(WorkspaceAccess::painter(workspace).load(WorkspaceAccess::settings(workspace).paintCfg, log));
    DocumentList documents(workspace);

    PainterEditor editor(workspace.painter(), kFaces);
    editor.chooseFace("IPAGothic");
    editor.setColour(0, 0, {0, 128, 0});
    editor.setSizeText(1, "12.5");
    editor.setThicknessText(1, "3");
    editor.setShapeEntry(2, 12); // "D"
    editor.stepOverlap(2, 2);
    for (int i = 3; i < 10; ++i) { // the file's three targets leave the other slots at 0
        editor.setShapeEntry(i, 5);
        editor.setSizeText(i, "5");
        editor.setThicknessText(i, "1");
    }
    ASSERT_FALSE(editor.check());
    const PainterConfig accepted = editor.accepted();
    const std::uint64_t revision = workspace.revision();
    EXPECT_TRUE(acceptPainter(workspace, documents, accepted, log));
    EXPECT_TRUE(log.messages.empty());
    EXPECT_GT(workspace.revision(), revision);
    EXPECT_EQ(workspace.painter().slots, accepted.slots);

    PainterConfig reread;
    ASSERT_TRUE(reread.load(workspace.settings().paintCfg, log));
    EXPECT_TRUE(log.messages.empty()) << log.utf8Texts()[0];
    EXPECT_EQ(reread.slots, accepted.slots);
    EXPECT_EQ(reread.slotCount, 10);
    EXPECT_EQ(reread.overlapShiftX, 6);
    EXPECT_EQ(reread.overlapShiftY, -1);
    EXPECT_EQ(reread.faceName, "IPAGothic");
    EXPECT_DOUBLE_EQ(reread.fontSize, 10.0); // slot 3's "D"

    // A painter file in a folder that does not exist cannot be written.
    const std::string unwritable = folder.file("missing/Painter.cfg");
    WorkspaceAccess::settings(workspace).paintCfg = unwritable;
    editor.setColour(0, 0, {0, 0, 99});
    EXPECT_FALSE(acceptPainter(workspace, documents, editor.accepted(), log));
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.messages[0].icon, MessageIcon::Stop);
    const std::string text = log.utf8Texts()[0];
    EXPECT_TRUE(text.starts_with(unwritable + "\n色塗り情報を書き込めませんでした")) << text;
    EXPECT_EQ(workspace.painter().slots[0].ranks[0].mark, (Colour{0, 0, 99}));
}

} // namespace
} // namespace tavik
