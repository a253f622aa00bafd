#include "runtime/screen_pixels.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tessaron::runtime::pixels {

RunPicture FindRuns(const Pixel* pixels, int width, int height, int stride) {
    RunPicture picture;
    picture.solid = width > 0 && height > 0;
    picture.rowRuns.reserve(std::size_t(height) + 1);
    picture.rowRuns.push_back(0);
    for (int y = 0; y < height; ++y) {
        const Pixel* row = pixels + std::ptrdiff_t(y) * stride;
        for (int x = 0; x < width;) {
            if (row[x] == 0) {
                picture.solid = false;
                ++x;
                continue;
            }
            OpaqueRun run{x, 0};
            while (x < width && row[x] != 0) {
                ++x;
            }
            run.length = x - run.start;
            picture.runs.push_back(run);
        }
        picture.rowRuns.push_back(std::int32_t(picture.runs.size()));
    }
    return picture;
}

ScreenRect ClipToScreen(int x, int y, int width, int height) {
    // Wide sums: a picture may be placed anywhere the program computes.
    const auto clamp = [](std::int64_t v, int limit) {
        return int(std::clamp<std::int64_t>(v, 0, limit));
    };
    return {clamp(x, kScreenWidth), clamp(y, kScreenHeight),
            clamp(std::int64_t(x) + width, kScreenWidth),
            clamp(std::int64_t(y) + height, kScreenHeight)};
}

namespace {

// The screen's rows lie a page apart, so drawing a picture's rows one after the other defeats
// the processor's own look-ahead: each row asks for the pixels of a row some rows further down,
// which are then on their way while this one is drawn.
constexpr int kRowsAhead = 4;

inline void FetchRowAhead(const Pixel* row, int width) {
    const char* from = reinterpret_cast<const char*>(row);
    const char* to = from + std::ptrdiff_t(width) * std::ptrdiff_t(sizeof(Pixel));
    for (const char* line = from; line < to; line += 64) {
        __builtin_prefetch(line, 1);
    }
    __builtin_prefetch(to - 1, 1);
}

// Calls put(target, source, length) for every visible stretch of the picture's opaque runs.
template <typename Put>
void ForEachVisibleRun(const Placement& p, Pixel* screen, int screenStride, Put put) {
    const RunPicture& picture = *p.runs;
    // The visible part in the picture's own columns.
    const int left = p.visible.left - p.x;
    const int right = p.visible.right - p.x;
    for (int y = p.visible.top; y < p.visible.bottom; ++y) {
        if (y + kRowsAhead < p.visible.bottom) {
            FetchRowAhead(screen + std::ptrdiff_t(y + kRowsAhead) * screenStride + p.visible.left,
                          p.visible.right - p.visible.left);
        }
        const int row = y - p.y;
        Pixel* target = screen + std::ptrdiff_t(y) * screenStride + p.x;
        const Pixel* source = p.pixels + std::ptrdiff_t(row) * p.stride;
        const OpaqueRun* run = picture.runs.data() + picture.rowRuns[std::size_t(row)];
        const OpaqueRun* end = picture.runs.data() + picture.rowRuns[std::size_t(row) + 1];
        for (; run != end; ++run) {
            const int from = std::max(run->start, left);
            const int to = std::min(run->start + run->length, right);
            if (from < to) {
                put(target + from, source + from, to - from);
            }
        }
    }
}

// Each channel of x times a / 255, rounded as the painter rounds it; a is 0..255.
inline Pixel ByteMul(Pixel x, std::uint32_t a) {
    std::uint32_t redBlue = (x & 0xff00ffu) * a;
    redBlue = ((redBlue + ((redBlue >> 8) & 0xff00ffu) + 0x800080u) >> 8) & 0xff00ffu;
    std::uint32_t alphaGreen = ((x >> 8) & 0xff00ffu) * a;
    alphaGreen = (alphaGreen + ((alphaGreen >> 8) & 0xff00ffu) + 0x800080u) & 0xff00ff00u;
    return alphaGreen | redBlue;
}

}  // namespace

