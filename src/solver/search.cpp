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
// A disk counts as a dead end only when every place found after taking it was explored at least
// this often.
constexpr std::uint32_t kExhausted = 4;
constexpr std::size_t kMostDisks = 64;

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
    std::uint64_t winDisks = 0;
    // Where the ball fell out of the level: the last cell of the level it was in.
    std::optional<Cell> leftFrom;
    // Keys to play instead of drawn ones (the hint), or null.
    const KeyPlan* plan = nullptr;
    // The cells the ball was in, each new one once in a row.
    std::vector<Cell> cells;
    std::int64_t passes = 0;
};

Search::Search(const World& start, const Machines& machines, const SearchSettings& settings)
    : machines_(machines),
      settings_(settings),
      start_(PreparedForSearch(start)),
      base_(SettledElements(start_, machines)),
      goals_(start.state.level.elements),
      reach_(start.state.level.levelWidth, start.state.level.levelHeight),
      archive_(static_cast<float>(std::hypot(double(start.state.level.levelWidth),
                                             double(start.state.level.levelHeight))),
               settings.weights, settings.snapshotBudget),
      random_(settings.seed) {
    start_.savePoint.UseBase(base_.Base());
    worlds_.assign(static_cast<std::size_t>(std::max(settings.threads, 1)), start_);
    const level::ElementList& elements = start.state.level.elements;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (IsLandmark(elements[i].kind)) {
            landmarks_.push_back(i);
        }
        if (elements[i].kind == Code(ElementKind::Disk) && disks_.size() < kMostDisks) {
            disks_.push_back(i);
        }
    }
}

std::uint64_t Search::DisksTaken(const level::ElementList& elements) const {
    std::uint64_t taken = 0;
    for (std::size_t d = 0; d < disks_.size(); ++d) {
        if (elements[disks_[d]].kind == kTakenDisk) {
            taken |= std::uint64_t{1} << d;
        }
    }
    return taken;
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
    place.disks = DisksTaken(world.state.level.elements);
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
    std::int64_t left = e.plan != nullptr ? static_cast<std::int64_t>(e.plan->size())
                                          : std::int64_t{settings_.explorePasses};
    std::size_t planned = 0;  // passes of the plan played
    while (left > 0) {
        std::uint8_t keys = 0;
        std::int64_t stretch = 0;
        if (e.plan != nullptr) {
            keys = (*e.plan)[planned];
            while (planned < e.plan->size() && (*e.plan)[planned] == keys) {
                ++planned;
                ++stretch;
            }
        } else {
            keys = DrawKeys(random);
            stretch = std::min<std::int64_t>(DrawStretch(random), left);
        }
        // Passes of this stretch not yet in e.stretches.
        std::uint32_t pending = 0;
        const auto close = [&]() {
            if (pending > 0) {
                e.stretches.push_back({keys, pending});
                pending = 0;
            }
        };
        for (std::int64_t i = 0; i < stretch; ++i, --left) {
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
                e.winDisks = DisksTaken(world.state.level.elements);
                return;
            }
            if (length + 1 >= shorterThan) {
                return;  // no win from here can be shorter than the one in hand
            }
            NoteLink(links, world.state.level.triggeredLink);
            const Cell cell = BallCell(world.state.level);
            if (!reach_.Inside(cell)) {
                // The ball has left the level: nothing more to find here. The last cell of
                // the level it was in is where the level lets it out.
                const auto in = std::find_if(e.cells.rbegin(), e.cells.rend(), [&](const Cell& c) {
                    return c.column >= 1 && c.column <= start_.state.level.levelWidth &&
                           c.row >= 1 && c.row <= start_.state.level.levelHeight;
                });
                if (in != e.cells.rend()) {
                    e.leftFrom = *in;
                }
                return;
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
    if (e.leftFrom && !leftFrom_) {
        leftFrom_ = e.leftFrom;
    }
    for (const Cell& cell : e.cells) {
        NoteNearest(cell);
        reach_.Mark(cell);
    }
    std::vector<RunId> runs(e.stretches.size() + 1, e.fromRun);
    for (std::size_t i = 0; i < e.stretches.size(); ++i) {
        runs[i + 1] = runs_.Extend(runs[i], e.stretches[i].keys, e.stretches[i].passes);
    }
    archive_.SetOtherBytes(runs_.Bytes());
    for (Exploration::Found& found : e.found) {
        if (!archive_.Room()) {
            break;  // the budget holds no more places: the search makes do with those it has
        }
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
        winDisks_ |= e.winDisks;
        return runs[*e.winStretches];
    }
    return std::nullopt;
}

std::vector<Cell> Search::DeadEnds() const {
    std::vector<Cell> deadEnds;
    for (std::size_t d = 0; d < disks_.size(); ++d) {
        const std::uint64_t bit = std::uint64_t{1} << d;
        if ((winDisks_ & bit) != 0) {
            continue;
        }
        bool any = false;
        bool exhausted = true;
        for (std::size_t i = 0; i < archive_.Size() && exhausted; ++i) {
            const Place& place = archive_.At(i);
            if ((place.disks & bit) != 0) {
                any = true;
                exhausted = place.explorable && place.chosen >= kExhausted;
            }
        }
        if (any && exhausted) {
            const level::Element& disk = start_.state.level.elements[disks_[d]];
            deadEnds.push_back(Cell{static_cast<std::int32_t>(disk.homeColumn),
                                    static_cast<std::int32_t>(disk.homeRow)});
        }
    }
    return deadEnds;
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
    // Takes in what a batch found, in the order it was chosen, and keeps the shortest win.
    const auto takeIn = [&](std::vector<Exploration>& explored) {
        for (Exploration& e : explored) {
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
    };
    std::vector<Exploration> batch;
    if (!settings_.hint.empty()) {
        batch.assign(1, Exploration{});
        batch[0].from = &archive_.At(0);
        batch[0].plan = &settings_.hint;
        Explore(batch[0], worlds_.front(), bestLength);
        takeIn(batch);
    }
    for (;;) {
        const double seconds = elapsed();
        if (seconds >= settings_.seconds || passes_ >= passLimit) {
            break;
        }
        if (settings_.stop != nullptr && settings_.stop->load()) {
            result.stopped = true;
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
        takeIn(batch);
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
    result.leftFrom = leftFrom_;
    if (!result.stopped) {
        result.deadEnds = DeadEnds();
    }
    result.totals = totals();
    progress(result.totals);
    return result;
}

}  // namespace tessaron::solver
