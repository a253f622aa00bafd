// The level check. Every rule here is the game's own: solid is what stops the ball, a link is
// what a switch or sensor triggers, a displacement is what the element update pass moves.
#include "game/level_check.h"

#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "game/geometry.h"

namespace tessaron::game {

namespace {

using level::Code;
using level::Element;
using level::ElementKind;

// The codes the game itself gives elements besides the editor's palette: the worn bush stages,
// the torch's second frame and, for every pickup, goal and disk, its taken code.
constexpr ElementKind kMadeByTheGame[] = {ElementKind::BushGone, ElementKind::Bush25,
                                          ElementKind::Bush50, ElementKind::Bush75,
                                          ElementKind::TorchFlicker};

bool IsPickupCode(float kind) {
    return kind > 4000.0f && kind < 5000.0f;
}

// The palette entry of a code, or null.
const level::PaletteEntry* PaletteEntryOf(float kind) {
    for (const level::PaletteEntry& entry : level::kPalette) {
        if (Code(entry.kind) == kind) {
            return &entry;
        }
    }
    return nullptr;
}

bool IsKnownKind(float kind) {
    if (PaletteEntryOf(kind) != nullptr) {
        return true;
    }
    for (ElementKind made : kMadeByTheGame) {
        if (Code(made) == kind) {
            return true;
        }
    }
    const float untaken = kind - static_cast<float>(level::kTakenOffset);
    return IsPickupCode(untaken) && PaletteEntryOf(untaken) != nullptr;
}

std::string Whole(float value) {
    return std::to_string(static_cast<long long>(RoundToPixel(value)));
}

// A number as an author reads it: whole numbers without a point, others to a few places.
std::string Number(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6g", value);
    return buffer;
}

// The element's name as the editor's palette calls it, for the game's own codes the name of the
// kind they come from, else its code: "Holz", "Gestrüp", "Ziel (taken)", "kind 1234".
std::string NameOf(float kind) {
    if (const level::PaletteEntry* entry = PaletteEntryOf(kind)) {
        return std::string(entry->label);
    }
    if (kind > Code(ElementKind::Grass) && kind < Code(ElementKind::Bush)) {
        return std::string(PaletteEntryOf(Code(ElementKind::Bush))->label);
    }
    if (kind == Code(ElementKind::TorchFlicker)) {
        return std::string(PaletteEntryOf(Code(ElementKind::Torch))->label);
    }
    const float untaken = kind - static_cast<float>(level::kTakenOffset);
    if (IsPickupCode(untaken) && PaletteEntryOf(untaken) != nullptr) {
        return std::string(PaletteEntryOf(untaken)->label) + " (taken)";
    }
    return "kind " + Whole(kind);
}

bool HasDisplacement(const Element& e) {
    return e.length > 0.0f;
}
bool HasSpeed(const Element& e) {
    return e.speedX != 0.0f || e.speedY != 0.0f;
}
bool IsTrigger(const Element& e) {
    return e.kind == Code(ElementKind::Switch) || e.kind == Code(ElementKind::Sensor);
}

// A switch or sensor triggers its link rounded to a whole number; an element starts when its own
// link equals that number exactly.
bool IsWhole(float value) {
    return std::nearbyint(value) == value;
}

class Checker {
  public:
    explicit Checker(const level::Level& level) : level_(level) {
        for (const Element& e : level.elements) {
            if (IsTrigger(e)) {
                triggered_.insert(RoundToPixel(e.link));
            }
            // A sensor moves by itself whatever its link; every other element with a
            // displacement waits for its link (or, with link 0, starts by itself).
            if (HasDisplacement(e) && e.kind != Code(ElementKind::Sensor) && IsWhole(e.link)) {
                awaited_.insert(RoundToPixel(e.link));
            }
        }
    }

    std::vector<Finding> Run() {
        CheckGoal();
        CheckBorder();
        const bool startInside = CheckStartInside();
        for (const Element& e : level_.elements) {
            if (startInside) {
                CheckStartInSolid(e);
            }
            CheckKind(e);
            CheckBackground(e);
            CheckDisplacement(e);
            CheckLink(e);
        }
        return std::move(findings_);
    }

