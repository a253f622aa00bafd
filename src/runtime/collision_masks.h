// Pixel-exact collision on plain data: one bit per opaque pixel of each numbered picture. The
// play screen makes the masks once as it loads its pictures; the game keeps a copy and tests
// its contacts against it, without a screen and from any number of threads at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

namespace tessaron::runtime {

// The opaque pixels of one picture.
struct CollisionMask {
    int width = 0;
    int height = 0;
    int wordsPerRow = 0;
    // One bit per opaque pixel, 64 pixels a word, bit i of a word is column 64 * word + i.
    std::vector<std::uint64_t> bits;

    // A width x height mask with no pixel set.
    static CollisionMask Empty(int width, int height);
    // Marks the pixel at (x, y) opaque.
    void Set(int x, int y) {
        const std::size_t word = std::size_t(y) * std::size_t(wordsPerRow) + std::size_t(x >> 6);
        bits[word] |= std::uint64_t(1) << (x & 63);
    }
};

// True when an opaque pixel of a at (ax, ay) covers an opaque pixel of b at (bx, by).
bool MasksCollide(const CollisionMask& a, int ax, int ay, const CollisionMask& b, int bx, int by);

// The masks of the numbered pictures.
class CollisionMasks {
  public:
    void Put(int number, CollisionMask mask);
    void Remove(int number);
    // Null for a number without a picture.
    const CollisionMask* Find(int number) const {
        if (number >= 0 && number < int(flat_.size())) {
            const CollisionMask& mask = flat_[std::size_t(number)];
            return mask.width > 0 ? &mask : nullptr;
        }
        return FindOther(number);
    }
    // True when an opaque pixel of picture a at (ax, ay) covers one of picture b at (bx, by);
    // false when either has no picture.
    bool Collide(int a, int ax, int ay, int b, int bx, int by) const {
        const CollisionMask* ma = Find(a);
        const CollisionMask* mb = Find(b);
        return ma != nullptr && mb != nullptr && MasksCollide(*ma, ax, ay, *mb, bx, by);
    }

  private:
    // Small numbers index a flat table, so that a test costs no search.
    static constexpr int kFlatLimit = 1 << 16;
    const CollisionMask* FindOther(int number) const;
    std::vector<CollisionMask> flat_;
    std::map<int, CollisionMask> other_;
};

}  // namespace tessaron::runtime
