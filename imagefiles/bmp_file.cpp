// Windows BMP files: reading of uncompressed 1-, 8- and 24-bit files and
// writing of 8- and 24-bit files, with the 14-byte file header and a 40-byte
// information header.

#include "imagefiles/image_files.h"
#include "imagefiles/output_rows.h"

#include "platform/paths.h"

#include <sys/stat.h>

#include <cstdio>
#include <limits>
#include <new>

namespace tavik {
namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kInfoHeaderBytes = 40;
constexpr size_t kHeaderBytes = kFileHeaderBytes + kInfoHeaderBytes;

std::uint32_t u32(const std::uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24); }
std::int32_t i32(const std::uint8_t* p) { return static_cast<std::int32_t>(u32(p)); }
std::uint16_t u16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

void put16(std::uint8_t* p, std::uint32_t value)
{
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}
void put32(std::uint8_t* p, std::uint32_t value)
{
    put16(p, value);
    put16(p + 2, value >> 16);
}

// Bytes of one row in a BMP file: the row's bits rounded up to whole 4-byte words.
std::uint64_t paddedRowBytes(std::int64_t width, int bitsPerPixel)
{
    return ((static_cast<std::uint64_t>(width) * bitsPerPixel + 31) / 32) * 4;
}

std::uint64_t fileSize(std::FILE* file)
{
    struct stat info;
    return ::fstat(::fileno(file), &info) == 0 && info.st_size > 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
}

// The colour of a palette entry, black when the table has no such entry.
Colour entry(const Palette& palette, size_t index) { return index < palette.size() ? palette[index] : Colour{}; }

void putColour(std::uint8_t* out, const Colour& colour)
{
    out[0] = colour.b;
    out[1] = colour.g;
    out[2] = colour.r;
}

// What the file and information headers say about the pixels.
struct BmpLayout {
    std::uint32_t pixelOffset = 0; // bytes from the file's start to the first row
    std::uint64_t tableStart = 0; // bytes from the file's start to the colour table
    std::uint32_t coloursUsed = 0; // entries of the colour table; 0: as many as fit
    std::int32_t width = 0; // pixels
    std::int64_t rowCount = 0; // pixels
    bool topDown = false; // rows stored top row first
    int bitsPerPixel = 0;
    std::uint64_t rowBytes = 0; // bytes of a row in the file
};

// Reads and checks the headers: a depth the reader takes, no compression,
// and rows that lie within the file.
ImageReadStatus readLayout(std::FILE* file, BmpLayout& layout)
{
    std::uint8_t header[kHeaderBytes];
    if (std::fread(header, 1, sizeof header, file) != sizeof header || header[0] != 'B' || header[1] != 'M')
        return ImageReadStatus::CannotRead;

    layout.pixelOffset = u32(header + 10);
    std::uint32_t infoBytes = u32(header + 14);
    layout.width = i32(header + 18);
    std::int32_t height = i32(header + 22);
    layout.bitsPerPixel = u16(header + 28);
    std::uint32_t compression = u32(header + 30);
    layout.coloursUsed = u32(header + 46);

    if (layout.bitsPerPixel != 1 && layout.bitsPerPixel != 8 && layout.bitsPerPixel != 24)
        return ImageReadStatus::UnsupportedDepth;
    // Run-length coded pixels would be read as garbage: refuse them like an
    // unsupported colour mode.
    if (compression != 0)
        return ImageReadStatus::UnsupportedDepth;
    // A negative height marks rows stored top row first.
    layout.topDown = height < 0;
    if (infoBytes < kInfoHeaderBytes || layout.width <= 0 || height == 0
        || height == std::numeric_limits<std::int32_t>::min())
        return ImageReadStatus::CannotRead;
    layout.rowCount = layout.topDown ? -static_cast<std::int64_t>(height) : height;

    // The colour table follows the information header, whatever its size,
    // and must end before the pixel data.
    layout.tableStart = kFileHeaderBytes + static_cast<std::uint64_t>(infoBytes);
    layout.rowBytes = paddedRowBytes(layout.width, layout.bitsPerPixel);
    std::uint64_t size = fileSize(file);
    if (layout.pixelOffset < layout.tableStart || layout.pixelOffset + layout.rowBytes * layout.rowCount > size)
        return ImageReadStatus::CannotRead;
    if (static_cast<std::int64_t>(layout.width) * layout.rowCount > kMaxImagePixels)
        return ImageReadStatus::OutOfMemory;
    return ImageReadStatus::Ok;
}

