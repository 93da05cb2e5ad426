#include "imagefiles/palette.h"
#include "viewer/basemap/pixel_rows.h"

#include "tests/basemap/image_bytes.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>

namespace tavik {
namespace {

using test::put16;
using test::put32;

// 24-bit rows (blue, green, red) of a pattern that differs in every pixel and row.
std::vector<std::uint8_t> patternRows(int width, int height)
{
    std::vector<std::uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<std::uint8_t>(i * 7 + i / 301);
    return pixels;
}

std::vector<std::uint8_t> bgrOf(const Palette& palette, const std::vector<std::uint8_t>& indices)
{
    std::vector<std::uint8_t> bgr;
    for (std::uint8_t index : indices)
        bgr.insert(bgr.end(), {palette[index].b, palette[index].g, palette[index].r});
    return bgr;
}

// The pixels of BGR rows as Format_RGB32 rows (blue, green, red, unused).
QImage rgb32Of(const std::vector<std::uint8_t>& bgr, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = bgr.data() + (static_cast<size_t>(y) * width + x) * 3;
            image.setPixel(x, y, qRgb(p[2], p[1], p[0]));
        }
    return image;
}

using Writer = ImageWriteStatus (*)(const std::string&, const PixelRows&, int, const Palette&);
using Reader = ImageReadStatus (*)(std::string_view, DecodedImage&);

struct Format {
    const char* name;
    Writer write;
    Reader read;
};

const Format kFormats[] = {
    {"map.bmp",
        [](const std::string& path, const PixelRows& rows, int bits, const Palette& palette) {
            return writeBmp(path, rows, bits, palette);
        },
        readBmp},
    {"map.png",
        [](const std::string& path, const PixelRows& rows, int bits, const Palette& palette) {
            return writePng(path, "Papilio xuthus", rows, bits, palette);
        },
        readPng},
};

TEST(ImageFiles, WrittenFilesReadBackWithTheSamePixels)
{
    test::TestFolder folder("image_round_trip");
    const Palette palette = standardPalette();
    // 101 pixels make 303 bytes of a 24-bit row: stored rows need padding.
    const int width = 101, height = 7;
    std::vector<std::uint8_t> rgb = patternRows(width, height);
    std::vector<std::uint8_t> indices(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < indices.size(); ++i)
        indices[i] = static_cast<std::uint8_t>(i * 13);
    const PixelRows rgbRows{rgb.data(), width * 3, width, height, 24};
    const PixelRows indexRows{indices.data(), width, width, height, 8};

    for (const Format& format : kFormats) {
        SCOPED_TRACE(format.name);
        std::string path = folder.file(format.name);
        DecodedImage image;

        ASSERT_EQ(format.write(path, rgbRows, 24, palette), ImageWriteStatus::Ok);
        ASSERT_EQ(format.read(path, image), ImageReadStatus::Ok);
        EXPECT_EQ(image.width, width);
        EXPECT_EQ(image.height, height);
        EXPECT_EQ(image.bitsPerPixel, 24);
        EXPECT_EQ(image.pixels, rgb);

        ASSERT_EQ(format.write(path, indexRows, 8, palette), ImageWriteStatus::Ok);
        ASSERT_EQ(format.read(path, image), ImageReadStatus::Ok);
        EXPECT_EQ(image.pixels, bgrOf(palette, indices));
        EXPECT_EQ(image.palette, palette);

        // Rows of QImage::Format_RGB32 lose their unused byte.
        ASSERT_EQ(format.write(path, pixelRows(rgb32Of(rgb, width, height)), 24, palette), ImageWriteStatus::Ok);
        ASSERT_EQ(format.read(path, image), ImageReadStatus::Ok);
        EXPECT_EQ(image.pixels, rgb);

        // Indices written as a 24-bit file take their palette colours.
        ASSERT_EQ(format.write(path, indexRows, 24, palette), ImageWriteStatus::Ok);
        ASSERT_EQ(format.read(path, image), ImageReadStatus::Ok);
        EXPECT_EQ(image.pixels, bgrOf(palette, indices));
        EXPECT_TRUE(image.palette.empty());
    }
    // An 8-bit BMP says 8 bits; a palette PNG reports its bit depth times three.
    DecodedImage image;
    ASSERT_EQ(readBmp(folder.file("map.bmp"), image), ImageReadStatus::Ok);
    EXPECT_EQ(image.bitsPerPixel, 24);
    ASSERT_EQ(writeBmp(folder.file("map.bmp"), indexRows, 8, palette), ImageWriteStatus::Ok);
    ASSERT_EQ(readBmp(folder.file("map.bmp"), image), ImageReadStatus::Ok);
    EXPECT_EQ(image.bitsPerPixel, 8);
}

TEST(ImageFiles, BmpLayoutPadsRowsAndStoresTheBottomRowFirst)
{
    test::TestFolder folder("bmp_layout");
    const int width = 101, height = 3;
    std::vector<std::uint8_t> rgb = patternRows(width, height);
    ASSERT_EQ(writeBmp(folder.file("a.bmp"), {rgb.data(), width * 3, width, height, 24}, 24, {}), ImageWriteStatus::Ok);
    std::string bytes = folder.read("a.bmp");
    ASSERT_EQ(bytes.size(), 54u + 304 * height);
    EXPECT_EQ(bytes.substr(54, 303), std::string(rgb.begin() + 2 * 303, rgb.begin() + 3 * 303));
    EXPECT_EQ(bytes[54 + 303], '\0');

    // A stored row order with a negative height is top row first.
    std::string topDown = bytes;
    put32(topDown, 22, static_cast<std::uint32_t>(-height));
    folder.write("b.bmp", topDown);
    DecodedImage image;
    ASSERT_EQ(readBmp(folder.file("b.bmp"), image), ImageReadStatus::Ok);
    EXPECT_TRUE(std::equal(image.pixels.begin(), image.pixels.begin() + 303, rgb.begin() + 2 * 303));
}

TEST(ImageFiles, EightBitOutputTakesTheNearestPaletteColour)
{
    test::TestFolder folder("nearest");
    // Index 3 repeats index 0; (15,0,0) lies halfway between indices 1 and 2.
    const Palette palette = {{0, 0, 0}, {10, 0, 0}, {20, 0, 0}, {0, 0, 0}, {0, 0, 250}};
    const std::vector<Colour> colours = {{0, 0, 0}, {15, 0, 0}, {16, 0, 0}, {9, 1, 0}, {20, 30, 200}, {255, 255, 255}};
    const std::vector<std::uint8_t> expected = {0, 1, 2, 1, 4, 4};
    std::vector<std::uint8_t> rgb;
    for (const Colour& c : colours)
        rgb.insert(rgb.end(), {c.b, c.g, c.r});
    const int width = static_cast<int>(colours.size());
    PixelRows rows{rgb.data(), width * 3, width, 1, 24};

    ASSERT_EQ(writeBmp(folder.file("a.bmp"), rows, 8, palette), ImageWriteStatus::Ok);
    std::string bytes = folder.read("a.bmp");
    const size_t pixelOffset = 54 + 4 * palette.size();
    ASSERT_GE(bytes.size(), pixelOffset + expected.size());
    EXPECT_EQ(bytes.substr(pixelOffset, expected.size()), std::string(expected.begin(), expected.end()));

    ASSERT_EQ(writePng(folder.file("a.png"), "", rows, 8, palette), ImageWriteStatus::Ok);
    DecodedImage image;
    ASSERT_EQ(readPng(folder.file("a.png"), image), ImageReadStatus::Ok);
    EXPECT_EQ(image.pixels, bgrOf(palette, expected));
}

TEST(ImageFiles, PngCarriesTheTitleAndWritesQImageRows)
{
    test::TestFolder folder("png_title");
    QImage map(5, 4, QImage::Format_BGR888);
    map.fill(QColor(10, 200, 30));
    map.setPixelColor(4, 3, QColor(255, 0, 7));
    ASSERT_EQ(writePng(folder.file("a.png"), "Aus bus", pixelRows(map), 24, {}), ImageWriteStatus::Ok);
    EXPECT_NE(folder.read("a.png").find(std::string("tEXtTitle\0Aus bus", 17)), std::string::npos);
    DecodedImage image;
    ASSERT_EQ(readPng(folder.file("a.png"), image), ImageReadStatus::Ok);
    const std::uint8_t* last = image.row(3) + 4 * 3;
    EXPECT_EQ((std::vector<int>{last[0], last[1], last[2]}), (std::vector<int>{7, 0, 255}));
    EXPECT_EQ(image.row(0)[1], 200);
}

TEST(ImageFiles, WritersReportFilesTheyCannotCreateAndDepthsTheyCannotWrite)
{
    test::TestFolder folder("write_failures");
    std::vector<std::uint8_t> rgb(12, 0);
    PixelRows rows{rgb.data(), 6, 2, 2, 24};
    std::string missingFolder = folder.file("none/a");
    EXPECT_EQ(writeBmp(missingFolder + ".bmp", rows, 24, {}), ImageWriteStatus::CannotCreate);
    EXPECT_EQ(writePng(missingFolder + ".png", "", rows, 24, {}), ImageWriteStatus::CannotCreate);
    EXPECT_EQ(writeBmp(folder.file("a.bmp"), rows, 16, {}), ImageWriteStatus::UnsupportedDepth);
    EXPECT_EQ(writeBmp(folder.file("a.bmp"), rows, 8, {}), ImageWriteStatus::UnsupportedDepth); // no palette
    EXPECT_EQ(writePng(folder.file("a.png"), "", PixelRows{}, 24, {}), ImageWriteStatus::UnsupportedDepth);
    EXPECT_FALSE(std::filesystem::exists(folder.file("a.bmp")));
}

// What a written PNG file holds, checked as a PNG validator would check it:
// the signature, every chunk's CRC (by zlib, not by the writer's library),
// the chunk order, a header, palette and title that agree with the image,
// and image data that inflates to exactly one filter byte and the bytes of
// each row. Returns the inflated rows; a fault fails the calling test.
struct PngLayout {
    std::vector<std::string> types; // chunk types in file order
    std::string header; // IHDR data
    std::string palette; // PLTE data
    std::string text; // tEXt data
    std::string rows; // inflated image data
    size_t largestIdat = 0;
};

PngLayout checkPngFile(const std::string& bytes)
{
    PngLayout layout;
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    auto be32 = [&](size_t at) {
        return static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at])) << 24
            | static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 1])) << 16
            | static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 2])) << 8
            | static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 3]));
    };
    std::string packed;
    size_t at = 8;
    while (at + 12 <= bytes.size()) {
        const std::uint32_t length = be32(at);
        if (at + 12 + length > bytes.size())
            break;
        const std::string type = bytes.substr(at + 4, 4);
        const std::string data = bytes.substr(at + 8, length);
        const auto crc = static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(bytes.data() + at + 4), static_cast<uInt>(length + 4)));
        EXPECT_EQ(crc, be32(at + 8 + length)) << "CRC of " << type;
        layout.types.push_back(type);
        if (type == "IHDR")
            layout.header = data;
        else if (type == "PLTE")
            layout.palette = data;
        else if (type == "tEXt")
            layout.text = data;
        else if (type == "IDAT") {
            packed += data;
            layout.largestIdat = std::max<size_t>(layout.largestIdat, length);
        }
        at += 12 + length;
    }
    EXPECT_EQ(at, bytes.size()) << "bytes after the last whole chunk";
    EXPECT_FALSE(layout.types.empty());
    if (layout.types.empty())
        return layout;
    EXPECT_EQ(layout.types.front(), "IHDR");
    EXPECT_EQ(layout.types.back(), "IEND");
    EXPECT_EQ(layout.header.size(), 13u);
    if (layout.header.size() != 13)
        return layout;
    const std::uint32_t width = be32(16), height = be32(20);
    const int colourType = layout.header[9];
    EXPECT_EQ(layout.header[8], 8);
    EXPECT_TRUE(colourType == 2 || colourType == 3);
    EXPECT_EQ(layout.header.substr(10), std::string(3, '\0')); // deflate, adaptive filtering, not interlaced
    // The image data is one run of chunks, after the palette of a palette image.
    auto first = std::find(layout.types.begin(), layout.types.end(), "IDAT");
    auto last = std::find(layout.types.rbegin(), layout.types.rend(), "IDAT").base();
    EXPECT_TRUE(first < last && std::all_of(first, last, [](const std::string& t) { return t == "IDAT"; }));
    auto plte = std::find(layout.types.begin(), layout.types.end(), "PLTE");
    EXPECT_EQ(plte != layout.types.end(), colourType == 3);
    if (colourType == 3) {
        EXPECT_TRUE(plte < first);
        EXPECT_TRUE(!layout.palette.empty() && layout.palette.size() % 3 == 0 && layout.palette.size() <= 768);
    }

    const size_t rowBytes = static_cast<size_t>(width) * (colourType == 2 ? 3 : 1);
    layout.rows.resize(height * (rowBytes + 1) + 1);
    uLongf size = static_cast<uLongf>(layout.rows.size());
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(layout.rows.data()), &size,
                  reinterpret_cast<const Bytef*>(packed.data()), static_cast<uLong>(packed.size())),
        Z_OK);
    EXPECT_EQ(size, height * (rowBytes + 1)) << "inflated image data";
    layout.rows.resize(size);
    for (size_t y = 0; y < height && (y + 1) * (rowBytes + 1) <= size; ++y)
        EXPECT_LE(static_cast<std::uint8_t>(layout.rows[y * (rowBytes + 1)]), 4) << "filter of row " << y;
    return layout;
}

