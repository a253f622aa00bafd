#include "solver/search.h"
#include "runtime/random.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>
#include <thread>
#include <unordered_map>
#include <utility>

namespace tessaron::solver {

namespace {

using level::Code;
using level::ElementKind;

constexpr float kTakenGoal = level::TakenCode(Code(ElementKind::Goal));
constexpr float kTakenDisk = level::TakenCode(Code(ElementKind::Disk));
// The cells around the level where the ball can still be; beyond them it falls for ever.
constexpr std::int32_t kRim = 2;

// Elements whose change alters the way through the level for good: a save point taken (where
// spikes send the ball from then on) and a bush worn away (an opening). Coins only bring points
// and are left out.
bool IsLandmark(float kind) {
    return kind == Code(ElementKind::Disk) ||
           (kind >= Code(ElementKind::Bush25) && kind <= Code(ElementKind::Bush));
}
bool IsPassed(float kind) {
    return kind == kTakenDisk || kind == Code(ElementKind::BushGone);
}

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
    reached_[Index(cell)] = 1;
}

bool Reach::Reached(const Cell& cell) const {
    return Inside(cell) && reached_[Index(cell)] != 0;
}

// ---------------------------------------------------------------------------------------------
// The search

// What one exploration started from and what it found, kept apart from the archive until the
// batch is taken in.
struct Search::Exploration {
    const Place* from = nullptr;
    RunId fromRun = Runs::kEmpty;
    std::int64_t fromPasses = 0;
    std::uint32_t seed = 0;

