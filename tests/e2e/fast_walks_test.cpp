// The passes with their indexes against plain walks over the whole list, frame for frame and
// state for state, on busy levels and the sample levels, in play and in the editor. The plain
// walks below are the reference model: every pass visits every element in list order. Whatever
// an index leaves out, changes the order of, or forgets to keep true shows here as a record, a
// number, a random draw or a pixel that differs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/program.h"
#include "busy_level.h"
#include "editor/painting.h"
#include "game/contacts.h"
#include "game/geometry.h"
#include "game/motion.h"
#include "game/simulation.h"
#include "level/level_file.h"
#include "render/geometry.h"
#include "render/render.h"
#include "solver/world.h"

namespace tessaron {
namespace {

namespace fs = std::filesystem;
using level::Element;
using level::Level;

// ---------------------------------------------------------------------------------------------
// The reference model: the simulation's and the map's walks over every element.

namespace plain {

using namespace game;

bool Touches(const runtime::CollisionMasks& masks, float sprite, float column, float row,
             const Level& level, int maskY) {
    return masks.Collide(0, kMaskX, maskY, RoundToPixel(sprite), PictureCorner(column, level.viewX),
                         PictureCorner(row, level.viewY));
}

bool ElementTouches(const Element& e, const Level& level, const runtime::CollisionMasks& masks,
                    float bound, int maskY) {
    return IsNear(e.column, e.row, level.viewX, level.viewY, bound) &&
           Touches(masks, e.kind, e.column, e.row, level, maskY);
}

// A solid contact walk (vertical or horizontal); true when spikes replaced the list.
bool SolidWalk(Level& level, Player& player, const Services& services, float bound, bool vertical) {
    for (std::size_t i = 0; i < level.elements.size(); ++i) {
        Element& e = level.elements[i];
        if (!IsSolid(e.kind) || !ElementTouches(e, level, services.masks, bound, kMaskY))
            continue;
        if (vertical)
            player.canJump = 1;
        player.hitFlag = 1;
        if (vertical)
            SwitchPress(e, level);
        if (SpikeEffect(e, level, player, services.savePoints))
            return true;
    }
    return false;
}

void FirstStage(Level& level, Player& player, const Services& services) {
    player.canJump = 0;
    player.hitFlag = 0;
    player.mediumDivisor = 1;
    player.carried = 0;
    for (std::size_t i = 0; i < level.elements.size(); ++i) {
        Element& e = level.elements[i];
        if (ElementTouches(e, level, services.masks, kNearContact, kTouchMaskY)) {
            if (player.carried == 0 && e.kind != 2002.0f && 0.0f < e.travelled &&
                e.travelled < e.length) {
                level.viewX = level.viewX - e.speedX * e.motion / 2.5f;
                level.viewY = level.viewY - e.speedY * e.motion / 2.5f;
                player.carried = 1;
            }
            SensorTrigger(e, level);
            PickupEffect(e, level, player, services);
        }
        if (e.background == 200.0f &&
            IsNear(e.homeColumn, e.homeRow, level.viewX, level.viewY, kNearContact) &&
            Touches(services.masks, e.background, e.homeColumn, e.homeRow, level, kTouchMaskY)) {
            player.mediumDivisor = 3;
            player.canJump = 1;
        }
    }
    const float divisor = static_cast<float>(player.mediumDivisor);
    player.velocityY = player.velocityY - 0.6f;
    level.viewY = level.viewY + player.velocityY / divisor;
    SolidWalk(level, player, services, kNearVertical, true);
    if (player.hitFlag == 1) {
        level.viewY = level.viewY - player.velocityY / divisor;
        player.velocityY = -player.velocityY / 2.0f;
    }
    player.hitFlag = 0;
    if (player.velocityX > 0.0f)
        player.velocityX = player.velocityX - 0.3f;
    if (player.velocityX < 0.0f)
        player.velocityX = player.velocityX + 0.3f;
    if (std::fabs(player.velocityX) < 0.3f)
        player.velocityX = 0.0f;
    level.viewX = level.viewX + player.velocityX / divisor;
    SolidWalk(level, player, services, kNearContact, false);
    if (player.hitFlag == 1) {
        level.viewX = level.viewX - player.velocityX / divisor;
        player.velocityX = -player.velocityX / 2.0f;
    }
}

void Keys(Level& level, Player& player, const PlayerKeys& keys, const Services& services) {
    if (keys.up && player.canJump == 1) {
        player.hitFlag = 0;
        if (player.velocityY < 15.0f && player.mediumDivisor == 3) {
            player.velocityY = player.velocityY + 1.2f;
        }
        if (player.mediumDivisor == 1) {
            player.velocityY = 15.0f;
            level.viewY = level.viewY + 15.0f;
            for (const Element& e : level.elements) {
                if (IsSolid(e.kind) &&
                    ElementTouches(e, level, services.masks, kNearContact, kMaskY)) {
                    player.hitFlag = 1;
                    break;
                }
            }
            if (player.hitFlag == 1) {
                level.viewY = level.viewY - player.velocityY;
                player.velocityY = 0.0f;
            }
        }
    }
    if (keys.left) {
        player.hitFlag = 0;
        if (player.velocityX < 15.0f)
            player.velocityX = player.velocityX + 1.2f;
    }
    if (keys.right) {
        player.hitFlag = 0;
        if (player.velocityX > -15.0f)
            player.velocityX = player.velocityX - 1.2f;
    }
}

void SecondStage(Level& level, Player& player, const Services& services) {
    const float triggered = static_cast<float>(level.triggeredLink);
    for (Element& e : level.elements) UpdateElement(e, triggered, services.random);
    player.contactCount = 0;
    for (Element& e : level.elements) {
        if (!IsPushing(e.kind) || !IsNear(e.column, e.row, level.viewX, level.viewY, 60.0f))
            continue;
        const float dx = 40.0f * e.column + level.viewX - 512.0f;
        const float dy = 40.0f * e.row + level.viewY - 384.0f;
        const PushOut push = ComputePushOut(
            dx, dy,
            RoundToPixel(static_cast<float>(RoundToPixel(40.0f * e.column)) + level.viewX - 512.0f),
            RoundToPixel(static_cast<float>(RoundToPixel(40.0f * e.row)) + level.viewY - 384.0f));
        if (!push.contact)
            continue;
        level.viewX = level.viewX - push.shiftX;
        level.viewY = level.viewY - push.shiftY;
        player.contactCount = player.contactCount + 1;
        BushEffect(e);
    }
    if (player.contactCount > 2) {
        player.crushCount = player.crushCount + 1;
    } else {
        player.crushCount = 0;
    }
    if (player.crushCount > 25)
        services.savePoints.Restore(level, player);
}

// The map: backdrops, moving and resting elements, pickups and sensors, each walk over all.
void DrawMap(const Level& level, const render::FrameInputs& in, render::RenderState& state,
             runtime::PlayScreen& screen, runtime::Random& random) {
    using render::detail::CellCentre;
    using render::detail::Round;
    const bool editor = in.mode == level::Mode::Editor;
    const float sway = static_cast<float>(in.tick) * render::detail::kDegree * 10.0f;
    for (const Element& e : level.elements) {
        const float hx = CellCentre(e.homeColumn, level.viewX);
        const std::int32_t top = Round(CellCentre(e.homeRow, level.viewY) - 20.0f);
        if (e.background == 100.0f)
            screen.DrawSprite(100, Round(hx - 20.0f), top);
        if (e.background == 200.0f) {
            const float left = editor ? hx - 23.0f : hx + 3.0f * std::sin(sway + e.homeRow) - 23.0f;
            screen.DrawSprite(200, Round(left), top);
        }
        if (editor && e.kind == 1000.0f) {
            screen.DrawSprite(4, Round(CellCentre(e.column, level.viewX) - 20.0f),
                              Round(CellCentre(e.row, level.viewY) - 20.0f));
        }
    }
    for (const bool moving : {true, false}) {
        for (const Element& e : level.elements) {
            if (!(e.kind != 1000.0f && e.kind != 2002.0f && e.kind < 4000.0f))
                continue;
            if ((e.length > 0.0f) != moving)
                continue;
            const std::int32_t x = Round(CellCentre(e.column, level.viewX) - 20.0f);
            const std::int32_t y = Round(CellCentre(e.row, level.viewY) - 20.0f);
            screen.DrawSprite(Round(e.kind), x, y);
            if (editor)
                screen.DrawSprite(4, x, y);
        }
    }
    for (const Element& e : level.elements) {
        const float cx = CellCentre(e.column, level.viewX);
        const std::int32_t y = Round(CellCentre(e.row, level.viewY) - 20.0f);
        if (e.kind > 4000.0f && e.kind < 5000.0f) {
            const int sprite = Round(e.kind);
            if (editor) {
                screen.SetBlendedSize(sprite, 40, 40);
                screen.DrawBlended(sprite, Round(cx - 20.0f), y, 255);
                screen.DrawSprite(4, Round(cx - 20.0f), y);
            } else {
                const float angle = static_cast<float>(in.tick) / 10.0f +
                                    e.column * e.row * render::detail::kDegree;
                const std::int32_t w = Round(std::fabs(20.0f * std::sin(angle)));
                screen.SetBlendedSize(sprite, 2 * w, 40);
                if (w > 0)
                    screen.DrawBlended(sprite, Round(cx - static_cast<float>(w)), y, 255);
            }
        }
        if (e.kind == 2002.0f) {
            const int opacity = editor ? 255 : 75 + random.Next(50);
            screen.DrawBlended(2002, Round(cx - 20.0f), y, opacity);
            if (editor)
                screen.DrawSprite(4, Round(cx - 20.0f), y);
        }
    }
    state.ballAngle = render::detail::NextBallAngle(state.ballAngle, in.velocityX);
    if (editor) {
        screen.DrawSprite(in.kindChoice, in.mouseX, in.mouseY);
    } else {
        screen.SetBlendedSize(10, 58, 58);
        screen.SetBlendedRotation(10, static_cast<float>(state.ballAngle),
                                  runtime::RotationCentre::Quad);
        screen.DrawBlended(10, 483, 355, 255);
        screen.SetBlendedSize(11, 60, 60);
        screen.DrawBlended(11, 482, 354, 150);
    }
    screen.EndScene();
}

// The editor's value display: the labels of every element, in list order.
void DrawValueDisplay(const Level& level, int choice, runtime::PlayScreen& screen) {
    using render::detail::CellCentre;
    using render::detail::LabelText;
    using render::detail::Round;
    screen.BeginDrawing();
    screen.SetDrawingMode(0);
    screen.SetBackColour({255, 255, 255});
    screen.SetFrontColour({0, 0, 0});
    screen.UseFont(render::kLabelFont);
    render::detail::TextBuffer buffer;
    const auto write = [&](std::string_view text, float x, float y) {
        screen.SetTextPosition(Round(x), Round(y));
        screen.DrawText(text);
    };
    const auto half = [&](std::string_view s) { return float(screen.TextWidth(s)) / 2.0f; };
    for (const Element& e : level.elements) {
        const float x = CellCentre(e.column, level.viewX);
        const float y = CellCentre(e.row, level.viewY);
        std::string_view s;
        if (choice == 1 && e.link > 0.0f)
            write(LabelText(buffer, e.link), x - 20.0f, y - 20.0f);
        if (choice == 2 && e.length > 0.0f) {
            s = LabelText(buffer, e.length);
            write(s, x - half(s), y - 6.0f);
        }
        if (choice == 3 && (e.speedX != 0.0f || e.speedY != 0.0f)) {
            s = LabelText(buffer, e.speedY);
            write(s, x - half(s), y + 8.0f);
            s = LabelText(buffer, e.speedX);
            write(s, x - float(screen.TextWidth(s)) + 20.0f, y - 6.0f);
        }
        if (choice == 4 && (e.pause1 > 0.0f || e.pause2 > 0.0f)) {
            s = LabelText(buffer, e.pause1);
            write(s, x - half(s), y - 16.0f);
            s = LabelText(buffer, e.pause2);
            write(s, x - half(s), y + 4.0f);
        }
    }
    screen.EndDrawing();
}

}  // namespace plain

// ---------------------------------------------------------------------------------------------
// Two runs of the same game side by side on one screen: one through the game's passes, one
// through the plain walks.

// Pickup pictures and the sensor: their blended sizes are part of what drawing leaves behind.
constexpr int kBlendedOfPickups[] = {2002, 4001, 4002, 4005, 4010, 4020, 4050, 4090, 4099};

struct Game {
    Level level;
    game::Player player;
    render::RenderState render;
    runtime::Random random{5};
    std::unique_ptr<runtime::GameFolder> folder;
    std::unique_ptr<runtime::Files> files;
    std::unique_ptr<game::SavePointFile> savePoints;
    std::vector<std::uint32_t> frame;
    std::vector<int> sizes;
};

class FastWalks : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        root_ = fs::temp_directory_path() / ("tessaron-fast-walks-" + std::to_string(::getpid()));
        fs::create_directories(root_);
        for (const char* folder : {"BMP", "WAV", "LEVEL"}) {
            fs::create_directory_symlink(fs::path(TESSARON_GAME_DIR) / folder, root_ / folder);
        }
        requesters_ = new runtime::ScriptedRequesters;
        requesters_->Answer("LEVEL/Anfang.TXT");
        app::Options options;
        options.gameDir = root_;
        options.headless = true;
        app::ProgramHooks hooks;
        hooks.requesters = requesters_;
        program_ = new app::Program(options, hooks);
        int argc = 1;
        char name[] = "fast_walks_test";
        char* argv[] = {name, nullptr};
        ASSERT_EQ(program_->StartUp(argc, argv), 0);
    }
    static void TearDownTestSuite() {
        program_->End();
        delete program_;
        delete requesters_;
        fs::remove_all(root_);
    }

