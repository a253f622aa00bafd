// Pixel work of the play screen that the toolkit's painter would do more slowly: pictures whose
// pixels are either opaque or transparent, copied or mixed run by run into the 32-bit back
// buffer, and a mask of the screen's pixels that later opaque pictures cover.
//
// Every result here is the toolkit's own, bit for bit: screen_shortcuts_test draws the same
// pictures both ways over every colour and opacity and compares the pixels.
#pragma once

#include <bit>
#include <cstdint>
#include <vector>

namespace tessaron::runtime::pixels {

using Pixel = std::uint32_t;  // 0xAARRGGBB

inline constexpr int kScreenWidth = 1024;
inline constexpr int kScreenHeight = 768;

// A stretch of opaque pixels in one row of a picture.
struct OpaqueRun {
    std::int32_t start = 0;
    std::int32_t length = 0;
};

// A picture's opaque pixels as runs, row by row: those of row y are
// runs[rowRuns[y]] .. runs[rowRuns[y + 1]].
struct RunPicture {
    std::vector<OpaqueRun> runs;
    std::vector<std::int32_t> rowRuns;
    // Every pixel opaque: the picture hides whatever lies under its rectangle.
    bool solid = false;
};

// Finds the runs of a picture whose transparent pixels are 0.
RunPicture FindRuns(const Pixel* pixels, int width, int height, int stride);

// The part of a width x height picture at (x, y) that lies on the screen, as half-open ranges.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
ScreenRect ClipToScreen(int x, int y, int width, int height);

// Where a picture goes and what it is made of.
struct Placement {
    const RunPicture* runs = nullptr;
    const Pixel* pixels = nullptr;  // the picture's first row
    int stride = 0;                 // pixels from one row to the next
    int x = 0;
    int y = 0;
    ScreenRect visible;
};

// Copies the picture's opaque pixels into the screen: what drawing it over the opaque screen at
// full opacity gives.
void CopyRuns(const Placement& picture, Pixel* screen, int screenStride);

// Mixes the picture's opaque pixels into the screen at an opacity of 1 to 254 (of 255), as the
// toolkit's painter mixes an unscaled picture: each channel becomes s * a + d * (255 - a) with
// a = opacity * 255 / 256 rounded down and each product rounded as the painter rounds it.
void MixRuns(const Placement& picture, int opacity, Pixel* screen, int screenStride);

// Draws a premultiplied picture over the screen at an opacity of 1 to 255, as the painter
// does: each pixel is taken times the opacity (a = opacity * 255 / 256 rounded down below 255)
// and added to the screen's times the rest of its alpha; at full opacity a pixel of alpha 255
// replaces the screen's. The runs are those of the pixels that are not 0.
void BlendRuns(const Placement& picture, int opacity, Pixel* screen, int screenStride);

// Sets length pixels to one colour, several at a time.
void FillPixels(Pixel* target, int length, Pixel colour);

// The screen's pixels that opaque pictures cover, one bit each.
class CoverMask {
  public:
    CoverMask();
    // Uncovers every pixel.
    void Reset();
    void Cover(const ScreenRect& rect);
    bool Covers(const ScreenRect& rect) const;
    // Calls fill(x, y, length) for each run of uncovered pixels, row by row.
    template <typename Fill>
    void ForEachUncoveredRun(Fill fill) const;

  private:
    static constexpr int kWordsPerRow = kScreenWidth / 64;
    // The bits of row y's word w that lie within [left, right).
    static std::uint64_t WordMask(int word, int left, int right);

    std::vector<std::uint64_t> bits_;
    // Rows covered since the last reset: only they need clearing.
    int firstTouched_ = kScreenHeight;
    int lastTouched_ = -1;
};

template <typename Fill>
void CoverMask::ForEachUncoveredRun(Fill fill) const {
    for (int y = 0; y < kScreenHeight; ++y) {
        const std::uint64_t* row = bits_.data() + std::size_t(y) * kWordsPerRow;
        // Rows that the frame's backdrops cover wholly are the common case.
        std::uint64_t all = ~std::uint64_t(0);
        for (int word = 0; word < kWordsPerRow; ++word) all &= row[word];
        if (all == ~std::uint64_t(0))
            continue;
        int x = 0;
        while (x < kScreenWidth) {
            // Skips covered pixels, then measures the uncovered run that follows.
            const int word = x >> 6;
            const std::uint64_t uncovered = ~row[word] >> (x & 63);
            if (uncovered == 0) {
                x = (word + 1) << 6;
                continue;
            }
            x += std::countr_zero(uncovered);
            int end = x;
            while (end < kScreenWidth) {
                const int w = end >> 6;
                const std::uint64_t covered = row[w] >> (end & 63);
                if (covered == 0) {
                    end = (w + 1) << 6;
                    continue;
                }
                end += std::countr_zero(covered);
                break;
            }
            end = end < kScreenWidth ? end : kScreenWidth;
            fill(x, y, end - x);
            x = end;
        }
    }
}

}  // namespace tessaron::runtime::pixels
