#include "viewer/session/geo_line_editor.h"

#include "common/angle_text.h"
#include "platform/cp932.h"
#include "platform/text_numbers.h"
#include "viewer/render/geo_lines.h"
#include "viewer/session/document_list.h"
#include "viewer/session/workspace.h"

#include <QImage>

#include <algorithm>

namespace tavik {
namespace {

constexpr std::size_t kTableSize = 16; // colours the frequency table holds

// How an angle field is read and checked.
struct AngleRule {
    GeoLineField field;
    AngleKind kind;
    const char* group; // "範囲" or "間隔"
    const char* label;
    double minimum, maximum; // degrees
    std::vector<const char*> examples; // the accepted forms the format message lists
};

const std::vector<const char*> kLongitudeExamples = {"E179.59'59\"", "E179.59'99999", "E179.59'", "E179.99999", "E179",
    "179.99999", "W179.59'59\"", "W179.59'99999", "W179.59'", "W179.99999", "W179", "-179.99999"};
const std::vector<const char*> kLatitudeExamples = {"N89.59'59\"", "N89.59'99999", "N89.59'", "N89.99999", "N89",
    "89.99999", "S89.59'59\"", "S89.59'99999", "S89.59'", "S89.99999", "S89", "-89.99999"};

const std::vector<AngleRule>& angleRules()
{
    static const std::vector<AngleRule> rules = {
        {GeoLineField::West, AngleKind::Longitude, "範囲", "西の経度", -179.99999, 179.99999, kLongitudeExamples},
        {GeoLineField::East, AngleKind::Longitude, "範囲", "東の経度", -179.99999, 179.99999, kLongitudeExamples},
        {GeoLineField::South, AngleKind::Latitude, "範囲", "南の緯度", -89.99999, 89.99999, kLatitudeExamples},
        {GeoLineField::North, AngleKind::Latitude, "範囲", "北の緯度", -89.99999, 89.99999, kLatitudeExamples},
        {GeoLineField::Meridian, AngleKind::Span, "間隔", "経線", 0.00001, 179.99999,
            {"179.59'59\"", "179.59'99999", "179.59'", "179.99999"}},
        {GeoLineField::Parallel, AngleKind::Span, "間隔", "緯線", 0.00001, 89.99999,
            {"89.59'59\"", "89.59'99999", "89.59'", "89.99999"}},
    };
    return rules;
}

Cp932Text formatMessage(const AngleRule& rule)
{
    Cp932Text text = cp932Printf("%s: %s\n\n%s          ", cp932Literal(rule.group).c_str(),
        cp932Literal(rule.label).c_str(), cp932Literal("許される書式").c_str());
    for (const char* example : rule.examples)
        text += cp932Literal(std::string("\n") + example);
    return text;
}

Cp932Text rangeMessage(const AngleRule& rule)
{
    const bool span = rule.kind == AngleKind::Span;
    return cp932Printf(span ? "%s: %s\n%7.5f %s %9.5f %s" : "%s: %s\n%9.5f %s %9.5f %s",
        cp932Literal(rule.group).c_str(), cp932Literal(rule.label).c_str(), rule.minimum, cp932Literal("以上").c_str(),
        rule.maximum, cp932Literal("以下で入力して下さい。").c_str());
}

Colour colourOf(QRgb pixel)
{
    return {static_cast<std::uint8_t>(qRed(pixel)), static_cast<std::uint8_t>(qGreen(pixel)),
        static_cast<std::uint8_t>(qBlue(pixel))};
}

void sortByCount(std::vector<ColourCount>& table)
{
    std::stable_sort(
        table.begin(), table.end(), [](const ColourCount& a, const ColourCount& b) { return a.count > b.count; });
}

} // namespace

std::vector<ColourCount> frequentColours(const QImage& image)
{
    const QImage pixels = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    std::vector<ColourCount> table;
    table.reserve(kTableSize);
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            const Colour colour = colourOf(row[x]);
            auto found = std::find_if(
                table.begin(), table.end(), [&](const ColourCount& entry) { return entry.colour == colour; });
            if (found != table.end()) {
                ++found->count;
            } else if (table.size() < kTableSize) {
                table.push_back({colour, 1});
            } else {
                if (table.back().count > 2)
                    sortByCount(table);
                table.back() = {colour, 1};
            }
        }
    }
    sortByCount(table);
    return table;
}

GeoLineEditor::GeoLineEditor(const GeoLineSettings& settings)
    : kind(settings.geoLine)
    , style(settings.geoLineType)
    , lineColour(settings.geoLineColor)
    , overwrite(settings.geoTransparent)
{
    setText(GeoLineField::Ratio, settings.geoCrossPercentText);
    setText(GeoLineField::West, settings.geoWest.text);
    setText(GeoLineField::East, settings.geoEast.text);
    setText(GeoLineField::South, settings.geoSouth.text);
    setText(GeoLineField::North, settings.geoNorth.text);
    setText(GeoLineField::Meridian, settings.geoLonSpan.text);
    setText(GeoLineField::Parallel, settings.geoLatSpan.text);
    colours_ = settings.geoTransparentColor;
    for (std::size_t i = 0; i < used_.size(); ++i)
        used_[i] = settings.geoTransparentCheck[i] && colours_[i].has_value();
    shown_ = used_;
}

