#include "render/overview.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <unordered_map>
#include <utility>

#include "render/geometry.h"
#include "render/level_picture.h"
#include "render/render.h"

namespace tessaron::render {

using detail::Round;
using level::Element;
using runtime::Pixel;
using runtime::PlayScreen;

namespace {

constexpr int kCell = static_cast<int>(detail::kCellSize);
constexpr int kHalfCell = kCell / 2;
constexpr int kAirSprite = 100;
constexpr int kWaterSprite = 200;
constexpr int kSensorSprite = 2002;
// The water backdrop begins this many pixels left of its cell.
constexpr int kWaterShift = 3;

// A level made to have more looks than this is drawn the long way, tile by tile, so that the
// looks' sums never take more memory than that drawing does (20 KB each).
constexpr std::size_t kMostLooks = 1024;

// What a cell shows besides its backdrop, by the walk that draws it.
enum class Shows : std::uint8_t { Nothing, Picture, Pickup, Sensor };

// What the neighbours draw into a cell: 3 pixels of a water backdrop on either side, and the
// edge of a sensor's picture (a pixel larger than its cell) above, to the left or above-left.
enum Reach : std::uint8_t {
    kWaterLeft = 1,
    kWaterRight = 2,
    kSensorLeft = 4,
    kSensorAbove = 8,
    kSensorAboveLeft = 16,
};

// Everything that decides a cell's pixels in the editor's picture without the grid.
struct Look {
    std::int32_t backdrop = 0;  // the backdrop's sprite, 0 for none
    Shows shows = Shows::Nothing;
    std::int32_t sprite = 0;
    std::uint8_t reach = 0;