// Every filter and level, from rows of 8, 24 and 32 bits, to files of 8 and
// 24 bits: each file is valid and reads back through libpng with the pixels
// written. Widths 1 and 5 cover rows shorter than a filter's reach and the
// writer's four-pixel steps.
TEST(ImageFiles, PngFilesAreValidAndReadBackForEveryFilterAndLevel)
{
    test::TestFolder folder("png_filters");
    const Palette palette = standardPalette();
    const PngFilter filters[] = {PngFilter::None, PngFilter::Sub, PngFilter::Up, PngFilter::Average, PngFilter::Paeth};
    const int levels[] = {0, 1, 12, PngCompression::kDepthLevel};
    for (int width : {1, 5, 101}) {
        const int height = 7;
        std::vector<std::uint8_t> bgr = patternRows(width, height);
        std::vector<std::uint8_t> indices(static_cast<size_t>(width) * height);
        for (size_t i = 0; i < indices.size(); ++i)
            indices[i] = static_cast<std::uint8_t>(i * 13 + i / 7);
        // What a file of 8 bits holds of the 24-bit pattern: its nearest colours.
        std::vector<std::uint8_t> nearest;
        {
            ASSERT_EQ(writeBmp(folder.file("nearest.bmp"), {bgr.data(), width * 3, width, height, 24}, 8, palette),
                ImageWriteStatus::Ok);
            DecodedImage image;
            ASSERT_EQ(readBmp(folder.file("nearest.bmp"), image), ImageReadStatus::Ok);
            nearest = image.pixels;
        }
        const QImage rgb32 = rgb32Of(bgr, width, height);
        // Few distinct values, as on maps: the filters' predictors meet
        // every kind of tie.
        std::vector<std::uint8_t> few(bgr.size());
        std::uint32_t state = 7;
        for (std::uint8_t& byte : few) {
            state = state * 1664525u + 1013904223u;
            byte = static_cast<std::uint8_t>((state >> 28) % 5 * 60);
        }
        struct Source {
            const char* what;
            PixelRows rows;
            int bits;
            std::vector<std::uint8_t> expected;
        } sources[] = {
            {"24 to 24", {bgr.data(), width * 3, width, height, 24}, 24, bgr},
            {"24 to 24, few values", {few.data(), width * 3, width, height, 24}, 24, few},
            {"32 to 24", pixelRows(rgb32), 24, bgr},
            {"8 to 8", {indices.data(), width, width, height, 8}, 8, bgrOf(palette, indices)},
            {"8 to 24", {indices.data(), width, width, height, 8}, 24, bgrOf(palette, indices)},
            {"24 to 8", {bgr.data(), width * 3, width, height, 24}, 8, nearest},
            {"32 to 8", pixelRows(rgb32), 8, nearest},
        };
        for (const Source& source : sources)
            for (PngFilter filter : filters)
                for (int level : levels) {
                    SCOPED_TRACE(testing::Message() << source.what << ", width " << width << ", filter "
                                                    << static_cast<int>(filter) << ", level " << level);
                    const std::string path = folder.file("a.png");
                    ASSERT_EQ(writePng(path, "Papilio xuthus", source.rows, source.bits, palette, {level, filter}),
                        ImageWriteStatus::Ok);
                    PngLayout layout = checkPngFile(folder.read("a.png"));
                    EXPECT_EQ(layout.types.size(), source.bits == 8 ? 5u : 4u);
                    EXPECT_EQ(layout.text, std::string("Title\0Papilio xuthus", 20));
                    if (source.bits == 8) {
                        EXPECT_EQ(layout.palette.size(), 3 * palette.size());
                    }
                    if (!layout.rows.empty()) {
                        EXPECT_EQ(layout.rows[0], static_cast<char>(filter));
                    }
                    DecodedImage image;
                    ASSERT_EQ(readPng(path, image), ImageReadStatus::Ok);
                    EXPECT_EQ(image.width, width);
                    EXPECT_EQ(image.pixels, source.expected);
                }
    }
    // pngcheck, from the install script, agrees with the checks above on a
    // palette file (the last written) and an RGB one.
    std::vector<std::uint8_t> bgr = patternRows(3, 2);
    ASSERT_EQ(writePng(folder.file("b.png"), "", {bgr.data(), 9, 3, 2, 24}, 24, palette), ImageWriteStatus::Ok);
    EXPECT_EQ(std::system(("pngcheck -q '" + folder.file("a.png") + "' '" + folder.file("b.png") + "'").c_str()), 0);
}

