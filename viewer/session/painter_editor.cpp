#include "viewer/session/painter_editor.h"

#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "platform/text_numbers.h"
#include "viewer/document/quelna_doc.h"
#include "viewer/render/mark_painter.h"
#include "viewer/session/document_list.h"
#include "viewer/session/workspace.h"
#include "viewer/settings/species_table.h"

#include <algorithm>
#include <cstdio>

namespace tavik {
namespace {

std::string formatSize(float size)
{
    char text[64];
    std::snprintf(text, sizeof text, "%4.1f", static_cast<double>(size));
    return text;
}

// The message of a field that must hold a value from 1 up to a maximum.
Cp932Text rangeMessage(const char* label, const char* limits)
{
    return cp932Printf("%s:\n%s", cp932Literal(label).c_str(), cp932Literal(limits).c_str());
}

} // namespace

PainterEditor::PainterEditor(const PainterConfig& config, const std::vector<std::string>& installedFaces)
    : config_(config)
{
    for (int i = 0; i < PainterConfig::SlotCount; ++i) {
        const TargetStyle& style = config_.slots[index(i)];
        sizeTexts_[index(i)] = formatSize(style.size);
        thicknessTexts_[index(i)] = std::to_string(style.thickness);
    }
    faceChosen_ = std::find(installedFaces.begin(), installedFaces.end(), config_.faceName) != installedFaces.end();
}

std::size_t PainterEditor::index(int slot)
{
    return static_cast<std::size_t>(std::clamp(slot, 0, PainterConfig::SlotCount - 1));
}

const std::vector<std::string>& PainterEditor::shapeEntries()
{
    static const std::vector<std::string> entries = [] {
        // The names as the dialog has always listed them, which differ from
        // the file's names of shapes 4 and 5.
        std::vector<std::string> list = {"cross", "triangle", "filled-triangle", "reverse-triangle",
            "filled-reberse-triangle", "square", "filled-square", "circle", "filled-circle"};
        for (char c = 'A'; c <= 'Z'; ++c)
            list.emplace_back(1, c);
        for (char c = 'a'; c <= 'z'; ++c)
            list.emplace_back(1, c);
        return list;
    }();
    return entries;
}

int PainterEditor::shapeEntry(int slot) const
{
    const int code = config_.slots[index(slot)].shape;
    return code >= 1 && code <= MarkShape::LastLetter ? code - 1 : -1;
}

void PainterEditor::setShapeEntry(int slot, int entry)
{
    if (entry >= 0 && entry < static_cast<int>(shapeEntries().size()))
        config_.slots[index(slot)].shape = static_cast<std::uint8_t>(entry + 1);
}

void PainterEditor::setSizeText(int slot, std::string_view text)
{
    std::string& kept = sizeTexts_[index(slot)];
    kept = cutCp932(text, FieldLimit);
    config_.slots[index(slot)].size = static_cast<float>(parseReal(kept));
}

void PainterEditor::setThicknessText(int slot, std::string_view text)
{
    std::string& kept = thicknessTexts_[index(slot)];
    kept = cutCp932(text, FieldLimit);
    config_.slots[index(slot)].thickness = static_cast<std::uint8_t>(parseInteger(kept) & 0xff);
}

Colour PainterEditor::colour(int slot, int box) const
{
    const RankColors& rank = config_.slots[index(slot)].ranks[static_cast<std::size_t>(std::clamp(box, 0, 7) % 4)];
    return box < 4 ? rank.mark : rank.fill;
}

void PainterEditor::setColour(int slot, int box, const Colour& colour)
{
    if (box < 0 || box >= ColourBoxes)
        return;
    RankColors& rank = config_.slots[index(slot)].ranks[static_cast<std::size_t>(box % 4)];
    (box < 4 ? rank.mark : rank.fill) = colour;
}

void PainterEditor::stepOverlap(int dx, int dy)
{
    config_.overlapShiftX = std::clamp(config_.overlapShiftX + dx, -ShiftLimit, ShiftLimit);
    config_.overlapShiftY = std::clamp(config_.overlapShiftY + dy, -ShiftLimit, ShiftLimit);
}

void PainterEditor::chooseFace(std::string_view faceName)
{
    config_.faceName = cutCp932(faceName, PainterConfig::FaceNameLimit);
    config_.characterSet = 0;
    faceChosen_ = true;
}

std::optional<PainterEditor::Failure> PainterEditor::check() const
{
    for (int i = 0; i < PainterConfig::SlotCount; ++i) {
        // The field read as an integer must be 1 to 99. Its value as a real
        // number (what is kept) must be within 1 to 99 too: the configuration
        // file refuses a larger size ("99.5", "1e5"), and a text without a
        // finite value ("1e400") would keep 0.
        const std::string& text = sizeTexts_[index(i)];
        const int whole = parseInteger(text);
        const double real = parseReal(text);
        if (whole < 1 || whole > 99 || real < 1.0 || real > PainterConfig::MaxSize)
            return Failure{rangeMessage("大きさ", "1以上99以下の値を指定して下さい"), {Field::Kind::Size, i}};
    }
    for (int i = 0; i < PainterConfig::SlotCount; ++i) {
        const int thickness = parseInteger(thicknessTexts_[index(i)]);
        if (thickness < 1 || thickness > 20)
            return Failure{rangeMessage("太さ", "1以上20以下の値を指定して下さい"), {Field::Kind::Thickness, i}};
    }
    if (!faceChosen_)
        return Failure{cp932Literal("フォントを指定して下さい"), {Field::Kind::Font, 0}};
    return std::nullopt;
}

PainterConfig PainterEditor::accepted() const
{
    PainterConfig config = config_;
    const auto letter = std::find_if(config.slots.begin(), config.slots.end(), [](const TargetStyle& style) {
        return style.shape >= MarkShape::FirstCapital && style.shape <= MarkShape::LastLetter;
    });
    config.fontSize = (letter != config.slots.end() ? *letter : config.slots.front()).size;
    config.slotCount = PainterConfig::SlotCount;
    config.held = true;
    return config;
}

std::string painterRowLabel(const SpeciesRecord& species)
{
    const std::string authorYear = species.parenthesis
        ? cp932Printf("(%s %s)", species.author.c_str(), species.year.c_str())
        : cp932Printf("%s %s", species.author.c_str(), species.year.c_str());
    return cp932Printf("%s  %s  %s", species.scientificName.c_str(), authorYear.c_str(), species.alias1.c_str());
}

std::vector<std::string> painterRowLabels(const CQuelnaDoc* active)
{
    std::vector<std::string> labels(PainterConfig::SlotCount);
    if (!active || active->species().empty())
        return labels;
    const std::vector<SpeciesRecord>& species = active->species();
    const std::size_t count = active->isOverlay() ? std::min(species.size(), labels.size()) : 1;
    for (std::size_t i = 0; i < count; ++i)
        labels[i] = painterRowLabel(species[i]);
    return labels;
}

bool acceptPainter(Workspace& workspace, DocumentList& documents, const PainterConfig& config, MessageSink& messages)
{
    workspace.setPainter(config);
    documents.refreshAll();
    const std::string& path = workspace.settings().paintCfg;
    std::string reason;
    if (workspace.painter().save(path, &reason))
        return true;
    messages.stop(
        cp932Printf("%s\n色塗り情報を書き込めませんでした (%s)。\n変更した色塗りはこの実行の間だけ使われます。",
            path.c_str(), utf8ToCp932(reason).c_str()));
    return false;
}

} // namespace tavik
