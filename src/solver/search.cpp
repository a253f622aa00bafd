#include "solver/search.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <utility>

namespace tessaron::solver {

namespace {

using level::Code;
using level::ElementKind;

constexpr float kTakenOffset = static_cast<float>(level::kTakenOffset);
constexpr float kTakenGoal = Code(ElementKind::Goal) + kTakenOffset;
constexpr float kTakenDisk = Code(ElementKind::Disk) + kTakenOffset;
constexpr std::int32_t kWaterDivisor = 3;
// The cells around the level where the ball can still be; beyond them it falls for ever.
constexpr std::int32_t kRim = 2;

// Elements whose change alters the way through the level for good: a save point taken (where
// spikes send the ball from then on) and a bush worn away (an opening). Coins only bring points
// and are left out.
bool IsLandmark(float kind) {
    return kind == Code(ElementKind::Disk) ||
           (kind >= Code(ElementKind::Bush25) && kind <= Code(ElementKind::Bush));
}
bool IsPassed(float kind) { return kind == kTakenDisk || kind == Code(ElementKind::BushGone); }

// The key combinations tried, with how often each is drawn. Left and right together cancel
// out, so they are never pressed together.
struct Choice {
    std::uint8_t keys;
    int weight;
};
constexpr Choice kChoices[] = {
    {kNoKeys, 2}, {kLeft, 3}, {kRight, 3}, {kUp, 2}, {kUp | kLeft, 3}, {kUp | kRight, 3},
};

std::uint8_t DrawKeys(runtime::Random& random) {
    int total = 0;
    for (const Choice& choice : kChoices) {
        total += choice.weight;
    }
    int draw = random.Next(total - 1);
    for (const Choice& choice : kChoices) {
        if (draw < choice.weight) {
            return choice.keys;
        }
        draw -= choice.weight;
    }
    return kNoKeys;
}

// How long keys are held: one time in five a tap of 1 to 5 passes (a hop, a nudge), else a
// stretch of 5 to 40 passes. (Next(n) draws from 0 to n.)
std::int32_t DrawStretch(runtime::Random& random) {
    if (random.Next(4) == 0) {
        return 1 + random.Next(4);
    }
    return 5 + random.Next(35);
}

void NoteLink(std::vector<std::int32_t>& links, std::int32_t link) {
    if (link == -1) {
        return;
    }
    const auto at = std::lower_bound(links.begin(), links.end(), link);
    if (at == links.end() || *at != link) {
        links.insert(at, link);
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Goals and reach

Goals::Goals(const level::ElementList& elements) {
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (elements[i].kind == Code(ElementKind::Goal)) {
            indices_.push_back(i);
            cells_.push_back(Cell{static_cast<std::int32_t>(elements[i].homeColumn),
                                  static_cast<std::int32_t>(elements[i].homeRow)});
        }
    }
}

bool Goals::Taken(const level::ElementList& elements) const {
    for (std::size_t index : indices_) {
        if (index < elements.size() && elements[index].kind == kTakenGoal) {
            return true;
        }
    }
    return false;
}

float Goals::Distance(const Cell& cell) const {
    double nearest = std::numeric_limits<double>::max();
    for (const Cell& goal : cells_) {
        const double dx = double(cell.column) - goal.column;
        const double dy = double(cell.row) - goal.row;
        nearest = std::min(nearest, std::sqrt(dx * dx + dy * dy));
    }
    return static_cast<float>(nearest);
}

Reach::Reach(std::int32_t levelWidth, std::int32_t levelHeight)
    : width_(std::max(levelWidth, 0) + 2 * kRim + 1),
      height_(std::max(levelHeight, 0) + 2 * kRim + 1),
      reached_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_)) {}

bool Reach::Inside(const Cell& cell) const {
    return cell.column >= -kRim && cell.column < width_ - kRim && cell.row >= -kRim &&
           cell.row < height_ - kRim;
}

std::size_t Reach::Index(const Cell& cell) const {
    return static_cast<std::size_t>(cell.row + kRim) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(cell.column + kRim);
}

void Reach::Mark(const Cell& cell) {
    if (!Inside(cell)) {
        return;
    }
    std::uint8_t& reached = reached_[Index(cell)];
    count_ += reached == 0;
    reached = 1;
}

bool Reach::Reached(const Cell& cell) const { return Inside(cell) && reached_[Index(cell)] != 0; }

// ---------------------------------------------------------------------------------------------
// The search

Search::Search(const World& start, const Machines& machines, const SearchSettings& settings)
    : machines_(machines),
      settings_(settings),
      start_(start),
      world_(start),
      base_(SettledElements(start, machines)),
      goals_(start.state.level.elements),
      reach_(start.state.level.levelWidth, start.state.level.levelHeight),
      archive_(static_cast<float>(std::hypot(double(start.state.level.levelWidth),
                                             double(start.state.level.levelHeight))),
               settings.weights),
      random_(settings.seed) {
    const level::ElementList& elements = start.state.level.elements;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (IsLandmark(elements[i].kind)) {
            landmarks_.push_back(i);
        }
    }
}

std::int32_t Search::LandmarksPassed(const level::ElementList& elements) const {
    std::int32_t passed = 0;
    for (std::size_t index : landmarks_) {
        passed += IsPassed(elements[index].kind);
    }
    return passed;
}

