// The model builders of the blank map, the painter configuration and the
// print forms, from files of any content: no crash, and what loads obeys the
// models' limits.
#include "fuzz/fuzz_support.h"
#include "platform/message_sink.h"
#include "viewer/basemap/blank_map.h"
#include "viewer/print/print_form_list.h"
#include "viewer/render/painter_config.h"

using namespace tavik;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzz::inputFile(fuzz::asText(data, size));
    MessageLog log;
    BlankMap map;
    if (map.load(path, log)) {
        FUZZ_CHECK(!map.blocks().empty());
        for (const MapBlock& block : map.blocks()) {
            FUZZ_CHECK(block.polygon.size() <= MapBlock::MaxVertices);
            (void)block.project(135.0, 35.0);
            (void)block.clipPath();
        }
    }
    PainterConfig painter;
    if (painter.load(path, log)) {
        FUZZ_CHECK(painter.slotCount >= 0 && painter.slotCount <= PainterConfig::SlotCount);
        (void)painter.text();
    }
    PrintFormList forms;
    forms.load(path, log);
    FUZZ_CHECK(!forms.forms().empty() && forms.forms().size() <= 32);
    (void)forms.text();
    return 0;
}