// Noise packs into more than the writer's largest image data chunk: the data
// is split over several chunks, and the title stops at its first NUL.
TEST(ImageFiles, LargePngSplitsItsImageDataAndReadsBack)
{
    test::TestFolder folder("png_large");
    const int width = 1024, height = 512;
    std::vector<std::uint8_t> noise(static_cast<size_t>(width) * height * 3);
    std::uint32_t state = 12345;
    for (std::uint8_t& byte : noise) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    const std::string title("Aus\0bus", 7);
    ASSERT_EQ(writePng(folder.file("a.png"), title, {noise.data(), width * 3, width, height, 24}, 24, {}),
        ImageWriteStatus::Ok);
    PngLayout layout = checkPngFile(folder.read("a.png"));
    EXPECT_GT(std::count(layout.types.begin(), layout.types.end(), "IDAT"), 1);
    EXPECT_LE(layout.largestIdat, size_t(1) << 20);
    EXPECT_EQ(layout.text, std::string("Title\0Aus", 9));
    DecodedImage image;
    ASSERT_EQ(readPng(folder.file("a.png"), image), ImageReadStatus::Ok);
    EXPECT_EQ(image.pixels, noise);
    // The same rows once more, after a small file: the writer's kept room
    // serves files of any size in turn.
    ASSERT_EQ(writePng(folder.file("b.png"), "", {noise.data(), 3, 1, 1, 24}, 24, {}), ImageWriteStatus::Ok);
    ASSERT_EQ(
        writePng(folder.file("a.png"), "", {noise.data(), width * 3, width, height, 24}, 24, {}), ImageWriteStatus::Ok);
    ASSERT_EQ(readPng(folder.file("a.png"), image), ImageReadStatus::Ok);
    EXPECT_EQ(image.pixels, noise);
}