    // Both runs start from the level, each with a save-point folder of its own.
    void Start(const Level& level) {
        for (Game* run : {&fast_, &plain_}) {
            run->level = level;
            run->player = {};
            run->render = {};
            run->random.Seed(5);
            const fs::path saves = root_ / (run == &fast_ ? "fast" : "plain");
            fs::remove_all(saves);
            fs::create_directories(saves);
            run->folder = std::make_unique<runtime::GameFolder>(saves);
            run->files = std::make_unique<runtime::Files>(*run->folder);
            run->savePoints = std::make_unique<game::SavePointFile>(*run->files);
        }
    }

    game::Services ServicesOf(Game& run) {
        return {program_->Masks(), program_->Sounds(), *run.savePoints, run.random};
    }

    // One pass of each run with the same keys and inputs, then everything compared.
    void Pass(int pass, level::Mode mode, const game::PlayerKeys& keys, bool draw,
              render::FrameInputs inputs) {
        runtime::PlayScreen& screen = program_->Screen();
        inputs.mode = mode;
        inputs.tick = pass % 3600;
        for (Game* run : {&fast_, &plain_}) {
            const bool fast = run == &fast_;
            const game::Services services = ServicesOf(*run);
            run->level.triggeredLink = -1;
            if (mode == level::Mode::Play) {
                if (fast) {
                    game::RunFirstStage(run->level, run->player, services);
                    game::ApplyPlayerKeys(run->level, run->player, keys, services);
                    game::RunSecondStage(run->level, run->player, services);
                } else {
                    plain::FirstStage(run->level, run->player, services);
                    plain::Keys(run->level, run->player, keys, services);
                    plain::SecondStage(run->level, run->player, services);
                }
            }
            inputs.velocityX = run->player.velocityX;
            if (!draw) {
                if (fast)
                    render::AdvanceWithoutDrawing(run->level, inputs, run->render, run->random);
                else
                    plain::DrawMap(run->level, inputs, run->render, screen, run->random);
                continue;
            }
            // The plain run draws every picture through the toolkit's painter.
            screen.SetDrawingShortcuts(fast ? runtime::DrawingShortcuts::On
                                            : runtime::DrawingShortcuts::Off);
            screen.Clear({0, 0, 0});
            screen.BeginScene();
            if (fast)
                render::DrawMap(run->level, inputs, run->render, screen, run->random);
            else
                plain::DrawMap(run->level, inputs, run->render, screen, run->random);
            if (fast || mode == level::Mode::Play) {
                render::DrawOverlays(run->level, inputs, screen);
            } else {
                plain::DrawValueDisplay(run->level, inputs.valueDisplayChoice, screen);
            }
            run->sizes.clear();
            for (int sprite : kBlendedOfPickups) {
                run->sizes.push_back(screen.BlendedWidth(sprite));
                run->sizes.push_back(screen.BlendedHeight(sprite));
            }
            screen.CopyBackBuffer(run->frame);
        }
        Compare(pass, draw);
    }

