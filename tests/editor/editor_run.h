// The `tessaron` program itself, run headless from a script in a scratch game folder, and the
// level files it saves there.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "level/level_file.h"

namespace tessaron::editor::testing {

namespace fs = std::filesystem;

inline std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class EditorRun : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("tessaron-editor-e2e-" + std::to_string(std::random_device{}()));
        fs::remove_all(root_);
        app::testing::MakeGameFolder(root_);
        fs::create_directories(root_ / "out");
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path Out(const std::string& name) const { return root_ / "out" / name; }

    // The program's exit status; what it wrote to standard error is in Out("stderr.txt").
    int Run(const std::string& script, const std::string& arguments) {
        const fs::path scriptFile = Out("script.txt");
        std::ofstream(scriptFile, std::ios::binary) << script;
        const std::string command =
            "QT_QPA_PLATFORM=offscreen '" + (fs::path(TESSARON_GAME_DIR) / "tessaron").string() +
            "' --headless --dir '" + root_.string() + "' --script '" + scriptFile.string() + "' " +
            arguments + " 2>'" + Out("stderr.txt").string() + "'";
        const int raw = std::system(command.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    }

    // The records of a level file the run saved, in list order.
    level::ElementList Saved(const std::string& file) {
        runtime::GameFolder folder(root_);
        runtime::Files files(folder);
        level::Level saved;
        saved.levelFileName = file;
        EXPECT_EQ(level::ReadLevelFile(saved, files), level::LoadResult::Loaded) << file;
        return saved.elements;
    }

    fs::path root_;
};

}  // namespace tessaron::editor::testing
