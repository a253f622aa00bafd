// The program's icon: PNG files that any reader takes (chunks, checksums, the packed pixels),
// and the ball on clear ground with soft edges at every size.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "icon.h"

namespace tessaron::assets_test {
namespace {

std::uint32_t BigEndian(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return std::uint32_t(bytes[at]) << 24 | std::uint32_t(bytes[at + 1]) << 16 |
           std::uint32_t(bytes[at + 2]) << 8 | std::uint32_t(bytes[at + 3]);
}

TEST(Icon, PngChunksAreIntactAndUnpackToThePixels) {
    assets::RgbaImage image{3, 2, {}};
    for (int i = 0; i < 3 * 2 * 4; ++i) {
        image.pixels.push_back(std::uint8_t(i * 10));
    }
    const std::vector<std::uint8_t> png = assets::EncodePng(image);
    ASSERT_GE(png.size(), 8u);
    EXPECT_EQ(std::vector<std::uint8_t>(png.begin(), png.begin() + 8),
              (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));

    std::vector<std::string> types;
    std::vector<std::uint8_t> header, packed;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::uint32_t length = BigEndian(png, at);
        ASSERT_LE(at + 12 + length, png.size());
        const std::string type(png.begin() + std::ptrdiff_t(at + 4), png.begin() + std::ptrdiff_t(at + 8));
        const std::vector<std::uint8_t> data(png.begin() + std::ptrdiff_t(at + 8),
                                             png.begin() + std::ptrdiff_t(at + 8 + length));
        EXPECT_EQ(BigEndian(png, at + 8 + length), crc32(0, &png[at + 4], uInt(length + 4))) << type;
        types.push_back(type);
        (type == "IHDR" ? header : packed).insert((type == "IHDR" ? header : packed).end(),
                                                  data.begin(), data.end());
        at += 12 + length;
    }
    EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    ASSERT_EQ(header.size(), 13u);
    EXPECT_EQ(BigEndian(header, 0), 3u);
    EXPECT_EQ(BigEndian(header, 4), 2u);
    EXPECT_EQ(std::vector<std::uint8_t>(header.begin() + 8, header.end()),
              (std::vector<std::uint8_t>{8, 6, 0, 0, 0}));

    // Each row: filter type 0, then its pixels as they are.
    std::vector<std::uint8_t> rows(2 * (1 + 3 * 4) + 1);
    uLongf size = uLongf(rows.size());
    ASSERT_EQ(uncompress(rows.data(), &size, packed.data(), uLong(packed.size())), Z_OK);
    rows.resize(size);
    std::vector<std::uint8_t> expected = {0};
    expected.insert(expected.end(), image.pixels.begin(), image.pixels.begin() + 12);
    expected.push_back(0);
    expected.insert(expected.end(), image.pixels.begin() + 12, image.pixels.end());
    EXPECT_EQ(rows, expected);
}

class IconSizes : public ::testing::TestWithParam<int> {};

TEST_P(IconSizes, BallOnClearGroundWithSoftEdges) {
    const int size = GetParam();
    const assets::RgbaImage icon = assets::PaintIcon(size);
    ASSERT_EQ(icon.pixels.size(), std::size_t(size * size * 4));
    const auto alpha = [&](int x, int y) { return icon.pixels[std::size_t((y * size + x) * 4 + 3)]; };
    EXPECT_EQ(alpha(0, 0), 0);
    EXPECT_EQ(alpha(size - 1, size - 1), 0);
    EXPECT_EQ(alpha(size / 2, size / 2), 255);
    // The ball is 58 of the icon's 64 units across, and its rim is partly covered all round.
    int solid = 0, soft = 0;
    for (int x = 0; x < size; ++x) {
        solid += alpha(x, size / 2) == 255 ? 1 : 0;
        for (int y = 0; y < size; ++y) {
            soft += alpha(x, y) > 0 && alpha(x, y) < 255 ? 1 : 0;
        }
    }
    EXPECT_NEAR(solid, size * 58 / 64, 2);
    EXPECT_GE(soft, 2 * size);
    // The white cap in the middle.
    const std::uint8_t* centre = &icon.pixels[std::size_t((size / 2 * size + size / 2) * 4)];
    EXPECT_GT(centre[0], 200);
    EXPECT_GT(centre[1], 200);
    EXPECT_GT(centre[2], 200);
}

INSTANTIATE_TEST_SUITE_P(All, IconSizes, ::testing::ValuesIn(assets::kIconSizes));

}  // namespace
}  // namespace tessaron::assets_test
