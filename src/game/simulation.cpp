// The player's passes: the touch pass, gravity and the vertical pass, friction and the
// horizontal pass, the keys, and the push-out pass with the crush rule. All of it in 32-bit
// floats, each operation in the order written here: a different order rounds differently.
#include "game/simulation.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "game/contacts.h"
#include "game/geometry.h"
#include "game/motion.h"

namespace tessaron::game {

namespace {

using level::Code;
using level::Element;
using level::ElementKind;

// The player mask, loaded at start-up as sprite 0 and never drawn.
constexpr int kMaskSprite = 0;

constexpr float kGravity = 0.6f;
constexpr float kJumpVelocity = 15.0f;
constexpr float kJumpLift = 15.0f;
constexpr float kSwimThrust = 1.2f;
constexpr float kRunThrust = 1.2f;
constexpr float kTopSpeed = 15.0f;
constexpr float kFriction = 0.3f;
constexpr float kBounce = 2.0f;
// A moving element carries the ball by its own step: speed x motion / 2.5 pixels per pass.
constexpr float kCarryDivisor = 2.5f;
// More than this many push-out contacts make a crowded pass; more than kCrushLimit crowded
// passes in a row crush the ball.
constexpr std::int32_t kCrowdedContacts = 2;
constexpr std::int32_t kCrushLimit = 25;
// A landing the player hears: the ball came down faster than this many pixels per pass.
constexpr float kLandingFall = 4.0f;

int SpriteOf(float code) {
    return RoundToPixel(code);
}

// The pixel test of a picture placed at the cell (column, row) against the mask at
// (482, maskY).
bool Touches(const runtime::CollisionMasks& masks, float sprite, float column, float row,
             const level::Level& level, int maskY) {
    return masks.Collide(kMaskSprite, kMaskX, maskY, SpriteOf(sprite),
                         PictureCorner(column, level.viewX), PictureCorner(row, level.viewY));
}

// The element's own picture near the ball, against the mask at (482, maskY).
bool ElementTouches(const Element& element, const level::Level& level,
                    const runtime::CollisionMasks& masks, float bound, int maskY) {
    return IsNear(element.column, element.row, level.viewX, level.viewY, bound) &&
           Touches(masks, element.kind, element.column, element.row, level, maskY);
}

float Divisor(const Player& player) {
    return static_cast<float>(player.mediumDivisor);
}

// What the player notices of a pass, noted where it happens; reading the state changes nothing.

// A sensor is heard when the ball begins to touch it, not in every pass it stays inside.
void NoteSensor(const Element& element, const Services& services) {
    if (element.kind == Code(ElementKind::Sensor)) {
        services.NoteContact(GameEvent::SensorPassed);
    }
}

// A switch pressed from its top position; not one still sinking under the ball or rising.
void NoteSwitchPress(const Element& element, const Services& services) {
    if (element.kind == Code(ElementKind::Switch) && element.travelled <= 0.0f) {
        services.Note(GameEvent::SwitchPressed);
    }
}

// The vertical pass stopped a ball that came down fast enough to be heard; a ball resting on
// the ground comes down a fraction of a pixel in every pass.
void NoteLanding(const Player& player, const Services& services) {
    if (player.velocityY / Divisor(player) < -kLandingFall) {
        services.Note(GameEvent::Landing);
    }
}

void NoteMediumChange(std::int32_t before, std::int32_t now, const Services& services) {
    if (before != now) {
        services.Note(now == kWaterDivisor ? GameEvent::EnterWater : GameEvent::LeaveWater);
    }
}

// Which positions of an element a walk tests near the ball: where it is, and for the touch pass
// also its home cell, where its water backdrop lies.
enum class Positions { Current, CurrentAndHome };

// The lists a collision walk collects into. Each thread keeps its own, so that a walk allocates
// nothing once they have grown and the automatic player's searchers never share them.
struct WalkLists {
    std::vector<std::int32_t> candidates;
    std::vector<std::int32_t> current;
    std::vector<std::int32_t> homes;
    std::vector<std::int32_t> clockwork;
    std::vector<std::int32_t> merged;
};
thread_local WalkLists walkLists;

// The elements a collision walk visits, in list order: those that may lie within `bound` pixels
// of the ball for the view as it is when the walk reaches them. Every other element would fail
// the walk's near test, so leaving it out changes nothing. A contact may move the view (a
// carrying element, a push-out); the rest of the walk is then collected for the new view.
class NearWalk {
  public:
    NearWalk(level::Level& level, UpdateSchedule& schedule, float bound, Positions positions)
        : level_(level),
          schedule_(schedule),
          index_(level::IndexOf(level)),
          positions_(positions),
          box_{kCentreX - bound - kRounding, kCentreY - bound - kRounding,
               kCentreX + bound + kRounding, kCentreY + bound + kRounding},
          candidates_(walkLists.candidates),
          homes_(walkLists.homes) {
        Collect();
    }