void GeoLineEditor::setText(GeoLineField field, std::string_view text)
{
    texts_[index(field)] = cutCp932(text, TextLimit);
}

std::size_t GeoLineEditor::slotIndex(int slot)
{
    return static_cast<std::size_t>(std::clamp(slot, 0, ColourSlots - 1));
}

GeoLineEditor::Enabling GeoLineEditor::enabling() const
{
    Enabling on;
    on.ratio = kind == GeoLineMode::Cross;
    on.lines = kind != GeoLineMode::None;
    on.selectedColours = on.lines && overwrite == GeoTransparentMode::Select;
    return on;
}

void GeoLineEditor::setInUse(int slot, bool on)
{
    const std::size_t i = slotIndex(slot);
    used_[i] = on;
    // A slot in use has a colour: black when none was ever set.
    if (on && !colours_[i])
        colours_[i] = Colour{};
}

Colour GeoLineEditor::colour(int slot) const { return colours_[slotIndex(slot)].value_or(Colour{}); }

void GeoLineEditor::setColour(int slot, const Colour& colour) { colours_[slotIndex(slot)] = colour; }

int GeoLineEditor::addSlot() const
{
    int last = -1;
    for (int i = 0; i < ColourSlots; ++i) {
        if (shown_[static_cast<std::size_t>(i)])
            last = i;
    }
    return last + 1 < ColourSlots ? last + 1 : -1;
}

void GeoLineEditor::add()
{
    const int slot = addSlot();
    if (slot < 0)
        return;
    colours_[static_cast<std::size_t>(slot)] = Colour{};
    used_[static_cast<std::size_t>(slot)] = true;
    shown_[static_cast<std::size_t>(slot)] = true;
}

void GeoLineEditor::takeColoursOf(const QImage& image)
{
    const std::vector<ColourCount> table = frequentColours(image);
    for (std::size_t i = 0; i < colours_.size(); ++i) {
        const bool taken = i < table.size();
        colours_[i] = taken ? table[i].colour : Colour{};
        used_[i] = taken;
    }
    shown_ = used_;
}

std::optional<GeoLineEditor::Failure> GeoLineEditor::check() const
{
    // The ratio is checked whatever kind of lines is chosen.
    const double ratio = parseReal(text(GeoLineField::Ratio));
    if (!(ratio >= 1.0 && ratio <= 49.0)) {
        return Failure{{},
            cp932Printf("%s\n%d %s %d %s", cp932Literal("比率").c_str(), 1, cp932Literal("以上").c_str(), 49,
                cp932Literal("以下で入力して下さい。").c_str()),
            GeoLineField::Ratio};
    }
    if (kind == GeoLineMode::None)
        return std::nullopt;
    for (const AngleRule& rule : angleRules()) {
        const double degrees = parseAngle(text(rule.field), rule.kind);
        if (degrees == kInvalidAngle)
            return Failure{cp932Literal("書式エラー"), formatMessage(rule), rule.field};
        if (!(degrees >= rule.minimum && degrees <= rule.maximum))
            return Failure{cp932Literal("範囲エラー"), rangeMessage(rule), rule.field};
    }
    // Spans that would give more lines than a map can show.
    Settings tried;
    apply(tried);
    const GeoLineFault fault = geoLineFault(tried);
    if (fault.part != GeoLineFault::Part::None) {
        const bool parallels = fault.part == GeoLineFault::Part::Parallels;
        return Failure{
            cp932Literal("範囲エラー"), fault.text, parallels ? GeoLineField::Parallel : GeoLineField::Meridian};
    }
    return std::nullopt;
}

void GeoLineEditor::apply(GeoLineSettings& settings) const
{
    settings.geoLine = kind;
    settings.geoLineType = style;
    settings.geoLineColor = lineColour;
    settings.geoTransparent = overwrite;
    settings.geoCrossPercentText = text(GeoLineField::Ratio);
    settings.geoCrossPercent = parseReal(settings.geoCrossPercentText);
    auto angle = [this](GeoLineField field, AngleKind angleKind) {
        return AngleSetting{text(field), parseAngle(text(field), angleKind)};
    };
    settings.geoWest = angle(GeoLineField::West, AngleKind::Longitude);
    settings.geoEast = angle(GeoLineField::East, AngleKind::Longitude);
    settings.geoSouth = angle(GeoLineField::South, AngleKind::Latitude);
    settings.geoNorth = angle(GeoLineField::North, AngleKind::Latitude);
    settings.geoLonSpan = angle(GeoLineField::Meridian, AngleKind::Span);
    settings.geoLatSpan = angle(GeoLineField::Parallel, AngleKind::Span);
    settings.geoTransparentColor = colours_;
    settings.geoTransparentCheck = used_;
}

std::string colourLabel(const Colour& colour) { return cp932Printf("R:%d  G:%d  B:%d", colour.r, colour.g, colour.b); }

} // namespace tavik
