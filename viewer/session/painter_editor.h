#pragma once

#include "platform/cp932_text.h"
#include "viewer/render/painter_config.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

class CQuelnaDoc;
class DocumentList;
class MessageSink;
struct SpeciesRecord;
class Workspace;

// What the painter dialog "ペンキ屋" works on: a working copy of the painter
// configuration with the texts of the size and thickness fields as typed.
// Every change applies to the copy at once (the preview draws it); OK runs
// check() and takes accepted().
class PainterEditor {
public:
    // The colour boxes of a row: mark colours of ranks A, B, C, Z, then fill
    // colours of ranks A, B, C, Z.
    static constexpr int ColourBoxes = 8;
    // Size and thickness texts are kept to this many bytes.
    static constexpr std::size_t FieldLimit = 63;
    // The overlap shift the spins keep to, pixels either way.
    static constexpr int ShiftLimit = 78;

    // A field that a check puts the focus on.
    struct Field {
        enum class Kind { Size, Thickness, Font };
        Kind kind = Kind::Size;
        int slot = 0; // 0 to 9; 0 for the font list
        friend bool operator==(const Field&, const Field&) = default;
    };

    // Why OK is refused: the message box text and the field at fault.
    struct Failure {
        Cp932Text message;
        Field field;
    };

    // Opens on a copy of the configuration; its face counts as chosen when it
    // is one of the installed font families (cp932 names, exact bytes).
    PainterEditor(const PainterConfig& config, const std::vector<std::string>& installedFaces);

    // The entries of each row's shape list (ASCII): the nine drawn shapes,
    // then "A" to "Z" and "a" to "z". The shape code is the position + 1.
    static const std::vector<std::string>& shapeEntries();

    // The entry of a slot's shape list, or -1 for none (code 0).
    int shapeEntry(int slot) const;
    void setShapeEntry(int slot, int entry);

    // The size field: shown "%4.1f", its text read as a real number.
    const std::string& sizeText(int slot) const { return sizeTexts_[index(slot)]; }
    void setSizeText(int slot, std::string_view text);
    // The thickness field: shown "%d", its text read as an integer (kept in a
    // byte).
    const std::string& thicknessText(int slot) const { return thicknessTexts_[index(slot)]; }
    void setThicknessText(int slot, std::string_view text);

    // A colour box of a row (see ColourBoxes).
    Colour colour(int slot, int box) const;
    void setColour(int slot, int box, const Colour& colour);

    // The preview's spins: each adds its step to the overlap shift, kept
    // within -78 to 78 pixels.
    void stepOverlap(int dx, int dy);

    // The face of letter marks, chosen from the installed families (cp932).
    void chooseFace(std::string_view faceName);
    bool faceChosen() const { return faceChosen_; }
    void setBold(bool on) { config_.bold = on; }
    void setItalic(bool on) { config_.italic = on; }

    // The working copy as it stands (what the preview draws).
    const PainterConfig& config() const { return config_; }

    // The checks of OK in order, stopping at the first failure: every size
    // field, then every thickness field, then the face.
    std::optional<Failure> check() const;

    // The configuration OK gives the viewer: the working copy with the
    // letter-mark font size taken from the first slot whose mark is a letter,
    // or from slot 1 when none is, holding all ten slots.
    PainterConfig accepted() const;

private:
    static std::size_t index(int slot);

    PainterConfig config_;
    std::array<std::string, PainterConfig::SlotCount> sizeTexts_;
    std::array<std::string, PainterConfig::SlotCount> thicknessTexts_;
    bool faceChosen_ = false;
};

// The label of a painter row for a species (cp932): "%s  %s  %s" with the
// scientific name, the author and year ("(%s %s)" when the species'
// parenthesis mark is set) and alias 1.
std::string painterRowLabel(const SpeciesRecord& species);

// The labels of the ten painter rows for the active document: an overlay's
// species in order, an ordinary document's first species; empty labels for
// the other rows and when there is no document.
std::vector<std::string> painterRowLabels(const CQuelnaDoc* active);

// What OK of the painter dialog does with an accepted configuration: it
// replaces the viewer's painter configuration, is written to the painter
// file (PaintCfg) and every open map is drawn anew. A file that cannot be
// written is left as it was and named in a message; the new configuration
// still paints the maps of this run. False when the file was not written.
bool acceptPainter(Workspace& workspace, DocumentList& documents, const PainterConfig& config, MessageSink& messages);

} // namespace tavik
