#pragma once

#include "viewer/print/script_context.h"
#include "viewer/print/text_run.h"

#include <string>
#include <vector>

class QPaintDevice;

namespace tavik {

struct TagNode;

// Interprets the script of one box on a printed page (header, map title or
// footer) and lays out its lines: text and legend samples become runs in the
// font in effect, and each line of runs is placed left, centred or right in
// the box. Nothing is drawn; the runs come back with their positions, in
// device dots from the box's top-left corner.
class ScriptInterpreter {
public:
    static constexpr std::size_t MaxWaitingRuns = 100; // runs beyond are dropped
    static constexpr std::size_t PendingLimit = 1535; // bytes of text not yet in a run
    static constexpr int MaxIndent = 512; // blanks of a wrapped nomenclator line

    // device: where the box is drawn (fonts are sized for its dots per inch
    // and measured on it). boxWidth: device dots; the box has no height limit.
    ScriptInterpreter(const ScriptSources& sources, QPaintDevice& device, const PrintScales& scales, double boxWidth);

    // The runs of the whole script with their positions.
    std::vector<TextRun> layout(const std::vector<TagNode>& script, const ScriptContext& context);

    // The character height in device dots of a font of that many points.
    int fontHeightFor(double points) const;

    // spcount's text of a value under a format: the value right-aligned in as
    // many positions as the format has bytes, each blank position taking the
    // format's byte there unless that byte is a blank; a longer number is kept
    // whole; no format gives the plain decimal.
    static std::string countText(std::int64_t value, const std::string* format);

private:
    enum class Alignment { Left, Center, Right };

    struct FontState {
        QFont font;
        double points = 10.0;
        int height = 0; // device dots
    };

    void interpret(const std::vector<TagNode>& nodes);
    void element(const TagNode& node);
    void fontElement(const TagNode& node);
    void alignmentElement(const TagNode& node, Alignment alignment);
    void nomenclator(const TagNode& node);
    void legend(const TagNode& node);
    void append(const std::string& text);
    void flush();
    void addRun(TextRun run);
    void layOutLine(Alignment alignment);
    void newLine();
    int textWidth(const TextRun& run) const;
    int runWidth(const TextRun& run) const;
    int lineWidth() const;
    int advance(const TextRun& run) const;
    // The species an element's `order` picks, or null when there is none.
    const SpeciesRecord* orderedSpecies(const TagNode& node) const;
    FontState makeFont(const QString& face, double points, bool italic) const;

    ScriptSources sources_;
    QPaintDevice& device_;
    PrintScales scales_;
    double boxWidth_;
    const ScriptContext* context_ = nullptr;

    FontState font_;
    Alignment alignment_ = Alignment::Left;
    int y_ = 0;
    std::string pending_;
    std::vector<TextRun> waiting_;
    std::vector<TextRun> placed_;
};

} // namespace tavik