// A valid 8-bit BMP of 4 × 2 pixels with a two-colour table.
std::string smallBmp()
{
    std::string table = {'\x00', '\x00', '\x00', '\x00', '\x10', '\x20', '\x30', '\x00'};
    return test::bmpFile(4, 2, 8, table, std::string("\x00\x01\x01\x00\x01\x00\x00\x05", 8));
}

TEST(ImageFiles, BmpReaderRefusesBrokenAndHostileHeaders)
{
    test::TestFolder folder("bmp_hostile");
    DecodedImage image;
    ASSERT_EQ(readBmp(folder.write("ok.bmp", smallBmp()), image), ImageReadStatus::Ok);
    // The top row is stored last: indices 1, 0, 0, 5.
    EXPECT_EQ(image.row(0)[0], 0x10);
    EXPECT_EQ(image.row(1)[0], 0x00);
    EXPECT_EQ(image.row(0)[3 * 3 + 2], 0x00); // index 5 lies beyond the table: black

    struct Case {
        const char* what;
        size_t offset; // header field to change; 0 for none
        int bytes; // 2 or 4
        std::uint32_t value;
        size_t keep; // bytes of the file kept; 0 for all
        ImageReadStatus expected;
    } cases[] = {
        {"short header", 0, 0, 0, 30, ImageReadStatus::CannotRead},
        {"signature", 0, 2, 0x4142, 0, ImageReadStatus::CannotRead},
        {"100000 x 100000 pixels", 18, 4, 100000, 0, ImageReadStatus::CannotRead},
        {"100000 rows", 22, 4, 100000, 0, ImageReadStatus::CannotRead},
        {"negative width", 18, 4, static_cast<std::uint32_t>(-4), 0, ImageReadStatus::CannotRead},
        {"zero height", 22, 4, 0, 0, ImageReadStatus::CannotRead},
        {"lowest height", 22, 4, static_cast<std::uint32_t>(INT_MIN), 0, ImageReadStatus::CannotRead},
        {"4 bits", 28, 2, 4, 0, ImageReadStatus::UnsupportedDepth},
        {"32 bits", 28, 2, 32, 0, ImageReadStatus::UnsupportedDepth},
        {"run-length coding", 30, 4, 1, 0, ImageReadStatus::UnsupportedDepth},
        {"colour table past the pixels", 46, 4, 200, 0, ImageReadStatus::CannotRead},
        {"pixel data past the end", 10, 4, 0x7FFFFFF0, 0, ImageReadStatus::CannotRead},
        {"pixel data inside the header", 10, 4, 20, 0, ImageReadStatus::CannotRead},
        {"information header of 12 bytes", 14, 4, 12, 0, ImageReadStatus::CannotRead},
        {"information header past the file", 14, 4, 0xFFFFFFF0, 0, ImageReadStatus::CannotRead},
        {"truncated rows", 0, 0, 0, 54 + 8 + 5, ImageReadStatus::CannotRead},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes = smallBmp();
        if (c.bytes == 2)
            put16(bytes, c.offset, c.value);
        else if (c.bytes == 4)
            put32(bytes, c.offset, c.value);
        if (c.keep)
            bytes.resize(c.keep);
        image.pixels.assign(3, 1);
        EXPECT_EQ(readBmp(folder.write("bad.bmp", bytes), image), c.expected);
        EXPECT_TRUE(image.pixels.empty());
    }
    EXPECT_EQ(readBmp(folder.file("none.bmp"), image), ImageReadStatus::CannotRead);

    // A file as large as its header claims, beyond the pixel limit: refused
    // before any row is allocated. The file is sparse, so it costs no disk.
    std::string huge = test::bmpFile(20000, 20000, 1, std::string(8, '\0'), "");
    std::string path = folder.write("huge.bmp", huge);
    std::filesystem::resize_file(path, huge.size() + 2500ull * 20000);
    EXPECT_EQ(readBmp(path, image), ImageReadStatus::OutOfMemory);
}

