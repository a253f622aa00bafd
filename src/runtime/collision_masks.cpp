#include "runtime/collision_masks.h"

#include <algorithm>
#include <utility>

namespace tessaron::runtime {

namespace {

std::uint64_t MaskBits(const CollisionMask& s, int row, int column) {
    // 64 bits of a mask row starting at column (0 <= column < width).
    const std::uint64_t* words = s.bits.data() + std::size_t(row) * std::size_t(s.wordsPerRow);
    const int word = column >> 6;
    const int shift = column & 63;
    std::uint64_t bits = words[word] >> shift;
    if (shift != 0 && word + 1 < s.wordsPerRow) {
        bits |= words[word + 1] << (64 - shift);
    }
    return bits;
}

}  // namespace

CollisionMask CollisionMask::Empty(int width, int height) {
    CollisionMask mask;
    mask.width = width;
    mask.height = height;
    mask.wordsPerRow = (width + 63) / 64;
    mask.bits.assign(std::size_t(mask.wordsPerRow) * std::size_t(height), 0);
    return mask;
}

bool MasksCollide(const CollisionMask& sa, int ax, int ay, const CollisionMask& sb, int bx,
                  int by) {
    // The overlapping rectangle in screen coordinates (64-bit: positions may be far apart).
    const std::int64_t left = std::max<std::int64_t>(ax, bx);
    const std::int64_t top = std::max<std::int64_t>(ay, by);
    const std::int64_t right =
        std::min<std::int64_t>(std::int64_t(ax) + sa.width, std::int64_t(bx) + sb.width);
    const std::int64_t bottom =
        std::min<std::int64_t>(std::int64_t(ay) + sa.height, std::int64_t(by) + sb.height);
    if (left >= right || top >= bottom) {
        return false;
    }
    const int width = int(right - left);
    const int columnA = int(left - ax);
    const int columnB = int(left - bx);
    if (sa.wordsPerRow == 1 && sb.wordsPerRow == 1) {
        // Both pictures are at most 64 pixels wide (every game picture): a row of each is one
        // word, and the overlap of a row is one shift of each.
        const std::uint64_t keep =
            width == 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << width) - 1;
        const std::uint64_t* rowA = sa.bits.data() + (top - ay);
        const std::uint64_t* rowB = sb.bits.data() + (top - by);
        for (std::int64_t rows = bottom - top; rows > 0; --rows) {
            if (((*rowA++ >> columnA) & (*rowB++ >> columnB) & keep) != 0) {
                return true;
            }
        }
        return false;
    }
    for (std::int64_t y = top; y < bottom; ++y) {
        const int rowA = int(y - ay);
        const int rowB = int(y - by);
        for (int done = 0; done < width; done += 64) {
            const int span = std::min(64, width - done);
            const std::uint64_t keep =
                span == 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << span) - 1;
            if ((MaskBits(sa, rowA, columnA + done) & MaskBits(sb, rowB, columnB + done) & keep) !=
                0) {
                return true;
            }
        }
    }
    return false;
}

void CollisionMasks::Put(int number, CollisionMask mask) {
    if (number >= 0 && number < kFlatLimit) {
        if (number >= int(flat_.size())) {
            flat_.resize(std::size_t(number) + 1);
        }
        flat_[std::size_t(number)] = std::move(mask);
        return;
    }
    other_[number] = std::move(mask);
}

void CollisionMasks::Remove(int number) {
    if (number >= 0 && number < int(flat_.size())) {
        flat_[std::size_t(number)] = CollisionMask{};
    } else {
        other_.erase(number);
    }
}

const CollisionMask* CollisionMasks::FindOther(int number) const {
    const auto it = other_.find(number);
    return it == other_.end() ? nullptr : &it->second;
}

}  // namespace tessaron::runtime
