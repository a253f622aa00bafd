// A temporary game folder, an input driver whose actions the test lists, and a started Program
// to drive pass by pass.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/automation.h"
#include "app/program.h"
#include "runtime/files.h"
#include "runtime/screen.h"

namespace tessaron::app::testing {

namespace fs = std::filesystem;

// A 24-bit Windows bitmap of one colour.
inline void WriteBitmap(const fs::path& file, int width, int height, runtime::Rgb colour) {
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    const std::uint32_t imageBytes = static_cast<std::uint32_t>(rowBytes * height);
    std::vector<std::uint8_t> data;
    auto put16 = [&](std::uint32_t v) {
        data.push_back(v & 0xFF);
        data.push_back((v >> 8) & 0xFF);
    };
    auto put32 = [&](std::uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    data.push_back('B');
    data.push_back('M');
    put32(54 + imageBytes);
    put32(0);
    put32(54);
    put32(40);
    put32(static_cast<std::uint32_t>(width));
    put32(static_cast<std::uint32_t>(height));
    put16(1);
    put16(24);
    put32(0);
    put32(imageBytes);
    put32(2835);
    put32(2835);
    put32(0);
    put32(0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            data.push_back(colour.blue);
            data.push_back(colour.green);
            data.push_back(colour.red);
        }
        for (int pad = width * 3; pad < rowBytes; ++pad) {
            data.push_back(0);
        }
    }
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
}

// A game folder with plain pictures of the right sizes, a short silent sound, an empty level
// directory and a preset directory holding two presets and a subfolder.
inline void MakeGameFolder(const fs::path& root) {
    fs::create_directories(root / "BMP");
    fs::create_directories(root / "WAV");
    fs::create_directories(root / "LEVEL" / "Werte" / "Ordner");
    const runtime::Rgb grey{128, 128, 128};
    for (const char* name :
         {"Raster.bmp",     "Licht.bmp",    "H_Luft.bmp",    "Ziegelsteine.bmp", "Beton.bmp",
          "Erde.bmp",       "Rasen.bmp",    "Gestrüp25.bmp", "Gestrüp50.bmp",    "Gestrüp75.bmp",
          "Gestrüp100.bmp", "Schalter.bmp", "Sensor.bmp",    "Tür.bmp",          "Flugstein.bmp",
          "Stacheln.bmp",   "Fackel1.bmp",  "Fackel2.bmp",   "DISK.bmp",         "Ziel.bmp",
          "0.bmp",          "1-.bmp",       "2-.bmp",        "5-.bmp",           "10-.bmp",
          "20-.bmp",        "50-.bmp"}) {
        WriteBitmap(root / "BMP" / name, 40, 40, grey);
    }
    WriteBitmap(root / "BMP" / "H_Wasser.bmp", 46, 40, runtime::Rgb{0, 0, 160});
    WriteBitmap(root / "BMP" / "Leer.bmp", 40, 40, runtime::Rgb{0, 0, 0});
    WriteBitmap(root / "BMP" / "Bereich.bmp", 60, 60, runtime::Rgb{255, 255, 255});
    WriteBitmap(root / "BMP" / "Farben.bmp", 58, 58, runtime::Rgb{200, 40, 40});
    // Four silent samples: enough for the sound to load.
    const std::string wave(
        "RIFF\x2c\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x22\x56\0\0\x44\xac\0\0\x02\0\x10\0"
        "data\x08\0\0\0\0\0\0\0\0\0\0\0",
        52);
    std::ofstream(root / "WAV" / "Punkte.wav", std::ios::binary) << wave;
    for (const char* preset : {"Schnell.TXT", "Lift.txt", "ab"}) {
        std::ofstream(root / "LEVEL" / "Werte" / preset) << "1\r\n";
    }
}

// Hands the program the test's actions: per pass before its poll, and one at a time whenever a
// modal window would wait. Without an action left, a modal window ends the run.
class TestDriver : public InputDriver {
  public:
    std::map<std::int64_t, std::vector<std::function<void()>>> beforePoll;
    std::deque<std::function<void()>> modal;
    std::vector<std::string> modalWindows;  // the window of every modal request
    Status pollStatus = Status::Ok;