    void Compare(int pass, bool drawn) {
        SCOPED_TRACE("pass " + std::to_string(pass));
        const Level& a = fast_.level;
        const Level& b = plain_.level;
        ASSERT_EQ(a.elements.size(), b.elements.size());
        for (std::size_t i = 0; i < a.elements.size(); ++i) {
            ASSERT_EQ(std::memcmp(&a.elements[i], &b.elements[i], sizeof(Element)), 0)
                << "element " << i;
        }
        ASSERT_EQ(a.viewX, b.viewX);
        ASSERT_EQ(a.viewY, b.viewY);
        ASSERT_EQ(a.score, b.score);
        ASSERT_EQ(a.triggeredLink, b.triggeredLink);
        ASSERT_EQ(a.startX, b.startX);
        ASSERT_EQ(a.startY, b.startY);
        ASSERT_EQ(std::memcmp(&fast_.player, &plain_.player, sizeof(game::Player)), 0);
        ASSERT_EQ(fast_.render.ballAngle, plain_.render.ballAngle);
        runtime::Random nextA = fast_.random;
        runtime::Random nextB = plain_.random;
        ASSERT_EQ(nextA.Next(1 << 30), nextB.Next(1 << 30)) << "the random numbers part";
        if (drawn) {
            ASSERT_EQ(fast_.sizes, plain_.sizes);
            for (std::size_t p = 0; p < fast_.frame.size(); ++p) {
                ASSERT_EQ(fast_.frame[p], plain_.frame[p])
                    << "pixel (" << p % 1024 << ", " << p / 1024 << ")";
            }
        }
    }

