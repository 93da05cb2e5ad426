#include "tools/norbek/media_source.h"

#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace tavik {
namespace {

TEST(NorbekMedia, SourcesResolveNameByNameBelowTheOutputFolder)
{
    test::TestFolder folder("norbek_media");
    folder.write("out/maps/Aus_bus.png", "png");
    folder.write("out/maps/Aus bus.bmp/x", "a folder named like an image");
    std::string out = folder.path() + "/out/";
    std::FILE* report = std::tmpfile();
    ASSERT_NE(report, nullptr);
    MediaSource media(out, report);
    std::vector<std::string> candidates{"Aus bus", "Aus_bus", "Aus-bus", "12"};

    EXPECT_EQ(media.resolve("maps\\*.png", candidates), "maps/Aus_bus.png");
    EXPECT_EQ(media.resolve("./maps/../maps/*.png", candidates), "./maps/../maps/Aus_bus.png");
    EXPECT_EQ(media.resolve("maps/*.bmp", {"Aus bus"}), std::nullopt);
    EXPECT_EQ(media.resolve("none/*.png", {"Aus bus", "12"}), std::nullopt);
    std::rewind(report);
    char buffer[1024] = {};
    std::string printed(buffer, std::fread(buffer, 1, sizeof buffer - 1, report));
    std::fclose(report);
    EXPECT_EQ(
        printed, out + "maps/Aus bus.bmp  ファイルではありません. 読めません.\n" + out + "none  見つかりません\n");

    EXPECT_EQ(mediaTypeOf("a/B.JPG").type, "image/jpeg");
    EXPECT_EQ(mediaTypeOf("song.Mid").type, "audio/x-midi");
    EXPECT_EQ(mediaTypeOf("x.mov").kind, MediaType::Object);
    EXPECT_EQ(mediaTypeOf("notes.d/readme").kind, MediaType::Text);
}

} // namespace
} // namespace tavik
