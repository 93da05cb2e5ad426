#pragma once

// Builders of small BMP and PNG files byte by byte, so that tests can make
// broken and hostile files that no writer would produce.

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tavik::test {

inline void put16(std::string& bytes, size_t at, std::uint32_t value)
{
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}
inline void put32(std::string& bytes, size_t at, std::uint32_t value)
{
    put16(bytes, at, value & 0xFFFF);
    put16(bytes, at + 2, value >> 16);
}

// A BMP file with a 40-byte information header; `table` holds colours as
// "B G R 0" quads, `pixels` the stored rows (padding included).
inline std::string bmpFile(int width, int height, int bits, const std::string& table, const std::string& pixels)
{
    std::string bytes(54, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(bytes, 2, static_cast<std::uint32_t>(54 + table.size() + pixels.size()));
    put32(bytes, 10, static_cast<std::uint32_t>(54 + table.size()));
    put32(bytes, 14, 40);
    put32(bytes, 18, static_cast<std::uint32_t>(width));
    put32(bytes, 22, static_cast<std::uint32_t>(height));
    put16(bytes, 26, 1);
    put16(bytes, 28, static_cast<std::uint32_t>(bits));
    put32(bytes, 46, static_cast<std::uint32_t>(table.size() / 4));
    return bytes + table + pixels;
}

inline std::string bigEndian32(std::uint32_t value)
{
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
        static_cast<char>(value)};
}

inline std::string pngChunk(const std::string& type, const std::string& data)
{
    std::string body = type + data;
    auto crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())));
    return bigEndian32(static_cast<std::uint32_t>(data.size())) + body + bigEndian32(crc);
}

inline std::string pngHeader(
    std::uint32_t width, std::uint32_t height, int bitDepth, int colourType, bool interlaced = false)
{
    std::string ihdr = bigEndian32(width) + bigEndian32(height);
    ihdr += {static_cast<char>(bitDepth), static_cast<char>(colourType), 0, 0, static_cast<char>(interlaced ? 1 : 0)};
    return std::string("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", ihdr);
}

// The image data of an interlaced (Adam7) PNG: the seven passes of the
// image's rows, each pass row preceded by filter byte 0. `rows` holds the
// image's rows without filter bytes, `bytesPerPixel` bytes a pixel.
inline std::string adam7Data(
    std::uint32_t width, std::uint32_t height, size_t bytesPerPixel, const std::vector<std::string>& rows)
{
    const std::uint32_t passes[7][4]
        = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    std::string raw;
    for (const auto& pass : passes) {
        if (pass[0] >= width)
            continue; // a pass without pixels has no rows
        for (std::uint32_t y = pass[1]; y < height; y += pass[3]) {
            raw += '\0';
            for (std::uint32_t x = pass[0]; x < width; x += pass[2])
                raw += rows[y].substr(x * bytesPerPixel, bytesPerPixel);
        }
    }
    return raw;
}

// A PNG file whose rows (each preceded by its filter byte) are `raw`;
// `extra` chunks go between the header and the image data.
inline std::string pngFile(std::uint32_t width, std::uint32_t height, int bitDepth, int colourType,
    const std::string& raw, const std::string& extra = {}, bool interlaced = false)
{
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
        static_cast<uLong>(raw.size()));
    packed.resize(packedSize);
    return pngHeader(width, height, bitDepth, colourType, interlaced) + extra + pngChunk("IDAT", packed)
        + pngChunk("IEND", "");
}

} // namespace tavik::test
