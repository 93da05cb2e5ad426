// PNG files through libpng.
//
// libpng reports errors by longjmp to the jmp_buf set in the function that
// called setjmp. The functions that call setjmp below (readPngHeader,
// readPngRows, writePngStream) therefore hold no object with a destructor,
// and every C library object (FILE, the png and info structures) belongs to
// a guard in the caller, which frees it on every path.

#include "viewer/basemap/image_files.h"
#include "viewer/basemap/output_rows.h"

#include "platform/paths.h"

#include <png.h>
#include <sys/stat.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdio>
#include <new>

namespace tavik {
namespace {

// Where libpng's error text goes instead of stderr; kept for debugging.
struct PngErrorState {
    char text[128] = {};
};

[[noreturn]] void onPngError(png_structp png, png_const_charp message)
{
    if (auto* state = static_cast<PngErrorState*>(png_get_error_ptr(png)))
        std::snprintf(state->text, sizeof state->text, "%s", message ? message : "");
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) { }

class PngReadGuard {
public:
    PngReadGuard(PngErrorState& errors)
    {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &errors, onPngError, onPngWarning);
        if (png)
            info = png_create_info_struct(png);
    }
    ~PngReadGuard() { png_destroy_read_struct(png ? &png : nullptr, info ? &info : nullptr, nullptr); }
    PngReadGuard(const PngReadGuard&) = delete;
    PngReadGuard& operator=(const PngReadGuard&) = delete;

    png_structp png = nullptr;
    png_infop info = nullptr;
};

class PngWriteGuard {
public:
    PngWriteGuard(PngErrorState& errors)
    {
        png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &errors, onPngError, onPngWarning);
        if (png)
            info = png_create_info_struct(png);
    }
    ~PngWriteGuard() { png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr); }
    PngWriteGuard(const PngWriteGuard&) = delete;
    PngWriteGuard& operator=(const PngWriteGuard&) = delete;

    png_structp png = nullptr;
    png_infop info = nullptr;
};

// What the header of a PNG file says, and what its rows will be once the
// transformations are set up.
struct PngHeader {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    int channels = 0; // of the file's pixels
    size_t rowBytes = 0; // of a delivered row
    int paletteCount = 0;
    png_color palette[PNG_MAX_PALETTE_LENGTH] = {};
};

// Reads the header and sets up the transformations that deliver every image
// as rows of 8-bit blue, green, red.
bool readPngHeader(png_structp png, png_infop info, std::FILE* file, PngHeader& header)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_init_io(png, file);
    png_read_info(png, info);
    png_get_IHDR(
        png, info, &header.width, &header.height, &header.bitDepth, &header.colourType, nullptr, nullptr, nullptr);
    header.channels = png_get_channels(png, info);
    png_colorp palette = nullptr;
    if (png_get_PLTE(png, info, &palette, &header.paletteCount) && palette) {
        header.paletteCount = std::min(header.paletteCount, PNG_MAX_PALETTE_LENGTH);
        std::copy(palette, palette + header.paletteCount, header.palette);
    } else {
        header.paletteCount = 0;
    }

    png_set_strip_16(png);
    png_set_strip_alpha(png);
    png_set_packing(png);
    if (header.colourType == PNG_COLOR_TYPE_PALETTE
        || (header.colourType == PNG_COLOR_TYPE_GRAY && header.bitDepth < 8))
        png_set_expand(png);
    // Inverting greys is meant for 1-bit monochrome files only (as libpng
    // once did it); 1-bit files are refused by the depth check anyway.
    if (header.colourType == PNG_COLOR_TYPE_GRAY && header.bitDepth == 1)
        png_set_invert_mono(png);
    // Grey images come out as rows of blue, green and red like every other.
    if (!(header.colourType & PNG_COLOR_MASK_COLOR))
        png_set_gray_to_rgb(png);
    png_set_bgr(png);
    if (header.bitDepth == 16)
        png_set_swap(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    header.rowBytes = png_get_rowbytes(png, info);
    return true;
}

bool readPngRows(png_structp png, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_image(png, rows);
    return true;
}

struct PngWriteJob {
    const char* title = nullptr;
    int paletteCount = 0;
    png_color palette[PNG_MAX_PALETTE_LENGTH] = {};
    PngCompression compression;
};

int zlibStrategy(PngStrategy strategy)
{
    switch (strategy) {
    case PngStrategy::Default:
        return Z_DEFAULT_STRATEGY;
    case PngStrategy::Filtered:
        return Z_FILTERED;
    case PngStrategy::HuffmanOnly:
        return Z_HUFFMAN_ONLY;
    case PngStrategy::Rle:
        return Z_RLE;
    }
    return Z_DEFAULT_STRATEGY;
}

int pngFilters(PngFilter filter)
{
    switch (filter) {
    case PngFilter::None:
        return PNG_FILTER_NONE;
    case PngFilter::Sub:
        return PNG_FILTER_SUB;
    case PngFilter::Up:
        return PNG_FILTER_UP;
    case PngFilter::Average:
        return PNG_FILTER_AVG;
    case PngFilter::Paeth:
        return PNG_FILTER_PAETH;
    case PngFilter::Adaptive:
        return PNG_ALL_FILTERS;
    }
    return PNG_FILTER_NONE;
}

