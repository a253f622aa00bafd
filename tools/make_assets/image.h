// A small true-colour picture and the file formats the game reads: 24-bit Windows bitmaps and
// 16-bit PCM wave files. No toolkit: the generator must build and run anywhere.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessaron::assets {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// Black is the transparent colour of every sprite; no visible pixel may use it.
inline constexpr Rgb kClear{0, 0, 0};

class Image {
  public:
    Image(int width, int height, Rgb fill = kClear);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    // Reading outside the picture gives the transparent colour; writing outside is ignored.
    Rgb At(int x, int y) const;
    void Set(int x, int y, Rgb colour);
    bool IsClear(int x, int y) const { return At(x, y) == kClear; }
    void FillRect(int x, int y, int width, int height, Rgb colour);

  private:
    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};

// A Windows bitmap file (BITMAPFILEHEADER + BITMAPINFOHEADER, 24 bits, bottom-up rows padded
// to four bytes).
std::vector<std::uint8_t> EncodeBmp(const Image& image);

// A RIFF/WAVE file holding 16-bit PCM samples, the channels side by side.
std::vector<std::uint8_t> EncodeWav(const std::vector<std::int16_t>& samples, int sampleRate,
                                    int channels = 1);

// Writes bytes to a file; false when it cannot be created or written completely.
bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace tessaron::assets
