// Classification of distribution-table locations and the grid squares they
// name: kinds and digits in range, squares of finite size.
#include "fuzz/fuzz_support.h"
#include "viewer/render/grid_square.h"
#include "viewer/settings/distribution_table.h"

#include <cmath>

using namespace tavik;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DistributionRecord record = classifyLocation(fuzz::asText(data, size));
    FUZZ_CHECK(static_cast<int>(record.kind) <= 10);
    FUZZ_CHECK(record.firstLatitude <= 99 && record.firstLongitude <= 99);
    for (int digit : {record.secondLatitude, record.secondLongitude, record.thirdLatitude, record.thirdLongitude,
             record.half, record.quarter, record.eighth, record.fiveKm})
        FUZZ_CHECK(digit <= 9);
    if (auto square = gridSquareOf(record)) {
        FUZZ_CHECK(std::isfinite(square->latitude) && std::isfinite(square->longitude));
        FUZZ_CHECK(square->latitudeExtent > 0 && square->longitudeExtent > 0);
    }
    return 0;
}
