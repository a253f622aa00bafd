#include "solver/world.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "game/geometry.h"
#include "game/save_point.h"
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
bool SameBytes(const level::Element& a, const level::Element& b) {
    return level::SameBits(a, b);
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

// Writes `record` at position i unless it is there already, telling the level's indexes of the
// change: they stay true without being built again for the whole list.
void Put(level::Level& level, std::size_t i, const level::Element& record) {
    if (!SameBytes(level.elements[i], record)) {
        level.elements[i] = record;
        level::ElementChanged(level, i);
    }
}

// Puts back a kept list of records: at each of `positions` its record of `records`, and at each
// position of `noted` not among them the record of `base`. Both lists of positions are in list
// order.
void PutBack(level::Level& level, const std::vector<std::uint32_t>& noted,
             const std::vector<std::uint32_t>& positions,
             const std::vector<level::Element>& records, const level::ElementList& base) {
    constexpr std::size_t kEnd = std::numeric_limits<std::size_t>::max();
    std::size_t n = 0;
    std::size_t k = 0;
    while (n < noted.size() || k < positions.size()) {
        const std::size_t nextNoted = n < noted.size() ? std::size_t{noted[n]} : kEnd;
        const std::size_t nextKept = k < positions.size() ? std::size_t{positions[k]} : kEnd;
        if (nextKept <= nextNoted) {
            Put(level, nextKept, records[k]);
            ++k;
            n += nextKept == nextNoted;
        } else {
            Put(level, nextNoted, base[nextNoted]);
            ++n;
        }
    }
}

bool IsTorch(float kind) {
    return kind == level::Code(level::ElementKind::Torch) ||
           kind == level::Code(level::ElementKind::TorchFlicker);
}

// The stages of a lean pass: the keys held, and nothing drawn or drawn for.
class HeldKeys final : public play::Stages {
  public:
    explicit HeldKeys(const game::PlayerKeys& keys) : keys_(keys) {}
    play::Flow Keyboard(game::PlayerKeys& keys) override {
        keys = keys_;
        return play::Flow::Continue;
    }
    void Draw() override {}

  private:
    game::PlayerKeys keys_;
};

// The positions of the journal in list order, or null when it holds no note.
bool SortedJournal(const level::Level& level, std::vector<std::uint32_t>& out) {
    const level::ElementIndex& index = level::IndexOf(level);
    if (!index.JournalValid()) {
        return false;
    }
    index.JournalInOrder(out);
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The base list and the save points kept against it

BaseList::BaseList(level::ElementList list) : elements(std::move(list)) {
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (!SameBytes(game::RestoredRecord(elements[i]), elements[i])) {
            roundingChanges.push_back(static_cast<std::uint32_t>(i));
        }
    }
}

struct SearchSavePoint::Kept {
    float viewX = 0.0f;
    float viewY = 0.0f;
    float velocityX = 0.0f;
    float velocityY = 0.0f;
    // The base the records were kept against; null when every record is kept.
    std::shared_ptr<const BaseList> base;
    std::vector<std::uint32_t> positions;  // in list order
    std::vector<level::Element> records;   // as the save point brings them back
};

bool SearchSavePoint::Store(const level::Level& level, const game::Player& player) {
    auto kept = std::make_shared<Kept>();
    kept->viewX = game::RestoredValue(level.viewX);
    kept->viewY = game::RestoredValue(level.viewY);
    kept->velocityX = game::RestoredValue(player.velocityX);
    kept->velocityY = game::RestoredValue(player.velocityY);
    const level::ElementList& elements = level.elements;
    const auto keep = [&kept, &elements](std::size_t i, const level::Element& record) {
        kept->positions.push_back(static_cast<std::uint32_t>(i));
        kept->records.push_back(record);
    };
    std::vector<std::uint32_t> noted;
    if (base_ == nullptr || base_->elements.size() != elements.size()) {
        for (std::size_t i = 0; i < elements.size(); ++i) {
            keep(i, game::RestoredRecord(elements[i]));
        }
    } else {
        kept->base = base_;
        // A record can differ from the base after rounding only where it differs from the base
        // or where rounding changes the base's own record.
        if (!SortedJournal(level, noted)) {
            ForEachDifference(elements, base_->elements, [&noted](std::size_t i) {
                noted.push_back(static_cast<std::uint32_t>(i));
            });
        }
        std::vector<std::uint32_t> candidates;
        std::set_union(noted.begin(), noted.end(), base_->roundingChanges.begin(),
                       base_->roundingChanges.end(), std::back_inserter(candidates));
        for (const std::uint32_t i : candidates) {
            const level::Element record = game::RestoredRecord(elements[i]);
            if (!SameBytes(record, base_->elements[i])) {
                keep(i, record);
            }
        }
    }
    kept_ = std::move(kept);
    return true;
}

bool SearchSavePoint::Restore(level::Level& level, game::Player& player) {
    if (kept_ == nullptr) {
        return false;
    }
    const Kept& kept = *kept_;
    level::ElementList& elements = level.elements;
    const std::size_t count =
        kept.base != nullptr ? kept.base->elements.size() : kept.records.size();
    if (count != elements.size()) {
        return false;  // another level's: no pass changes the number of records
    }
    std::vector<std::uint32_t> noted;
    const bool sameBase = kept.base != nullptr && kept.base == base_;
    if (sameBase && SortedJournal(level, noted)) {
        // Only the records noted as changed since the journal began, and those kept, can differ
        // from what the save point brings back.
        PutBack(level, noted, kept.positions, kept.records, kept.base->elements);
        level::IndexOf(level).ResetJournal(kept.positions);
    } else {
        std::size_t k = 0;
        for (std::size_t i = 0; i < elements.size(); ++i) {
            if (k < kept.positions.size() && kept.positions[k] == i) {
                Put(level, i, kept.records[k++]);
            } else {
                Put(level, i, kept.base->elements[i]);
            }
        }
        if (base_ != nullptr && base_->elements.size() == elements.size()) {
            std::vector<std::uint32_t> differing;
            ForEachDifference(elements, base_->elements, [&differing](std::size_t i) {
                differing.push_back(static_cast<std::uint32_t>(i));
            });
            level::IndexOf(level).ResetJournal(differing);
        }
    }
    level.viewX = kept.viewX;
    level.viewY = kept.viewY;
    player.velocityX = kept.velocityX;
    player.velocityY = kept.velocityY;
    return true;
}

bool SearchSavePoint::SameAs(const SearchSavePoint& other) const {
    if (kept_ == other.kept_) {
        return true;
    }
    if (kept_ == nullptr || other.kept_ == nullptr) {
        return false;
    }
    const Kept& a = *kept_;
    const Kept& b = *other.kept_;
    return SameBytes(a.viewX, b.viewX) && SameBytes(a.viewY, b.viewY) &&
           SameBytes(a.velocityX, b.velocityX) && SameBytes(a.velocityY, b.velocityY) &&
           a.base == b.base && a.positions == b.positions && a.records.size() == b.records.size() &&
           (a.records.empty() || std::memcmp(a.records.data(), b.records.data(),
                                             a.records.size() * sizeof(level::Element)) == 0);
}

std::size_t SearchSavePoint::SharedBytes() const {
    if (kept_ == nullptr) {
        return 0;
    }
    return sizeof(Kept) + kept_->positions.capacity() * sizeof(std::uint32_t) +
           kept_->records.capacity() * sizeof(level::Element);
}

// ---------------------------------------------------------------------------------------------

game::PlayerKeys PlayerKeysOf(std::uint8_t keys) {
    game::PlayerKeys held;
    held.up = (keys & kUp) != 0;
    held.left = (keys & kLeft) != 0;
    held.right = (keys & kRight) != 0;
    return held;
}

void RunPass(World& world, std::uint8_t keys, const Machines& machines) {
    runtime::Silence silence;
    const game::Services services{machines.masks, silence, world.savePoint, world.random,
                                  world.state.schedule};
    if (!world.lean) {
        play::RunPlayPass(world.state, PlayerKeysOf(keys), services);
        return;
    }
    HeldKeys stages(PlayerKeysOf(keys));
    play::RunPass(world.state, services, stages);
}

World PreparedForSearch(World world) {
    level::ElementList& elements = world.state.level.elements;
    const auto still = [](const level::Element& e) {
        // No speed moves it, and it is not under way, which would let it carry the ball.
        return e.speedX == 0.0f && e.speedY == 0.0f &&
               !(0.0f < e.travelled && e.travelled < e.length);
    };
    for (const level::Element& e : elements) {
        if (IsTorch(e.kind) && !still(e)) {
            return world;
        }
    }
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (IsTorch(elements[i].kind)) {
            elements[i].kind = level::Code(level::ElementKind::Empty);
            level::ElementChanged(world.state.level, i);
        }
    }
    world.lean = true;
    return world;
}