    bool operator==(const Look&) const = default;
};

struct LookHash {
    std::size_t operator()(const Look& look) const {
        std::size_t h = static_cast<std::uint32_t>(look.backdrop);
        h = h * 31 + static_cast<std::size_t>(look.shows);
        h = h * 1000003 + static_cast<std::uint32_t>(look.sprite);
        return h * 64 + look.reach;
    }
};

// The cell's own part of its look, by the tests the map drawing makes.
Look OwnPart(const Element& e) {
    Look look;
    if (e.background == detail::kAir) {
        look.backdrop = kAirSprite;
    } else if (e.background == detail::kWater) {
        look.backdrop = kWaterSprite;
    }
    if (detail::IsPickup(e.kind)) {
        look.shows = Shows::Pickup;
        look.sprite = Round(e.kind);
    } else if (e.kind == detail::kSensor) {
        look.shows = Shows::Sensor;
        look.sprite = kSensorSprite;
    } else if (detail::IsElementPicture(e.kind)) {
        look.shows = Shows::Picture;
        look.sprite = Round(e.kind);
    }
    return look;
}

// The level's cells sorted by look.
struct Looks {
    std::vector<Look> looks;
    // Per look, a record that has it, as the map drawing sees it (its exact codes).
    std::vector<Element> shown;
    // Per cell, row by row: the index of its look.
    std::vector<std::int32_t> lookOfCell;
};

// Sorts the level's cells by look. False when the level's picture is not made of looks: a
// record away from its home cell (the map draws a moving element where it is now) or outside
// the level, or two on one cell.
bool SortCells(const level::Level& level, Looks& out) {
    const std::int32_t width = level.levelWidth;
    const std::int32_t height = level.levelHeight;
    const std::size_t cellCount =
        static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<std::int32_t> recordOf(cellCount, -1);
    for (std::size_t i = 0; i < level.elements.size(); ++i) {
        const Element& e = level.elements[i];
        const std::int32_t column = Round(e.homeColumn);
        const std::int32_t row = Round(e.homeRow);
        if (e.column != e.homeColumn || e.row != e.homeRow ||
            e.homeColumn != static_cast<float>(column) || e.homeRow != static_cast<float>(row) ||
            column < 1 || column > width || row < 1 || row > height) {
            return false;
        }
        std::int32_t& slot = recordOf[static_cast<std::size_t>(row - 1) * width + (column - 1)];
        if (slot != -1) {
            return false;
        }
        slot = static_cast<std::int32_t>(i);
    }
    const Element none{};  // a cell without a record shows nothing
    const auto at = [&](std::int32_t column, std::int32_t row) -> const Element* {
        if (column < 1 || column > width || row < 1 || row > height) {
            return nullptr;
        }
        const std::int32_t i = recordOf[static_cast<std::size_t>(row - 1) * width + (column - 1)];
        return i < 0 ? &none : &level.elements[static_cast<std::size_t>(i)];
    };
    const auto water = [](const Element* e) {
        return e != nullptr && e->background == detail::kWater;
    };
    const auto sensor = [](const Element* e) { return e != nullptr && e->kind == detail::kSensor; };

    std::unordered_map<Look, std::int32_t, LookHash> known;
    out.lookOfCell.resize(cellCount);
    for (std::int32_t row = 1; row <= height; ++row) {
        for (std::int32_t column = 1; column <= width; ++column) {
            const Element& e = *at(column, row);
            Look look = OwnPart(e);
            look.reach =
                static_cast<std::uint8_t>((water(at(column - 1, row)) ? kWaterLeft : 0) |
                                          (water(at(column + 1, row)) ? kWaterRight : 0) |
                                          (sensor(at(column - 1, row)) ? kSensorLeft : 0) |
                                          (sensor(at(column, row - 1)) ? kSensorAbove : 0) |
                                          (sensor(at(column - 1, row - 1)) ? kSensorAboveLeft : 0));
            auto [entry, added] =
                known.try_emplace(look, static_cast<std::int32_t>(out.looks.size()));
            if (added) {
                out.looks.push_back(look);
                out.shown.push_back(e);
            }
            out.lookOfCell[static_cast<std::size_t>(row - 1) * width + (column - 1)] =
                entry->second;
        }
    }
    return true;
}

bool WithinSize(const PlayScreen& screen, int sprite, int width, int height) {
    return !screen.HasSprite(sprite) ||
           (screen.SpriteWidth(sprite) <= width && screen.SpriteHeight(sprite) <= height);
}

// Whether every picture stays within its cell and its direct neighbours as the looks assume:
// true for the game's pictures (40 x 40, the water 46 wide, the sensor 41 x 41).
bool LooksHold(const Looks& looks, const PlayScreen& screen) {
    if (!WithinSize(screen, kAirSprite, kCell, kCell) ||
        !WithinSize(screen, kWaterSprite, 2 * kCell + kWaterShift, kCell)) {
        return false;
    }
    for (const Look& look : looks.looks) {
        if (look.shows == Shows::Picture && !WithinSize(screen, look.sprite, kCell, kCell)) {
            return false;
        }
        if (look.shows == Shows::Sensor && (screen.BlendedRotation(kSensorSprite) != 0.0f ||
                                            screen.BlendedWidth(kSensorSprite) > 2 * kCell ||
                                            screen.BlendedHeight(kSensorSprite) > 2 * kCell)) {
            return false;
        }
    }
    return true;
}

// A look's pixels as sums: entry (y * 41 + x) * 3 + channel holds the sum of that channel over
// the look's pixels left of x and above y, so that any rectangle's sum takes four entries.
constexpr int kSumSide = kCell + 1;
constexpr std::size_t kSumsPerLook = std::size_t{kSumSide} * kSumSide * 3;

// Each look is drawn in a block of 3 x 2 cells: its cell in the middle of the lower row, with
// the neighbours that reach into it on its left, right, above and above-left. Blocks side by side
// reach only into each other's outer cells.
constexpr int kBlocksAcross = 8;
constexpr int kBlocksDown = 9;
constexpr int kSheetColumns = 3 * kBlocksAcross;  // 960 pixels
constexpr int kSheetRows = 2 * kBlocksDown;       // 720 pixels

void AddSheetCell(level::ElementList& list, int column, int row, float background, float kind) {
    Element e;
    e.background = background;
    e.kind = kind;
    e.homeColumn = e.column = static_cast<float>(column);
    e.homeRow = e.row = static_cast<float>(row);
    list.push_back(e);
}

// Draws every look with the editor's drawing code and keeps its sums.
std::vector<std::uint32_t> DrawLooks(const Looks& looks, PlayScreen& screen) {
    std::vector<std::uint32_t> sums(looks.looks.size() * kSumsPerLook, 0);
    level::Level sheet;
    sheet.levelWidth = kSheetColumns;
    sheet.levelHeight = kSheetRows;
    // Cell (c, r) of the sheet has its top-left corner at (40 (c - 1), 40 (r - 1)).
    sheet.viewX = -detail::kHalfCell;
    sheet.viewY = -detail::kHalfCell;
    constexpr std::size_t kPerSheet = std::size_t{kBlocksAcross} * kBlocksDown;
    std::array<Pixel, kCell> row{};
    for (std::size_t first = 0; first < looks.looks.size(); first += kPerSheet) {
        const std::size_t count = std::min(kPerSheet, looks.looks.size() - first);
        // The cells of the sheet, row by row as a level's list is: what each holds, if anything.
        std::array<std::optional<std::pair<float, float>>, std::size_t{kSheetColumns} * kSheetRows>
            cells{};
        const auto put = [&cells](int column, int row, std::pair<float, float> backgroundAndKind) {
            cells[static_cast<std::size_t>(row - 1) * kSheetColumns + (column - 1)] =
                backgroundAndKind;
        };
        for (std::size_t b = 0; b < count; ++b) {
            const Look& look = looks.looks[first + b];
            const Element& e = looks.shown[first + b];
            const int left = 3 * static_cast<int>(b % kBlocksAcross) + 1;
            const int top = 2 * static_cast<int>(b / kBlocksAcross) + 1;
            // A neighbour as far as it reaches into the look's cell: water beside it, a sensor
            // above or left of it; nothing else of it shows there.
            const auto neighbour = [&look](std::uint8_t water, std::uint8_t sensor) {
                return std::pair<float, float>{
                    (look.reach & water) != 0 ? detail::kWater : 0.0f,
                    (look.reach & sensor) != 0 ? detail::kSensor : detail::kEmpty};
            };
            put(left, top, neighbour(0, kSensorAboveLeft));
            put(left + 1, top, neighbour(0, kSensorAbove));
            put(left, top + 1, neighbour(kWaterLeft, kSensorLeft));
            put(left + 1, top + 1, {e.background, e.kind});
            put(left + 2, top + 1, neighbour(kWaterRight, 0));
        }
        level::ElementList list;
        for (int r = 1; r <= kSheetRows; ++r) {
            for (int c = 1; c <= kSheetColumns; ++c) {
                if (const auto& cell =
                        cells[static_cast<std::size_t>(r - 1) * kSheetColumns + (c - 1)]) {
                    AddSheetCell(list, c, r, cell->first, cell->second);
                }
            }
        }
        level::ReplaceElements(sheet, std::move(list));
        screen.Clear({0, 0, 0});
        screen.BeginScene();
        DrawEditorCells(sheet, GridOverlay::Hidden, screen);
        screen.EndScene();

        for (std::size_t b = 0; b < count; ++b) {
            const int x = kCell * (3 * static_cast<int>(b % kBlocksAcross) + 1);
            const int y = kCell * (2 * static_cast<int>(b / kBlocksAcross) + 1);
            std::uint32_t* sum = sums.data() + (first + b) * kSumsPerLook;
            // Row y of the sums adds the look's row y - 1 to row y - 1 of the sums.
            for (int dy = 0; dy < kCell; ++dy) {
                screen.ReadBackRow(x, y + dy, row);
                std::uint32_t red = 0, green = 0, blue = 0;
                std::uint32_t* above = sum + static_cast<std::size_t>(dy) * kSumSide * 3;
                std::uint32_t* here = above + kSumSide * 3;
                for (int dx = 0; dx < kCell; ++dx) {
                    red += runtime::RedOf(row[dx]);
                    green += runtime::GreenOf(row[dx]);
                    blue += runtime::BlueOf(row[dx]);
                    std::uint32_t* to = here + (dx + 1) * 3;
                    const std::uint32_t* from = above + (dx + 1) * 3;
                    to[0] = from[0] + red;
                    to[1] = from[1] + green;
                    to[2] = from[2] + blue;
                }
            }
        }
    }
    return sums;
}

// The part of one cell that a reduced pixel covers along one axis: pixels from .. to - 1 of it.
struct Piece {
    std::int32_t cell = 0;
    std::int32_t from = 0;
    std::int32_t to = 0;
};

// Along an axis of `cells` cells reduced by `scale` to `reduced` pixels: the pieces of each
// reduced pixel i are pieces[first[i]] .. pieces[first[i + 1] - 1]. The last pixel may cover
// less than the scale.
void PiecesAlong(std::int32_t cells, int scale, int reduced, std::vector<Piece>& pieces,
                 std::vector<std::int32_t>& first) {
    const std::int64_t full = std::int64_t{kCell} * cells;
    for (int i = 0; i < reduced; ++i) {
        first.push_back(static_cast<std::int32_t>(pieces.size()));
        const std::int64_t start = std::int64_t{i} * scale;
        const std::int64_t end = std::min(start + scale, full);
        for (std::int64_t cell = start / kCell; cell * kCell < end; ++cell) {
            const std::int64_t origin = cell * kCell;
            pieces.push_back({static_cast<std::int32_t>(cell),
                              static_cast<std::int32_t>(std::max(start, origin) - origin),
                              static_cast<std::int32_t>(std::min(end, origin + kCell) - origin)});
        }
    }
    first.push_back(static_cast<std::int32_t>(pieces.size()));
}

// Each overview pixel is the mean of the level picture's pixels it stands for, rounded as the
// level tool's reduction rounds.
std::vector<Pixel> Reduce(const level::Level& level, const OverviewLayout& layout,
                          const Looks& looks, const std::vector<std::uint32_t>& sums) {
    std::vector<Piece> across, down;
    std::vector<std::int32_t> firstAcross, firstDown;
    PiecesAlong(level.levelWidth, layout.scale, layout.width, across, firstAcross);
    PiecesAlong(level.levelHeight, layout.scale, layout.height, down, firstDown);
    std::vector<Pixel> pixels(static_cast<std::size_t>(layout.width) * layout.height);
    Pixel* out = pixels.data();
    for (int v = 0; v < layout.height; ++v) {
        for (int u = 0; u < layout.width; ++u) {
            std::uint64_t total[3] = {0, 0, 0};
            std::uint64_t count = 0;
            for (std::int32_t d = firstDown[v]; d < firstDown[v + 1]; ++d) {
                const Piece& rows = down[static_cast<std::size_t>(d)];
                const std::int32_t* lookRow =
                    looks.lookOfCell.data() +
                    static_cast<std::size_t>(rows.cell) * level.levelWidth;
                for (std::int32_t a = firstAcross[u]; a < firstAcross[u + 1]; ++a) {
                    const Piece& columns = across[static_cast<std::size_t>(a)];
                    const std::uint32_t* sum =
                        sums.data() +
                        static_cast<std::size_t>(lookRow[columns.cell]) * kSumsPerLook;
                    const std::uint32_t* top =
                        sum + static_cast<std::size_t>(rows.from) * kSumSide * 3;
                    const std::uint32_t* bottom =
                        sum + static_cast<std::size_t>(rows.to) * kSumSide * 3;
                    const int left = columns.from * 3;
                    const int right = columns.to * 3;
                    for (int c = 0; c < 3; ++c) {
                        total[c] +=
                            bottom[right + c] - top[right + c] - bottom[left + c] + top[left + c];
                    }
                    count += static_cast<std::uint64_t>(rows.to - rows.from) *
                             static_cast<std::uint64_t>(columns.to - columns.from);
                }
            }
            const auto mean = [count](std::uint64_t sum) {
                return static_cast<std::uint32_t>((sum + count / 2) / count);
            };
            *out++ = runtime::MakePixel(mean(total[0]), mean(total[1]), mean(total[2]));
        }
    }
    return pixels;
}

// Receives the level tool's picture whole.
class KeptRows : public runtime::PictureRows {
  public:
    explicit KeptRows(std::vector<Pixel>& pixels) : pixels_(pixels) {}
    void Row(std::span<const Pixel> row) override {
        pixels_.insert(pixels_.end(), row.begin(), row.end());
    }