TEST(ImageFiles, OneBitBmpTakesItsTwoTableColours)
{
    test::TestFolder folder("bmp_1bit");
    std::string table = {'\x01', '\x02', '\x03', '\x00', '\x0A', '\x0B', '\x0C', '\x00'};
    // 10 pixels: one row of bits 1000 0000 01.. padded to 4 bytes.
    std::string row("\x80\x40\x00\x00", 4);
    DecodedImage image;
    ASSERT_EQ(readBmp(folder.write("a.bmp", test::bmpFile(10, 1, 1, table, row)), image), ImageReadStatus::Ok);
    EXPECT_EQ(image.bitsPerPixel, 1);
    EXPECT_EQ(image.row(0)[0], 0x0A);
    EXPECT_EQ(image.row(0)[3], 0x01);
    EXPECT_EQ(image.row(0)[9 * 3 + 2], 0x0C);
}

TEST(ImageFiles, PngReaderDeliversGreyAndPaletteImagesAsBlueGreenRed)
{
    test::TestFolder folder("png_kinds");
    DecodedImage image;
    // Grey keeps its levels (it is not inverted) and is reported as 8 bits.
    std::string grey = test::pngFile(3, 1, 8, 0, std::string("\0\x00\x80\xFF", 4));
    ASSERT_EQ(readPng(folder.write("grey.png", grey), image), ImageReadStatus::Ok);
    EXPECT_EQ(image.bitsPerPixel, 8);
    EXPECT_EQ(image.pixels, (std::vector<std::uint8_t>{0, 0, 0, 0x80, 0x80, 0x80, 0xFF, 0xFF, 0xFF}));

    // A 2-bit palette image with a transparent entry: expanded, alpha dropped,
    // and not shifted down to the 5 significant bits its sBIT chunk names.
    std::string sbit = test::pngChunk("sBIT", "\x05\x05\x05");
    std::string plte = test::pngChunk("PLTE", std::string("\x10\x20\x30\x40\x50\x60", 6));
    std::string trns = test::pngChunk("tRNS", std::string("\x00", 1));
    std::string paletted = test::pngFile(2, 1, 2, 3, std::string("\0\x40", 2), sbit + plte + trns);
    ASSERT_EQ(readPng(folder.write("palette.png", paletted), image), ImageReadStatus::Ok);
    EXPECT_EQ(image.bitsPerPixel, 6);
    EXPECT_EQ(image.pixels, (std::vector<std::uint8_t>{0x60, 0x50, 0x40, 0x30, 0x20, 0x10}));
    EXPECT_EQ(image.palette.size(), 2u);

    // 16-bit RGB with alpha comes down to 8-bit blue, green, red.
    std::string rgba16 = test::pngFile(1, 1, 16, 6, std::string("\0\x12\x34\x56\x78\x9A\xBC\xFF\xFF", 9));
    ASSERT_EQ(readPng(folder.write("rgba16.png", rgba16), image), ImageReadStatus::Ok);
    EXPECT_EQ(image.bitsPerPixel, 48);
    EXPECT_EQ(image.pixels, (std::vector<std::uint8_t>{0x9A, 0x56, 0x12}));
}