    Status BeforePoll(std::int64_t pass) override {
        if (pollStatus != Status::Ok) {
            return pollStatus;
        }
        if (auto it = beforePoll.find(pass); it != beforePoll.end()) {
            for (auto& action : it->second) {
                action();
            }
        }
        return Status::Ok;
    }
    Status BeforeModalEvent(std::string_view window) override {
        modalWindows.emplace_back(window);
        if (modal.empty()) {
            return Status::NoActionLeft;
        }
        auto action = std::move(modal.front());
        modal.pop_front();
        action();
        return Status::Ok;
    }
    std::string Message() const override { return "test driver"; }
    // Whether the test answers the goal screen (with the modal actions it queued).
    bool answersGoalScreen = false;
    bool WillPress(std::span<const int>) const override { return answersGoalScreen; }
};

// Counts what the program tells its observers.
class CountingObserver : public RunObserver {
  public:
    std::vector<runtime::Event> events;
    int snapshots = 0;
    std::vector<std::int64_t> passEnds;
    std::vector<std::string> answers;

    void OnEvent(std::int64_t, const runtime::Event& event) override { events.push_back(event); }
    void OnKeyboardSnapshot(std::int64_t, const runtime::Keyboard&) override { ++snapshots; }
    void OnRequesterAnswer(std::string_view path) override { answers.emplace_back(path); }
    void OnPassEnd(std::int64_t pass, const GameState&) override { passEnds.push_back(pass); }
};

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "-" + info->name();
        for (char& c : name) {
            if (c == '/') {
                c = '_';
            }
        }
        root_ = fs::temp_directory_path() /
                ("tessaron-app-" + name + "-" + std::to_string(std::random_device{}()));
        fs::remove_all(root_);
        MakeGameFolder(root_);
    }
    void TearDown() override {
        program_.reset();
        fs::remove_all(root_);
    }

    // Starts the program headless in the test's game folder. The status of StartUp.
    int Start() {
        Options options;
        options.gameDir = gameDir_.empty() ? root_ : gameDir_;
        options.headless = true;
        options.seed = 1;
        ProgramHooks hooks;
        hooks.driver = &driver_;
        hooks.observers = {&observer_};
        hooks.requesters = &requesters_;
        program_ = std::make_unique<Program>(options, hooks);
        static char name[] = "tessaron-test";
        static char* argv[] = {name, nullptr};
        static int argc = 1;
        return program_->StartUp(argc, argv);
    }

    // The new-level dialog's next three waits: width, height, "Erstellen".
    void AnswerNewLevel(const std::string& width, const std::string& height) {
        driver_.modal.push_back([this, width] { program_->Windows().TypeText(1, width); });
        driver_.modal.push_back([this, height] { program_->Windows().TypeText(2, height); });
        driver_.modal.push_back([this] { program_->Windows().Press(5); });
    }

    // Start-up with the load cancelled and a new level of width x height.
    void StartWithNewLevel(int width = 20, int height = 20) {
        AnswerNewLevel(std::to_string(width), std::to_string(height));
        ASSERT_EQ(Start(), 0);
        ASSERT_EQ(program_->State().level.levelWidth, width);
    }

    PassOutcome Pass() { return program_->RunPass(); }

    // The key goes down for one pass and comes up for the next.
    PassOutcome Tap(runtime::Key key) {
        program_->Keys().SetKey(key, true);
        Pass();
        program_->Keys().SetKey(key, false);
        return Pass();
    }

    void ToEditor() {
        Tap(runtime::Key::Tab);
        ASSERT_EQ(program_->State().loop.mode, level::Mode::Editor);
    }

    int MainWindowX() {
        program_->Windows().Use(2);
        return program_->Windows().X();
    }

    fs::path root_;
    fs::path gameDir_;  // the game folder as given on the command line; root_ when empty
    runtime::ScriptedRequesters requesters_;
    TestDriver driver_;
    CountingObserver observer_;
    std::unique_ptr<Program> program_;
};

}  // namespace tessaron::app::testing
