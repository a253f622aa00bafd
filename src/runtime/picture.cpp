#include "runtime/picture.h"

#include <png.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "runtime/file_writer.h"

namespace tessaron::runtime {

namespace fs = std::filesystem;

// ---------------------------------------------------------------------------------------------
// ReducedRows

ReducedRows::ReducedRows(int width, int height, int factor, PictureRows& out)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      factor_(std::max(factor, 1)),
      out_(out),
      sums_(3 * static_cast<std::size_t>(ReducedSize(width_, factor_)), 0),
      reduced_(static_cast<std::size_t>(ReducedSize(width_, factor_)), 0) {}

int ReducedRows::ReducedSize(int size, int factor) {
    if (size <= 0) {
        return 0;
    }
    factor = std::max(factor, 1);
    return static_cast<int>((static_cast<std::int64_t>(size) + factor - 1) / factor);
}

void ReducedRows::Row(std::span<const Pixel> pixels) {
    if (rowsIn_ >= height_) {
        return;
    }
    const std::size_t count = std::min(pixels.size(), static_cast<std::size_t>(width_));
    for (std::size_t x = 0; x < count; ++x) {
        std::uint64_t* sum = &sums_[3 * (x / static_cast<std::size_t>(factor_))];
        sum[0] += RedOf(pixels[x]);
        sum[1] += GreenOf(pixels[x]);
        sum[2] += BlueOf(pixels[x]);
    }
    ++rowsIn_;
    ++rowsInBlock_;
    if (rowsInBlock_ == factor_ || rowsIn_ == height_) {
        HandOn();
    }
}

void ReducedRows::HandOn() {
    const std::uint64_t rows = static_cast<std::uint64_t>(rowsInBlock_);
    for (std::size_t i = 0; i < reduced_.size(); ++i) {
        // The last block of a row may be narrower than the factor.
        const std::uint64_t first = i * static_cast<std::uint64_t>(factor_);
        const std::uint64_t columns = std::min<std::uint64_t>(
            static_cast<std::uint64_t>(factor_), static_cast<std::uint64_t>(width_) - first);
        const std::uint64_t count = rows * columns;
        const auto mean = [&](std::uint64_t sum) {
            return static_cast<std::uint32_t>((sum + count / 2) / count);
        };
        reduced_[i] = MakePixel(mean(sums_[3 * i]), mean(sums_[3 * i + 1]), mean(sums_[3 * i + 2]));
    }
    std::fill(sums_.begin(), sums_.end(), 0);
    rowsInBlock_ = 0;
    out_.Row(reduced_);
}

// ---------------------------------------------------------------------------------------------
// PngFile

namespace {

// libpng reports an error by a long jump back to the call that set up its jump buffer. Every
// call into libpng goes through one of the small functions below, which hold no object with a
// destructor that the jump could skip.
void OnPngError(png_structp png, png_const_charp message) {
    auto* problem = static_cast<std::string*>(png_get_error_ptr(png));
    if (problem != nullptr && problem->empty()) {
        *problem = message != nullptr ? message : "the PNG encoder failed";
    }
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Overview pictures of the largest levels hold 160 million pixels. Tiles repeat exactly 40
// pixels apart, which the compressor finds in unfiltered rows and row filters only disturb:
// without filters, at a quick level, the largest level's picture is encoded in a quarter of the
// time the library's default filters take, and comes out smaller (15.7 against 17.2 MB).
constexpr int kCompressionLevel = 3;

// The encoder's bytes go to the file writer, which keeps the reason of a failed write; the
// encoder is told to stop with that reason.
void WriteToFile(png_structp png, png_bytep bytes, png_size_t count) {
    auto* writer = static_cast<FileWriter*>(png_get_io_ptr(png));
    if (!writer->Write(bytes, count)) {
        png_error(png, writer->Problem().c_str());
    }
}

// Whatever the encoder flushes is flushed when the file is committed.
void FlushNothing(png_structp) {}

bool WriteHeader(png_structp png, png_infop info, FileWriter& writer, int width, int height) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_write_fn(png, &writer, WriteToFile, FlushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, kCompressionLevel);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_write_info(png, info);
    return true;
}

bool WriteRow(png_structp png, png_bytep row) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_write_row(png, row);
    return true;
}

bool WriteEnd(png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_write_end(png, info);
    return true;
}

}  // namespace

