// PNG files: read through libpng; written by our own code, which frames the
// chunks and compresses the image data with libdeflate (about twice as fast
// as zlib, and smaller, on the same rows).
//
// libpng reports errors by longjmp to the jmp_buf set in the function that
// called setjmp. The functions that call setjmp below (readPngHeader,
// readPngRows) therefore hold no object with a destructor,
// and every C library object (FILE, the png and info structures) belongs to
// a guard in the caller, which frees it on every path.

#include "imagefiles/image_files.h"
#include "imagefiles/output_rows.h"

#include "platform/huge_pages.h"
#include "platform/paths.h"

#include <libdeflate.h>
#include <png.h>
#include <sys/stat.h>

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <span>
#include <string>

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

// Big-endian 32-bit value, as PNG stores lengths, sizes and CRCs.
void putBigEndian(std::uint8_t* at, std::uint32_t value)
{
    at[0] = static_cast<std::uint8_t>(value >> 24);
    at[1] = static_cast<std::uint8_t>(value >> 16);
    at[2] = static_cast<std::uint8_t>(value >> 8);
    at[3] = static_cast<std::uint8_t>(value);
}

// Largest IDAT chunk written: the image data is split into chunks of this
// many bytes, well below PNG's limit of 2^31 - 1 for any chunk.
constexpr size_t kMaxIdatBytes = size_t(1) << 20;

// Writes one chunk: length, type, data and the CRC of type and data.
bool writeChunk(std::FILE* file, const char* type, const std::uint8_t* data, size_t size)
{
    std::uint8_t head[8];
    putBigEndian(head, static_cast<std::uint32_t>(size));
    std::memcpy(head + 4, type, 4);
    std::uint32_t crc = libdeflate_crc32(0, head + 4, 4);
    if (size > 0)
        crc = libdeflate_crc32(crc, data, size);
    std::uint8_t tail[4];
    putBigEndian(tail, crc);
    return std::fwrite(head, 1, 8, file) == 8 && (size == 0 || std::fwrite(data, 1, size, file) == size)
        && std::fwrite(tail, 1, 4, file) == 4;
}

std::uint8_t filterCode(PngFilter filter)
{
    switch (filter) {
    case PngFilter::None:
        return 0;
    case PngFilter::Sub:
        return 1;
    case PngFilter::Up:
        return 2;
    case PngFilter::Average:
        return 3;
    case PngFilter::Paeth:
        return 4;
    }
    return 0;
}

std::uint8_t paethPredictor(int left, int up, int upLeft)
{
    int p = left + up - upLeft;
    int toLeft = std::abs(p - left), toUp = std::abs(p - up), toUpLeft = std::abs(p - upLeft);
    if (toLeft <= toUp && toLeft <= toUpLeft)
        return static_cast<std::uint8_t>(left);
    return static_cast<std::uint8_t>(toUp <= toUpLeft ? up : upLeft);
}

// Filters one row of `size` bytes into `out` (after its filter byte). `prior`
// is the row above, all zero for the top row; `step` the bytes of a pixel.
void filterRow(
    std::uint8_t code, const std::uint8_t* row, const std::uint8_t* prior, size_t size, size_t step, std::uint8_t* out)
{
    switch (code) {
    case 0:
        std::memcpy(out, row, size);
        return;
    case 1:
        for (size_t i = 0; i < size; ++i)
            out[i] = static_cast<std::uint8_t>(row[i] - (i >= step ? row[i - step] : 0));
        return;
    case 2:
        for (size_t i = 0; i < size; ++i)
            out[i] = static_cast<std::uint8_t>(row[i] - prior[i]);
        return;
    case 3:
        for (size_t i = 0; i < size; ++i)
            out[i] = static_cast<std::uint8_t>(row[i] - (((i >= step ? row[i - step] : 0) + prior[i]) >> 1));
        return;
    default:
        for (size_t i = 0; i < size; ++i) {
            int left = i >= step ? row[i - step] : 0, upLeft = i >= step ? prior[i - step] : 0;
            out[i] = static_cast<std::uint8_t>(row[i] - paethPredictor(left, prior[i], upLeft));
        }
        return;
    }
}

