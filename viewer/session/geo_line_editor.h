#pragma once

#include "common/colour.h"
#include "platform/cp932_text.h"
#include "viewer/settings/settings.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QImage;

namespace tavik {

// The fields of the geo-line dialog that hold text, in the order OK checks
// them.
enum class GeoLineField { Ratio, West, East, South, North, Meridian, Parallel };

// A colour with the number of pixels that showed it.
struct ColourCount {
    Colour colour;
    long long count = 0;
    friend bool operator==(const ColourCount&, const ColourCount&) = default;
};

// The most frequent colours of an image as the geo-line dialog collects them
// ("白地図から色を取得"): a table of at most 16 colours filled row by row,
// pixel by pixel. A colour in the table counts one more; a new one is added
// while there is room; when the table is full, it is first sorted by count
// (largest first) if its last entry counts more than 2, then the last entry
// gives way to the new colour with a count of 1. The table comes back sorted
// by count, largest first (equal counts in the order they entered).
std::vector<ColourCount> frequentColours(const QImage& image);

// What the geo-line dialog "経緯線の設定" works on: a working copy of the
// longitude-latitude line settings with the texts of its fields as typed.
// OK runs check() and, when it passes, apply().
class GeoLineEditor {
public:
    static constexpr int ColourSlots = 8;
    // Texts of the ratio, edge and interval fields are kept to this many bytes.
    static constexpr std::size_t TextLimit = 31;

    // Why OK is refused: the message box title and text and the field at
    // fault.
    struct Failure {
        Cp932Text title;
        Cp932Text message;
        GeoLineField field = GeoLineField::Ratio;
    };

    // Which controls can be used.
    struct Enabling {
        bool ratio = false; // only for crosses
        bool lines = false; // range, intervals, style, colour and overwrite mode: not for "無し"
        bool selectedColours = false; // and only when overwriting the selected colours
    };

    explicit GeoLineEditor(const GeoLineSettings& settings);

    GeoLineMode kind = GeoLineMode::None;
    LineType style = LineType::Solid;
    Colour lineColour;
    GeoTransparentMode overwrite = GeoTransparentMode::All;

    const std::string& text(GeoLineField field) const { return texts_[index(field)]; }
    // Keeps the text of a field (cp932), cut to TextLimit bytes.
    void setText(GeoLineField field, std::string_view text);

    Enabling enabling() const;

    // The selected colours. The slots in use are shown at opening; a slot
    // turned off by its check box stays shown (and can be turned on again)
    // until the colours are taken from the base map. A slot whose colour was
    // never set shows black and is not in use.
    bool inUse(int slot) const { return used_[slotIndex(slot)]; }
    void setInUse(int slot, bool on);
    bool shown(int slot) const { return shown_[slotIndex(slot)]; }
    Colour colour(int slot) const;
    void setColour(int slot, const Colour& colour);

    // The slot the add button turns on: the one after the last slot shown
    // (the last in use at opening), the first when none is; -1 when the
    // eighth slot is shown and the button is hidden.
    int addSlot() const;
    // Shows that slot and turns it on, black.
    void add();

    // "白地図から色を取得": up to eight of the image's most frequent colours
    // (see frequentColours) become the slots 1 to n, in use, most frequent
    // first; the other slots become black and are not in use.
    void takeColoursOf(const QImage& image);

    // The checks of OK in order, stopping at the first failure: the ratio
    // (for every line kind), then, unless the kind is "無し", the west, east,
    // south and north edges and the meridian and parallel intervals as angle
    // texts, each for its format, then its range. The edges are not compared
    // with each other.
    std::optional<Failure> check() const;

    // Copies everything into the settings: the texts as typed with their
    // values (an edge or interval that is not an angle keeps kInvalidAngle).
    void apply(GeoLineSettings& settings) const;

private:
    static std::size_t index(GeoLineField field) { return static_cast<std::size_t>(field); }
    static std::size_t slotIndex(int slot);

    std::array<std::string, 7> texts_;
    std::array<std::optional<Colour>, ColourSlots> colours_;
    std::array<bool, ColourSlots> used_{};
    std::array<bool, ColourSlots> shown_{};
};

// The text of a colour in the geo-line dialog: "R:%d  G:%d  B:%d".
std::string colourLabel(const Colour& colour);

} // namespace tavik
