#include "game/clockwork.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "game/motion.h"
#include "level/cell_geometry.h"
#include "runtime/numbers.h"
#include "runtime/random.h"

namespace tessaron::game {

namespace {

using level::Code;
using level::ElementKind;

// A path that has not come round after this many passes is worked out pass by pass as before.
constexpr std::size_t kLongestPath = 4096;
// Positions the cell index of the level lists under a cell; beyond them an element is left to
// the update pass.
constexpr float kModestCell = 65536.0f;
// The grid of the paths' cells holds at most this many cells.
constexpr std::int64_t kMostCells = std::int64_t{1} << 22;
// All paths together hold at most this many records (40 MB); elements beyond are left to the
// update pass.
constexpr std::size_t kMostMotions = std::size_t{1} << 21;

// Kinds that no contact changes and whose update reads no random number and no contact.
bool SteadyKind(float kind) {
    for (const ElementKind steady :
         {ElementKind::Empty, ElementKind::Brick, ElementKind::Concrete, ElementKind::Earth,
          ElementKind::Grass, ElementKind::BushGone, ElementKind::Door, ElementKind::Wood,
          ElementKind::Spikes, ElementKind::SpikesHarmless}) {
        if (kind == Code(steady)) {
            return true;
        }
    }
    return false;
}

// Every value the pass's trigger can take in this level: first that of a pass without one, then
// the links of the switches and sensors, rounded as a contact rounds them, each once. No pass
// changes a kind into a switch or a sensor, nor the link of one.
std::vector<float> TriggerValues(const level::ElementList& elements) {
    std::vector<float> values;
    for (const level::Element& e : elements) {
        if (e.kind == Code(ElementKind::Switch) || e.kind == Code(ElementKind::Sensor)) {
            values.push_back(static_cast<float>(runtime::RoundToInt(static_cast<double>(e.link))));
        }
    }
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    values.insert(values.begin(), -1.0f);
    return values;
}

bool SameMotion(const level::Element& a, const level::Element& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The five fields the update pass changes of a steady element, as one key.
struct MotionKey {
    std::uint32_t bits[5];
    bool operator==(const MotionKey&) const = default;
};
struct MotionKeyHash {
    std::size_t operator()(const MotionKey& key) const {
        std::uint64_t h = 0;
        for (const std::uint32_t b : key.bits) {
            h = (h ^ b) * 0x9e3779b97f4a7c15ULL;
            h ^= h >> 29;
        }
        return static_cast<std::size_t>(h);
    }
};

MotionKey KeyOf(const level::Element& e) {
    return MotionKey{{std::bit_cast<std::uint32_t>(e.column), std::bit_cast<std::uint32_t>(e.row),
                      std::bit_cast<std::uint32_t>(e.motion),
                      std::bit_cast<std::uint32_t>(e.travelled),
                      std::bit_cast<std::uint32_t>(e.pauseCount)}};
}

bool Modest(float value) {
    return std::fabs(value) < kModestCell;
}

std::int64_t CellOf(float value) {
    return static_cast<std::int64_t>(std::floor(value));
}

}  // namespace

std::shared_ptr<const Clockwork> Clockwork::Of(const level::Level& level) {
    const level::ElementList& elements = level.elements;
    const std::vector<float> triggers = TriggerValues(elements);
    auto clockwork = std::make_shared<Clockwork>();
    Clockwork& c = *clockwork;
    c.numberOf_.assign(elements.size(), -1);
    struct Bounds {
        std::int64_t left, top, right, bottom;
    };
    std::vector<Bounds> bounds;
    runtime::Random unused(1);
    std::vector<level::Element> path;
    std::unordered_map<MotionKey, std::uint32_t, MotionKeyHash> seen;
    c.groups_.emplace_back();  // group 0: never triggered
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const level::Element& start = elements[i];
        // An element whose link is that of a pass without a trigger is sent out in every such
        // pass, and held back in every pass with one.
        if (!SteadyKind(start.kind) || (start.speedX == 0.0f && start.speedY == 0.0f) ||
            start.link == triggers.front()) {
            continue;
        }
        const auto trigger = std::find_if(triggers.begin() + 1, triggers.end(),
                                          [&start](float t) { return start.link == t; });
        const bool waits = trigger != triggers.end();
        // The records after 0, 1, 2, ... passes, until one comes again: from there on the path
        // goes round.
        path.clear();
        seen.clear();
        level::Element record = start;
        bool round = false;
        bool fits = true;
        std::uint32_t lead = 0;
        while (path.size() < kLongestPath) {
            if (!Modest(record.column) || !Modest(record.row)) {
                fits = false;
                break;
            }
            const auto [at, added] =
                seen.emplace(KeyOf(record), static_cast<std::uint32_t>(path.size()));
            if (!added) {
                round = true;
                lead = at->second;
                break;
            }
            path.push_back(record);
            UpdateElement(record, triggers.front(), unused);
            // Only the five fields may change: anything else would not be looked up.
            level::Element others = record;
            others.column = start.column;
            others.row = start.row;
            others.motion = start.motion;
            others.travelled = start.travelled;
            others.pauseCount = start.pauseCount;
            if (!SameMotion(others, start)) {
                fits = false;
                break;
            }
        }
        if (!round || !fits || c.motions_.size() + path.size() > kMostMotions) {
            continue;
        }
        std::int32_t group = 0;
        if (waits) {
            if (path.size() == 1) {
                continue;  // it keeps its record until triggered: the update pass lets it sleep
            }
            group = c.GroupTriggeredBy(*trigger);
            if (group < 0) {
                if (c.groups_.size() == kMostGroups) {
                    continue;
                }
                group = static_cast<std::int32_t>(c.groups_.size());
                c.groups_.push_back(GroupOfElements{*trigger, {}});
            }
        }
        Path p;
        p.first = static_cast<std::uint32_t>(c.motions_.size());
        p.lead = lead;
        p.period = static_cast<std::uint32_t>(path.size()) - lead;
        Bounds b{CellOf(start.column), CellOf(start.row), CellOf(start.column), CellOf(start.row)};
        for (const level::Element& e : path) {
            c.motions_.push_back(Motion{e.column, e.row, e.motion, e.travelled, e.pauseCount});
            b.left = std::min(b.left, CellOf(e.column));
            b.right = std::max(b.right, CellOf(e.column));
            b.top = std::min(b.top, CellOf(e.row));
            b.bottom = std::max(b.bottom, CellOf(e.row));
        }
        c.numberOf_[i] = static_cast<std::int32_t>(c.elements_.size());
        c.groups_[static_cast<std::size_t>(group)].numbers.push_back(
            static_cast<std::int32_t>(c.elements_.size()));
        c.groupOf_.push_back(static_cast<std::uint8_t>(group));
        c.elements_.push_back(static_cast<std::int32_t>(i));
        c.paths_.push_back(p);
        bounds.push_back(b);
    }
    if (c.elements_.empty()) {
        return nullptr;
    }
    // The grid of cells the paths pass through.
    std::int64_t left = bounds.front().left;
    std::int64_t top = bounds.front().top;
    std::int64_t right = bounds.front().right;
    std::int64_t bottom = bounds.front().bottom;
    for (const Bounds& b : bounds) {
        left = std::min(left, b.left);
        top = std::min(top, b.top);
        right = std::max(right, b.right);
        bottom = std::max(bottom, b.bottom);
    }
    if ((right - left + 1) * (bottom - top + 1) > kMostCells) {
        return nullptr;  // paths spread too far to be indexed cheaply
    }
    c.firstColumn_ = left;
    c.firstRow_ = top;
    c.columns_ = right - left + 1;
    c.rows_ = bottom - top + 1;
    const auto cellIndex = [&c](std::int64_t column, std::int64_t row) {
        return static_cast<std::size_t>((row - c.firstRow_) * c.columns_ +
                                        (column - c.firstColumn_));
    };
    std::vector<std::uint32_t> counts(static_cast<std::size_t>(c.columns_ * c.rows_) + 1, 0);
    for (const Bounds& b : bounds) {
        for (std::int64_t r = b.top; r <= b.bottom; ++r) {
            for (std::int64_t col = b.left; col <= b.right; ++col) {
                ++counts[cellIndex(col, r) + 1];
            }
        }
    }
    for (std::size_t k = 1; k < counts.size(); ++k) {
        counts[k] += counts[k - 1];
    }
    c.cellStart_ = counts;
    c.cellElements_.resize(counts.back());
    for (std::size_t n = 0; n < bounds.size(); ++n) {
        const Bounds& b = bounds[n];
        for (std::int64_t r = b.top; r <= b.bottom; ++r) {
            for (std::int64_t col = b.left; col <= b.right; ++col) {
                c.cellElements_[counts[cellIndex(col, r)]++] = static_cast<std::int32_t>(n);
            }
        }
    }
    return clockwork;
}

std::int32_t Clockwork::GroupTriggeredBy(float trigger) const {
    for (std::size_t g = 1; g < groups_.size(); ++g) {
        if (groups_[g].trigger == trigger) {
            return static_cast<std::int32_t>(g);
        }
    }
    return -1;
}

void Clockwork::Put(std::int32_t number, std::int64_t passes, level::Element& record) const {
    const Path& p = paths_[static_cast<std::size_t>(number)];
    const std::uint64_t n = static_cast<std::uint64_t>(std::max<std::int64_t>(passes, 0));
    const std::uint64_t step = n < p.lead ? n : p.lead + (n - p.lead) % p.period;
    const Motion& m = motions_[p.first + step];
    record.column = m.column;
    record.row = m.row;
    record.motion = m.motion;
    record.travelled = m.travelled;
    record.pauseCount = m.pauseCount;
}

void Clockwork::Near(double left, double top, double right, double bottom,
                     std::vector<std::int32_t>& out) const {
    const auto span = [](double low, double high, std::int64_t first, std::int64_t count,
                         std::int64_t& from, std::int64_t& to) {
        const auto cell = [first, count](double pixels) {
            const double limit = static_cast<double>(count) + 2.0;
            const double at =
                std::floor(pixels / static_cast<double>(level::kCellPixels)) - double(first);
            return static_cast<std::int64_t>(at >= -limit ? std::min(at, limit) : -limit);
        };
        from = std::max<std::int64_t>(cell(low), 0);
        to = std::min<std::int64_t>(cell(high), count - 1);
    };
    std::int64_t c0, c1, r0, r1;
    span(left, right, firstColumn_, columns_, c0, c1);
    span(top, bottom, firstRow_, rows_, r0, r1);
    const std::size_t begin = out.size();
    for (std::int64_t r = r0; r <= r1; ++r) {
        for (std::int64_t col = c0; col <= c1; ++col) {
            const std::size_t cell = static_cast<std::size_t>(r * columns_ + col);
            out.insert(out.end(), cellElements_.begin() + cellStart_[cell],
                       cellElements_.begin() + cellStart_[cell + 1]);
        }
    }
    std::sort(out.begin() + static_cast<std::ptrdiff_t>(begin), out.end());
    out.erase(std::unique(out.begin() + static_cast<std::ptrdiff_t>(begin), out.end()), out.end());
}

}  // namespace tessaron::game
