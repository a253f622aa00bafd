#include "solver/reach_picture.h"

#include <cstdint>
#include <span>
#include <vector>

#include "level/cell_geometry.h"
#include "render/level_picture.h"
#include "runtime/picture.h"

namespace tessaron::solver {

namespace {

using runtime::Pixel;

constexpr int kCellPixels = level::kCellPixels / kReachScale;
// A reached cell takes three eighths of this colour over its own: a bright magenta that neither
// the water, the sky nor any element of the pictures is near, weak enough to keep the level
// readable beneath it.
constexpr Pixel kTint = runtime::MakePixel(255, 0, 200);
constexpr std::uint32_t kTintEighths = 3;
constexpr Pixel kFrame = runtime::MakePixel(255, 255, 255);

std::uint32_t Mix(std::uint32_t own, std::uint32_t tint) {
    return (own * (8 - kTintEighths) + tint * kTintEighths + 4) / 8;
}

Pixel Tinted(Pixel p) {
    return runtime::MakePixel(Mix(runtime::RedOf(p), runtime::RedOf(kTint)),
                              Mix(runtime::GreenOf(p), runtime::GreenOf(kTint)),
                              Mix(runtime::BlueOf(p), runtime::BlueOf(kTint)));
}

// Tints the rows of the reduced level picture on their way to `out`. Pixel (x, y) lies in cell
// (x / kCellPixels + 1, y / kCellPixels + 1).
class TintedRows : public runtime::PictureRows {
  public:
    TintedRows(const Reach& reach, const std::optional<Cell>& mark, runtime::PictureRows& out)
        : reach_(reach), mark_(mark), out_(out) {}

    void Row(std::span<const Pixel> pixels) override {
        row_.assign(pixels.begin(), pixels.end());
        const std::int32_t cellRow = y_ / kCellPixels + 1;
        const int inRow = y_ % kCellPixels;
        for (std::size_t x = 0; x < row_.size(); ++x) {
            const Cell cell{static_cast<std::int32_t>(x) / kCellPixels + 1, cellRow};
            const int inColumn = static_cast<int>(x) % kCellPixels;
            if (mark_ && cell == *mark_ &&
                (inRow == 0 || inRow == kCellPixels - 1 || inColumn == 0 ||
                 inColumn == kCellPixels - 1)) {
                row_[x] = kFrame;
            } else if (reach_.Reached(cell)) {
                row_[x] = Tinted(row_[x]);
            }
        }
        out_.Row(row_);
        ++y_;
    }

  private:
    const Reach& reach_;
    std::optional<Cell> mark_;
    runtime::PictureRows& out_;
    std::vector<Pixel> row_;
    int y_ = 0;
};

}  // namespace

std::string WriteReachPicture(const level::Level& level, const Reach& reach,
                              const std::optional<Cell>& mark, runtime::PlayScreen& screen,
                              const std::filesystem::path& file) {
    render::LevelPictureOptions options;
    options.grid = render::GridOverlay::Hidden;
    options.scale = kReachScale;
    const render::PictureSize size = render::LevelPictureSize(level, kReachScale);
    if (size.width == 0 || size.height == 0) {
        return "the level has no cells to draw";
    }
    runtime::PngFile png(file, size.width, size.height);
    if (!png.Problem().empty()) {
        return png.Problem();
    }
    TintedRows tinted(reach, mark, png);
    render::DrawLevelPicture(level, options, screen, tinted);
    return png.Finish() ? std::string() : png.Problem();
}

}  // namespace tessaron::solver
