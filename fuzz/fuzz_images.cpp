// The PNG and BMP readers: a result code of the list, and on success rows
// that hold exactly width x height pixels.
#include "fuzz/fuzz_support.h"
#include "imagefiles/image_files.h"

using namespace tavik;

namespace {

void checkDecoded(ImageReadStatus status, const DecodedImage& image)
{
    int code = static_cast<int>(status);
    FUZZ_CHECK(code == 0 || code == -96 || code == -97 || code == -98 || code == -99);
    if (status != ImageReadStatus::Ok)
        return;
    FUZZ_CHECK(image.width > 0 && image.height > 0);
    FUZZ_CHECK(static_cast<int64_t>(image.width) * image.height <= kMaxImagePixels);
    FUZZ_CHECK(image.pixels.size() == static_cast<size_t>(image.width) * image.height * 3);
    FUZZ_CHECK(image.palette.size() <= 256);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzz::inputFile(fuzz::asText(data, size));
    DecodedImage png, bmp;
    checkDecoded(readPng(path, png), png);
    checkDecoded(readBmp(path, bmp), bmp);
    return 0;
}
