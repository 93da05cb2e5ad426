#include "viewer/print/script_interpreter.h"

#include "platform/cp932.h"
#include "platform/text_numbers.h"
#include "tagfile/tag_node.h"
#include "viewer/basemap/qt_text.h"
#include "viewer/render/map_view_painter.h"
#include "viewer/render/painter_config.h"
#include "viewer/render/pixel_rounding.h"
#include "viewer/settings/phyletic_table.h"
#include "viewer/settings/settings.h"
#include "viewer/settings/species_table.h"

#include <QFontMetrics>
#include <QPaintDevice>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tavik {
namespace {

const std::string* attributeValue(const TagNode& node, const char* name)
{
    const TagAttribute* attribute = node.attribute(name);
    return attribute ? &attribute->value : nullptr;
}

// An attribute read as a real number and truncated towards zero; `absent`
// when the element does not have it.
std::int64_t truncatedReal(const TagNode& node, const char* name, std::int64_t absent)
{
    const std::string* value = attributeValue(node, name);
    if (!value)
        return absent;
    double real = parseReal(*value);
    if (!std::isfinite(real))
        return 0;
    return static_cast<std::int64_t>(std::clamp(real, -1e15, 1e15));
}

// An element's `order` k, from 1 (absent or below 1: 1).
int orderOf(const TagNode& node)
{
    const std::string* order = attributeValue(node, "order");
    return order ? std::max(1, parseInteger(*order)) : 1;
}

// The rank of a legend sample: "a", "b", "c" or "z"; anything else draws as
// rank A, like an absent rank.
int legendRank(const std::string* letter)
{
    if (!letter || letter->size() != 1)
        return 0;
    switch ((*letter)[0]) {
    case 'b':
    case 'B':
        return 1;
    case 'c':
    case 'C':
        return 2;
    case 'z':
    case 'Z':
        return 3;
    default:
        return 0;
    }
}

} // namespace

ScriptInterpreter::ScriptInterpreter(
    const ScriptSources& sources, QPaintDevice& device, const PrintScales& scales, double boxWidth)
    : sources_(sources)
    , device_(device)
    , scales_(scales)
    , boxWidth_(std::isfinite(boxWidth) ? std::clamp(boxWidth, 0.0, 1e9) : 0.0)
{
}

int ScriptInterpreter::fontHeightFor(double points) const
{
    return std::max(1, static_cast<int>(std::lround(points * device_.logicalDpiY() / 72.0)));
}

ScriptInterpreter::FontState ScriptInterpreter::makeFont(const QString& face, double points, bool italic) const
{
    FontState state;
    state.points = points;
    state.height = fontHeightFor(points);
    state.font = QFont(face);
    state.font.setPixelSize(state.height);
    state.font.setWeight(QFont::Normal);
    state.font.setItalic(italic);
    return state;
}

std::vector<TextRun> ScriptInterpreter::layout(const std::vector<TagNode>& script, const ScriptContext& context)
{
    context_ = &context;
    const FontSettings& settings = sources_.settings;
    font_ = makeFont(qtext(settings.printFontFace), std::clamp(settings.printFontSize, 1.0, 99.0), false);
    alignment_ = Alignment::Left;
    y_ = 0;
    pending_.clear();
    waiting_.clear();
    placed_.clear();

    interpret(script);
    flush();
    layOutLine(Alignment::Left);
    context_ = nullptr;
    return std::move(placed_);
}

void ScriptInterpreter::interpret(const std::vector<TagNode>& nodes)
{
    for (const TagNode& node : nodes) {
        if (node.isText())
            append(node.text);
        else if (node.kind == TagNode::Kind::Start || node.kind == TagNode::Kind::Single)
            element(node);
    }
}

void ScriptInterpreter::element(const TagNode& node)
{
    const std::string& name = node.name;
    if (name == "font") {
        fontElement(node);
    } else if (name == "left") {
        alignmentElement(node, Alignment::Left);
    } else if (name == "center") {
        alignmentElement(node, Alignment::Center);
    } else if (name == "right") {
        alignmentElement(node, Alignment::Right);
    } else if (name == "cr") {
        flush();
        newLine();
    } else if (name == "page") {
        append(std::to_string(context_->pageNumber + truncatedReal(node, "start", 1) - 1));
    } else if (name == "numofpage") {
        append(std::to_string(context_->pageCount));
    } else if (name == "node") {
        const std::string* which = attributeValue(node, "name");
        const SpeciesRecord* species = orderedSpecies(node);
        if (!which || !species)
            return;
        int level = static_cast<int>(std::clamp<std::int64_t>(truncatedReal(node, "level", 0), -1, 1 << 30));
        const PhyleticRecord* group = sources_.groups.groupAtLevel(species->phyleticCode, level);
        if (!group)
            return;
        if (*which == "scientific")
            append(group->name);
        else if (*which == "alias1")
            append(group->alias1);
        else if (*which == "alias2")
            append(group->alias2);
    } else if (name == "spname") {
        const std::string* which = attributeValue(node, "name");
        const SpeciesRecord* species = orderedSpecies(node);
        if (!which || !species)
            return;
        if (*which == "scientific")
            append(species->scientificName);
        else if (*which == "alias1")
            append(species->alias1);
        else if (*which == "alias2")
            append(species->alias2);
    } else if (name == "nomenclator") {
        nomenclator(node);
    } else if (name == "spcount") {
        std::int64_t value = context_->sequenceNumber + truncatedReal(node, "start", 1) - 1;
        append(countText(value, attributeValue(node, "format")));
    } else if (name == "legend") {
        legend(node);
    }
}

