// One cell of a level: the Element record, the kind codes it holds, and the editor's palette.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace tessaron::level {

// One record per cell. Every field is a 32-bit float, also where it holds a whole-number code;
// the order of the fields is the order of the save-point record and of AddCell's arguments.
struct Element {
    float background = 0;  // backdrop sprite number: 100 air, 200 water
    float homeColumn = 0;  // where the record was created; never changes
    float homeRow = 0;
    float kind = 0;    // ElementKind code, also the number of the sprite that draws it
    float column = 0;  // current position, fractional while the element moves
    float row = 0;
    float motion = 0;      // 0 idle, +1 going out (or waiting at the far end), -1 coming back
    float link = 0;        // link number; 0 starts by itself, -1 in a new level
    float travelled = 0;   // cells moved along the displacement; a switch's press depth
    float length = 0;      // displacement length in cells
    float speedX = 0;      // 1/100 cell per pass; positive to the right
    float speedY = 0;      // positive downward
    float pauseCount = 0;  // passes spent in the current pause
    float pause1 = 0;      // passes at the far end before turning back; 0 waits for ever
    float pause2 = 0;      // passes at the start before going out again; 0 waits for ever

    bool operator==(const Element&) const = default;
};
static_assert(sizeof(Element) == 15 * sizeof(float));

// True when both records hold the same bits (0 and -0 differ, a NaN equals its own bits). Word
// by word, inline: the update pass and the automatic player's snapshots compare records by the
// million.
inline bool SameBits(const Element& a, const Element& b) {
    const auto* pa = reinterpret_cast<const unsigned char*>(&a);
    const auto* pb = reinterpret_cast<const unsigned char*>(&b);
    const auto word = [pa, pb](std::size_t at) {
        std::uint64_t x = 0;
        std::uint64_t y = 0;
        std::memcpy(&x, pa + at, sizeof x);
        std::memcpy(&y, pb + at, sizeof y);
        return x ^ y;
    };
    // Seven words and the last four bytes, read where they lie (the last word overlaps the one
    // before it).
    return (word(0) | word(8) | word(16) | word(24) | word(32) | word(40) | word(48) |
            word(sizeof(Element) - 8)) == 0;
}

inline constexpr int kElementFieldCount = 15;

// The fields in record order, by index 0..14 (for files and dumps).
float& Field(Element& element, int index);
float Field(const Element& element, int index);
// The fields' names in record order: "background", "homeColumn", ... "pause2".
extern const std::array<std::string_view, kElementFieldCount> kElementFieldNames;

enum class Background : int { Air = 100, Water = 200 };

// Kind codes. A code is also the number of the sprite that draws it.
enum class ElementKind : int {
    Empty = 1000,
    Brick = 1001,
    Concrete = 1002,
    Earth = 1003,
    Grass = 1004,
    BushGone = 1005,
    Bush25 = 1010,
    Bush50 = 1015,
    Bush75 = 1020,
    Bush = 1025,
    Switch = 2001,
    Sensor = 2002,
    Door = 2010,
    Wood = 2020,
    Spikes = 2031,
    SpikesHarmless = 2032,  // the spikes' picture, harmless; never placed by the editor
    Torch = 3011,
    TorchFlicker = 3012,  // the torch's second frame
    Zero = 4000,          // a picture of its own, never drawn and never placed
    Coin1 = 4001,
    Coin2 = 4002,
    Coin5 = 4005,
    Coin10 = 4010,
    Coin20 = 4020,
    Coin50 = 4050,
    Goal = 4090,
    Disk = 4099,
    // A pickup, goal or disk that has been taken is its code plus this.
};

inline constexpr int kTakenOffset = 1000;

constexpr float Code(ElementKind kind) {
    return static_cast<float>(static_cast<int>(kind));
}
constexpr float Code(Background background) {
    return static_cast<float>(static_cast<int>(background));
}

// The kinds' rules on codes. The game stores every code as a float and a corrupt level may hold
// any value, so each rule is a comparison on the float exactly as the game makes it.

// Pickups: the coins, the goal and the disk, the codes between Zero and Zero + kTakenOffset (both
// excluded). A coin brings its code minus Zero in points; the disk brings none.
inline constexpr float kPickupBase = Code(ElementKind::Zero);
inline constexpr float kDiskPoints = Code(ElementKind::Disk) - kPickupBase;
constexpr bool IsPickup(float kind) {
    return kind > kPickupBase && kind < kPickupBase + static_cast<float>(kTakenOffset);
}
constexpr float PickupPoints(float kind) {
    return kind - kPickupBase;
}
// A pickup once taken keeps its code raised by kTakenOffset: it is neither drawn nor touched
// again, and the editor gives it back as it was.
constexpr float TakenCode(float kind) {
    return kind + static_cast<float>(kTakenOffset);
}
constexpr float UntakenCode(float kind) {
    return kind - static_cast<float>(kTakenOffset);
}
constexpr bool IsTakenPickup(float kind) {
    return kind > kPickupBase + static_cast<float>(kTakenOffset);
}

// A bush wears by one stage (kBushWear off its code) at every contact, from Bush down to
// BushGone, which the ball passes through. Every stage but the last still wears.
inline constexpr float kBushWear = Code(ElementKind::Bush25) - Code(ElementKind::BushGone);
constexpr bool WearsAway(float kind) {
    return kind > Code(ElementKind::Bush25) - 1.0f && kind < Code(ElementKind::Bush) + 1.0f;
}
// Worn bushes, BushGone to Bush75, and whatever lies between the grass and the whole bush.
constexpr bool IsWornBush(float kind) {
    return kind > Code(ElementKind::Grass) && kind < Code(ElementKind::Bush);
}

// The editor's element list, in its order: label, kind and picture file.
struct PaletteEntry {
    std::string_view label;
    ElementKind kind;
    std::string_view picture;
};
extern const std::array<PaletteEntry, 20> kPalette;

}  // namespace tessaron::level