  private:
    void WholeLevel(Problem problem, std::string text) {
        findings_.push_back({0, 0, problem, std::move(text)});
    }

    void At(const Element& e, Problem problem, const std::string& text) {
        const std::int32_t column = RoundToPixel(e.homeColumn);
        const std::int32_t row = RoundToPixel(e.homeRow);
        findings_.push_back({column, row, problem,
                             NameOf(e.kind) + " at " + std::to_string(column) + " " +
                                 std::to_string(row) + ": " + text});
    }

    void CheckGoal() {
        for (const Element& e : level_.elements) {
            if (e.kind == Code(ElementKind::Goal)) {
                return;
            }
        }
        WholeLevel(Problem::NoGoal, "the level has no goal (\"Ziel\")");
    }

    // The border is closed where a solid element stays in its cell. Through any other border
    // cell (one that holds nothing solid, or a solid element that moves away at times) the ball
    // can roll, fall or jump out of the level, where nothing ever stops it again. The corners
    // count with the top and bottom rows; each run of open cells along a side is one finding.
    void CheckBorder() {
        const std::int32_t width = level_.levelWidth;
        const std::int32_t height = level_.levelHeight;
        if (width <= 0 || height <= 0) {
            return;
        }
        std::vector<bool> closed(static_cast<std::size_t>(width) * height, false);
        for (const Element& e : level_.elements) {
            const std::int32_t column = RoundToPixel(e.homeColumn);
            const std::int32_t row = RoundToPixel(e.homeRow);
            if (column >= 1 && column <= width && row >= 1 && row <= height && IsSolid(e.kind) &&
                !(HasDisplacement(e) && HasSpeed(e))) {
                closed[static_cast<std::size_t>(row - 1) * width + (column - 1)] = true;
            }
        }
        const auto open = [&](std::int32_t column, std::int32_t row) {
            return !closed[static_cast<std::size_t>(row - 1) * width + (column - 1)];
        };
        // Runs along a row (across) or a column (down), from `first` to `last` of the line.
        const auto side = [&](std::string_view name, bool across, std::int32_t line,
                              std::int32_t first, std::int32_t last) {
            const std::string_view unit = across ? "column" : "row";
            for (std::int32_t i = first; i <= last; ++i) {
                const auto at = [&](std::int32_t j) {
                    return across ? open(j, line) : open(line, j);
                };
                if (!at(i)) {
                    continue;
                }
                std::int32_t end = i;
                while (end < last && at(end + 1)) {
                    ++end;
                }
                const std::string where =
                    end == i ? " at " + std::string(unit) + " " + std::to_string(i)
                             : " from " + std::string(unit) + " " + std::to_string(i) + " to " +
                                   std::to_string(end);
                findings_.push_back({across ? i : line, across ? line : i, Problem::OpenBorder,
                                     "the " + std::string(name) + " border is open" + where +
                                         ": the ball can leave the level there"});
                i = end;
            }
        };
        side("top", true, 1, 1, width);
        if (height > 1) {
            side("bottom", true, height, 1, width);
        }
        side("left", false, 1, 2, height - 1);
        if (width > 1) {
            side("right", false, width, 2, height - 1);
        }
    }

    // The ball's centre is the screen point (512, 384), so it starts at the world point
    // (512 - x, 384 - y) for the start view offset (x, y). The cell (c, r) covers the world
    // points from 40 c - 20 up to, but not including, 40 c + 20 on each axis.
    bool CheckStartInside() {
        startX_ = static_cast<double>(kCentreX) - level_.startX;
        startY_ = static_cast<double>(kCentreY) - level_.startY;
        const double column = std::floor((startX_ + kHalfCell) / kCellSize);
        const double row = std::floor((startY_ + kHalfCell) / kCellSize);
        if (column >= 1 && column <= level_.levelWidth && row >= 1 && row <= level_.levelHeight) {
            return true;
        }
        WholeLevel(Problem::StartOutside,
                   "the ball starts outside the level, at column " + Number(column) + " row " +
                       Number(row) + " (world point " + Number(startX_) + " " + Number(startY_) +
                       " for the start view offset " + std::to_string(level_.startX) + " " +
                       std::to_string(level_.startY) + ")");
        return false;
    }

