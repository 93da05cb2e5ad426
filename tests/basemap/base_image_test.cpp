#include "viewer/basemap/base_image.h"

#include "platform/message_sink.h"
#include "tests/basemap/image_bytes.h"
#include "tests/support/test_folder.h"
#include "viewer/basemap/pixel_rows.h"
#include "viewer/settings/settings.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tavik {
namespace {

// An 8-bit BMP of 2 × 2 pixels: top row indices 0, 1; bottom row 1, 2.
std::string paletteBmp()
{
    std::string table
        = {'\x00', '\x00', '\xFF', '\x00', '\x00', '\xFF', '\x00', '\x00', '\xFF', '\x00', '\x00', '\x00'};
    return test::bmpFile(2, 2, 8, table, std::string("\x01\x02\x00\x00\x00\x01\x00\x00", 8));
}

class BaseImageTest : public ::testing::Test {
protected:
    BaseImageTest()
        : folder("base_image")
    {
        settings.startupDirectory = folder.path();
    }

    bool load(const std::string& blankMap)
    {
        log.messages.clear();
        settings.blankMap = blankMap;
        return loadBaseImage(settings, base, log);
    }
    std::string message() const { return log.messages.size() == 1 ? log.utf8Texts()[0] : "(no single message)"; }

    test::TestFolder folder;
    Settings settings;
    BaseImage base;
    MessageLog log;
};

TEST_F(BaseImageTest, LoadsAnEightBitFileWithItsPaletteFromTheStartupDirectory)
{
    folder.write("maps/base.BMP", paletteBmp());
    ASSERT_TRUE(load(".\\maps\\base.BMP")) << message();
    EXPECT_EQ(base.sourceDepth, 8);
    ASSERT_EQ(base.palette.size(), 3u);
    EXPECT_EQ(base.palette[1], (Colour{0, 255, 0}));
    EXPECT_EQ(base.image.format(), QImage::Format_RGB32);
    EXPECT_EQ(base.image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(base.image.pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(base.image.pixel(1, 1), qRgb(0, 0, 255));
}

TEST_F(BaseImageTest, ConvertColorChangesExactlyTheFirstColour)
{
    QImage map(3, 1, QImage::Format_BGR888);
    map.setPixelColor(0, 0, QColor(255, 255, 255));
    map.setPixelColor(1, 0, QColor(255, 255, 254));
    map.setPixelColor(2, 0, QColor(255, 255, 255));
    ASSERT_EQ(writePng(folder.file("base.png"), "", pixelRows(map), 24, {}), ImageWriteStatus::Ok);
    settings.convertColor = std::array<Colour, 2>{Colour{255, 255, 255}, Colour{200, 220, 240}};
    ASSERT_TRUE(load("base.png")) << message();
    EXPECT_EQ(base.sourceDepth, 24);
    EXPECT_EQ(base.palette, standardPalette());
    EXPECT_EQ(base.image.pixel(0, 0), qRgb(200, 220, 240));
    EXPECT_EQ(base.image.pixel(1, 0), qRgb(255, 255, 254));
    EXPECT_EQ(base.image.pixel(2, 0), qRgb(200, 220, 240));

    QImage before = base.image;
    convertColor(base, {200, 220, 240}, {200, 220, 240});
    EXPECT_EQ(base.image, before);
}

TEST_F(BaseImageTest, AnInterlacedPngLoadsAsItsPlainTwin)
{
    // 13 × 11 pixels, so that the Adam7 passes end on partial rows and
    // columns: 8-bit palette indices, then 24-bit colours.
    const std::uint32_t width = 13, height = 11;
    std::string palette;
    for (int i = 0; i < 16; ++i)
        palette += {static_cast<char>(16 * i), static_cast<char>(255 - 16 * i), static_cast<char>(i * 7)};
    for (size_t bytesPerPixel : {1, 3}) {
        SCOPED_TRACE(bytesPerPixel);
        std::vector<std::string> rows;
        std::string plain;
        for (std::uint32_t y = 0; y < height; ++y) {
            std::string row;
            for (std::uint32_t x = 0; x < width * bytesPerPixel; ++x)
                row += static_cast<char>((x * 3 + y * 5) % 16);
            rows.push_back(row);
            plain += '\0' + row;
        }
        const int colourType = bytesPerPixel == 1 ? 3 : 2;
        const std::string plte = bytesPerPixel == 1 ? test::pngChunk("PLTE", palette) : "";
        const std::string interlaced = test::adam7Data(width, height, bytesPerPixel, rows);
        folder.write("plain.png", test::pngFile(width, height, 8, colourType, plain, plte));
        folder.write("interlaced.png", test::pngFile(width, height, 8, colourType, interlaced, plte, true));

        ASSERT_TRUE(load("plain.png")) << message();
        const BaseImage twin = base;
        ASSERT_TRUE(load("interlaced.png")) << message();
        EXPECT_EQ(base.palette, twin.palette);
        EXPECT_EQ(base.image, twin.image);
        EXPECT_NE(base.image.pixel(12, 10), base.image.pixel(11, 10));
    }
}

TEST_F(BaseImageTest, EachFailureShowsItsMessageAndKeepsTheImage)
{
    folder.write("base.bmp", paletteBmp());
    ASSERT_TRUE(load("base.bmp"));
    const QImage loaded = base.image;

    std::string table(8, '\0');
    folder.write("mixed.Png", "");
    folder.write("map.jpg", "");
    folder.write("one.bmp", test::bmpFile(8, 1, 1, table, std::string(4, '\0')));
    folder.write("four.bmp", test::bmpFile(8, 1, 4, table, std::string(4, '\0')));
    folder.write("rgba.bmp", test::bmpFile(1, 1, 32, "", std::string(4, '\0')));
    folder.write("short.bmp", paletteBmp().substr(0, 60));
    folder.write("text.png", "not a picture");
    std::string huge = test::bmpFile(20000, 20000, 1, table, "");
    std::filesystem::resize_file(folder.write("huge.bmp", huge), huge.size() + 2500ull * 20000);

    const std::string dir = folder.path();
    const std::string readable = "が読めません。\n\nファイルの属性や内容を確認して下さい。";
    struct Case {
        std::string blankMap, message;
    } cases[] = {
        {"none.png",
            "地図画像(" + dir
                + "/none.png)がありません。\n\n設定情報 ( tavik.ini ) には８ビット形式か"
                  "２４ビット形式の PNG, BMP ファイルを指定して下さい。"},
        {"C:\\maps\\base.bmp",
            "地図画像(C:\\maps\\base.bmp)がありません。\n\n設定情報 ( tavik.ini ) には"
            "８ビット形式か２４ビット形式の PNG, BMP ファイルを指定して下さい。"},
        {"mixed.Png",
            "地図画像(" + dir
                + "/mixed.Png)の形式が違います。\n\n設定情報 ( tavik.ini ) には PNG , BMP "
                  "いずれかの形式のファイルを指定して下さい。"},
        {"map.jpg",
            "地図画像(" + dir
                + "/map.jpg)の形式が違います。\n\n設定情報 ( tavik.ini ) には PNG , BMP "
                  "いずれかの形式のファイルを指定して下さい。"},
        {"one.bmp",
            "地図画像(" + dir
                + "/one.bmp)が読めません。\n\n設定情報 ( tavik.ini ) には８ビット形式か"
                  "２４ビット形式のPNG,BMPファイルを指定して下さい。"},
        {"four.bmp",
            "地図画像(" + dir
                + "/four.bmp)の色モードはサポートしていません。\n\n設定情報 ( tavik.ini ) "
                  "には８ビット形式か２４ビット形式のPNG,BMPファイルを指定して下さい。"},
        {"rgba.bmp",
            "地図画像(" + dir
                + "/rgba.bmp)の色モードはサポートしていません。\n\n設定情報 ( tavik.ini ) "
                  "には８ビット形式か２４ビット形式のPNG,BMPファイルを指定して下さい。"},
        {"short.bmp", "地図画像(" + dir + "/short.bmp)" + readable},
        {"text.png", "地図画像(" + dir + "/text.png)" + readable},
        {"huge.bmp", "メモリが足りません。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.blankMap);
        EXPECT_FALSE(load(c.blankMap));
        EXPECT_EQ(message(), c.message);
        EXPECT_EQ(base.image, loaded);
        EXPECT_EQ(base.sourceDepth, 8);
    }
}

} // namespace
} // namespace tavik
