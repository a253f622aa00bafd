#include "solver/archive.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tessaron::solver {

namespace {

std::uint64_t Mix(std::uint64_t value) {
    // The finaliser of SplitMix64: every input bit reaches every output bit.
    value ^= value >> 30;
    value *= 0xbf58476d1ce4e5b9ULL;
    value ^= value >> 27;
    value *= 0x94d049bb133111ebULL;
    value ^= value >> 31;
    return value;
}

// A uniform number in [0, 1) from the search's own generator.
double Uniform(runtime::Random& random) {
    constexpr int kBits = 30;
    constexpr int kMaximum = (1 << kBits) - 1;
    const double high = random.Next(kMaximum);
    const double low = random.Next(kMaximum);
    return (high * (1 << kBits) + low) / (double(1 << kBits) * double(1 << kBits));
}

// True when a stands better than b as the best place: more points, then nearer the goal.
bool Better(const Place& a, const Place& b) {
    if (a.standing.score != b.standing.score) {
        return a.standing.score > b.standing.score;
    }
    return a.goalDistance < b.goalDistance;
}

}  // namespace

std::size_t PlaceKeyHash::operator()(const PlaceKey& key) const {
    std::uint64_t h = Mix(static_cast<std::uint32_t>(key.cell.column));
    h = Mix(h ^ static_cast<std::uint32_t>(key.cell.row));
    h = Mix(h ^ (static_cast<std::uint64_t>(static_cast<std::uint8_t>(key.motionX)) |
                 static_cast<std::uint64_t>(static_cast<std::uint8_t>(key.motionY)) << 8 |
                 static_cast<std::uint64_t>(static_cast<std::uint8_t>(key.inWater)) << 16));
    h = Mix(h ^ static_cast<std::uint32_t>(key.score));
    h = Mix(h ^ key.progress);
    return static_cast<std::size_t>(h);
}

Archive::Archive(float farDistance, ChoiceWeights weights)
    : farDistance_(std::max(farDistance, 1.0f)), weights_(weights) {}

Place* Archive::Find(const PlaceKey& key) {
    const auto it = index_.find(key);
    return it == index_.end() ? nullptr : &places_[it->second];
}

Place& Archive::Add(Place place) {
    best_ = std::max(best_, place.standing);
    index_.emplace(place.key, places_.size());
    places_.push_back(std::move(place));
    return places_.back();
}

double Archive::Weight(const Place& place) const {
    const double novelty = 1.0 / std::sqrt(1.0 + place.chosen);
    const double standing = place.standing == best_ ? 1.0 + weights_.bestStanding : 1.0;
    const double near =
        1.0 + weights_.nearGoal * (1.0 - std::min(1.0, double(place.goalDistance) / farDistance_));
    return novelty * standing * near;
}

Place& Archive::Choose(runtime::Random& random) {
    scratch_.resize(places_.size());
    double total = 0.0;
    for (std::size_t i = 0; i < places_.size(); ++i) {
        total += Weight(places_[i]);
        scratch_[i] = total;
    }
    const double target = Uniform(random) * total;
    const auto it = std::upper_bound(scratch_.begin(), scratch_.end(), target);
    const std::size_t index =
        std::min(static_cast<std::size_t>(it - scratch_.begin()), places_.size() - 1);
    Place& place = places_[index];
    ++place.chosen;
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