    void CheckStartInSolid(const Element& e) {
        if (!IsSolid(e.kind)) {
            return;
        }
        const double left = static_cast<double>(kCellSize) * e.column - kHalfCell;
        const double top = static_cast<double>(kCellSize) * e.row - kHalfCell;
        if (startX_ >= left && startX_ < left + kCellSize && startY_ >= top &&
            startY_ < top + kCellSize) {
            At(e, Problem::StartInSolid, "the ball starts inside this solid element");
        }
    }

    void CheckKind(const Element& e) {
        if (!IsKnownKind(e.kind)) {
            At(e, Problem::UnknownKind, "the game knows no element of this kind");
        }
    }

    void CheckBackground(const Element& e) {
        if (e.background != Code(level::Background::Air) &&
            e.background != Code(level::Background::Water)) {
            At(e, Problem::UnknownBackground,
               "background " + Whole(e.background) +
                   " is neither air (100) nor water (200), so the cell has no backdrop");
        }
    }

    void CheckDisplacement(const Element& e) {
        if (HasDisplacement(e) && !HasSpeed(e)) {
            At(e, Problem::StillDisplacement,
               "a displacement of " + Whole(e.length) + " cells without a speed never moves");
            return;
        }
        if (!HasDisplacement(e)) {
            if (HasSpeed(e)) {
                At(e, Problem::StillDisplacement,
                   "a speed without a displacement length never moves");
            }
            return;
        }
        if (e.speedX != 0.0f && e.speedY != 0.0f) {
            At(e, Problem::BothAxes,
               "moves along both axes (speedX " + Whole(e.speedX) + ", speedY " + Whole(e.speedY) +
                   "), so it does not come back to its cell; give it one direction only");
        }
        // The travelled distance grows by both speeds' sizes, so each axis takes its share of
        // the length.
        const double speedX = e.speedX;
        const double speedY = e.speedY;
        const double share =
            static_cast<double>(e.length) / (std::fabs(speedX) + std::fabs(speedY));
        const double farColumn = static_cast<double>(e.column) + speedX * share;
        const double farRow = static_cast<double>(e.row) + speedY * share;
        if (farColumn < 1 || farColumn > level_.levelWidth || farRow < 1 ||
            farRow > level_.levelHeight) {
            At(e, Problem::PathLeavesLevel,
               "its displacement of " + Whole(e.length) +
                   " cells ends outside the level, at column " + Number(farColumn) + " row " +
                   Number(farRow));
        }
    }

    void CheckLink(const Element& e) {
        if (IsTrigger(e)) {
            const std::int32_t link = RoundToPixel(e.link);
            if (awaited_.count(link) == 0) {
                At(e, Problem::TriggerMovesNothing,
                   "link " + std::to_string(link) + " moves nothing");
            }
            if (e.kind == Code(ElementKind::Sensor)) {
                return;
            }
        }
        if (!HasDisplacement(e) || e.kind == Code(ElementKind::Sensor) || e.link == 0.0f) {
            return;
        }
        if (e.link == -1.0f) {
            At(e, Problem::NoLinkNumber,
               "a displacement without a link number (-1) sets off at once and stays at its far "
               "end; give it link 0 to move by itself, or the number of its switch or sensor");
            return;
        }
        if (!IsWhole(e.link) || triggered_.count(RoundToPixel(e.link)) == 0) {
            At(e, Problem::LinkWithoutTrigger,
               "link " + Number(e.link) + " has no switch or sensor");
        }
    }

    const level::Level& level_;
    std::set<std::int32_t> triggered_;
    std::set<std::int32_t> awaited_;
    double startX_ = 0;
    double startY_ = 0;
    std::vector<Finding> findings_;
};

}  // namespace

std::vector<Finding> CheckLevel(const level::Level& level) {
    return Checker(level).Run();
}

std::string FindingLine(const Finding& finding) {
    return std::to_string(finding.column) + " " + std::to_string(finding.row) + ": " + finding.text;
}

}  // namespace tessaron::game
