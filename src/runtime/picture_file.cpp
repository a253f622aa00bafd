// Reading a picture file: only a regular file, only an uncompressed Windows bitmap of sane size
// that holds every pixel it announces, so that the same file always gives the same picture.
#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/files.h"
#include "runtime/qt_internal.h"

namespace tessaron::runtime {

namespace {

// The largest file a picture of the largest size can need: four bytes a pixel, a header and a
// palette.
constexpr std::int64_t kLargestPictureFile =
    std::int64_t{kLargestPictureSide} * kLargestPictureSide * 4 + (1 << 16);

// The bitmap layouts whose pixel rows have a fixed length. The run-length compressed ones are
// refused: the toolkit's decoder leaves the pixels that a cut-off or skipping run never
// reaches as it found the memory, so the same file would not always give the same picture.
constexpr std::uint32_t kUncompressed = 0;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;

std::uint32_t Unsigned(const std::vector<std::uint8_t>& bytes, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) {
        value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
    }
    return value;
}

// Why the bytes are no bitmap that can be shown the same way every time, or empty when they
// are one: the header must be whole, the size within bounds, the rows uncompressed and all of
// them in the file (a decoder would make up the pixels of a cut-off file).
std::string BitmapProblem(const std::vector<std::uint8_t>& bytes) {
    constexpr const char* kNoBitmap = "kein BMP-Bild";
    if (bytes.size() < 26 || bytes[0] != 'B' || bytes[1] != 'M') {
        return kNoBitmap;
    }
    const std::uint32_t pixelsAt = Unsigned(bytes, 10, 4);
    const std::uint32_t headerSize = Unsigned(bytes, 14, 4);
    std::int64_t width = 0, height = 0;
    std::uint32_t bitsPerPixel = 0, compression = kUncompressed;
    if (headerSize == 12) {
        width = Unsigned(bytes, 18, 2);
        height = Unsigned(bytes, 20, 2);
        bitsPerPixel = Unsigned(bytes, 24, 2);
    } else if (headerSize >= 40 && bytes.size() >= 14 + 40) {
        width = static_cast<std::int32_t>(Unsigned(bytes, 18, 4));
        height = static_cast<std::int32_t>(Unsigned(bytes, 22, 4));
        bitsPerPixel = Unsigned(bytes, 28, 2);
        compression = Unsigned(bytes, 30, 4);
    } else {
        return kNoBitmap;
    }
    height = height < 0 ? -height : height;  // negative: rows stored from the top
    if (width <= 0 || height <= 0 || bitsPerPixel == 0 || bitsPerPixel > 32) {
        return kNoBitmap;
    }
    if (width > kLargestPictureSide || height > kLargestPictureSide) {
        return "größer als " + std::to_string(kLargestPictureSide) + " × " +
               std::to_string(kLargestPictureSide) + " Bildpunkte (" + std::to_string(width) +
               " × " + std::to_string(height) + ")";
    }
    if (compression != kUncompressed && compression != kBitFields &&
        compression != kAlphaBitFields) {
        return "komprimiertes BMP-Bild";
    }
    const std::int64_t rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
    const std::int64_t needed = std::int64_t{pixelsAt} + rowBytes * height;
    if (static_cast<std::int64_t>(bytes.size()) < needed) {
        return "abgeschnitten (" + std::to_string(bytes.size()) + " von " + std::to_string(needed) +
               " Bytes)";
    }
    return {};
}

}  // namespace

bool ReadPicture(const std::filesystem::path& file, QImage& picture, std::string& problem) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(file, kLargestPictureFile, bytes, problem)) {
        return false;
    }
    problem = BitmapProblem(bytes);
    if (!problem.empty()) {
        return false;
    }
    // The file's bytes are decoded from memory: the path never passes through the toolkit's
    // text, so a name that is not valid UTF-8 loads as any other.
    if (!picture.loadFromData(bytes.data(), static_cast<int>(bytes.size()), "BMP") ||
        picture.isNull()) {
        problem = "kein lesbares BMP-Bild";
        return false;
    }
    return true;
}

}  // namespace tessaron::runtime