  private:
    std::vector<Pixel>& pixels_;
};

// A whole pixel position near the screen, however far the view offset lies.
int NearScreen(float position) {
    return std::clamp(Round(position), -4 * PlayScreen::kWidth, 4 * PlayScreen::kWidth);
}

}  // namespace

OverviewLayout LayOutOverview(const level::Level& level) {
    const PictureSize full = LevelPictureSize(level);
    OverviewLayout layout;
    if (full.width == 0 || full.height == 0) {
        return layout;
    }
    const auto fitting = [](int size, int screen) { return (size + screen - 1) / screen; };
    layout.scale = std::max(
        {1, fitting(full.width, PlayScreen::kWidth), fitting(full.height, PlayScreen::kHeight)});
    layout.width = runtime::ReducedRows::ReducedSize(full.width, layout.scale);
    layout.height = runtime::ReducedRows::ReducedSize(full.height, layout.scale);
    layout.left = (PlayScreen::kWidth - layout.width) / 2;
    layout.top = (PlayScreen::kHeight - layout.height) / 2;
    return layout;
}

std::vector<Pixel> DrawOverviewPixels(const level::Level& level, const OverviewLayout& layout,
                                      PlayScreen& screen) {
    if (layout.width == 0 || layout.height == 0) {
        return {};
    }
    Looks looks;
    if (SortCells(level, looks) && looks.looks.size() <= kMostLooks && LooksHold(looks, screen)) {
        return Reduce(level, layout, looks, DrawLooks(looks, screen));
    }
    std::vector<Pixel> pixels;
    pixels.reserve(static_cast<std::size_t>(layout.width) * layout.height);
    KeptRows rows(pixels);
    LevelPictureOptions options;
    options.grid = GridOverlay::Hidden;
    options.scale = layout.scale;
    DrawLevelPicture(level, options, screen, rows);
    return pixels;
}

void DrawOverview(const level::Level& level, const OverviewLayout& layout,
                  const std::vector<Pixel>& pixels, PlayScreen& screen) {
    if (layout.width <= 0 ||
        pixels.size() != static_cast<std::size_t>(layout.width) * layout.height) {
        return;
    }
    screen.DrawPixels(layout.left, layout.top, layout.width, pixels);
    // The screen shows the level's pixels from -view on; the picture begins with cell 1's left
    // edge, 20 pixels from the level's origin.
    const float scale = static_cast<float>(layout.scale);
    const int x =
        NearScreen(static_cast<float>(layout.left) + (-level.viewX - detail::kHalfCell) / scale);
    const int y =
        NearScreen(static_cast<float>(layout.top) + (-level.viewY - detail::kHalfCell) / scale);
    const int width = std::max(NearScreen(PlayScreen::kWidth / scale), 3);
    const int height = std::max(NearScreen(PlayScreen::kHeight / scale), 3);
    // White within black, so that the frame shows on sky and on stone.
    screen.BeginDrawing();
    screen.SetDrawingMode(runtime::kOutline);
    screen.Rectangle(x - 1, y - 1, width + 2, height + 2, {0, 0, 0});
    screen.Rectangle(x, y, width, height, {255, 255, 255});
    screen.Rectangle(x + 1, y + 1, width - 2, height - 2, {0, 0, 0});
    screen.EndDrawing();
}

std::optional<ViewOffset> OverviewTarget(const OverviewLayout& layout, int x, int y) {
    if (x < layout.left || x >= layout.left + layout.width || y < layout.top ||
        y >= layout.top + layout.height) {
        return std::nullopt;
    }
    // The middle of the level's pixels that the overview's pixel stands for.
    const std::int64_t levelX =
        kHalfCell + std::int64_t{x - layout.left} * layout.scale + layout.scale / 2;
    const std::int64_t levelY =
        kHalfCell + std::int64_t{y - layout.top} * layout.scale + layout.scale / 2;
    return ViewOffset{static_cast<float>(PlayScreen::kWidth / 2 - levelX),
                      static_cast<float>(PlayScreen::kHeight / 2 - levelY)};
}

}  // namespace tessaron::render