// Reads the colour table of a 1- or 8-bit file into the palette.
ImageReadStatus readColourTable(std::FILE* file, const BmpLayout& layout, Palette& palette)
{
    std::uint64_t count = layout.coloursUsed != 0 ? layout.coloursUsed : (layout.pixelOffset - layout.tableStart) / 4;
    count = std::min<std::uint64_t>(count, 1u << layout.bitsPerPixel);
    if (layout.tableStart + 4 * count > layout.pixelOffset)
        return ImageReadStatus::CannotRead;
    std::uint8_t quads[4 * 256];
    if (::fseeko(file, static_cast<off_t>(layout.tableStart), SEEK_SET) != 0
        || std::fread(quads, 4, count, file) != count)
        return ImageReadStatus::CannotRead;
    for (size_t i = 0; i < count; ++i)
        palette.push_back({quads[4 * i + 2], quads[4 * i + 1], quads[4 * i]});
    return ImageReadStatus::Ok;
}

// One row of the file as 24-bit blue, green, red pixels.
void decodeRow(
    const std::vector<std::uint8_t>& fileRow, const BmpLayout& layout, const Palette& palette, std::uint8_t* out)
{
    switch (layout.bitsPerPixel) {
    case 1:
        for (std::int32_t x = 0; x < layout.width; ++x, out += 3) {
            bool set = (fileRow[x / 8] >> (7 - x % 8)) & 1;
            putColour(out, entry(palette, set ? 1 : 0));
        }
        break;
    case 8:
        for (std::int32_t x = 0; x < layout.width; ++x, out += 3)
            putColour(out, entry(palette, fileRow[x]));
        break;
    default:
        std::copy(fileRow.begin(), fileRow.begin() + static_cast<std::ptrdiff_t>(layout.width) * 3, out);
        break;
    }
}

// Reads every row into the image's pixels, top row first.
ImageReadStatus readRows(std::FILE* file, const BmpLayout& layout, DecodedImage& image)
{
    std::vector<std::uint8_t> fileRow;
    try {
        image.pixels.assign(static_cast<size_t>(layout.width) * layout.rowCount * 3, 0);
        fileRow.resize(layout.rowBytes);
    } catch (const std::bad_alloc&) {
        return ImageReadStatus::OutOfMemory;
    }
    image.width = layout.width;
    image.height = static_cast<int>(layout.rowCount);
    image.bitsPerPixel = layout.bitsPerPixel;

    if (::fseeko(file, static_cast<off_t>(layout.pixelOffset), SEEK_SET) != 0)
        return ImageReadStatus::CannotRead;
    for (std::int64_t i = 0; i < layout.rowCount; ++i) {
        if (std::fread(fileRow.data(), 1, fileRow.size(), file) != fileRow.size())
            return ImageReadStatus::CannotRead;
        std::int64_t y = layout.topDown ? i : layout.rowCount - 1 - i;
        decodeRow(fileRow, layout, image.palette, image.pixels.data() + static_cast<size_t>(y) * layout.width * 3);
    }
    return ImageReadStatus::Ok;
}

} // namespace

