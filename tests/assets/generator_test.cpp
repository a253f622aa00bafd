// The committed pictures and sound are exactly what the generator paints: a changed painter
// whose output was not regenerated (or a generator that is not deterministic) fails here.
#include <gtest/gtest.h>

#include <string>

#include "asset_files.h"
#include "chime.h"
#include "image.h"
#include "pictures.h"

namespace tessaron::assets_test {
namespace {

TEST(Generator, CommittedFilesMatchWhatTheGeneratorPaints) {
    const std::string data = TESSARON_ASSET_SOURCE_DIR;
    const auto pictures = assets::PaintAllPictures();
    EXPECT_EQ(pictures.size(), 31u);
    for (const auto& picture : pictures) {
        EXPECT_EQ(ReadBytes(data + "/BMP/" + picture.file), assets::EncodeBmp(picture.image))
            << picture.file
            << " differs from the generator's output; run tessaron_regenerate_assets";
    }
    EXPECT_EQ(ReadBytes(data + "/WAV/Punkte.wav"),
              assets::EncodeWav(assets::SynthesiseChime(), assets::kChimeSampleRate));
}

TEST(Generator, BitmapEncodingRoundTripsThroughTheReader) {
    // Odd width: rows are padded to four bytes.
    assets::Image image(3, 2);
    image.Set(0, 0, {10, 20, 30});
    image.Set(2, 1, {200, 100, 50});
    const std::string path = std::string(TESSARON_BINARY_DIR) + "/tests/roundtrip.bmp";
    ASSERT_TRUE(assets::WriteFile(path, assets::EncodeBmp(image)));
    const auto bitmap = ReadBmp(path);
    ASSERT_TRUE(bitmap.has_value());
    EXPECT_EQ(bitmap->width, 3);
    EXPECT_EQ(bitmap->height, 2);
    EXPECT_EQ(bitmap->At(0, 0), (Pixel{10, 20, 30}));
    EXPECT_EQ(bitmap->At(2, 1), (Pixel{200, 100, 50}));
    EXPECT_TRUE(bitmap->At(1, 0).Clear());
}

}  // namespace
}  // namespace tessaron::assets_test
