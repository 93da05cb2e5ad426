#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "viewer/render/mark_stamps.h"

#include <QImage>

class QPaintDevice;

namespace tavik {

struct AddinRecord;
class AreaTable;
class BlankMap;
class DatumShiftTable;
class DistributionTable;
class MessageSink;
struct PainterConfig;
struct FontSettings;
struct Settings;

// What the page renderer draws from, frozen: a renderer, the save worker and
// printing hold it while they work, and a window that changes the settings,
// the painter configuration or a table makes new sources for the maps drawn
// after that; nothing a renderer reads can change under it. Copies share
// what they point to.
struct RenderSources {
    std::shared_ptr<const Settings> settings;
    QImage baseImage; // copies share the pixels, which nothing writes
    std::shared_ptr<const BlankMap> blankMap;
    std::shared_ptr<const PainterConfig> painter;
    std::shared_ptr<const AreaTable> areas;
    std::shared_ptr<const DatumShiftTable> datumShifts;
    std::shared_ptr<const DistributionTable> distribution;
    std::shared_ptr<const std::vector<AddinRecord>> addins; // null when none are loaded

    // Sources made of copies of these (the add-ins only when given and not
    // empty).
    static RenderSources copiesOf(const Settings& settings, const QImage& baseImage, const BlankMap& blankMap,
        const PainterConfig& painter, const AreaTable& areas, const DatumShiftTable& datumShifts,
        const DistributionTable& distribution, const std::vector<AddinRecord>* addins = nullptr);
};

// Mark scale s of a device: the width in pixels of "0123456789" in the
// display font, divided by 10 (in integers), divided by the font's size.
double markScale(const FontSettings& settings, QPaintDevice& device);

// Turns the distribution of up to ten species into a map: a copy of the base
// image with add-ins, longitude-latitude lines, fills, grid squares and
// marks, each species in its painter slot (index in the list).
class PageRenderer {
public:
    // Prepares the masks of the blocks' outlines once for every map; keeps
    // the sources (shared) for as long as it lives.
    explicit PageRenderer(const RenderSources& sources);

    // The map of the species (species codes in slot order; at most ten are
    // drawn), in pixels of the base image. markScale: see markScale().
    // Faulty lines of the distribution table are reported to `messages`.
    // Memory that runs out is reported to `messages` and gives a null image.
    QImage render(const std::vector<std::int64_t>& species, double markScale, MessageSink& messages) const;

private:
    QImage drawMap(const std::vector<std::int64_t>& species, double markScale, MessageSink& messages) const;

    RenderSources sources_;
    std::vector<QImage> masks_; // per block; null for a block without outline
    std::vector<MarkClip> markClips_; // per block, where its clip path lets marks go; a null mask likewise
    std::vector<std::vector<QPoint>> geoLines_; // the pixels of the longitude-latitude lines, per projected block
};

} // namespace tavik
