#include "image.h"

#include <fstream>

namespace tessaron::assets {

Image::Image(int width, int height, Rgb fill)
    : width_(width > 0 ? width : 0),
      height_(height > 0 ? height : 0),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill) {}

Rgb Image::At(int x, int y) const {
    if (!Contains(x, y)) {
        return kClear;
    }
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                   static_cast<std::size_t>(x)];
}

void Image::Set(int x, int y, Rgb colour) {
    if (Contains(x, y)) {
        pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                static_cast<std::size_t>(x)] = colour;
    }
}

void Image::FillRect(int x, int y, int width, int height, Rgb colour) {
    for (int row = y; row < y + height; ++row) {
        for (int column = x; column < x + width; ++column) {
            Set(column, row, colour);
        }
    }
}

namespace {

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

void PutTag(std::vector<std::uint8_t>& out, const char (&tag)[5]) {
    // Byte by byte: a range insert here makes GCC 12 warn of an overflow that cannot happen.
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(tag[i]));
    }
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp(const Image& image) {
    constexpr std::uint32_t kHeaderBytes = 14 + 40;
    const std::uint32_t width = static_cast<std::uint32_t>(image.Width());
    const std::uint32_t height = static_cast<std::uint32_t>(image.Height());
    const std::uint32_t stride = (width * 3 + 3) / 4 * 4;
    const std::uint32_t dataBytes = stride * height;

    std::vector<std::uint8_t> out;
    out.reserve(kHeaderBytes + dataBytes);
    // BITMAPFILEHEADER
    out.push_back('B');
    out.push_back('M');
    PutU32(out, kHeaderBytes + dataBytes);
    PutU32(out, 0);
    PutU32(out, kHeaderBytes);
    // BITMAPINFOHEADER: positive height means the rows are stored bottom-up.
    PutU32(out, 40);
    PutU32(out, width);
    PutU32(out, height);
    PutU16(out, 1);   // planes
    PutU16(out, 24);  // bits per pixel
    PutU32(out, 0);   // BI_RGB, uncompressed
    PutU32(out, dataBytes);
    PutU32(out, 2835);  // 72 dpi
    PutU32(out, 2835);
    PutU32(out, 0);
    PutU32(out, 0);
    for (int y = image.Height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.Width(); ++x) {
            const Rgb c = image.At(x, y);
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
        for (std::uint32_t pad = width * 3; pad < stride; ++pad) {
            out.push_back(0);
        }
    }
    return out;
}

std::vector<std::uint8_t> EncodeWav(const std::vector<std::int16_t>& samples, int sampleRate,
                                    int channels) {
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    const std::uint32_t rate = static_cast<std::uint32_t>(sampleRate);
    const std::uint16_t frameBytes = static_cast<std::uint16_t>(2 * channels);
    std::vector<std::uint8_t> out;
    out.reserve(44 + dataBytes);
    PutTag(out, "RIFF");
    PutU32(out, 36 + dataBytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutU32(out, 16);
    PutU16(out, 1);  // PCM
    PutU16(out, static_cast<std::uint16_t>(channels));
    PutU32(out, rate);
    PutU32(out, rate * frameBytes);  // bytes per second
    PutU16(out, frameBytes);
    PutU16(out, 16);  // bits per sample
    PutTag(out, "data");
    PutU32(out, dataBytes);
    for (std::int16_t sample : samples) {
        PutU16(out, static_cast<std::uint16_t>(sample));
    }
    return out;
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) {
        return false;
    }
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace tessaron::assets
