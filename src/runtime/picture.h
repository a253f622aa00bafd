// Pictures handed on row by row. A level's overview can be far larger than memory should hold at
// once (12 000 x 13 320 pixels for the largest level), so it is drawn in bands and every row goes
// straight on to its reduction and its file. Nothing here depends on a toolkit.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tessaron::runtime {

// One pixel as 0xRRGGBB (the top byte is 0).
using Pixel = std::uint32_t;

constexpr Pixel MakePixel(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    return (red << 16) | (green << 8) | blue;
}
constexpr std::uint32_t RedOf(Pixel p) {
    return (p >> 16) & 0xFFu;
}
constexpr std::uint32_t GreenOf(Pixel p) {
    return (p >> 8) & 0xFFu;
}
constexpr std::uint32_t BlueOf(Pixel p) {
    return p & 0xFFu;
}

// Receives a picture's rows from top to bottom, each as wide as the picture.
class PictureRows {
  public:
    virtual ~PictureRows() = default;
    virtual void Row(std::span<const Pixel> pixels) = 0;
};

// Reduces a picture by a whole factor on its way to `out`: every block of factor x factor pixels
// becomes one pixel of the blocks' mean colour, rounded to the nearest value. Blocks cut by the
// right or bottom edge average the pixels they hold, so no pixel of the picture is lost. The
// reduced row is handed on when the last row of its block arrives.
class ReducedRows : public PictureRows {
  public:
    // width x height is the size of the incoming picture; factor is at least 1.
    ReducedRows(int width, int height, int factor, PictureRows& out);

    // The reduced length of a side: the side divided by the factor, rounded up.
    static int ReducedSize(int size, int factor);

    void Row(std::span<const Pixel> pixels) override;

  private:
    void HandOn();

    int width_;
    int height_;
    int factor_;
    PictureRows& out_;
    int rowsIn_ = 0;
    int rowsInBlock_ = 0;
    // Per reduced pixel: the sums of red, green and blue, one after another.
    std::vector<std::uint64_t> sums_;
    std::vector<Pixel> reduced_;
};

// A PNG file (8-bit RGB) written row by row through the file writer (file_writer.h): it takes
// the target's place only when Finish finds every row stored, flushed and closed, so a failed or
// abandoned picture leaves no half-written file and keeps an earlier file of that name.
class PngFile : public PictureRows {
  public:
    PngFile(const std::filesystem::path& file, int width, int height);
    ~PngFile() override;
    PngFile(const PngFile&) = delete;
    PngFile& operator=(const PngFile&) = delete;

    // Empty while all is well; otherwise why the file cannot be written. Rows after a failure
    // are ignored.
    const std::string& Problem() const;

    // Takes the next row; a row of another width is a failure.
    void Row(std::span<const Pixel> pixels) override;

    // Ends the file: true when all height rows are stored under the target's name.
    bool Finish();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tessaron::runtime
