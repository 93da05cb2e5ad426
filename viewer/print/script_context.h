#pragma once

#include <cstdint>
#include <vector>

namespace tavik {

class PhyleticTable;
struct PainterConfig;
struct FontSettings;
struct SpeciesRecord;

// What scripts are drawn from, owned elsewhere and only read.
struct ScriptSources {
    const FontSettings& settings; // PrintFontFace and PrintFontSize: the base font
    const PainterConfig& painter; // marks and colours of legend samples
    const PhyleticTable& groups; // group names of `node`
};

// What the scripts of one box on a printed page refer to.
struct ScriptContext {
    int pageNumber = 1; // the page being drawn, from 1
    int pageCount = 1; // the document's print pages (numofpage)
    std::int64_t sequenceNumber = 1; // what spcount prints before its start offset
    // The species of the box in document order: the cell's species, the
    // page's first species, or every species of an overlay. An element's
    // `order` k picks the k-th.
    std::vector<const SpeciesRecord*> species;
};

// The scales a page is drawn at.
struct PrintScales {
    double sx = 1.0; // printer dots per base-map pixel, horizontally
    double sy = 1.0; // and vertically
    double rx = 1.0; // printer dots per inch / screen dots per inch, horizontally
    double ry = 1.0; // and vertically
    double digitFactor = 1.0; // d: screen pixels of one digit of the display font per point of its size
};

} // namespace tavik
