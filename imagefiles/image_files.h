#pragma once

#include "imagefiles/palette.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

// Reading and writing the image files of base maps and saved maps: PNG
// read through libpng and written with libdeflate, Windows BMP by our own
// code.

namespace tavik {

// Results of the readers. The numbers are those the base image messages and
// callers have always used.
enum class ImageReadStatus {
    Ok = 0,
    UnsupportedDepth = -96, // BMP: a bit count other than 1, 8 and 24, or compressed pixel data
    LibraryFailed = -97, // PNG: bad signature, bad or truncated data, or no memory inside libpng
    OutOfMemory = -98, // no room for the rows, or more than kMaxImagePixels pixels
    CannotRead = -99 // cannot open; BMP: header, colour table or rows missing or inconsistent
};

// Results of the writers.
enum class ImageWriteStatus {
    Ok = 0,
    UnsupportedDepth = -96, // output depth other than 8 and 24, or rows the writer cannot take
    LibraryFailed = -97, // PNG: no memory for the compressed rows, or a failed write of the file
    RowWriteFailed = -99, // BMP: writing the rows (or flushing the file) failed
    CannotCreate = -100 // the file cannot be created, or (BMP) writing a header failed
};

// Largest image the readers accept, in pixels: a header claiming more gives
// OutOfMemory before anything is allocated.
inline constexpr std::int64_t kMaxImagePixels = std::int64_t(1) << 28;

// Rows of pixels handed to the writers, top row first, not owned.
struct PixelRows {
    const std::uint8_t* data = nullptr; // first byte of the top row
    std::ptrdiff_t stride = 0; // bytes from one row to the next
    int width = 0; // pixels
    int height = 0; // pixels
    // 8: one palette index per pixel; 24: blue, green, red bytes; 32: blue,
    // green, red and an unused byte (QImage::Format_RGB32 in memory)
    int bitsPerPixel = 24;

    const std::uint8_t* row(int y) const { return data + stride * y; }
};

// An image as the readers deliver it: whatever the file's depth, every row is
// width × 3 bytes in blue, green, red order, top row first.
struct DecodedImage {
    int width = 0; // pixels
    int height = 0; // pixels
    int bitsPerPixel = 0; // of the file, as the reader reports it
    std::vector<std::uint8_t> pixels; // height rows of width × 3 bytes
    Palette palette; // colour table of a palette file, else empty

    const std::uint8_t* row(int y) const { return pixels.data() + static_cast<size_t>(y) * width * 3; }
    PixelRows rows() const { return {pixels.data(), static_cast<std::ptrdiff_t>(width) * 3, width, height, 24}; }
};

// How the PNG writer compresses: the libdeflate level, 0 (store) to 12
// (smallest), and the filter of every row. The default level, kDepthLevel,
// takes the level measured best on saved maps for the file's depth: 4 for
// RGB rows, 6 for palette rows; unfiltered rows pack best on maps, with their
// large areas of one colour (see bench/RESULTS.md).
enum class PngFilter { None, Sub, Up, Average, Paeth };
struct PngCompression {
    static constexpr int kDepthLevel = -1;
    int level = kDepthLevel;
    PngFilter filter = PngFilter::None;
};

// Reads a PNG file (cp932 path). Bits per pixel reported: the bit depth × 3
// for colour types with colour (palette images included), otherwise the
// pixel depth of the file. A palette image also returns its palette.
ImageReadStatus readPng(std::string_view path, DecodedImage& image);

// Reads an uncompressed BMP file of 1, 8 or 24 bits per pixel (cp932 path).
// 1- and 8-bit files also return their colour table.
ImageReadStatus readBmp(std::string_view path, DecodedImage& image);

// Writes a PNG file: RGB when outputBitsPerPixel is 24, palette colour when
// it is 8, with a "Title" text chunk holding the title (cp932 bytes, up to
// its first NUL). Rows of
// 24 bits written as 8 take the nearest palette colour of each pixel; rows of
// 8 bits written as 24 take their palette colours. A file left half-written
// by a failure is removed.
ImageWriteStatus writePng(std::string_view path, std::string_view title, const PixelRows& rows, int outputBitsPerPixel,
    const Palette& palette, const PngCompression& compression = {});

// Writes the PNG file to a stream opened for writing (a temporary file that
// the caller renames into place); the stream is flushed, not closed.
ImageWriteStatus writePng(std::FILE* file, std::string_view title, const PixelRows& rows, int outputBitsPerPixel,
    const Palette& palette, const PngCompression& compression = {});

// Writes an uncompressed Windows BMP file of 8 or 24 bits per pixel, with the
// same conversions between row and output depths as writePng.
ImageWriteStatus writeBmp(std::string_view path, const PixelRows& rows, int outputBitsPerPixel, const Palette& palette);

// Writes the BMP file to a stream opened for writing; flushed, not closed.
ImageWriteStatus writeBmp(std::FILE* file, const PixelRows& rows, int outputBitsPerPixel, const Palette& palette);

} // namespace tavik