    // Play with changing keys; now and then a pass draws no frame.
    void Play(int passes, std::uint32_t seed) {
        runtime::Random keys(seed);
        game::PlayerKeys held;
        for (int pass = 1; pass <= passes; ++pass) {
            if (pass % 15 == 1) {
                held.left = keys.Next(3) == 0;
                held.right = !held.left && keys.Next(2) == 0;
            }
            held.up = keys.Next(8) == 0;
            Pass(pass, level::Mode::Play, held, pass % 4 != 0, {});
            if (HasFatalFailure())
                return;
        }
    }

    // The editor: the value displays, scrolling and painting, then play again from the level
    // put back into its editable state.
    void Edit(int passes) {
        for (Game* run : {&fast_, &plain_}) level::RestoreEditState(run->level);
        render::FrameInputs inputs;
        inputs.kindChoice = 4010;
        inputs.mouseX = 300;
        inputs.mouseY = 200;
        editor::PaintSettings paint;
        paint.applyKind = 1;
        paint.applyLink = 1;
        paint.applyLength = 1;
        paint.applySpeed = 1;
        paint.brushSize = 3;
        for (int pass = 1; pass <= passes; ++pass) {
            inputs.valueDisplayChoice = pass % 5;
            for (Game* run : {&fast_, &plain_}) {
                run->level.viewX = run->level.viewX + (pass % 20 < 10 ? 10.0f : -7.0f);
                if (pass % 6 == 0) {
                    const float kinds[] = {2002, 4020, 2020, 1001, 3011};
                    paint.kindChoice = static_cast<std::int32_t>(kinds[pass / 6 % 5]);
                    paint.linkValue = pass % 3;
                    paint.lengthValue = pass % 2;
                    paint.speedXValue = 20;
                    editor::Paint(run->level, paint, 100 + pass * 13 % 800, 80 + pass * 7 % 600);
                }
            }
            Pass(pass, level::Mode::Editor, {}, true, inputs);
            if (HasFatalFailure())
                return;
        }
        for (Game* run : {&fast_, &plain_}) level::RestoreEditState(run->level);
    }