ImageReadStatus readBmp(std::string_view path, DecodedImage& image)
{
    image = {};
    FilePtr file = openFile(path, "rb");
    if (!file)
        return ImageReadStatus::CannotRead;
    BmpLayout layout;
    ImageReadStatus status = readLayout(file.get(), layout);
    if (status == ImageReadStatus::Ok && layout.bitsPerPixel <= 8)
        status = readColourTable(file.get(), layout, image.palette);
    if (status == ImageReadStatus::Ok)
        status = readRows(file.get(), layout, image);
    if (status != ImageReadStatus::Ok)
        image = {};
    return status;
}

ImageWriteStatus writeBmp(std::string_view path, const PixelRows& rows, int outputBitsPerPixel, const Palette& palette)
{
    // Nothing is created for rows that cannot be written.
    if (writeBmp(nullptr, rows, outputBitsPerPixel, palette) == ImageWriteStatus::UnsupportedDepth)
        return ImageWriteStatus::UnsupportedDepth;
    FilePtr file = openFile(path, "wb");
    if (!file)
        return ImageWriteStatus::CannotCreate;
    ImageWriteStatus status = writeBmp(file.get(), rows, outputBitsPerPixel, palette);
    // A full disk often shows only when the buffered rows are flushed.
    if (std::fclose(file.release()) != 0 && status == ImageWriteStatus::Ok)
        status = ImageWriteStatus::RowWriteFailed;
    if (status != ImageWriteStatus::Ok)
        std::remove(localPath(path).c_str());
    return status;
}

ImageWriteStatus writeBmp(std::FILE* file, const PixelRows& rows, int outputBitsPerPixel, const Palette& palette)
{
    OutputRows output(rows, outputBitsPerPixel, palette);
    if (!output.valid())
        return ImageWriteStatus::UnsupportedDepth;
    std::uint64_t rowBytes = paddedRowBytes(output.width(), outputBitsPerPixel);
    std::uint32_t paletteCount = outputBitsPerPixel == 8 ? static_cast<std::uint32_t>(palette.size()) : 0;
    std::uint64_t pixelOffset = kHeaderBytes + 4 * static_cast<std::uint64_t>(paletteCount);
    std::uint64_t imageBytes = rowBytes * static_cast<std::uint64_t>(output.height());
    if (pixelOffset + imageBytes > std::numeric_limits<std::uint32_t>::max())
        return ImageWriteStatus::UnsupportedDepth;
    if (!file)
        return ImageWriteStatus::CannotCreate;

    std::vector<std::uint8_t> header(pixelOffset, 0);
    header[0] = 'B';
    header[1] = 'M';
    put32(&header[2], static_cast<std::uint32_t>(pixelOffset + imageBytes));
    put32(&header[10], static_cast<std::uint32_t>(pixelOffset));
    put32(&header[14], kInfoHeaderBytes);
    put32(&header[18], static_cast<std::uint32_t>(output.width()));
    put32(&header[22], static_cast<std::uint32_t>(output.height()));
    put16(&header[26], 1);
    put16(&header[28], static_cast<std::uint32_t>(outputBitsPerPixel));
    put32(&header[34], static_cast<std::uint32_t>(imageBytes));
    put32(&header[46], paletteCount);
    for (std::uint32_t i = 0; i < paletteCount; ++i) {
        std::uint8_t* quad = &header[kHeaderBytes + 4 * i];
        putColour(quad, palette[i]);
    }
    if (std::fwrite(header.data(), 1, header.size(), file) != header.size())
        return ImageWriteStatus::CannotCreate;

    std::vector<std::uint8_t> fileRow(rowBytes, 0);
    for (int y = output.height() - 1; y >= 0; --y) {
        const std::uint8_t* row = output.row(y);
        std::copy(row, row + output.rowBytes(), fileRow.begin());
        if (std::fwrite(fileRow.data(), 1, fileRow.size(), file) != fileRow.size())
            return ImageWriteStatus::RowWriteFailed;
    }
    return std::fflush(file) == 0 ? ImageWriteStatus::Ok : ImageWriteStatus::RowWriteFailed;
}

} // namespace tavik
