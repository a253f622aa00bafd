// The goal screen's part of the program: when it shows, what it shows, and the level it starts.
#include <filesystem>
#include <string>

#include "app/goal_screen.h"
#include "app/program_internal.h"
#include "app/progress.h"
#include "app/side_panel.h"
#include "level/level_file.h"

namespace tessaron::app {

namespace {

constexpr int kNextLevelListing = 2;
constexpr const char* kLevelFiles = "*.TXT";

// Two records alike in what a level file holds of them; a torch counts the same in either frame.
bool SameEditableRecord(const level::Element& played, const level::Element& read) {
    auto kindOf = [](float kind) {
        kind = level::EditableKind(kind);
        return kind == level::Code(level::ElementKind::TorchFlicker)
                   ? level::Code(level::ElementKind::Torch)
                   : kind;
    };
    return played.background == read.background && played.homeColumn == read.homeColumn &&
           played.homeRow == read.homeRow && kindOf(played.kind) == kindOf(read.kind) &&
           played.link == read.link && played.length == read.length &&
           played.speedX == read.speedX && played.speedY == read.speedY &&
           played.pause1 == read.pause1 && played.pause2 == read.pause2;
}

}  // namespace

bool Program::Impl::LevelIsAsItsFile() {
    level::Level read;
    read.levelFileName = state.level.levelFileName;
    if (read.levelFileName.empty() ||
        level::ReadLevelFile(read, *files) != level::LoadResult::Loaded ||
        read.levelWidth != state.level.levelWidth || read.levelHeight != state.level.levelHeight ||
        read.elements.size() != state.level.elements.size()) {
        return false;
    }
    for (std::size_t i = 0; i < read.elements.size(); ++i) {
        if (!SameEditableRecord(state.level.elements[i], read.elements[i])) {
            return false;
        }
    }
    return true;
}

std::string Program::Impl::NextLevelFile() {
    const std::filesystem::path current(state.level.levelFileName);
    const std::string name = current.filename().string();
    if (!listing->List(kNextLevelListing, current.parent_path().string(), kLevelFiles)) {
        return {};
    }
    // The listing comes sorted by name.
    for (runtime::EntryType type = listing->Next(); type != runtime::EntryType::None;
         type = listing->Next()) {
        const std::string entry = listing->EntryName();
        if (type != runtime::EntryType::File || entry <= name) {
            continue;
        }
        const std::string path = (current.parent_path() / entry).string();
        // A file that is no level is passed over.
        if (level::LevelFileProblem(*files, path).empty()) {
            return path;
        }
    }
    return {};
}

Flow Program::Impl::StartLevelFile(const std::string& path) {
    const std::string before = state.level.levelFileName;
    const std::int32_t score = state.level.score;
    state.level.levelFileName = path;
    if (level::ReadLevelFile(state.level, *files) != level::LoadResult::Loaded) {
        state.level.levelFileName = before;
        state.level.score = score;
        windows->MessageBox("Error", "Das Level konnte nicht geladen werden:\n" + path);
        windows->Use(panel::kMainWindow);
        return Flow::Continue;
    }
    state.player = game::Player{};
    levelStartPass = passCount;
    ResetNavigation();
    return Flow::Restart;
}

Flow Program::Impl::GoalStage() {
    if (state.loop.mode != level::Mode::Play || !passEvents.Happened(game::GameEvent::GoalTaken)) {
        return Flow::Continue;
    }
    // A scripted run shows the screen only where its script answers it, so that every script
    // made before there was one plays on as it did; a headless run without a script has nobody
    // to answer it.
    if (hooks.driver != nullptr ? !hooks.driver->WillPress(goal_screen::kButtons)
                                : options.headless) {
        return Flow::Continue;
    }

    GoalScreenText text;
    text.points = state.level.score;
    text.passes = passCount - levelStartPass;
    // A level edited since it was read or saved is not the level of its file: its result is
    // not kept, and neither its file nor the next one may take its place unsaved.
    const bool asItsFile = LevelIsAsItsFile();
    std::string next;
    if (asItsFile) {
        std::string problem;
        text.record =
            NoteGoal(*files, *folder, state.level.levelFileName, text.points, text.passes, problem);
        if (!problem.empty()) {
            windows->MessageBox("Error", problem);
            windows->Use(panel::kMainWindow);
        }
        next = NextLevelFile();
    }
    text.levelFromFile = asItsFile;
    text.nextLevel = !next.empty();

    // The goal is heard as it is taken, not once the screen is answered.
    AnswerPassSounds();
    ShowHistoryButtons(true);
    const GoalChoice choice =
        RunGoalScreen(*windows, *screen, text, [this] { return ModalEvent(goal_screen::kTitle); });
    windows->Use(panel::kMainWindow);
    if (choice != GoalChoice::Abandoned && Interactive()) {
        soundDesk.Click(*sound);
    }
    switch (choice) {
        case GoalChoice::NextLevel:
            return StartLevelFile(next);
        case GoalChoice::Again:
            return StartLevelFile(state.level.levelFileName);
        case GoalChoice::Continue:
            return Flow::Continue;
        case GoalChoice::Abandoned:
            return Flow::Abort;
    }
    return Flow::Continue;
}

}  // namespace tessaron::app