    static inline fs::path root_;
    static inline runtime::ScriptedRequesters* requesters_ = nullptr;
    static inline app::Program* program_ = nullptr;
    Game fast_;
    Game plain_;
};

TEST_F(FastWalks, BusyLevelsPlayAndEditAsThePlainWalks) {
    struct Size {
        std::int32_t width, height;
        std::uint32_t seed;
    };
    for (const Size size : {Size{40, 30, 1}, Size{60, 20, 2}, Size{299, 100, 3}}) {
        SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height));
        Start(busy_level::MakeBusyLevel(size.width, size.height, size.seed));
        Play(size.width > 100 ? 150 : 400, size.seed);
        ASSERT_FALSE(HasFatalFailure());
        Edit(30);
        ASSERT_FALSE(HasFatalFailure());
        Play(150, size.seed + 10);
        ASSERT_FALSE(HasFatalFailure());
    }
}

// A ball that fell for hours lies millions of pixels below its level: the near walks then take
// no cell of the level (only an element far outside the grid, which every walk takes), and the
// game goes on exactly as the plain walks.
TEST_F(FastWalks, ViewsFarBeyondTheLevelPlayAsThePlainWalksAndWalkNoCell) {
    Level level = busy_level::MakeBusyLevel(40, 30, 5);
    level.elements[7].column = 3.0e6f;  // a record far outside the level's cells
    for (const float viewY : {-5.0e6f, -3.0e9f, 4.0e12f}) {
        SCOPED_TRACE(viewY);
        Start(level);
        for (Game* run : {&fast_, &plain_}) run->level.viewY = viewY;
        std::vector<std::int32_t> near;
        level::IndexOf(fast_.level)
            .Near(level::CellGrid::Position::Current, {-2000.0f, -2000.0f, 3000.0f, 3000.0f},
                  fast_.level.viewX, viewY, near);
        EXPECT_EQ(near, std::vector<std::int32_t>{7});
        Play(60, 9);
        ASSERT_FALSE(HasFatalFailure());
    }
}