void ScriptInterpreter::fontElement(const TagNode& node)
{
    flush();
    if (node.children.empty())
        return;
    const FontState outer = font_;
    double points = font_.points;
    if (const std::string* size = attributeValue(node, "size")) {
        double wanted = parseReal(*size);
        if (wanted >= 1.0 && wanted <= 99.0)
            points = wanted;
    }
    QString face = font_.font.family();
    if (const std::string* name = attributeValue(node, "facename"); name && !name->empty())
        face = qtext(*name);
    const std::string* italic = attributeValue(node, "italic");
    font_ = makeFont(face, points, italic && *italic == "true");
    interpret(node.children);
    flush();
    font_ = outer;
}

void ScriptInterpreter::alignmentElement(const TagNode& node, Alignment alignment)
{
    if (node.children.empty())
        return;
    if (alignment == alignment_) {
        interpret(node.children);
        return;
    }
    const Alignment outer = alignment_;
    flush();
    layOutLine(outer);
    alignment_ = alignment;
    interpret(node.children);
    flush();
    layOutLine(alignment);
    alignment_ = outer;
}

void ScriptInterpreter::nomenclator(const TagNode& node)
{
    const SpeciesRecord* species = orderedSpecies(node);
    if (!species)
        return;
    std::string text = authorYearText(*species);
    const std::string* wrap = attributeValue(node, "wrap");
    if (alignment_ == Alignment::Left && wrap && *wrap == "true") {
        TextRun trial;
        trial.font = font_.font;
        trial.fontHeight = font_.height;
        trial.text = cutCp932(pending_ + text, TextRun::TextLimit);
        if (lineWidth() + runWidth(trial) > boxWidth_) {
            flush();
            layOutLine(Alignment::Left);
            y_ += truncToInt(1.1 * font_.height);
            auto indent = std::clamp<std::int64_t>(truncatedReal(node, "indent", 0), 0, MaxIndent);
            pending_.assign(static_cast<size_t>(indent), ' ');
        }
    }
    append(text);
}

void ScriptInterpreter::legend(const TagNode& node)
{
    const std::string* draw = attributeValue(node, "draw");
    if (!draw || (*draw != "mark" && *draw != "fill"))
        return;
    // Ten painter slots: a species beyond them has no sample.
    const int k = orderOf(node);
    if (!orderedSpecies(node) || k > PainterConfig::SlotCount)
        return;
    flush();
    TextRun run;
    run.kind = *draw == "mark" ? TextRun::Kind::Mark : TextRun::Kind::Fill;
    run.font = font_.font;
    run.fontHeight = font_.height;
    run.slot = k - 1;
    run.rank = legendRank(attributeValue(node, "rank"));
    addRun(std::move(run));
}

const SpeciesRecord* ScriptInterpreter::orderedSpecies(const TagNode& node) const
{
    const int k = orderOf(node);
    if (k > static_cast<int>(context_->species.size()))
        return nullptr;
    return context_->species[static_cast<size_t>(k - 1)];
}

void ScriptInterpreter::append(const std::string& text)
{
    if (pending_.size() < PendingLimit)
        pending_ = cutCp932(pending_ + text, PendingLimit);
}

void ScriptInterpreter::flush()
{
    if (pending_.empty())
        return;
    TextRun run;
    run.font = font_.font;
    run.fontHeight = font_.height;
    run.text = cutCp932(pending_, TextRun::TextLimit);
    pending_.clear();
    addRun(std::move(run));
}

void ScriptInterpreter::addRun(TextRun run)
{
    if (waiting_.size() < MaxWaitingRuns)
        waiting_.push_back(std::move(run));
}

void ScriptInterpreter::newLine()
{
    layOutLine(alignment_);
    y_ += truncToInt(1.1 * font_.height);
}

int ScriptInterpreter::textWidth(const TextRun& run) const
{
    if (run.text.empty())
        return 0;
    return QFontMetrics(run.font, &device_).horizontalAdvance(qtext(run.text));
}

// A run's share of the line: its text width and a quarter of its font's
// height value, which is minus the character height, so the quarter is taken
// off (a legend sample counts only that negative quarter).
int ScriptInterpreter::runWidth(const TextRun& run) const { return textWidth(run) + (-run.fontHeight) / 4; }

int ScriptInterpreter::lineWidth() const
{
    int width = 0;
    for (const TextRun& run : waiting_)
        width += runWidth(run);
    return width;
}

int ScriptInterpreter::advance(const TextRun& run) const
{
    switch (run.kind) {
    case TextRun::Kind::Text:
        return runWidth(run);
    case TextRun::Kind::Mark: {
        float s = static_cast<float>(sources_.painter.slot(run.slot).size * scales_.sx + 0.5);
        return truncToInt(1.2 * s * scales_.digitFactor);
    }
    case TextRun::Kind::Fill:
        return run.fontHeight;
    }
    return 0;
}

void ScriptInterpreter::layOutLine(Alignment alignment)
{
    if (waiting_.empty())
        return;
    const int width = lineWidth();
    const int box = truncToInt(boxWidth_);
    int x = 0;
    if (alignment == Alignment::Center)
        x = box / 2 - width / 2;
    else if (alignment == Alignment::Right)
        x = box - width;
    for (TextRun& run : waiting_) {
        run.x = x;
        run.y = y_;
        x += advance(run);
        placed_.push_back(std::move(run));
    }
    waiting_.clear();
}

std::string ScriptInterpreter::countText(std::int64_t value, const std::string* format)
{
    std::string digits = std::to_string(value);
    if (!format || format->size() <= digits.size())
        return digits;
    std::string text(format->size() - digits.size(), ' ');
    text += digits;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == ' ' && (*format)[i] != ' ')
            text[i] = (*format)[i];
    return text;
}

} // namespace tavik
