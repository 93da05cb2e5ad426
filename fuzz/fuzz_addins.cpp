// The add-in reader: a list file naming one add-in file of any content.
#include "fuzz/fuzz_support.h"
#include "viewer/basemap/addin_overlays.h"

using namespace tavik;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string addin = fuzz::inputFile(fuzz::asText(data, size), "addin.csv");
    std::string list = fuzz::inputFile(addin + "\n", "addin.lst");
    AddinOverlays overlays;
    overlays.load(list, "/");
    FUZZ_CHECK(overlays.finished());
    FUZZ_CHECK(overlays.errors().size() <= AddinOverlays::kMaxErrors);
    FUZZ_CHECK(overlays.records().size() <= AddinOverlays::kRecordLimit);
    return 0;
}