PlaceKey Search::KeyOf(const World& world, const std::vector<std::int32_t>& links) const {
    const app::GameState& state = world.state;
    PlaceKey key;
    key.cell = BallCell(state.level);
    key.inWater = state.player.mediumDivisor == kWaterDivisor;
    std::uint64_t progress = MixBits(links.size());
    for (std::int32_t link : links) {
        progress = MixBits(progress ^ static_cast<std::uint32_t>(link));
    }
    // Which landmarks are passed, as a set of bits folded in.
    for (std::size_t i = 0; i < landmarks_.size(); ++i) {
        if (IsPassed(state.level.elements[landmarks_[i]].kind)) {
            progress = MixBits(progress ^ (0x9e3779b97f4a7c15ULL * (i + 1)));
        }
    }
    key.progress = progress;
    return key;
}

Place Search::MakePlace(const World& world, std::vector<std::int32_t> links, RunId run) const {
    Place place;
    place.key = KeyOf(world, links);
    place.steps =
        static_cast<std::int32_t>(links.size()) + LandmarksPassed(world.state.level.elements);
    place.score = world.state.level.score;
    place.snapshot = base_.Take(world);
    place.links = std::move(links);
    place.run = run;
    place.passes = runs_.Length(run);
    place.goalDistance = goals_.Distance(place.key.cell);
    return place;
}

void Search::NoteNearest(const Cell& cell) {
    const float distance = goals_.Distance(cell);
    if (distance < nearestDistance_) {
        nearest_ = cell;
        nearestDistance_ = distance;
    }
}

bool Search::Explore(Place& from, std::int64_t shorterThan, RunId& winner) {
    base_.Restore(from.snapshot, world_);
    std::vector<std::int32_t> links = from.links;
    RunId run = from.run;
    std::int32_t left = settings_.explorePasses;
    while (left > 0) {
        const std::uint8_t keys = DrawKeys(random_);
        const std::int32_t stretch = std::min(DrawStretch(random_), left);
        // Passes of this stretch not yet in `run`.
        std::uint32_t pending = 0;
        for (std::int32_t i = 0; i < stretch; ++i, --left) {
            RunPass(world_, keys, machines_);
            ++passes_;
            ++pending;
            const std::int64_t length = runs_.Length(run) + pending;
            if (goals_.Taken(world_.state.level.elements)) {
                winner = runs_.Extend(run, keys, pending);
                winnerScore_ = world_.state.level.score;
                return true;
            }
            if (length + 1 >= shorterThan) {
                return false;  // no win from here can be shorter than the one in hand
            }
            NoteLink(links, world_.state.level.triggeredLink);
            const Cell cell = BallCell(world_.state.level);
            if (!reach_.Inside(cell)) {
                return false;  // the ball has left the level: nothing more to find here
            }
            NoteNearest(cell);
            reach_.Mark(cell);

            const PlaceKey key = KeyOf(world_, links);
            Place* known = archive_.Find(key);
            if (known != nullptr && known->passes <= length) {
                continue;
            }
            run = runs_.Extend(run, keys, pending);
            pending = 0;
            if (known == nullptr) {
                archive_.Add(MakePlace(world_, links, run));
            } else {
                archive_.Replace(*known, MakePlace(world_, links, run));
            }
        }
        run = runs_.Extend(run, keys, pending);
    }
    return false;
}

SearchResult Search::Run(const std::function<void(const SearchProgress&)>& progress) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point begin = Clock::now();
    const auto elapsed = [&begin]() {
        return std::chrono::duration<double>(Clock::now() - begin).count();
    };
    const auto totals = [&]() {
        SearchProgress now;
        now.seconds = elapsed();
        now.passes = passes_;
        now.places = archive_.Size();
        now.bestScore = archive_.MostPoints();
        return now;
    };

    const Cell startCell = BallCell(start_.state.level);
    NoteNearest(startCell);
    reach_.Mark(startCell);
    archive_.Add(MakePlace(start_, {}, Runs::kEmpty));

    SearchResult result;
    RunId best = Runs::kEmpty;
    std::int64_t bestLength = std::numeric_limits<std::int64_t>::max();
    std::int64_t passLimit = settings_.passLimit > 0 ? settings_.passLimit
                                                     : std::numeric_limits<std::int64_t>::max();
    double reported = 0.0;
    constexpr double kReportEvery = 0.25;
    for (;;) {
        const double seconds = elapsed();
        if (seconds >= settings_.seconds || passes_ >= passLimit) {
            break;
        }
        if (seconds - reported >= kReportEvery) {
            reported = seconds;
            progress(totals());
        }
        Place& from = archive_.Choose(random_);
        if (from.passes + 1 >= bestLength) {
            continue;  // nothing shorter can start here
        }
        RunId winner = Runs::kEmpty;
        if (!Explore(from, bestLength, winner)) {
            continue;
        }
        if (!result.found) {
            // A win: the search goes on for a share of the passes it took, for a shorter one.
            result.found = true;
            passLimit = std::min(passLimit, passes_ + static_cast<std::int64_t>(
                                                          settings_.shorterShare *
                                                          static_cast<double>(passes_)));
        }
        best = winner;
        bestLength = runs_.Length(winner);
        result.score = winnerScore_;
    }

    if (result.found) {
        result.plan = runs_.Plan(best);
    } else {
        const Place& best = archive_.Best();
        result.plan = runs_.Plan(best.run);
        result.score = best.score;
    }
    result.nearest = nearest_;
    result.nearestDistance = nearestDistance_;
    result.totals = totals();
    progress(result.totals);
    return result;
}

}  // namespace tessaron::solver