void CopyRuns(const Placement& picture, Pixel* screen, int screenStride) {
    if (picture.runs->solid) {
        // One run a row, the whole row: copied row by row without looking at the runs. Whole
        // cells, the common case, are copied with a length known here, which the compiler
        // turns into a few moves instead of a call.
        const ScreenRect& v = picture.visible;
        const int width = v.right - v.left;
        Pixel* target = screen + std::ptrdiff_t(v.top) * screenStride + v.left;
        const Pixel* source = picture.pixels + std::ptrdiff_t(v.top - picture.y) * picture.stride +
                              (v.left - picture.x);
        constexpr int kCell = 40;
        if (width == kCell) {
            for (int y = v.top; y < v.bottom;
                 ++y, target += screenStride, source += picture.stride) {
                if (y + kRowsAhead < v.bottom) {
                    FetchRowAhead(target + std::ptrdiff_t(kRowsAhead) * screenStride, kCell);
                }
                std::memcpy(target, source, kCell * sizeof(Pixel));
            }
        } else {
            for (int y = v.top; y < v.bottom;
                 ++y, target += screenStride, source += picture.stride) {
                std::memcpy(target, source, std::size_t(width) * sizeof(Pixel));
            }
        }
        return;
    }
    ForEachVisibleRun(picture, screen, screenStride,
                      [](Pixel* target, const Pixel* source, int length) {
                          // A call costs more than a short copy: the editor's grid is made of
                          // runs of a pixel or two.
                          if (length >= 16) {
                              std::memcpy(target, source, std::size_t(length) * sizeof(Pixel));
                          } else {
                              for (int i = 0; i < length; ++i) target[i] = source[i];
                          }
                      });
}

void MixRuns(const Placement& picture, int opacity, Pixel* screen, int screenStride) {
    const std::uint32_t alpha = std::uint32_t(opacity) * 255u >> 8;
    // An opaque source pixel times the opacity has that alpha, so the screen keeps the rest. The
    // two products of a channel never sum beyond 255, so no channel carries into the next.
    const std::uint32_t rest = 255u - alpha;
    ForEachVisibleRun(picture, screen, screenStride,
                      [alpha, rest](Pixel* target, const Pixel* source, int length) {
                          for (int i = 0; i < length; ++i) {
                              target[i] = ByteMul(source[i], alpha) + ByteMul(target[i], rest);
                          }
                      });
}

namespace {

// Source over for a run: each source pixel, first taken times alpha when alpha is below 255,
// is added to the target's taken times the rest of its own alpha. At full alpha this is also
// what the painter's copy of opaque pixels and skip of transparent ones gives: a pixel times
// 255 is itself and times 0 is 0, as ByteMul rounds.
void SourceOver(Pixel* target, const Pixel* source, int length, std::uint32_t alpha) {
    int i = 0;
#if defined(__SSE2__)
    // Four pixels at a time, each channel in a 16-bit lane: the same products and rounding.
    const __m128i lowBytes = _mm_set1_epi16(0x00ff);
    const __m128i half = _mm_set1_epi16(0x0080);
    const __m128i alphaLanes = _mm_set1_epi16(static_cast<short>(alpha));
    const auto byteMul = [&](__m128i x, __m128i a) {
        __m128i redBlue = _mm_mullo_epi16(_mm_and_si128(x, lowBytes), a);
        __m128i alphaGreen = _mm_mullo_epi16(_mm_srli_epi16(x, 8), a);
        redBlue = _mm_srli_epi16(
            _mm_add_epi16(redBlue, _mm_add_epi16(_mm_srli_epi16(redBlue, 8), half)), 8);
        alphaGreen = _mm_andnot_si128(
            lowBytes,
            _mm_add_epi16(alphaGreen, _mm_add_epi16(_mm_srli_epi16(alphaGreen, 8), half)));
        return _mm_or_si128(redBlue, alphaGreen);
    };
    const __m128i opaqueAlpha = _mm_set1_epi32(255);
    for (; i + 4 <= length; i += 4) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i));
        if (alpha < 255) {
            s = byteMul(s, alphaLanes);
        } else if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_srli_epi32(s, 24), opaqueAlpha)) ==
                   0xffff) {
            // Four opaque pixels: the target times 0 is 0, so they replace it (the inside of
            // a filtered picture, most of its pixels).
            _mm_storeu_si128(reinterpret_cast<__m128i*>(target + i), s);
            continue;
        }
        // Each pixel's 255 - alpha in both 16-bit halves of its 32 bits.
        const __m128i sourceAlpha = _mm_srli_epi32(s, 24);
        const __m128i rest =
            _mm_sub_epi16(lowBytes, _mm_or_si128(sourceAlpha, _mm_slli_epi32(sourceAlpha, 16)));
        const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(target + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target + i),
                         _mm_add_epi32(s, byteMul(t, rest)));
    }
