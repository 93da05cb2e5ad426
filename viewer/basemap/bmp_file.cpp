// Windows BMP files: reading of uncompressed 1-, 8- and 24-bit files and
// writing of 8- and 24-bit files, with the 14-byte file header and a 40-byte
// information header.

#include "viewer/basemap/image_files.h"
#include "viewer/basemap/output_rows.h"

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

} // namespace

ImageReadStatus readBmp(std::string_view path, DecodedImage& image)
{
    image = {};
    FilePtr file = openFile(path, "rb");
    if (!file)
        return ImageReadStatus::CannotRead;
    std::uint8_t header[kHeaderBytes];
    if (std::fread(header, 1, sizeof header, file.get()) != sizeof header || header[0] != 'B' || header[1] != 'M')
        return ImageReadStatus::CannotRead;

    std::uint32_t pixelOffset = u32(header + 10);
    std::uint32_t infoBytes = u32(header + 14);
    std::int32_t width = i32(header + 18);
    std::int32_t height = i32(header + 22);
    int bitsPerPixel = u16(header + 28);
    std::uint32_t compression = u32(header + 30);
    std::uint32_t coloursUsed = u32(header + 46);

    if (bitsPerPixel != 1 && bitsPerPixel != 8 && bitsPerPixel != 24)
        return ImageReadStatus::UnsupportedDepth;
    // Run-length coded pixels would be read as garbage: refuse them like an
    // unsupported colour mode.
    if (compression != 0)
        return ImageReadStatus::UnsupportedDepth;
    // A negative height marks rows stored top row first.
    bool topDown = height < 0;
    if (infoBytes < kInfoHeaderBytes || width <= 0 || height == 0 || height == std::numeric_limits<std::int32_t>::min())
        return ImageReadStatus::CannotRead;
    std::int64_t rowCount = topDown ? -static_cast<std::int64_t>(height) : height;

    // The colour table follows the information header, whatever its size,
    // and must end before the pixel data.
    std::uint64_t tableStart = kFileHeaderBytes + static_cast<std::uint64_t>(infoBytes);
    std::uint64_t rowBytes = paddedRowBytes(width, bitsPerPixel);
    std::uint64_t size = fileSize(file.get());
    if (pixelOffset < tableStart || pixelOffset + rowBytes * rowCount > size)
        return ImageReadStatus::CannotRead;
    if (static_cast<std::int64_t>(width) * rowCount > kMaxImagePixels)
        return ImageReadStatus::OutOfMemory;
    if (bitsPerPixel <= 8) {
        std::uint64_t count = coloursUsed != 0 ? coloursUsed : (pixelOffset - tableStart) / 4;
        count = std::min<std::uint64_t>(count, 1u << bitsPerPixel);
        if (tableStart + 4 * count > pixelOffset)
            return ImageReadStatus::CannotRead;
        std::uint8_t quads[4 * 256];
        if (::fseeko(file.get(), static_cast<off_t>(tableStart), SEEK_SET) != 0
            || std::fread(quads, 4, count, file.get()) != count)
            return ImageReadStatus::CannotRead;
        for (size_t i = 0; i < count; ++i)
            image.palette.push_back({quads[4 * i + 2], quads[4 * i + 1], quads[4 * i]});
    }

    std::vector<std::uint8_t> fileRow;
    try {
        image.pixels.assign(static_cast<size_t>(width) * rowCount * 3, 0);
        fileRow.resize(rowBytes);
    } catch (const std::bad_alloc&) {
        image = {};
        return ImageReadStatus::OutOfMemory;
    }
    image.width = width;
    image.height = static_cast<int>(rowCount);
    image.bitsPerPixel = bitsPerPixel;

    if (::fseeko(file.get(), static_cast<off_t>(pixelOffset), SEEK_SET) != 0) {
        image = {};
        return ImageReadStatus::CannotRead;
    }
    for (std::int64_t i = 0; i < rowCount; ++i) {
        if (std::fread(fileRow.data(), 1, fileRow.size(), file.get()) != fileRow.size()) {
            image = {};
            return ImageReadStatus::CannotRead;
        }
        std::int64_t y = topDown ? i : rowCount - 1 - i;
        std::uint8_t* out = image.pixels.data() + static_cast<size_t>(y) * width * 3;
        switch (bitsPerPixel) {
        case 1:
            for (std::int32_t x = 0; x < width; ++x, out += 3) {
                bool set = (fileRow[x / 8] >> (7 - x % 8)) & 1;
                putColour(out, entry(image.palette, set ? 1 : 0));
            }
            break;
        case 8:
            for (std::int32_t x = 0; x < width; ++x, out += 3)
                putColour(out, entry(image.palette, fileRow[x]));
            break;
        default:
            std::copy(fileRow.begin(), fileRow.begin() + static_cast<std::ptrdiff_t>(width) * 3, out);
            break;
        }
    }
    return ImageReadStatus::Ok;
}

ImageWriteStatus writeBmp(std::string_view path, const PixelRows& rows, int outputBitsPerPixel, const Palette& palette)
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

    FilePtr file = openFile(path, "wb");
    if (!file)
        return ImageWriteStatus::CannotCreate;
    auto fail = [&](ImageWriteStatus status) {
        file.reset();
        std::remove(localPath(path).c_str());
        return status;
    };

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
    if (std::fwrite(header.data(), 1, header.size(), file.get()) != header.size())
        return fail(ImageWriteStatus::CannotCreate);

    std::vector<std::uint8_t> fileRow(rowBytes, 0);
    for (int y = output.height() - 1; y >= 0; --y) {
        const std::uint8_t* row = output.row(y);
        std::copy(row, row + output.rowBytes(), fileRow.begin());
        if (std::fwrite(fileRow.data(), 1, fileRow.size(), file.get()) != fileRow.size())
            return fail(ImageWriteStatus::RowWriteFailed);
    }
    // A full disk often shows only when the buffered rows are flushed.
    if (std::fflush(file.get()) != 0 || std::fclose(file.release()) != 0) {
        std::remove(localPath(path).c_str());
        return ImageWriteStatus::RowWriteFailed;
    }
    return ImageWriteStatus::Ok;
}

} // namespace tavik
