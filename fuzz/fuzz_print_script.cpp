// Print scripts: any tag text parsed as a header, title or footer script and
// laid out in a box; runs stay finite and within their limits.
#include "fuzz/fuzz_support.h"
#include "tagfile/tag_reader.h"
#include "viewer/print/print_form_list.h"
#include "viewer/print/script_interpreter.h"
#include "viewer/render/painter_config.h"
#include "viewer/settings/phyletic_table.h"
#include "viewer/settings/settings.h"
#include "viewer/settings/species_table.h"

#include <QGuiApplication>
#include <QImage>

#include <cmath>
#include <cstdlib>

using namespace tavik;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TagReader reader;
    reader.setTagTable(PrintFormList::tagTable());
    if (reader.parseLines(fuzz::lines(fuzz::asText(data, size))) != TagStatus::Ok)
        return 0;

    static Settings settings;
    static PainterConfig painter;
    static PhyleticTable groups;
    static SpeciesRecord species = [] {
        SpeciesRecord s;
        s.code = 101;
        s.scientificName = "Papilio xuthus";
        s.author = "Linnaeus";
        s.year = "1767";
        s.alias1 = "Namiageha";
        return s;
    }();
    ScriptSources sources{settings, painter, groups};
    ScriptContext context;
    context.species = {&species, &species};
    QImage device(100, 100, QImage::Format_RGB32);
    PrintScales scales;
    ScriptInterpreter interpreter(sources, device, scales, 2000.0);
    const TagNode* root = reader.root();
    const std::vector<TagNode>& script = root && root->name == "script" ? root->children : reader.nodes();
    std::vector<TextRun> runs = interpreter.layout(script, context);
    FUZZ_CHECK(runs.size() <= 100000);
    return 0;
}
