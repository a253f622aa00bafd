#include "app/reach_layer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>

#include "game/geometry.h"
#include "play/pass.h"
#include "runtime/sound_player.h"

namespace tessaron::app {

namespace {

using solver::SearchReport;

// Passes the level must stay as it is before the search starts again (half a second of play).
constexpr std::int64_t kSettlePasses = 30;
// The ghost stays at the goal for a second before the view goes back.
constexpr std::int64_t kGhostRest = 60;
constexpr double kInteractiveSeconds = 60.0;
// The passes a search may take, by the level's cells: a small level walled off is known as such
// within a second or two, a large one gets the time it needs.
constexpr std::int64_t kPassesPerCell = 2000;
constexpr std::int64_t kFewestPasses = 200'000;
constexpr std::int64_t kMostPasses = 40'000'000;

constexpr runtime::Rgb kTint{255, 0, 200};
constexpr int kTintOpacity = 96;
constexpr runtime::Rgb kTaken{0, 220, 0};
constexpr runtime::Rgb kMissed{255, 40, 40};
constexpr runtime::Rgb kFinding{255, 160, 0};
constexpr runtime::Rgb kLineBack{0, 0, 0};
constexpr runtime::Rgb kLineText{255, 255, 255};
constexpr int kCell = static_cast<int>(game::kCellSize);
constexpr int kLineHeight = 16;
constexpr int kBallRadius = 29;

bool SameLevel(const level::Level& a, const level::Level& b) {
    return a.levelWidth == b.levelWidth && a.levelHeight == b.levelHeight &&
           level::LevelStart(a) == level::LevelStart(b) && a.elements.size() == b.elements.size() &&
           (a.elements.empty() || std::memcmp(a.elements.data(), b.elements.data(),
                                              a.elements.size() * sizeof(level::Element)) == 0);
}

// The level as edited, only what the game reads of it.
level::Level CopyOf(const level::Level& level) {
    level::Level copy;
    static_cast<level::LevelValues&>(copy) = level;
    copy.levelFileName = level.levelFileName;
    copy.fileStart = level.fileStart;
    copy.placedStart = level.placedStart;
    copy.elements = level.elements;
    return copy;
}

// The game as a player finds it who reads this level once it is saved: at the start the author
// placed, else at the file's; a level that has no file yet starts at the view of the moment.
play::Game StartOf(const level::Level& level) {
    play::Game game;
    game.level = CopyOf(level);
    if (const std::optional<level::StartOffset> start = level::LevelStart(level)) {
        game.level.viewX = static_cast<float>(start->x);
        game.level.viewY = static_cast<float>(start->y);
    }
    game.level.score = 0;
    game.level.triggeredLink = -1;
    game.loop.mode = level::Mode::Play;
    return game;
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    std::string result = text;
    for (char& c : result) {
        if (c == '.') {
            c = ',';
        }
    }
    return result;
}

std::string CellText(const solver::Cell& cell) {
    return "Spalte " + std::to_string(cell.column) + ", Zeile " + std::to_string(cell.row);
}

// The screen rectangle of a cell of the map, where the cell's picture is drawn.
void FrameCell(runtime::PlayScreen& screen, const level::Level& level, const solver::Cell& cell,
               runtime::Rgb colour) {
    const int x = game::PictureCorner(static_cast<float>(cell.column), level.viewX);
    const int y = game::PictureCorner(static_cast<float>(cell.row), level.viewY);
    screen.SetDrawingMode(runtime::kOutline);
    for (int inset = 0; inset < 3; ++inset) {
        screen.Rectangle(x + inset, y + inset, kCell - 2 * inset, kCell - 2 * inset, colour);
    }
}

}  // namespace

struct ReachLayer::Ghost {
    play::Game game;
    game::SavePointMemory savePoint;
    runtime::Random random;
    solver::KeyPlan plan;
    std::size_t at = 0;
    std::int64_t rest = 0;
    float editorViewX = 0.0f;
    float editorViewY = 0.0f;
};

ReachLayer::ReachLayer(const runtime::CollisionMasks& masks, bool interactive)
    : masks_(masks), interactive_(interactive) {}

ReachLayer::~ReachLayer() = default;

void ReachLayer::Start(const level::Level& level) {
    search_.reset();
    searched_ = CopyOf(level);
    pending_.reset();
    solver::World start;
    start.state = StartOf(level);
    solver::SearchSettings settings;
    settings.seconds = interactive_ ? kInteractiveSeconds : 1.0e9;
    settings.passLimit =
        std::clamp(static_cast<std::int64_t>(level.elements.size()) * kPassesPerCell, kFewestPasses,
                   kMostPasses);
    hasGoal_ = solver::Goals(level.elements).Any();
    settings.threads = static_cast<std::int32_t>(std::max(1u, std::thread::hardware_concurrency()));
    settings.hint = hint_;
    search_ = std::make_unique<solver::BackgroundSearch>(start, solver::Machines{masks_},
                                                         std::move(settings));
}

void ReachLayer::Stop() {
    if (search_ != nullptr && search_->Done()) {
        hint_ = search_->Report().plan;
    }
    search_.reset();
}

void ReachLayer::Toggle(level::Level& level) {
    on_ = !on_;
    if (on_) {
        Start(level);
    } else {
        EndGhost(level);
        Stop();
        pending_.reset();
    }
}

void ReachLayer::EndGhost(level::Level& level) {
    if (ghost_ != nullptr) {
        level.viewX = ghost_->editorViewX;
        level.viewY = ghost_->editorViewY;
        ghost_.reset();
    }
}

void ReachLayer::Follow(level::Level& level, std::int64_t pass, bool anyKeyPressed) {
    if (!on_) {
        return;
    }
    if (ghost_ != nullptr) {
        // The ghost plays a game of its own; only the editor's view follows it.
        level::Level& view = level;
        Ghost& ghost = *ghost_;
        if (anyKeyPressed || ghost.rest >= kGhostRest) {
            EndGhost(level);
        } else {
            if (ghost.at < ghost.plan.size()) {
                runtime::Silence silence;
                play::RunPlayPass(ghost.game, solver::PlayerKeysOf(ghost.plan[ghost.at++]),
                                  game::Services{masks_, silence, ghost.savePoint, ghost.random,
                                                 ghost.game.schedule});
            } else {
                ++ghost.rest;
            }
            view.viewX = ghost.game.level.viewX;
            view.viewY = ghost.game.level.viewY;
            return;
        }
    }
    if (SameLevel(level, searched_)) {
        pending_.reset();
        return;
    }
    if (!pending_ || !SameLevel(level, *pending_)) {
        // A change: the old search is of another level now. It starts again once the level
        // stays as it is.
        Stop();
        pending_ = CopyOf(level);
        pendingSince_ = pass;
        return;
    }
    if (pass - pendingSince_ >= kSettlePasses) {
        Start(*pending_);
    }
}

void ReachLayer::Wait(const level::Level& level) {
    if (!on_) {
        return;
    }
    if (pending_ || !SameLevel(level, searched_)) {
        Start(level);
    }
    if (search_ != nullptr) {
        search_->Wait();
    }
}

void ReachLayer::ShowRun(level::Level& level) {
    if (!on_ || search_ == nullptr || ghost_ != nullptr) {
        return;
    }
    const SearchReport report = search_->Report();
    if (report.stage != SearchReport::Stage::Found) {
        return;
    }
    ghost_ = std::make_unique<Ghost>();
    ghost_->game = StartOf(searched_);
    ghost_->plan = report.plan;
    ghost_->editorViewX = level.viewX;
    ghost_->editorViewY = level.viewY;
    level.viewX = ghost_->game.level.viewX;
    level.viewY = ghost_->game.level.viewY;
}

std::vector<std::string> ReachLayer::Lines() const {
    if (!on_) {
        return {};
    }
    if (search_ == nullptr) {
        return {"sucht " + Number(0.0) + " s"};
    }
    const SearchReport report = search_->Report();
    std::vector<std::string> lines;
    switch (report.stage) {
        case SearchReport::Stage::Found:
            lines.push_back("Ziel erreichbar \u2014 " + std::to_string(report.plan.size()) +
                            " Durchg\u00e4nge");
            break;
        case SearchReport::Stage::NotFound:
            if (!hasGoal_) {
                lines.push_back("Ziel nicht gefunden (kein Ziel im Level)");
                break;
            }
            lines.push_back(
                "Ziel nicht gefunden (n\u00e4chste Stelle: " + CellText(report.nearest) + ")");
            break;
        case SearchReport::Stage::Searching:
            lines.push_back("sucht " + Number(report.seconds) + " s");
            break;
    }
    if (report.leftFrom) {
        lines.push_back("Der Ball f\u00e4llt aus dem Level: " + CellText(*report.leftFrom));
    }
    for (const solver::Cell& disk : report.deadEnds) {
        lines.push_back("Diskette ohne Weg zum Ziel: " + CellText(disk));
    }
    return lines;
}

void ReachLayer::Draw(const level::Level& level, runtime::PlayScreen& screen) const {
    if (!on_) {
        return;
    }
    screen.BeginDrawing();
    SearchReport report;
    if (search_ != nullptr) {
        report = search_->Report();
        // The cells on the screen: a cell's picture covers 40 c + view - 20 .. + 40.
        const auto first = [](float view) {
            return static_cast<std::int32_t>(std::floor((-view - game::kHalfCell) / kCell));
        };
        const std::int32_t c0 = first(level.viewX);
        const std::int32_t r0 = first(level.viewY);
        for (std::int32_t r = r0; r <= r0 + 768 / kCell + 1; ++r) {
            for (std::int32_t c = c0; c <= c0 + 1024 / kCell + 1; ++c) {
                if (report.reach.Reached(solver::Cell{c, r})) {
                    screen.TintRectangle(game::PictureCorner(static_cast<float>(c), level.viewX),
                                         game::PictureCorner(static_cast<float>(r), level.viewY),
                                         kCell, kCell, kTint, kTintOpacity);
                }
            }
        }
        // The goal framed green where it was taken, red where the search ended without.
        if (report.stage != SearchReport::Stage::Searching) {
            const runtime::Rgb goal = report.stage == SearchReport::Stage::Found ? kTaken : kMissed;
            for (const level::Element& e : searched_.elements) {
                if (e.kind == level::Code(level::ElementKind::Goal)) {
                    FrameCell(screen, level,
                              solver::Cell{static_cast<std::int32_t>(e.homeColumn),
                                           static_cast<std::int32_t>(e.homeRow)},
                              goal);
                }
            }
        }
        if (report.leftFrom) {
            FrameCell(screen, level, *report.leftFrom, kFinding);
        }
        for (const solver::Cell& disk : report.deadEnds) {
            FrameCell(screen, level, disk, kFinding);
        }
    }
    if (ghost_ != nullptr) {
        const int x = game::RoundToPixel(game::kCentreX - ghost_->game.level.viewX + level.viewX);
        const int y = game::RoundToPixel(game::kCentreY - ghost_->game.level.viewY + level.viewY);
        screen.SetDrawingMode(runtime::kOutline);
        screen.Circle(x, y, kBallRadius, runtime::Rgb{255, 255, 255});
        screen.TintRectangle(x - kBallRadius / 2, y - kBallRadius / 2, kBallRadius, kBallRadius,
                             runtime::Rgb{255, 255, 255}, kTintOpacity);
    }

    // The lines at the foot of the map.
    const std::vector<std::string> lines = Lines();
    screen.SetDrawingMode(0);
    screen.SetBackColour(kLineBack);
    screen.SetFrontColour(kLineText);
    screen.UseFont(0);
    int y = 768 - kLineHeight * static_cast<int>(lines.size()) - 4;
    for (const std::string& line : lines) {
        screen.SetTextPosition(4, y);
        screen.DrawText(" " + line + " ");
        y += kLineHeight;
    }
    screen.EndDrawing();
}

}  // namespace tessaron::app