bool SameGame(const Snapshot& a, const Snapshot& b) {
    return play::SameMoment(a.moment, b.moment) && a.random == b.random &&
           a.savePoint.SameAs(b.savePoint) && a.changedIndices == b.changedIndices &&
           a.changed.size() == b.changed.size() &&
           (a.changed.empty() || std::memcmp(a.changed.data(), b.changed.data(),
                                             a.changed.size() * sizeof(level::Element)) == 0);
}

SnapshotBase::SnapshotBase(level::ElementList base)
    : base_(std::make_shared<const BaseList>(std::move(base))) {}

Snapshot SnapshotBase::Take(const World& world) const {
    const play::Game& state = world.state;
    const level::ElementList& base = base_->elements;
    Snapshot s;
    s.moment = play::MomentOf(state);
    s.random = world.random;
    s.savePoint = world.savePoint;
    const level::ElementList& elements = state.level.elements;
    const auto keep = [&](std::size_t i) {
        s.changedIndices.push_back(static_cast<std::uint32_t>(i));
        s.changed.push_back(elements[i]);
    };
    std::vector<std::uint32_t> noted;
    if (elements.size() == base.size() && SortedJournal(state.level, noted)) {
        for (const std::uint32_t i : noted) {
            if (!SameBytes(elements[i], base[i])) {
                keep(i);
            }
        }
    } else {
        ForEachDifference(elements, base, keep);
    }
    return s;
}