struct PngFile::Impl {
    FileWriter writer;
    png_structp png = nullptr;
    png_infop info = nullptr;
    int width = 0;
    int height = 0;
    int rows = 0;
    std::string problem;
    std::vector<png_byte> bytes;

    // Releases the encoder; the file is discarded unless it took the target's place.
    void Release() {
        if (png != nullptr) {
            png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
            png = nullptr;
            info = nullptr;
        }
        writer.Discard();
    }

    // The encoder stopped: when the file was the cause, the reason is the file's.
    void EncoderFailed() {
        if (!writer.Problem().empty()) {
            problem = "cannot be written: " + writer.Problem();
        }
        Release();
    }
};

PngFile::PngFile(const fs::path& file, int width, int height) : impl_(std::make_unique<Impl>()) {
    Impl& d = *impl_;
    d.width = width;
    d.height = height;
    // The format holds sides of 1 to 2^31 - 1 pixels; a row of RGB bytes must also fit in memory.
    if (width <= 0 || height <= 0 || width > (1 << 24)) {
        d.problem = "a picture of " + std::to_string(width) + " x " + std::to_string(height) +
                    " pixels cannot be stored";
        return;
    }
    if (!d.writer.Open(file)) {
        d.problem = "cannot be created: " + d.writer.Problem();
        return;
    }
    d.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &d.problem, OnPngError, OnPngWarning);
    if (d.png != nullptr) {
        d.info = png_create_info_struct(d.png);
    }
    if (d.png == nullptr || d.info == nullptr) {
        d.problem = "the PNG encoder cannot start";
        d.Release();
        return;
    }
    d.bytes.resize(3 * static_cast<std::size_t>(width));
    if (!WriteHeader(d.png, d.info, d.writer, width, height)) {
        d.EncoderFailed();
    }
}

PngFile::~PngFile() {
    impl_->Release();
}

const std::string& PngFile::Problem() const {
    return impl_->problem;
}

void PngFile::Row(std::span<const Pixel> pixels) {
    Impl& d = *impl_;
    if (!d.problem.empty() || d.png == nullptr) {
        return;
    }
    if (pixels.size() != static_cast<std::size_t>(d.width) || d.rows >= d.height) {
        d.problem = "a row does not fit the picture";
        d.Release();
        return;
    }
    png_byte* out = d.bytes.data();
    for (const Pixel p : pixels) {
        *out++ = static_cast<png_byte>(RedOf(p));
        *out++ = static_cast<png_byte>(GreenOf(p));
        *out++ = static_cast<png_byte>(BlueOf(p));
    }
    if (!WriteRow(d.png, d.bytes.data())) {
        d.EncoderFailed();
        return;
    }
    ++d.rows;
}

bool PngFile::Finish() {
    Impl& d = *impl_;
    if (d.problem.empty() && d.png != nullptr && d.rows != d.height) {
        d.problem = "only " + std::to_string(d.rows) + " of " + std::to_string(d.height) +
                    " rows were drawn";
    }
    if (!d.problem.empty() || d.png == nullptr) {
        d.Release();
        return false;
    }
    if (!WriteEnd(d.png, d.info)) {
        d.EncoderFailed();
        return false;
    }
    png_destroy_write_struct(&d.png, &d.info);
    d.png = nullptr;
    d.info = nullptr;
    if (!d.writer.Commit()) {
        d.problem = "cannot be written: " + d.writer.Problem();
        return false;
    }
    return true;
}

}  // namespace tessaron::runtime