    // The next element to visit; false when the walk is done.
    bool Next(std::size_t& element) {
        if (level_.viewX != viewX_ || level_.viewY != viewY_) {
            Collect();
        }
        if (at_ == candidates_.size()) {
            return false;
        }
        const std::int32_t i = candidates_[at_++];
        next_ = i + 1;
        element = static_cast<std::size_t>(i);
        return true;
    }

  private:
    // The near test's float sum 40 * position + view errs by at most 1/8 pixel for a position
    // the index lists under its cell (below 65536 cells, 40 times it rounds by at most that, and
    // a sum that lands near the ball is exact to far less): a box a pixel wider than the bound
    // holds every element the test can find near, with no cell of margin besides.
    static constexpr float kRounding = 1.0f;
    static constexpr level::CellGrid::Margin kMargin = level::CellGrid::Margin::None;

    void Collect() {
        viewX_ = level_.viewX;
        viewY_ = level_.viewY;
        std::vector<std::int32_t>& current = walkLists.current;
        index_.Near(level::CellGrid::Position::Current, box_, viewX_, viewY_, current, kMargin);
        if (schedule_.Clockworking()) {
            // The clockwork's elements near the ball, brought to where they are now.
            std::vector<std::int32_t>& clockwork = walkLists.clockwork;
            clockwork.clear();
            schedule_.ClockworkNear(level_, double(box_.left) - viewX_, double(box_.top) - viewY_,
                                    double(box_.right) - viewX_, double(box_.bottom) - viewY_,
                                    clockwork);
            std::vector<std::int32_t>& merged = walkLists.merged;
            merged.clear();
            std::set_union(current.begin(), current.end(), clockwork.begin(), clockwork.end(),
                           std::back_inserter(merged));
            current.swap(merged);
        }
        if (positions_ == Positions::CurrentAndHome) {
            index_.Near(level::CellGrid::Position::Home, box_, viewX_, viewY_, homes_, kMargin);
            if (schedule_.Clockworking()) {
                // A clockwork element found by its home is looked at where it is now, too.
                for (const std::int32_t i : homes_) {
                    schedule_.BringUp(level_, i);
                }
            }
            candidates_.clear();
            std::set_union(current.begin(), current.end(), homes_.begin(), homes_.end(),
                           std::back_inserter(candidates_));
        } else {
            candidates_.swap(current);
        }
        // Elements the walk has passed are not visited again.
        at_ = static_cast<std::size_t>(
            std::lower_bound(candidates_.begin(), candidates_.end(), next_) - candidates_.begin());
    }

