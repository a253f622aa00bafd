// Records an interactive run as a script: the seed, the file requesters' answers, the replies to
// the save question, and per pass the key changes, clicks, drags and drops with their mouse
// position, control changes, toolbar presses and command keys that the pass took. Replaying the
// script headless gives the same trace. The program tells its observers every requester answer, so
// the recorder needs no requester of its own.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/automation.h"
#include "app/automation/script.h"
#include "runtime/file_writer.h"
#include "runtime/files.h"
#include "runtime/screen.h"

namespace tessaron::app {

// What kind of control a number names in a window, which decides how its change is replayed.
enum class ControlKind { Unknown, TextField, Choice, Button };
ControlKind KindOfControl(int window, int control);

class Recorder : public RunObserver {
  public:
    // The lines go to `sink` as they are made (a file, or a string in tests). Answers inside the
    // game folder are written relative to it, so the recording replays in another folder too.
    Recorder(std::function<void(std::string_view line)> sink,
             std::function<runtime::Windows&()> windows,
             std::function<std::filesystem::path()> gameFolder);

    void RecordSeed(std::uint32_t seed);
    void Comment(std::string_view text);

    void OnEvent(std::int64_t pass, const runtime::Event& event) override;
    void OnKeyboardSnapshot(std::int64_t pass, const runtime::Keyboard& keys) override;
    void OnRequesterAnswer(std::string_view path) override;
    void OnQuestionAnswer(std::string_view button) override;
    void OnPassEnd(std::int64_t pass, const GameState& state) override;

    std::int64_t PassesRecorded() const { return lastPass_; }

  private:
    // The action that replays an event, or none for events that need no replaying.
    std::optional<Action> ActionFor(const runtime::Event& event);
    // The mouse position in main-window coordinates.
    void ReadMouse(int& x, int& y);
    void Emit(const Action& action);
    // The texts of the main window's fields.
    std::map<int, std::string> MainFieldTexts();

    std::function<void(std::string_view)> sink_;
    std::function<runtime::Windows&()> windows_;
    std::function<std::filesystem::path()> gameFolder_;

    // This pass's actions, written when it ends: key changes and the pass's own event first,
    // then the events that modal windows took during the pass, which the replay feeds to those
    // windows after the pass's own actions.
    std::vector<Action> keyActions_;
    std::optional<Action> passEvent_;
    std::vector<Action> modalActions_;
    bool held_[std::size(kScriptKeys)] = {};
    // The mouse position the replay has at this point, so moves are written only when it changes.
    int mouseX_ = 0;
    int mouseY_ = 0;
    bool mouseKnown_ = false;
    // The replay holds the left button down (a drag not yet dropped).
    bool leftHeld_ = false;
    // A pass has begun (its event or its keyboard snapshot was seen) and not ended yet.
    bool inPass_ = false;
    // Field texts as the replay will have them when their next event comes; see OnPassEnd.
    std::map<int, std::string> knownText_;
    std::map<int, std::string> passStartTexts_;
    bool passStartTaken_ = false;
    std::map<int, std::string> lastEndTexts_;
    std::int64_t lastPass_ = 0;
};

// Writes a recording's lines into its file as they come, flushing each, so a run that ends
// abruptly keeps what it recorded: the one file the program writes in place.
class RecordingFile {
  public:
    explicit RecordingFile(const std::filesystem::path& file);
    // False once the file could not be opened or a line could not be written; Problem() says why.
    bool Ok() const { return ok_; }
    const std::string& Problem() const { return out_.Problem(); }
    void Write(std::string_view line);
    // Flushes the file to the disk and closes it; false when that or any write failed.
    bool Close();

  private:
    runtime::FileWriter out_;
    bool ok_ = false;
};

}  // namespace tessaron::app
