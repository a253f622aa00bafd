#include "solver/archive.h"
#include "runtime/random.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tessaron::solver {

namespace {

// A uniform number in [0, 1) from the search's own generator.
double Uniform(runtime::Random& random) {
    constexpr int kBits = 30;
    constexpr int kMaximum = (1 << kBits) - 1;
    const double high = random.Next(kMaximum);
    const double low = random.Next(kMaximum);
    return (high * (1 << kBits) + low) / (double(1 << kBits) * double(1 << kBits));
}

// True when a stands better than b as the best place: nearer the goal, then more points.
bool Better(const Place& a, const Place& b) {
    if (a.goalDistance != b.goalDistance) {
        return a.goalDistance < b.goalDistance;
    }
    return a.score > b.score;
}

}  // namespace

std::uint64_t MixBits(std::uint64_t value) {
    // The finaliser of SplitMix64: every input bit reaches every output bit.
    value ^= value >> 30;
    value *= 0xbf58476d1ce4e5b9ULL;
    value ^= value >> 27;
    value *= 0x94d049bb133111ebULL;
    value ^= value >> 31;
    return value;
}

std::size_t PlaceKeyHash::operator()(const PlaceKey& key) const {
    std::uint64_t h = MixBits(static_cast<std::uint32_t>(key.cell.column));
    h = MixBits(h ^ static_cast<std::uint32_t>(key.cell.row));
    h = MixBits(h ^ static_cast<std::uint8_t>(key.inWater));
    h = MixBits(h ^ key.progress);
    return static_cast<std::size_t>(h);
}

std::size_t SnapshotBytes(const Snapshot& snapshot) {
    return snapshot.changed.capacity() * sizeof(level::Element) +
           snapshot.changedIndices.capacity() * sizeof(std::uint32_t);
}

std::size_t PlaceBytes(const Place& place) {
    // An entry of the index, counted at 56 bytes: a generous bound of its slots (8 bytes each,
    // at most four per place).
    constexpr std::size_t kIndexEntry = 56;
    return sizeof(Place) + place.links.capacity() * sizeof(std::int32_t) + kIndexEntry +
           sizeof(double);  // its weight
}

Archive::Archive(float farDistance, ChoiceWeights weights, std::size_t snapshotBudget)
    : farDistance_(std::max(farDistance, 1.0f)), choice_(weights), budget_(snapshotBudget) {}

void Archive::Hold(const Snapshot& snapshot) {
    snapshotBytes_ += SnapshotBytes(snapshot);
    if (const void* shared = snapshot.savePoint.Shared();
        shared != nullptr && ++savePointHolders_[shared] == 1) {
        snapshotBytes_ += snapshot.savePoint.SharedBytes();
    }
}

void Archive::Release(const Snapshot& snapshot) {
    snapshotBytes_ -= SnapshotBytes(snapshot);
    if (const void* shared = snapshot.savePoint.Shared(); shared != nullptr) {
        const auto holders = savePointHolders_.find(shared);
        if (--holders->second == 0) {
            savePointHolders_.erase(holders);
            snapshotBytes_ -= snapshot.savePoint.SharedBytes();
        }
    }
}

void PlaceIndex::Put(std::uint64_t hash, std::uint32_t position) {
    std::size_t slot = hash & (slots_.size() - 1);
    while (slots_[slot].position != kNone) {
        slot = (slot + 1) & (slots_.size() - 1);
    }
    slots_[slot] = Slot{Tag(hash), position};
}

Place* Archive::Find(const PlaceKey& key) {
    const std::uint32_t at = index_.Find(key, KeyAt());
    return at == PlaceIndex::kNone ? nullptr : &places_[at];
}

const Place* Archive::Find(const PlaceKey& key) const {
    const std::uint32_t at = index_.Find(key, KeyAt());
    return at == PlaceIndex::kNone ? nullptr : &places_[at];
}

Place& Archive::Add(Place place) {
    const bool further = place.steps > mostSteps_;
    mostSteps_ = std::max(mostSteps_, place.steps);
    mostPoints_ = std::max(mostPoints_, place.score);
    index_.Add(place.key, KeyAt());
    placeBytes_ += PlaceBytes(place);
    Hold(place.snapshot);
    places_.push_back(std::move(place));
    if (further) {
        // Every place's weight depends on the most steps taken.
        weights_ = WeightTree{};
        for (const Place& each : places_) {
            weights_.Add(Weight(each));
        }
    } else {
        weights_.Add(Weight(places_.back()));
    }
    KeepWithinBudget();
    return places_.back();
}

void Archive::Replace(Place& known, Place place) {
    // The same key: the same cell and steps, so the same weight, unless the place had lost its
    // snapshot and is explorable again.
    mostPoints_ = std::max(mostPoints_, place.score);
    place.chosen = known.chosen;
    if (known.explorable) {
        Release(known.snapshot);
    }
    placeBytes_ -= PlaceBytes(known);
    placeBytes_ += PlaceBytes(place);
    Hold(place.snapshot);
    const bool wasExplorable = known.explorable;
    known = std::move(place);
    if (!wasExplorable) {
        weights_.Set(index_.Find(known.key, KeyAt()), Weight(known));
    }
    KeepWithinBudget();
}

void Archive::KeepWithinBudget() {
    if (BytesKept() <= budget_) {
        return;
    }
    // The explorable places from the least likely choice up; the newest place stays, so that
    // there is always one to choose.
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i + 1 < places_.size(); ++i) {
        if (places_[i].explorable) {
            order.push_back(i);
        }
    }
    std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        return weights_.Weight(a) < weights_.Weight(b);
    });
    const std::size_t target = budget_ - budget_ / 4;
    for (std::size_t i : order) {
        if (BytesKept() <= target) {
            break;
        }
        Place& place = places_[i];
        Release(place.snapshot);
        // Swapped with empty lists, which frees their memory (clearing would keep it).
        std::vector<level::Element>().swap(place.snapshot.changed);
        std::vector<std::uint32_t>().swap(place.snapshot.changedIndices);
        place.snapshot.savePoint = SearchSavePoint{};
        place.explorable = false;
        weights_.Set(i, 0.0);
    }
}

double Archive::Weight(const Place& place) const {
    if (!place.explorable) {
        return 0.0;
    }
    const double novelty = 1.0 / std::sqrt(1.0 + place.chosen);
    const double standing = place.steps == mostSteps_ ? 1.0 + choice_.mostSteps : 1.0;
    const double near =
        1.0 + choice_.nearGoal * (1.0 - std::min(1.0, double(place.goalDistance) / farDistance_));
    return novelty * standing * near;
}

Place& Archive::Choose(runtime::Random& random) {
    const std::size_t index = weights_.Find(Uniform(random) * weights_.Total());
    Place& place = places_[index];
    ++place.chosen;
    weights_.Set(index, Weight(place));
    return place;
}

const Place& Archive::Best() const {
    const Place* best = &places_.front();
    for (const Place& place : places_) {
        if (Better(place, *best)) {
            best = &place;
        }
    }
    return *best;
}

}  // namespace tessaron::solver
