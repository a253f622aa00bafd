// The places the search has reached, each with the shortest run found to it and the game as it
// stood there, and the choice of the place to explore from next.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <unordered_map>
#include <vector>

#include "runtime/files.h"
#include "solver/runs.h"
#include "solver/world.h"

namespace tessaron::solver {

// What makes a place: the ball's cell, its coarse motion, whether it is in water, the points and
// the progress made (links set off, save points taken). Two moments with the same key are the
// same place to the search, whatever else differs (where the lifts are, the clock).
struct PlaceKey {
    Cell cell;
    std::int8_t motionX = 0;  // -2 fast left .. 2 fast right
    std::int8_t motionY = 0;  // -1 falling, 0 about still, 1 rising
    std::int8_t inWater = 0;
    std::int32_t score = 0;
    std::uint64_t progress = 0;
    bool operator==(const PlaceKey&) const = default;
};

struct PlaceKeyHash {
    std::size_t operator()(const PlaceKey& key) const;
};

// How far a place has come: its points and its progress steps. Places of the most progress are
// the search's frontier.
struct Standing {
    std::int32_t score = 0;
    std::int32_t steps = 0;  // links set off and save points taken
    bool operator==(const Standing&) const = default;
    auto operator<=>(const Standing&) const = default;
};

struct Place {
    PlaceKey key;
    Standing standing;
    Snapshot snapshot;
    std::vector<std::int32_t> links;  // the links set off on the way there, in ascending order
    RunId run = Runs::kEmpty;
    std::int64_t passes = 0;          // the length of that run
    float goalDistance = 0.0f;        // cells from the ball to the nearest goal
    std::uint32_t chosen = 0;         // explorations started here
};

// How the choice weighs a place: novelty (a place explored often is chosen less), standing (a
// place of the best standing more) and nearness to the goal.
struct ChoiceWeights {
    double bestStanding = 4.0;  // extra weight of a place of the best standing reached
    double nearGoal = 2.0;      // extra weight of a place at the goal, falling to 0 far from it
};

class Archive {
public:
    explicit Archive(float farDistance, ChoiceWeights weights = {});

    // The place of that key, or null.
    Place* Find(const PlaceKey& key);
    Place& Add(Place place);
    std::size_t Size() const { return places_.size(); }
    const Place& At(std::size_t index) const { return places_[index]; }

    // A place to explore from, drawn by weight; counts the choice.
    Place& Choose(runtime::Random& random);
    double Weight(const Place& place) const;

    // The place of the most points, nearest the goal among those.
    const Place& Best() const;
    const Standing& BestStanding() const { return best_; }

private:
    float farDistance_;
    ChoiceWeights weights_;
    // A deque: places never move, so a place found stays valid while others are added.
    std::deque<Place> places_;
    std::unordered_map<PlaceKey, std::size_t, PlaceKeyHash> index_;
    Standing best_;
    std::vector<double> scratch_;
};

}  // namespace tessaron::solver
