#include "busy_level.h"

#include <algorithm>

namespace tessaron::busy_level {

namespace {

using level::ElementKind;

// The rows repeat every ten: a floor of grass over earth, then rooms of air above it.
constexpr std::int32_t kRoomHeight = 10;
enum RoomRow : std::int32_t {
    kFloor = 0,
    kUnderFloor = 1,
    kBushes = 2,
    kSensors = 3,
    kPlatformsHigh = 4,
    kPlatformsLow = 5,
    kTorches = 6,
    kCoinsHigh = 7,
    kCoinsLow = 8,
};
// Links shared by switches, sensors and the platforms that wait for them.
constexpr std::int32_t kLinks = 40;

// A small generator of its own, so that the level never changes with the game's random numbers.
class Draws {
  public:
    explicit Draws(std::uint32_t seed) : state_(0x9E3779B97F4A7C15ull * (seed + 1u)) {}

    std::uint32_t Next() {
        state_ += 0x9E3779B97F4A7C15ull;
        std::uint64_t z = state_;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
    }
    // 0 .. count - 1.
    std::int32_t Below(std::int32_t count) {
        return static_cast<std::int32_t>(Next() % static_cast<std::uint32_t>(count));
    }
    // True with the chance per mille.
    bool Chance(std::int32_t perMille) { return Below(1000) < perMille; }

  private:
    std::uint64_t state_;
};

struct Cell {
    ElementKind kind = ElementKind::Empty;
    std::int32_t link = 0;
    std::int32_t length = 0;
    std::int32_t speedX = 0;
    std::int32_t speedY = 0;
    std::int32_t pause1 = 0;
    std::int32_t pause2 = 0;
};

Cell FloorCell(Draws& draws) {
    Cell cell;
    const std::int32_t roll = draws.Below(1000);
    if (roll < 70) {
        cell.kind = ElementKind::Switch;
        cell.link = 1 + draws.Below(kLinks);
    } else if (roll < 95) {
        cell.kind = ElementKind::Spikes;
    } else if (roll < 160) {
        cell.kind = ElementKind::Empty;  // a gap to fall through
    } else if (roll < 230) {
        cell.kind = ElementKind::Brick;
    } else if (roll < 260) {
        cell.kind = ElementKind::Concrete;
    } else {
        cell.kind = ElementKind::Grass;
    }
    return cell;
}

Cell PlatformCell(Draws& draws) {
    Cell cell;
    const std::int32_t roll = draws.Below(10);
    cell.kind = roll < 6   ? ElementKind::Wood
                : roll < 9 ? ElementKind::Brick
                           : ElementKind::Concrete;
    cell.length = 1 + draws.Below(4);
    const std::int32_t speed = (5 + draws.Below(46)) * (draws.Chance(500) ? 1 : -1);
    if (draws.Chance(700)) {
        cell.speedX = speed;
    } else {
        cell.speedY = speed;
    }
    // Some wait for ever at one end until their link comes again.
    cell.pause1 = draws.Chance(850) ? 1 + draws.Below(40) : 0;
    cell.pause2 = draws.Chance(850) ? 1 + draws.Below(40) : 0;
    cell.link = draws.Chance(500) ? 0 : 1 + draws.Below(kLinks);
    return cell;
}

Cell CoinCell(Draws& draws) {
    constexpr ElementKind kCoins[] = {ElementKind::Coin1,  ElementKind::Coin2,
                                      ElementKind::Coin5,  ElementKind::Coin10,
                                      ElementKind::Coin20, ElementKind::Coin50};
    Cell cell;
    cell.kind = draws.Chance(5) ? ElementKind::Goal : kCoins[draws.Below(6)];
    return cell;
}

Cell MakeCell(Draws& draws, std::int32_t column, std::int32_t row) {
    Cell cell;
    switch (row % kRoomHeight) {
        case kFloor:
            return FloorCell(draws);
        case kUnderFloor:
            cell.kind = ElementKind::Earth;
            break;
        case kBushes: {
            const std::int32_t roll = draws.Below(1000);
            if (roll < 65)
                cell.kind = ElementKind::Bush;
            else if (roll < 85)
                cell.kind = ElementKind::Door;
            else if (roll < 92)
                cell.kind = ElementKind::Disk;
            break;
        }
        case kSensors:
            if (draws.Chance(152)) {
                cell.kind = ElementKind::Sensor;
                cell.link = 1 + draws.Below(kLinks);
                // A few sensors move, as every sensor does once it has a displacement.
                if (draws.Chance(100)) {
                    cell.length = 2;
                    cell.speedY = 10;
                    cell.pause1 = 30;
                    cell.pause2 = 30;
                }
            }
            break;
        case kPlatformsHigh:
        case kPlatformsLow:
            if (draws.Chance(450))
                return PlatformCell(draws);
            break;
        case kTorches:
            if (column % 4 == 0 || draws.Chance(6))
                cell.kind = ElementKind::Torch;
            break;
        case kCoinsHigh:
        case kCoinsLow:
            if (draws.Chance(600))
                return CoinCell(draws);
            break;
        default:
            break;
    }
    return cell;
}

}  // namespace

level::Level MakeBusyLevel(std::int32_t width, std::int32_t height, std::uint32_t seed) {
    Draws draws(seed);
    level::Level level;
    level.levelWidth = width;
    level.levelHeight = height;
    level.elements.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    const std::int32_t firstWaterRow = height - height / 4 + 1;
    for (std::int32_t r = 1; r <= height; ++r) {
        for (std::int32_t c = 1; c <= width; ++c) {
            Cell cell = MakeCell(draws, c, r);
            // Walls of concrete at both sides and a floor without gaps at the bottom keep the
            // ball among the cells: a ball that fell out would roll on in the void, where a pass
            // costs next to nothing and measures nothing.
            if (c == 1 || c == width || r == height) {
                cell = Cell{};
                cell.kind = ElementKind::Concrete;
            }
            const auto background =
                r >= firstWaterRow ? level::Background::Water : level::Background::Air;
            level::AddCell(level.elements, static_cast<std::int32_t>(background), c, r,
                           static_cast<std::int32_t>(cell.kind), c, r, 0, cell.link, 0, cell.length,
                           cell.speedX, cell.speedY, 0, cell.pause1, cell.pause2);
        }
    }
    // The ball rests on the floor in the middle of the level: its centre 50 pixels above the
    // floor cell's centre (the picture's top is 20 above it, the ball's radius 30).
    const std::int32_t floorRow = std::max(kRoomHeight, height / 2 / kRoomHeight * kRoomHeight);
    const std::int32_t ballX = 40 * (width / 2) + 20;
    const std::int32_t ballY = 40 * floorRow - 50;
    level.startX = 512 - ballX;
    level.startY = 384 - ballY;
    level.viewX = static_cast<float>(level.startX);
    level.viewY = static_cast<float>(level.startY);
    return level;
}

}  // namespace tessaron::busy_level
