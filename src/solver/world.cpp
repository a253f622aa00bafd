#include "solver/world.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "game/geometry.h"
#include "level/cell_geometry.h"
#include "level/element_index.h"
#include "play/pass.h"
#include "runtime/sound_player.h"

namespace tessaron::solver {

namespace {

using level::kCellSize;

// Bit for bit: 0 and -0 differ in what later arithmetic gives, and NaN never equals itself.
template <typename Value>
bool SameBytes(const Value& a, const Value& b) {
    return std::memcmp(&a, &b, sizeof(Value)) == 0;
}

std::int32_t CellOf(float screenCentre, float view) {
    const double cell = std::floor((double{screenCentre} - double{view}) / kCellSize + 0.5);
    // A view offset gone wild (a fall without end) still names some cell.
    return static_cast<std::int32_t>(std::clamp(cell, -1.0e9, 1.0e9));
}

// Records are compared a block at a time: most of a large level's list equals the base, and one
// comparison of a block costs far less than one for each of its records.
constexpr std::size_t kBlock = 64;

// Calls `visit` with the position of every record of `list` that differs from `base` bit for
// bit, in list order. The lists are as long.
template <typename Visit>
void ForEachDifference(const level::ElementList& list, const level::ElementList& base,
                       Visit visit) {
    for (std::size_t first = 0; first < list.size(); first += kBlock) {
        const std::size_t count = std::min(kBlock, list.size() - first);
        if (std::memcmp(&list[first], &base[first], count * sizeof(level::Element)) == 0) {
            continue;
        }
        for (std::size_t i = first; i < first + count; ++i) {
            if (!SameBytes(list[i], base[i])) {
                visit(i);
            }
        }
    }
}

}  // namespace

game::PlayerKeys PlayerKeysOf(std::uint8_t keys) {
    game::PlayerKeys held;
    held.up = (keys & kUp) != 0;
    held.left = (keys & kLeft) != 0;
    held.right = (keys & kRight) != 0;
    return held;
}

void RunPass(World& world, std::uint8_t keys, const Machines& machines) {
    runtime::Silence silence;
    play::RunPlayPass(world.state, PlayerKeysOf(keys),
                      game::Services{machines.masks, silence, world.savePoint, world.random,
                                     world.state.schedule});
}

bool SameGame(const Snapshot& a, const Snapshot& b) {
    return play::SameMoment(a.moment, b.moment) && a.random == b.random &&
           a.savePoint.SameAs(b.savePoint) && a.changedIndices == b.changedIndices &&
           a.changed.size() == b.changed.size() &&
           (a.changed.empty() || std::memcmp(a.changed.data(), b.changed.data(),
                                             a.changed.size() * sizeof(level::Element)) == 0);
}

SnapshotBase::SnapshotBase(level::ElementList base) : base_(std::move(base)) {}

Snapshot SnapshotBase::Take(const World& world) const {
    const play::Game& state = world.state;
    Snapshot s;
    s.moment = play::MomentOf(state);
    s.random = world.random;
    s.savePoint = world.savePoint;
    const level::ElementList& elements = state.level.elements;
    ForEachDifference(elements, base_, [&](std::size_t i) {
        s.changedIndices.push_back(static_cast<std::uint32_t>(i));
        s.changed.push_back(elements[i]);
    });
    return s;
}

void SnapshotBase::Restore(const Snapshot& s, World& world) const {
    play::Game& state = world.state;
    play::PutMoment(s.moment, state);
    world.random = s.random;
    world.savePoint = s.savePoint;
    level::Level& level = state.level;
    if (level.elements.size() != base_.size()) {
        // A list of another length (no pass makes one) is replaced whole: the level's indexes
        // are built afresh, with the changes below, before the next pass uses them.
        level::ReplaceElements(level, base_);
        for (std::size_t i = 0; i < s.changed.size(); ++i) {
            level.elements[s.changedIndices[i]] = s.changed[i];
        }
        return;
    }
    // Only the records that differ from the snapshot's are written, each through
    // ElementChanged: the indexes stay true without being built again for the whole list, and
    // the update pass visits the records written. A record left as it was keeps its place in
    // the indexes, which is the same as for the snapshot's game: whether an element may sleep
    // depends on nothing but its own record.
    level::IndexOf(level);
    std::vector<std::size_t> differing;
    ForEachDifference(level.elements, base_,
                      [&differing](std::size_t i) { differing.push_back(i); });
    const auto put = [&level](std::size_t i, const level::Element& record) {
        if (!SameBytes(level.elements[i], record)) {
            level.elements[i] = record;
            level::ElementChanged(level, i);
        }
    };
    // Both lists are in list order: the records that differ from the base now and those that
    // differ from it in the snapshot.
    std::size_t d = 0;
    std::size_t c = 0;
    while (d < differing.size() || c < s.changed.size()) {
        const std::size_t nextDiffering =
            d < differing.size() ? differing[d] : std::numeric_limits<std::size_t>::max();
        const std::size_t nextChanged = c < s.changed.size()
                                            ? std::size_t{s.changedIndices[c]}
                                            : std::numeric_limits<std::size_t>::max();
        if (nextChanged <= nextDiffering) {
            put(nextChanged, s.changed[c]);
            ++c;
            d += nextChanged == nextDiffering;
        } else {
            put(nextDiffering, base_[nextDiffering]);
            ++d;
        }
    }
}

level::ElementList SettledElements(const World& start, const Machines& machines) {
    World settled = start;
    RunPass(settled, kNoKeys, machines);
    return std::move(settled.state.level.elements);
}

Cell BallCell(const level::Level& level) {
    return Cell{CellOf(game::kCentreX, level.viewX), CellOf(game::kCentreY, level.viewY)};
}

}  // namespace tessaron::solver