TEST_F(FastWalks, SampleLevelsPlayAsThePlainWalks) {
    for (const char* name : {"Anfang.TXT", "Hoehle.TXT", "Turm.TXT"}) {
        SCOPED_TRACE(name);
        Level level;
        level.levelFileName = std::string("LEVEL/") + name;
        runtime::Files files(program_->Folder());
        ASSERT_EQ(level::ReadLevelFile(level, files), level::LoadResult::Loaded);
        Start(level);
        Play(300, 7);
        ASSERT_FALSE(HasFatalFailure());
    }
}

// The automatic player comes back to a place by writing back, in place, only the records that
// differ, and keeps the level's indexes as they were for the rest. Played on from there, the game
// must go exactly as the plain walks go from the same place.
TEST_F(FastWalks, ASnapshotPutBackInPlacePlaysAsThePlainWalks) {
    Start(busy_level::MakeBusyLevel(60, 20, 4));
    const solver::SnapshotBase base(fast_.level.elements);
    Play(200, 4);
    ASSERT_FALSE(HasFatalFailure());
    solver::World world;
    world.state.level = fast_.level;
    world.state.player = fast_.player;
    world.state.render = fast_.render;
    world.random = fast_.random;
    const solver::Snapshot place = base.Take(world);
    ASSERT_FALSE(place.changed.empty());
    const Level plainLevel = plain_.level;
    const game::Player plainPlayer = plain_.player;
    const render::RenderState plainRender = plain_.render;
    const runtime::Random plainRandom = plain_.random;

    Play(150, 5);
    ASSERT_FALSE(HasFatalFailure());
    world.state.level = fast_.level;
    base.Restore(place, world);
    fast_.level = world.state.level;
    fast_.player = world.state.player;
    fast_.render = world.state.render;
    fast_.random = world.random;
    plain_.level = plainLevel;
    plain_.player = plainPlayer;
    plain_.render = plainRender;
    plain_.random = plainRandom;
    Play(200, 6);
}

}  // namespace
}  // namespace tessaron