TEST(ImageFiles, PngReaderRefusesBrokenAndHostileFiles)
{
    test::TestFolder folder("png_hostile");
    std::string raw;
    for (int y = 0; y < 64; ++y) {
        raw += '\0';
        for (int x = 0; x < 64 * 3; ++x)
            raw += static_cast<char>(x * y + x / 3);
    }
    std::string good = test::pngFile(64, 64, 8, 2, raw);
    DecodedImage image;
    ASSERT_EQ(readPng(folder.write("good.png", good), image), ImageReadStatus::Ok);

    std::string badSignature = good;
    badSignature[1] = 'Q';
    std::string badCrc = good;
    badCrc[30] ^= 1;
    std::string truncated = good.substr(0, good.size() - 30);
    // A header claiming 100,000 × 100,000 pixels over a few bytes of data.
    std::string claimsHuge = test::pngHeader(100000, 100000, 8, 2) + good.substr(33);
    struct Case {
        const char* what;
        std::string bytes;
        ImageReadStatus expected;
    } cases[] = {
        {"signature", badSignature, ImageReadStatus::LibraryFailed},
        {"header checksum", badCrc, ImageReadStatus::LibraryFailed},
        {"truncated data", truncated, ImageReadStatus::LibraryFailed},
        {"huge header", claimsHuge, ImageReadStatus::LibraryFailed},
        {"empty file", "", ImageReadStatus::LibraryFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(readPng(folder.write("bad.png", c.bytes), image), c.expected);
        EXPECT_TRUE(image.pixels.empty());
    }
    EXPECT_EQ(readPng(folder.file("none.png"), image), ImageReadStatus::CannotRead);

    // Data enough for its header, beyond the pixel limit (a sparse file).
    std::string huge = test::pngHeader(20000, 20000, 8, 0) + test::bigEndian32(399000) + "IDAT";
    std::string path = folder.write("huge.png", huge);
    std::filesystem::resize_file(path, 400000);
    EXPECT_EQ(readPng(path, image), ImageReadStatus::OutOfMemory);
}

} // namespace
} // namespace tavik