// Room for the filtered and the compressed rows, kept by each thread for its
// next file: a map's rows take megabytes, and fresh memory costs a page
// fault for every 4 kB of it. Room beyond kKeptScratchBytes is given back.
struct PngScratch {
    std::unique_ptr<std::uint8_t[]> rows;
    size_t rowsSize = 0;
    std::unique_ptr<std::uint8_t[]> packed;
    size_t packedSize = 0;

    static constexpr size_t kKeptScratchBytes = size_t(64) << 20;

    static std::uint8_t* room(std::unique_ptr<std::uint8_t[]>& buffer, size_t& size, size_t needed)
    {
        if (size < needed) {
            buffer.reset();
            size = 0;
            buffer.reset(new std::uint8_t[needed]);
            size = needed;
            preferHugePages(buffer.get(), needed);
        }
        return buffer.get();
    }

    void release()
    {
        if (rowsSize + packedSize > kKeptScratchBytes) {
            rows.reset();
            packed.reset();
            rowsSize = packedSize = 0;
        }
    }
};

// Row y in the file's colours: red, green, blue for 24 bits (in `rgb`),
// palette indices for 8.
const std::uint8_t* fileRow(const PixelRows& rows, OutputRows& output, int y, std::uint8_t* rgb)
{
    if (output.bitsPerPixel() == 8)
        return output.row(y);
    const size_t width = static_cast<size_t>(output.width());
    if (rows.bitsPerPixel == 32 && std::endian::native == std::endian::little) {
        // Four pixels at a time: each read as a little-endian word
        // 0xXXRRGGBB, turned into 0x00BBGGRR (red first in memory) and
        // packed into three words of output.
        const std::uint8_t* source = rows.row(y);
        size_t x = 0;
        for (; x + 4 <= width; x += 4, source += 16, rgb += 12) {
            std::uint32_t p[4];
            std::memcpy(p, source, 16);
            for (std::uint32_t& v : p)
                v = __builtin_bswap32(v) >> 8;
            const std::uint32_t out[3] = {p[0] | p[1] << 24, p[1] >> 8 | p[2] << 16, p[2] >> 16 | p[3] << 8};
            std::memcpy(rgb, out, 12);
        }
        for (; x < width; ++x, source += 4, rgb += 3) {
            rgb[0] = source[2];
            rgb[1] = source[1];
            rgb[2] = source[0];
        }
        return rgb - 3 * width;
    }
    const std::uint8_t* source = output.row(y);
    for (size_t x = 0; x < width; ++x, source += 3, rgb += 3) {
        rgb[0] = source[2];
        rgb[1] = source[1];
        rgb[2] = source[0];
    }
    return rgb - 3 * width;
}

// The rows as PNG's image data holds them before compression, into `out`:
// each row its filter byte and then its filtered bytes.
void filterRows(const PixelRows& rows, OutputRows& output, PngFilter filter, std::uint8_t* out)
{
    const size_t size = output.rowBytes();
    const size_t step = static_cast<size_t>(output.bitsPerPixel() / 8);
    const std::uint8_t code = filterCode(filter);
    // The unfiltered current and prior rows; the prior row of the top row
    // is all zero.
    std::vector<std::uint8_t> current(size), prior(size, 0);
    for (int y = 0; y < output.height(); ++y) {
        *out++ = code;
        if (code == 0) {
            // Unfiltered rows go straight to their place.
            const std::uint8_t* row = fileRow(rows, output, y, out);
            if (row != out)
                std::memcpy(out, row, size);
        } else {
            const std::uint8_t* row = fileRow(rows, output, y, current.data());
            filterRow(code, row, prior.data(), size, step, out);
            std::memcpy(prior.data(), row, size);
        }
        out += size;
    }
}

// A compressor per thread and level, kept for the next file: allocating one
// costs about as much as compressing a small map.
libdeflate_compressor* compressorFor(int level)
{
    struct Compressor {
        libdeflate_compressor* compressor = nullptr;
        int level = -1;
        ~Compressor() { libdeflate_free_compressor(compressor); }
    };
    thread_local Compressor cached;
    if (cached.compressor && cached.level == level)
        return cached.compressor;
    libdeflate_free_compressor(cached.compressor);
    cached.compressor = libdeflate_alloc_compressor(level);
    cached.level = cached.compressor ? level : -1;
    return cached.compressor;
}