void SnapshotBase::Restore(const Snapshot& s, World& world) const {
    play::Game& state = world.state;
    const level::ElementList& base = base_->elements;
    play::PutMoment(s.moment, state);
    world.random = s.random;
    world.savePoint = s.savePoint;
    level::Level& level = state.level;
    if (level.elements.size() != base.size()) {
        // A list of another length (no pass makes one) is replaced whole: the level's indexes
        // are built afresh, with the changes below, before the next pass uses them.
        level::ReplaceElements(level, base);
        for (std::size_t i = 0; i < s.changed.size(); ++i) {
            level.elements[s.changedIndices[i]] = s.changed[i];
        }
        level::IndexOf(level).ResetJournal(s.changedIndices);
        return;
    }
    // Only the records that differ from the snapshot's are written, each through
    // ElementChanged: the indexes stay true without being built again for the whole list, and
    // the update pass visits the records written. A record left as it was keeps its place in
    // the indexes, which is the same as for the snapshot's game: whether an element may sleep
    // depends on nothing but its own record.
    std::vector<std::uint32_t> differing;
    if (!SortedJournal(level, differing)) {
        ForEachDifference(level.elements, base, [&differing](std::size_t i) {
            differing.push_back(static_cast<std::uint32_t>(i));
        });
    }
    // Both lists are in list order: the records that may differ from the base now and those
    // that differ from it in the snapshot.
    PutBack(level, differing, s.changedIndices, s.changed, base);
    level::IndexOf(level).ResetJournal(s.changedIndices);
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