bool writePngStream(png_structp png, png_infop info, std::FILE* file, const PngWriteJob& job, OutputRows& rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_init_io(png, file);
    bool rgb = rows.bitsPerPixel() == 24;
    png_set_IHDR(png, info, static_cast<png_uint_32>(rows.width()), static_cast<png_uint_32>(rows.height()), 8,
        rgb ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
        PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, job.compression.level);
    png_set_compression_strategy(png, zlibStrategy(job.compression.strategy));
    png_set_filter(png, PNG_FILTER_TYPE_BASE, pngFilters(job.compression.filter));
    if (!rgb)
        png_set_PLTE(png, info, job.palette, job.paletteCount);
    png_text text = {};
    text.compression = PNG_TEXT_COMPRESSION_NONE;
    text.key = const_cast<char*>("Title");
    text.text = const_cast<char*>(job.title);
    png_set_text(png, info, &text, 1);
    png_write_info(png, info);
    png_set_bgr(png);
    for (int y = 0; y < rows.height(); ++y)
        png_write_row(png, rows.row(y));
    png_write_end(png, info);
    return true;
}

} // namespace

ImageReadStatus readPng(std::string_view path, DecodedImage& image)
{
    image = {};
    FilePtr file = openFile(path, "rb");
    if (!file)
        return ImageReadStatus::CannotRead;
    PngErrorState errors;
    PngReadGuard guard(errors);
    if (!guard.png || !guard.info)
        return ImageReadStatus::LibraryFailed;
    PngHeader header;
    if (!readPngHeader(guard.png, guard.info, file.get(), header))
        return ImageReadStatus::LibraryFailed;

    // Deflate packs at most 1032 bytes into one: a file too small to hold the
    // rows its header claims is truncated or hostile, and is refused before
    // its rows are allocated.
    struct stat info;
    std::uint64_t packedRow = (static_cast<std::uint64_t>(header.width) * header.bitDepth * header.channels + 7) / 8;
    if (::fstat(::fileno(file.get()), &info) != 0
        || static_cast<std::uint64_t>(info.st_size) * 1032 < header.height * (packedRow + 1))
        return ImageReadStatus::LibraryFailed;
    std::int64_t pixels = static_cast<std::int64_t>(header.width) * header.height;
    if (pixels > kMaxImagePixels)
        return ImageReadStatus::OutOfMemory;
    if (header.rowBytes != static_cast<size_t>(header.width) * 3)
        return ImageReadStatus::LibraryFailed;

    std::vector<png_bytep> rowPointers;
    try {
        image.pixels.resize(static_cast<size_t>(pixels) * 3);
        rowPointers.resize(header.height);
    } catch (const std::bad_alloc&) {
        image = {};
        return ImageReadStatus::OutOfMemory;
    }
    for (png_uint_32 y = 0; y < header.height; ++y)
        rowPointers[y] = image.pixels.data() + static_cast<size_t>(y) * header.rowBytes;
    if (!readPngRows(guard.png, rowPointers.data())) {
        image = {};
        return ImageReadStatus::LibraryFailed;
    }

    image.width = static_cast<int>(header.width);
    image.height = static_cast<int>(header.height);
    image.bitsPerPixel
        = (header.colourType & PNG_COLOR_MASK_COLOR) ? header.bitDepth * 3 : header.bitDepth * header.channels;
    for (int i = 0; i < header.paletteCount; ++i)
        image.palette.push_back({header.palette[i].red, header.palette[i].green, header.palette[i].blue});
    return ImageReadStatus::Ok;
}

ImageWriteStatus writePng(std::string_view path, std::string_view title, const PixelRows& rows, int outputBitsPerPixel,
    const Palette& palette, const PngCompression& compression)
{
    OutputRows output(rows, outputBitsPerPixel, palette);
    if (!output.valid())
        return ImageWriteStatus::UnsupportedDepth;
    PngWriteJob job;
    std::string titleText(title.substr(0, title.find('\0')));
    job.title = titleText.c_str();
    job.compression = compression;
    if (outputBitsPerPixel == 8) {
        job.paletteCount = static_cast<int>(palette.size());
        for (size_t i = 0; i < palette.size(); ++i)
            job.palette[i] = {palette[i].r, palette[i].g, palette[i].b};
    }

    FilePtr file = openFile(path, "wb");
    if (!file)
        return ImageWriteStatus::CannotCreate;
    bool written = false;
    {
        PngErrorState errors;
        PngWriteGuard guard(errors);
        written = guard.png && guard.info && writePngStream(guard.png, guard.info, file.get(), job, output);
    }
    // A full disk often shows only when the buffered data is flushed.
    if (written && std::fflush(file.get()) == 0 && std::fclose(file.release()) == 0)
        return ImageWriteStatus::Ok;
    file.reset();
    std::remove(localPath(path).c_str());
    return ImageWriteStatus::LibraryFailed;
}

} // namespace tavik