// The zlib stream of the filtered rows, in the scratch's room for it; empty
// when there is no memory.
std::span<const std::uint8_t> compressRows(
    const PixelRows& rows, OutputRows& output, const PngCompression& compression, PngScratch& scratch)
{
    int level = compression.level;
    if (level == PngCompression::kDepthLevel)
        level = output.bitsPerPixel() == 24 ? 4 : 6;
    libdeflate_compressor* compressor = compressorFor(std::clamp(level, 0, 12));
    if (!compressor)
        return {};
    const size_t size = (output.rowBytes() + 1) * static_cast<size_t>(output.height());
    std::uint8_t* filtered = PngScratch::room(scratch.rows, scratch.rowsSize, size);
    filterRows(rows, output, compression.filter, filtered);
    const size_t bound = libdeflate_zlib_compress_bound(compressor, size);
    std::uint8_t* packed = PngScratch::room(scratch.packed, scratch.packedSize, bound);
    return {packed, libdeflate_zlib_compress(compressor, filtered, size, packed, bound)};
}

// Writes the chunks of the file: header, palette (8 bits), title, image
// data, end.
bool writePngChunks(std::FILE* file, const OutputRows& rows, std::string_view title, const Palette& palette,
    std::span<const std::uint8_t> packed)
{
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (std::fwrite(signature, 1, 8, file) != 8)
        return false;
    std::uint8_t header[13] = {};
    putBigEndian(header, static_cast<std::uint32_t>(rows.width()));
    putBigEndian(header + 4, static_cast<std::uint32_t>(rows.height()));
    header[8] = 8; // bits per sample or palette index
    header[9] = rows.bitsPerPixel() == 24 ? 2 : 3; // RGB or palette colour
    if (!writeChunk(file, "IHDR", header, sizeof header))
        return false;
    if (rows.bitsPerPixel() == 8) {
        std::vector<std::uint8_t> colours;
        for (const Colour& c : palette)
            colours.insert(colours.end(), {c.r, c.g, c.b});
        if (!writeChunk(file, "PLTE", colours.data(), colours.size()))
            return false;
    }
    std::string text = "Title";
    text += '\0';
    text += title;
    if (!writeChunk(file, "tEXt", reinterpret_cast<const std::uint8_t*>(text.data()), text.size()))
        return false;
    for (size_t at = 0; at < packed.size(); at += kMaxIdatBytes)
        if (!writeChunk(file, "IDAT", packed.data() + at, std::min(kMaxIdatBytes, packed.size() - at)))
            return false;
    return writeChunk(file, "IEND", nullptr, 0);
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
    if (!OutputRows(rows, outputBitsPerPixel, palette).valid())
        return ImageWriteStatus::UnsupportedDepth;
    FilePtr file = openFile(path, "wb");
    if (!file)
        return ImageWriteStatus::CannotCreate;
    ImageWriteStatus status = writePng(file.get(), title, rows, outputBitsPerPixel, palette, compression);
    // A full disk often shows only when the buffered data is flushed.
    if (std::fclose(file.release()) != 0 && status == ImageWriteStatus::Ok)
        status = ImageWriteStatus::LibraryFailed;
    if (status != ImageWriteStatus::Ok)
        std::remove(localPath(path).c_str());
    return status;
}

ImageWriteStatus writePng(std::FILE* file, std::string_view title, const PixelRows& rows, int outputBitsPerPixel,
    const Palette& palette, const PngCompression& compression)
{
    OutputRows output(rows, outputBitsPerPixel, palette);
    if (!output.valid())
        return ImageWriteStatus::UnsupportedDepth;
    thread_local PngScratch scratch;
    std::span<const std::uint8_t> packed;
    try {
        packed = compressRows(rows, output, compression, scratch);
    } catch (const std::bad_alloc&) {
        packed = {};
    }
    bool written = !packed.empty() && writePngChunks(file, output, title.substr(0, title.find('\0')), palette, packed)
        && std::fflush(file) == 0;
    scratch.release();
    return written ? ImageWriteStatus::Ok : ImageWriteStatus::LibraryFailed;
}

} // namespace tavik