    // The run from `from` on, stretch by stretch.
    struct Stretch {
        std::uint8_t keys;
        std::uint32_t passes;
    };
    std::vector<Stretch> stretches;
    // A place found, reached by the first `stretches` stretches.
    struct Found {
        std::size_t stretches;
        Place place;
    };
    std::vector<Found> found;
    std::optional<std::size_t> winStretches;
    std::int32_t winScore = 0;
    // The cells the ball was in, each new one once in a row.
    std::vector<Cell> cells;
    std::int64_t passes = 0;
};

Search::Search(const World& start, const Machines& machines, const SearchSettings& settings)
    : machines_(machines),
      settings_(settings),
      start_(start),
      worlds_(static_cast<std::size_t>(std::max(settings.threads, 1)), start),
      base_(SettledElements(start, machines)),
      goals_(start.state.level.elements),
      reach_(start.state.level.levelWidth, start.state.level.levelHeight),
      archive_(static_cast<float>(std::hypot(double(start.state.level.levelWidth),
                                             double(start.state.level.levelHeight))),
               settings.weights, settings.snapshotBudget),
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
    const play::Game& state = world.state;
    PlaceKey key;
    key.cell = BallCell(state.level);
    key.inWater = state.player.InWater();
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

Place Search::MakePlace(const World& world, std::vector<std::int32_t> links) const {
    Place place;
    place.key = KeyOf(world, links);
    place.steps =
        static_cast<std::int32_t>(links.size()) + LandmarksPassed(world.state.level.elements);
    place.score = world.state.level.score;
    place.snapshot = base_.Take(world);
    place.links = std::move(links);
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

void Search::Explore(Exploration& e, World& world, std::int64_t shorterThan) const {
    if (e.fromPasses + 1 >= shorterThan) {
        return;  // nothing shorter can start here
    }
    base_.Restore(e.from->snapshot, world);
    std::vector<std::int32_t> links = e.from->links;
    runtime::Random random(e.seed);
    // The places this exploration found, by the length of its run to them.
    std::unordered_map<PlaceKey, std::int64_t, PlaceKeyHash> own;
    std::int64_t length = e.fromPasses;
    std::int32_t left = settings_.explorePasses;
    while (left > 0) {
        const std::uint8_t keys = DrawKeys(random);
        const std::int32_t stretch = std::min(DrawStretch(random), left);
        // Passes of this stretch not yet in e.stretches.
        std::uint32_t pending = 0;
        const auto close = [&]() {
            if (pending > 0) {
                e.stretches.push_back({keys, pending});
                pending = 0;
            }
        };
        for (std::int32_t i = 0; i < stretch; ++i, --left) {
            RunPass(world, keys, machines_);
            ++e.passes;
            ++pending;
            ++length;
            if (goals_.Taken(world.state.level.elements)) {
                // The goal's cell is reached too.
                e.cells.push_back(BallCell(world.state.level));
                close();
                e.winStretches = e.stretches.size();
                e.winScore = world.state.level.score;
                return;
            }
            if (length + 1 >= shorterThan) {
                return;  // no win from here can be shorter than the one in hand
            }
            NoteLink(links, world.state.level.triggeredLink);
            const Cell cell = BallCell(world.state.level);
            if (!reach_.Inside(cell)) {
                return;  // the ball has left the level: nothing more to find here
            }
            if (e.cells.empty() || !(e.cells.back() == cell)) {
                e.cells.push_back(cell);
            }

            const PlaceKey key = KeyOf(world, links);
            const Place* known = archive_.Find(key);
            if (known != nullptr && known->passes <= length) {
                continue;
            }
            const auto found = own.find(key);
            if (found != own.end() && found->second <= length) {
                continue;
            }
            own[key] = length;
            close();
            e.found.push_back({e.stretches.size(), MakePlace(world, links)});
        }
        close();
    }
}

void Search::RunBatch(std::vector<Exploration>& batch, std::int64_t shorterThan) {
    // Each worker takes the next exploration not yet taken; which worker runs which changes
    // nothing, as every exploration restores the whole game it starts from.
    std::atomic<std::size_t> next{0};
    const auto work = [&](World& world) {
        for (std::size_t i = next++; i < batch.size(); i = next++) {
            Explore(batch[i], world, shorterThan);
        }
    };
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < worlds_.size() && t < batch.size(); ++t) {
        helpers.emplace_back(work, std::ref(worlds_[t]));
    }
    work(worlds_.front());
    for (std::thread& helper : helpers) {
        helper.join();
    }
}

std::optional<RunId> Search::TakeIn(Exploration& e) {
    passes_ += e.passes;
    for (const Cell& cell : e.cells) {
        NoteNearest(cell);
        reach_.Mark(cell);
    }
    std::vector<RunId> runs(e.stretches.size() + 1, e.fromRun);
    for (std::size_t i = 0; i < e.stretches.size(); ++i) {
        runs[i + 1] = runs_.Extend(runs[i], e.stretches[i].keys, e.stretches[i].passes);
    }
    for (Exploration::Found& found : e.found) {
        Place& place = found.place;
        place.run = runs[found.stretches];
        place.passes = runs_.Length(place.run);
        Place* known = archive_.Find(place.key);
        if (known == nullptr) {
            archive_.Add(std::move(place));
        } else if (known->passes > place.passes) {
            archive_.Replace(*known, std::move(place));
        }
    }
    if (e.winStretches) {
        return runs[*e.winStretches];
    }
    return std::nullopt;
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
    Place first = MakePlace(start_, {});
    first.run = Runs::kEmpty;
    archive_.Add(std::move(first));

    SearchResult result;
    RunId best = Runs::kEmpty;
    std::int64_t bestLength = std::numeric_limits<std::int64_t>::max();
    std::int64_t passLimit =
        settings_.passLimit > 0 ? settings_.passLimit : std::numeric_limits<std::int64_t>::max();
    double reported = 0.0;
    constexpr double kReportEvery = 0.25;
    std::vector<Exploration> batch;
    for (;;) {
        const double seconds = elapsed();
        if (seconds >= settings_.seconds || passes_ >= passLimit) {
            break;
        }
        if (seconds - reported >= kReportEvery) {
            reported = seconds;
            progress(totals());
        }
        batch.assign(static_cast<std::size_t>(std::max(settings_.batch, 1)), Exploration{});
        for (Exploration& e : batch) {
            e.from = &archive_.Choose(random_);
            e.fromRun = e.from->run;
            e.fromPasses = e.from->passes;
            e.seed = static_cast<std::uint32_t>(random_.Next(std::numeric_limits<int>::max()));
        }
        RunBatch(batch, bestLength);
        for (Exploration& e : batch) {
            const std::optional<RunId> win = TakeIn(e);
            if (!win || runs_.Length(*win) >= bestLength) {
                continue;
            }
            if (!result.found) {
                // A win: the search goes on for a share of the passes it took, for a shorter
                // one.
                result.found = true;
                passLimit = std::min(
                    passLimit, passes_ + static_cast<std::int64_t>(settings_.shorterShare *
                                                                   static_cast<double>(passes_)));
            }
            best = *win;
            bestLength = runs_.Length(*win);
            result.score = e.winScore;
        }
    }

    if (result.found) {
        result.plan = runs_.Plan(best);
    } else {
        const Place& nearest = archive_.Best();
        result.plan = runs_.Plan(nearest.run);
        result.score = nearest.score;
    }
    result.nearest = nearest_;
    result.nearestDistance = nearestDistance_;
    result.totals = totals();
    progress(result.totals);
    return result;
}

}  // namespace tessaron::solver
