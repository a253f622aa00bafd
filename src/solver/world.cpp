#include "solver/world.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "game/clockwork.h"
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
             const std::vector<level::Element>& records, const level::ElementList& base,
             const game::Clockwork* clockwork = nullptr, std::uint64_t leftAlone = 0) {
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
            // A clockwork element left to it is not written: it stands where its passes put it.
            if (clockwork == nullptr || !clockwork->Holds(nextNoted, leftAlone)) {
                Put(level, nextNoted, base[nextNoted]);
            }
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

// Lists a snapshot's work reuses. Each thread keeps its own, so that taking or restoring one
// allocates nothing for them once they have grown.
struct TakeLists {
    std::vector<std::uint32_t> noted;
    std::vector<std::uint32_t> kept;
};
thread_local TakeLists takeLists;

// The clockwork's part of putting a snapshot back, once its records are in place: its groups
// are left to it again where the snapshot had them so, and stand after its passes.
void FinishRestore(const Snapshot& s, level::Level& level, game::UpdateSchedule& schedule) {
    if (s.clockwork != 0 && schedule.TheClockwork() != nullptr) {
        schedule.Attach(level, s.passes, s.clockwork);
    } else {
        schedule.SetPasses(s.passes);
    }
}

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
    // The records of the clockwork's elements left to it are not in the list: they stand as
    // after the passes run.
    const bool clockworking = schedule_ != nullptr && schedule_->Clockworking();
    const auto recordOf = [&](std::size_t i) {
        level::Element record = elements[i];
        if (clockworking && schedule_->LeftToClockwork(i)) {
            const game::Clockwork& clockwork = *schedule_->TheClockwork();
            clockwork.Put(clockwork.NumberOf(i), schedule_->Passes(), record);
        }
        return record;
    };
    if (base_ == nullptr || base_->elements.size() != elements.size()) {
        for (std::size_t i = 0; i < elements.size(); ++i) {
            keep(i, game::RestoredRecord(recordOf(i)));
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
        if (clockworking) {
            std::vector<std::uint32_t> clockwork;
            for (const std::int32_t i : schedule_->TheClockwork()->Elements()) {
                if (schedule_->LeftToClockwork(static_cast<std::size_t>(i))) {
                    clockwork.push_back(static_cast<std::uint32_t>(i));
                }
            }
            std::vector<std::uint32_t> all;
            std::set_union(candidates.begin(), candidates.end(), clockwork.begin(), clockwork.end(),
                           std::back_inserter(all));
            candidates.swap(all);
        }
        for (const std::uint32_t i : candidates) {
            const level::Element record = game::RestoredRecord(recordOf(i));
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
    if (schedule_ != nullptr) {
        // The save point holds every element as it was then, rounded: from here on the
        // clockwork's elements move from there, as ordinary elements.
        schedule_->Detach(level);
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
    world.savePoint.Bind(&world.state.schedule);
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
    const bool stillTorches = std::all_of(elements.begin(), elements.end(), [&](const auto& e) {
        return !IsTorch(e.kind) || still(e);
    });
    if (stillTorches) {
        for (std::size_t i = 0; i < elements.size(); ++i) {
            if (IsTorch(elements[i].kind)) {
                elements[i].kind = level::Code(level::ElementKind::Empty);
                level::ElementChanged(world.state.level, i);
            }
        }
        world.lean = true;
    }
    world.state.schedule.UseClockwork(world.state.level, game::Clockwork::Of(world.state.level));
    return world;
}

bool SnapshotBase::SameGame(const Snapshot& a, const Snapshot& b,
                            const game::Clockwork* clockwork) const {
    if (!play::SameMoment(a.moment, b.moment) || !(a.random == b.random) ||
        !a.savePoint.SameAs(b.savePoint)) {
        return false;
    }
    const bool plain = clockwork == nullptr ||
                       (a.clockwork == b.clockwork && (a.clockwork == 0 || a.passes == b.passes));
    if (plain) {
        return a.changedIndices == b.changedIndices && a.changed.size() == b.changed.size() &&
               (a.changed.empty() || std::memcmp(a.changed.data(), b.changed.data(),
                                                 a.changed.size() * sizeof(level::Element)) == 0);
    }
    // The clockwork's elements stand as their passes put them in one of the two (or both, after
    // different numbers of passes): each record is compared as it stands in each game.
    const level::ElementList& base = base_->elements;
    const auto recordsOf = [&](const Snapshot& s) {
        std::vector<std::pair<std::uint32_t, level::Element>> records;
        for (std::size_t k = 0; k < s.changed.size(); ++k) {
            records.emplace_back(s.changedIndices[k], s.changed[k]);
        }
        for (const std::int32_t i : clockwork->Elements()) {
            if (clockwork->Holds(static_cast<std::size_t>(i), s.clockwork)) {
                level::Element record = base[static_cast<std::size_t>(i)];
                clockwork->Put(clockwork->NumberOf(static_cast<std::size_t>(i)), s.passes, record);
                records.emplace_back(static_cast<std::uint32_t>(i), record);
            }
        }
        std::sort(records.begin(), records.end(),
                  [](const auto& x, const auto& y) { return x.first < y.first; });
        // Records equal to the base's are as good as left out.
        std::erase_if(records,
                      [&base](const auto& r) { return SameBytes(r.second, base[r.first]); });
        return records;
    };
    const auto ra = recordsOf(a);
    const auto rb = recordsOf(b);
    return ra.size() == rb.size() &&
           std::equal(ra.begin(), ra.end(), rb.begin(), [](const auto& x, const auto& y) {
               return x.first == y.first && SameBytes(x.second, y.second);
           });
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
    s.passes = state.schedule.Passes();
    s.clockwork = state.schedule.AttachedGroups();
    const level::ElementList& elements = state.level.elements;
    std::vector<std::uint32_t>& kept = takeLists.kept;
    kept.clear();
    const auto keep = [&](std::size_t i) {
        // A clockwork element left to it stands as its passes put it, whatever its record.
        if (!state.schedule.LeftToClockwork(i)) {
            kept.push_back(static_cast<std::uint32_t>(i));
        }
    };
    std::vector<std::uint32_t>& noted = takeLists.noted;
    if (elements.size() == base.size() && SortedJournal(state.level, noted)) {
        for (const std::uint32_t i : noted) {
            if (!SameBytes(elements[i], base[i])) {
                keep(i);
            }
        }
    } else {
        ForEachDifference(elements, base, keep);
    }
    // Both lists get at once the room that growing them record by record would have left them
    // (the next power of two): the archive's budget counts that room, and so lets go of the same
    // places as ever, while the records are neither copied on the way nor their memory touched
    // twice.
    if (!kept.empty()) {
        const std::size_t room = std::bit_ceil(kept.size());
        s.changedIndices.reserve(room);
        s.changed.reserve(room);
    }
    s.changedIndices.assign(kept.begin(), kept.end());
    for (const std::uint32_t i : kept) {
        s.changed.push_back(elements[i]);
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
    game::UpdateSchedule& schedule = state.schedule;
    // The clockwork's groups it does not leave to it are ordinary elements there, among the
    // records below.
    schedule.Detach(level, ~s.clockwork);
    if (level.elements.size() != base.size()) {
        // A list of another length (no pass makes one) is replaced whole: the level's indexes
        // are built afresh, with the changes below, before the next pass uses them.
        level::ReplaceElements(level, base);
        for (std::size_t i = 0; i < s.changed.size(); ++i) {
            level.elements[s.changedIndices[i]] = s.changed[i];
        }
        level::IndexOf(level).ResetJournal(s.changedIndices);
        FinishRestore(s, level, schedule);
        return;
    }
    // Only the records that differ from the snapshot's are written, each through
    // ElementChanged: the indexes stay true without being built again for the whole list, and
    // the update pass visits the records written. A record left as it was keeps its place in
    // the indexes, which is the same as for the snapshot's game: whether an element may sleep
    // depends on nothing but its own record.
    std::vector<std::uint32_t>& differing = takeLists.noted;
    if (!SortedJournal(level, differing)) {
        differing.clear();
        ForEachDifference(level.elements, base, [&differing](std::size_t i) {
            differing.push_back(static_cast<std::uint32_t>(i));
        });
    }
    // Both lists are in list order: the records that may differ from the base now and those
    // that differ from it in the snapshot.
    PutBack(level, differing, s.changedIndices, s.changed, base, schedule.TheClockwork(),
            s.clockwork);
    level::IndexOf(level).ResetJournal(s.changedIndices);
    FinishRestore(s, level, schedule);
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
