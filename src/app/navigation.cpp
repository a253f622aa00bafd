// Finding one's way in a large level in the editor: the overview (O), the level's start (Home)
// and placing it (S), play tested from the cell under the mouse (P), the mouse wheel and the map
// dragged with the middle button.
#include <cstdint>
#include <optional>

#include "app/program_internal.h"
#include "editor/painting.h"
#include "game/geometry.h"
#include "render/overview.h"

namespace tessaron::app {

using runtime::EventCode;
using runtime::Key;

namespace {

constexpr auto kCellPixels = static_cast<std::int64_t>(game::kCellSize);
constexpr auto kHalfCellPixels = static_cast<std::int32_t>(game::kHalfCell);
// The ball's centre on the play screen: a view offset puts a cell's centre there.
constexpr auto kBallX = static_cast<std::int64_t>(game::kCentreX);
constexpr auto kBallY = static_cast<std::int64_t>(game::kCentreY);
// One notch of the wheel (a turn of 120 eighths of a degree) scrolls two cells.
constexpr std::int64_t kWheelNotch = 120;
constexpr std::int64_t kWheelNotchPixels = 80;

// The view offset that puts the centre of cell (column, row) under the ball.
level::StartOffset CentredOn(const editor::BrushCell& cell) {
    return {static_cast<std::int32_t>(kBallX - kCellPixels * cell.column),
            static_cast<std::int32_t>(kBallY - kCellPixels * cell.row)};
}

// Home on a new level, which has no start yet: cell (1, 1)'s corner at the screen's.
constexpr level::StartOffset kTopLeftCorner{-kHalfCellPixels, -kHalfCellPixels};

bool OverPlayScreen(std::int32_t x, std::int32_t y) {
    return x >= 0 && x < runtime::PlayScreen::kWidth && y >= 0 && y < runtime::PlayScreen::kHeight;
}

}  // namespace

bool Program::Impl::CloseOverview() {
    NavigationState& nav = state.navigation;
    const bool wasOpen = nav.overviewOpen;
    nav.overviewOpen = false;
    nav.overviewPixels = {};
    return wasOpen;
}

void Program::Impl::ResetNavigation() {
    CloseOverview();
    state.navigation.dragging = false;
    state.navigation.editingView.reset();
}

void Program::Impl::AfterModeSwitch() {
    const std::optional<render::ViewOffset> editing = state.navigation.editingView;
    ResetNavigation();
    if (state.loop.mode == level::Mode::Editor && editing) {
        state.level.viewX = editing->x;
        state.level.viewY = editing->y;
    }
}

void Program::Impl::PlayFromHere(const editor::BrushCell& cell) {
    level::Level& level = state.level;
    const render::ViewOffset editing{level.viewX, level.viewY};
    const level::StartOffset start = CentredOn(cell);
    level.viewX = static_cast<float>(start.x);
    level.viewY = static_cast<float>(start.y);
    // The ball starts at rest, as after loading.
    state.player.velocityX = 0.0f;
    state.player.velocityY = 0.0f;
    SwitchMode();
    state.navigation.editingView = editing;
}

void Program::Impl::NavigationKeys(runtime::Keyboard& keyboard) {
    // Each key is tested in every pass, so that its release counts once whichever mode sees it.
    const bool overviewKey = keyboard.Released(Key::O);
    const bool homeKey = keyboard.Released(Key::Home);
    const bool startKey = keyboard.Released(Key::S);
    const bool hereKey = keyboard.Released(Key::P);
    level::Level& level = state.level;
    NavigationState& nav = state.navigation;

    if (state.loop.mode == level::Mode::Play) {
        // P ends a test from a cell as Tab does; in other play it means nothing.
        if (hereKey && nav.editingView) {
            SwitchMode();
        }
        return;
    }
    if (overviewKey && !CloseOverview()) {
        // A stroke or shape under way ends before the map is covered.
        EndGesture();
        nav.overview = render::LayOutOverview(level);
        // A level without cells has nothing to show.
        nav.overviewOpen = nav.overview.width > 0;
    }
    if (homeKey) {
        const level::StartOffset start = level::LevelStart(level).value_or(kTopLeftCorner);
        level.viewX = static_cast<float>(start.x);
        level.viewY = static_cast<float>(start.y);
    }
    // The cell under the mouse means a cell of the map, not of the overview.
    if (nav.overviewOpen || !OverPlayScreen(state.loop.mouseX, state.loop.mouseY)) {
        return;
    }
    // The cell the brush would paint, so that the start lands where "Position" says.
    const editor::BrushCell cell =
        editor::BrushCellAt(state.loop.mouseX, state.loop.mouseY, level.viewX, level.viewY);
    if (cell.column < 1 || cell.column > level.levelWidth || cell.row < 1 ||
        cell.row > level.levelHeight) {
        return;
    }
    if (startKey) {
        level.placedStart = CentredOn(cell);
    }
    if (hereKey) {
        PlayFromHere(cell);
    }
}

bool Program::Impl::NavigationMouse(const runtime::Event& event) {
    NavigationState& nav = state.navigation;
    level::Level& level = state.level;
    const std::int32_t mouseX = state.loop.mouseX;
    const std::int32_t mouseY = state.loop.mouseY;
    if (nav.overviewOpen) {
        // The map beneath the overview takes no press, pick or command.
        if (event.code != EventCode::LeftButtonDown) {
            return true;
        }
        // A click on the picture shows that place; anywhere else it only closes the overview.
        if (const std::optional<render::ViewOffset> target =
                render::OverviewTarget(nav.overview, mouseX, mouseY)) {
            level.viewX = target->x;
            level.viewY = target->y;
        }
        CloseOverview();
        return true;
    }
    const bool over = OverPlayScreen(mouseX, mouseY);
    if (over && (event.code == EventCode::MouseWheel || event.code == EventCode::SidewaysWheel)) {
        const float pixels =
            static_cast<float>(std::int64_t{event.number} * kWheelNotchPixels / kWheelNotch);
        // Away from the user scrolls up, as the Up arrow does; with Shift, or on a sideways
        // wheel, to the left.
        if (event.code == EventCode::SidewaysWheel || keys->Held(Key::Shift)) {
            level.viewX = level.viewX + pixels;
        } else {
            level.viewY = level.viewY + pixels;
        }
    }
    if (over && event.code == EventCode::MiddleButtonDown) {
        nav.dragging = true;
        nav.dragMouseX = mouseX;
        nav.dragMouseY = mouseY;
        nav.dragViewX = level.viewX;
        nav.dragViewY = level.viewY;
    }
    if (nav.dragging) {
        // The level under the mouse stays under it.
        level.viewX = nav.dragViewX + static_cast<float>(std::int64_t{mouseX} - nav.dragMouseX);
        level.viewY = nav.dragViewY + static_cast<float>(std::int64_t{mouseY} - nav.dragMouseY);
        nav.dragging = event.code != EventCode::MiddleButtonUp;
    }
    return false;
}

void Program::Impl::DrawOverviewFrame(const render::FrameInputs& inputs) {
    NavigationState& nav = state.navigation;
    // The pass opened a scene for the map, which the overview replaces.
    screen->EndScene();
    // The ball turns as it would under the map.
    render::AdvanceWithoutDrawing(state.level, inputs, state.render, random);
    if (nav.overviewPixels.empty()) {
        nav.overviewPixels = render::DrawOverviewPixels(state.level, nav.overview, *screen);
        screen->Clear(runtime::Rgb{0, 0, 0});
    }
    render::DrawOverview(state.level, nav.overview, nav.overviewPixels, *screen);
}

}  // namespace tessaron::app