#endif
    for (; i < length; ++i) {
        const Pixel s = alpha < 255 ? ByteMul(source[i], alpha) : source[i];
        target[i] = s + ByteMul(target[i], 255u - (s >> 24));
    }
}

}  // namespace

void FillPixels(Pixel* target, int length, Pixel colour) {
    int i = 0;
#if defined(__SSE2__)
    const __m128i four = _mm_set1_epi32(static_cast<int>(colour));
    for (; i + 4 <= length; i += 4) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target + i), four);
    }
#endif
    for (; i < length; ++i) target[i] = colour;
}

void BlendRuns(const Placement& picture, int opacity, Pixel* screen, int screenStride) {
    const std::uint32_t alpha = opacity >= 255 ? 255u : std::uint32_t(opacity) * 255u >> 8;
    ForEachVisibleRun(picture, screen, screenStride,
                      [alpha](Pixel* target, const Pixel* source, int length) {
                          SourceOver(target, source, length, alpha);
                      });
}

CoverMask::CoverMask() : bits_(std::size_t(kWordsPerRow) * kScreenHeight, 0) {}

void CoverMask::Reset() {
    if (firstTouched_ <= lastTouched_) {
        std::fill(bits_.begin() + std::ptrdiff_t(firstTouched_) * kWordsPerRow,
                  bits_.begin() + std::ptrdiff_t(lastTouched_ + 1) * kWordsPerRow, 0);
    }
    firstTouched_ = kScreenHeight;
    lastTouched_ = -1;
}

std::uint64_t CoverMask::WordMask(int word, int left, int right) {
    const int from = std::max(left - word * 64, 0);
    const int to = std::min(right - word * 64, 64);
    if (from >= to)
        return 0;
    const std::uint64_t upTo = to == 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << to) - 1;
    return upTo & ~((std::uint64_t(1) << from) - 1);
}

void CoverMask::Cover(const ScreenRect& rect) {
    if (rect.left >= rect.right || rect.top >= rect.bottom)
        return;
    firstTouched_ = std::min(firstTouched_, rect.top);
    lastTouched_ = std::max(lastTouched_, rect.bottom - 1);
    const int firstWord = rect.left >> 6;
    const int lastWord = (rect.right - 1) >> 6;
    for (int word = firstWord; word <= lastWord; ++word) {
        const std::uint64_t mask = WordMask(word, rect.left, rect.right);
        std::uint64_t* bits = bits_.data() + std::size_t(rect.top) * kWordsPerRow + word;
        for (int y = rect.top; y < rect.bottom; ++y, bits += kWordsPerRow) {
            *bits |= mask;
        }
    }
}

bool CoverMask::Covers(const ScreenRect& rect) const {
    const int firstWord = rect.left >> 6;
    const int lastWord = (rect.right - 1) >> 6;
    for (int word = firstWord; word <= lastWord; ++word) {
        const std::uint64_t mask = WordMask(word, rect.left, rect.right);
        const std::uint64_t* bits = bits_.data() + std::size_t(rect.top) * kWordsPerRow + word;
        for (int y = rect.top; y < rect.bottom; ++y, bits += kWordsPerRow) {
            if ((*bits & mask) != mask)
                return false;
        }
    }
    return true;
}

}  // namespace tessaron::runtime::pixels