    level::Level& level_;
    UpdateSchedule& schedule_;
    const level::ElementIndex& index_;
    Positions positions_;
    level::ScreenBox box_;
    std::vector<std::int32_t>& candidates_;
    std::vector<std::int32_t>& homes_;
    std::size_t at_ = 0;
    std::int32_t next_ = 0;
    float viewX_ = 0.0f;
    float viewY_ = 0.0f;
};

void TouchPass(level::Level& level, Player& player, const Services& services) {
    services.schedule.Refresh(level);
    player.carried = 0;
    NearWalk walk(level, services.schedule, kNearContact, Positions::CurrentAndHome);
    for (std::size_t i; walk.Next(i);) {
        Element& element = level.elements[i];
        if (ElementTouches(element, level, services.masks, kNearContact, kTouchMaskY)) {
            // Only the first element under way in list order carries the ball.
            if (player.carried == 0 && element.kind != Code(ElementKind::Sensor) &&
                0.0f < element.travelled && element.travelled < element.length) {
                level.viewX = level.viewX - element.speedX * element.motion / kCarryDivisor;
                level.viewY = level.viewY - element.speedY * element.motion / kCarryDivisor;
                player.carried = 1;
            }
            NoteSensor(element, services);
            SensorTrigger(element, level);
            // A pickup taken here may store a save point, which must know of its change.
            level::IndexOf(level).NoteChange(static_cast<std::int32_t>(i));
            const float kind = element.kind;
            PickupEffect(element, level, player, services);
            if (element.kind != kind) {
                services.schedule.Wake(static_cast<std::int32_t>(i));
            }
        }
        if (element.background == Code(level::Background::Water) &&
            IsNear(element.homeColumn, element.homeRow, level.viewX, level.viewY, kNearContact) &&
            Touches(services.masks, element.background, element.homeColumn, element.homeRow, level,
                    kTouchMaskY)) {
            player.mediumDivisor = kWaterDivisor;
            player.canJump = 1;
        }
    }
}

void VerticalPass(level::Level& level, Player& player, const Services& services) {
    services.schedule.Refresh(level);
    NearWalk walk(level, services.schedule, kNearVertical, Positions::Current);
    for (std::size_t i; walk.Next(i);) {
        Element& element = level.elements[i];
        if (!IsSolid(element.kind) ||
            !ElementTouches(element, level, services.masks, kNearVertical, kMaskY)) {
            continue;
        }
        player.canJump = 1;
        player.hitFlag = 1;
        NoteSwitchPress(element, services);
        SwitchPress(element, level);
        level::IndexOf(level).NoteChange(static_cast<std::int32_t>(i));
        services.schedule.Wake(static_cast<std::int32_t>(i));
        if (SpikeEffect(element, level, player, services.savePoints)) {
            services.Note(GameEvent::SentBack);
            return;  // the list was replaced: no element follows this one
        }
    }
}

void HorizontalPass(level::Level& level, Player& player, const Services& services) {
    NearWalk walk(level, services.schedule, kNearContact, Positions::Current);
    for (std::size_t i; walk.Next(i);) {
        const Element& element = level.elements[i];
        if (!IsSolid(element.kind) ||
            !ElementTouches(element, level, services.masks, kNearContact, kMaskY)) {
            continue;
        }
        player.hitFlag = 1;
        if (SpikeEffect(element, level, player, services.savePoints)) {
            services.Note(GameEvent::SentBack);
            return;
        }
    }
}

// The jump's head check: true when the lifted mask touches a solid element. It fires no effect.
bool HeadBlocked(level::Level& level, const Services& services) {
    NearWalk walk(level, services.schedule, kNearContact, Positions::Current);
    for (std::size_t i; walk.Next(i);) {
        const Element& element = level.elements[i];
        if (IsSolid(element.kind) &&
            ElementTouches(element, level, services.masks, kNearContact, kMaskY)) {
            return true;
        }
    }
    return false;
}

void PushOutPass(level::Level& level, Player& player, UpdateSchedule& schedule) {
    schedule.Refresh(level);
    player.contactCount = 0;
    NearWalk walk(level, schedule, kNearContact, Positions::Current);
    for (std::size_t i; walk.Next(i);) {
        Element& element = level.elements[i];
        if (!IsPushing(element.kind) ||
            !IsNear(element.column, element.row, level.viewX, level.viewY, kNearContact)) {
            continue;
        }
        const float dx = kCellSize * element.column + level.viewX - kCentreX;
        const float dy = kCellSize * element.row + level.viewY - kCentreY;
        const std::int32_t ix = RoundToPixel(
            static_cast<float>(RoundToPixel(kCellSize * element.column)) + level.viewX - kCentreX);
        const std::int32_t iy = RoundToPixel(
            static_cast<float>(RoundToPixel(kCellSize * element.row)) + level.viewY - kCentreY);
        const PushOut push = ComputePushOut(dx, dy, ix, iy);
        if (!push.contact) {
            continue;
        }
        level.viewX = level.viewX - push.shiftX;
        level.viewY = level.viewY - push.shiftY;
        player.contactCount = player.contactCount + 1;
        BushEffect(element);
        level::IndexOf(level).NoteChange(static_cast<std::int32_t>(i));
        schedule.Wake(static_cast<std::int32_t>(i));
    }
}

}  // namespace

void RunFirstStage(level::Level& level, Player& player, const Services& services) {
    const std::int32_t divisorBefore = player.mediumDivisor;
    player.canJump = 0;
    player.hitFlag = 0;
    player.mediumDivisor = kAirDivisor;

    TouchPass(level, player, services);
    NoteMediumChange(divisorBefore, player.mediumDivisor, services);

    player.velocityY = player.velocityY - kGravity;
    level.viewY = level.viewY + player.velocityY / Divisor(player);

    VerticalPass(level, player, services);
    if (player.hitFlag == 1) {
        NoteLanding(player, services);
        // The fall of this pass is taken back and the ball bounces at half the speed.
        level.viewY = level.viewY - player.velocityY / Divisor(player);
        player.velocityY = -player.velocityY / kBounce;
    }
    player.hitFlag = 0;

    if (player.velocityX > 0.0f) {
        player.velocityX = player.velocityX - kFriction;
    }
    if (player.velocityX < 0.0f) {
        player.velocityX = player.velocityX + kFriction;
    }
    if (std::fabs(player.velocityX) < kFriction) {
        player.velocityX = 0.0f;
    }
    level.viewX = level.viewX + player.velocityX / Divisor(player);

    HorizontalPass(level, player, services);
    if (player.hitFlag == 1) {
        level.viewX = level.viewX - player.velocityX / Divisor(player);
        player.velocityX = -player.velocityX / kBounce;
    }
}

void ApplyPlayerKeys(level::Level& level, Player& player, const PlayerKeys& keys,
                     const Services& services) {
    if (keys.up && player.canJump == 1) {
        player.hitFlag = 0;
        if (player.velocityY < kJumpVelocity && player.InWater()) {
            player.velocityY = player.velocityY + kSwimThrust;
        }
        if (player.mediumDivisor == kAirDivisor) {
            // The jump lifts the ball at once, undivided; where there is no headroom it is
            // cancelled.
            player.velocityY = kJumpVelocity;
            level.viewY = level.viewY + kJumpLift;
            if (HeadBlocked(level, services)) {
                player.hitFlag = 1;
            }
            if (player.hitFlag == 1) {
                level.viewY = level.viewY - player.velocityY;
                player.velocityY = 0.0f;
            } else {
                services.Note(GameEvent::Jump);
            }
        }
    }
    if (keys.left) {
        player.hitFlag = 0;
        if (player.velocityX < kTopSpeed) {
            player.velocityX = player.velocityX + kRunThrust;
        }
    }
    if (keys.right) {
        player.hitFlag = 0;
        if (player.velocityX > -kTopSpeed) {
            player.velocityX = player.velocityX - kRunThrust;
        }
    }
}

void RunSecondStage(level::Level& level, Player& player, const Services& services) {
    UpdateElements(level, services.schedule, services.random, services.events);
    PushOutPass(level, player, services.schedule);

    if (player.contactCount > kCrowdedContacts) {
        if (player.crushCount < std::numeric_limits<std::int32_t>::max()) {
            player.crushCount = player.crushCount + 1;
        }
    } else {
        player.crushCount = 0;
    }
    if (player.crushCount > kCrushLimit && services.savePoints.Restore(level, player)) {
        services.Note(GameEvent::SentBack);
    }
}

}  // namespace tessaron::game
