#include "app/automation/recorder.h"

#include <algorithm>
#include <array>
#include <utility>

#include "app/automation/script_driver.h"

namespace tessaron::app {

namespace {

// The side panel's controls by kind. Frames and labels never report events.
constexpr std::array kMainTextFields = {11, 22, 24, 26, 28, 31, 41, 43, 62};
constexpr std::array kMainChoices = {52, 61, 90, 1000};
constexpr std::array kMainButtons = {51, 100, 200, 2000, 2001, 2002, 2003, 2004, 2005, 2006, 2007};

template <typename List>
bool Contains(const List& list, int value) {
    return std::find(std::begin(list), std::end(list), value) != std::end(list);
}

constexpr int kNewLevelProductField = 3;

// A button pressed or let go where the mouse is: the replay moves the mouse there first.
// A button press or release, taken with the mouse's position at the end of its pass.
bool AtMouse(ActionKind kind) {
    return kind == ActionKind::Click || kind == ActionKind::RightClick ||
           kind == ActionKind::MiddleDown || kind == ActionKind::MiddleUp;
}

bool IsModal(const runtime::Windows& windows) {
    return windows.IsOpen(kPauseWindow) || windows.IsOpen(kNewLevelWindow) ||
           windows.IsOpen(kGoalWindow);
}

}  // namespace

ControlKind KindOfControl(int window, int control) {
    switch (window) {
        case kMainWindow:
            if (Contains(kMainTextFields, control)) {
                return ControlKind::TextField;
            }
            if (Contains(kMainChoices, control)) {
                return ControlKind::Choice;
            }
            if (Contains(kMainButtons, control)) {
                return ControlKind::Button;
            }
            return ControlKind::Unknown;
        case kNewLevelWindow:
            if (control == 1 || control == 2 || control == 3) {
                return ControlKind::TextField;
            }
            return control == 5 ? ControlKind::Button : ControlKind::Unknown;
        case kPauseWindow:
            return control >= 1 && control <= 4 ? ControlKind::Button : ControlKind::Unknown;
        case kGoalWindow:
            return Contains(goal_screen::kButtons, control) ? ControlKind::Button
                                                            : ControlKind::Unknown;
        default:
            return ControlKind::Unknown;
    }
}

Recorder::Recorder(std::function<void(std::string_view)> sink,
                   std::function<runtime::Windows&()> windows,
                   std::function<std::filesystem::path()> gameFolder)
    : sink_(std::move(sink)), windows_(std::move(windows)), gameFolder_(std::move(gameFolder)) {}

void Recorder::RecordSeed(std::uint32_t seed) {
    sink_("seed " + std::to_string(seed));
}

void Recorder::Comment(std::string_view text) {
    sink_("# " + std::string(text));
}

void Recorder::ReadMouse(int& x, int& y) {
    runtime::Windows& windows = windows_();
    if (!windows.IsOpen(kMainWindow)) {
        x = mouseX_;
        y = mouseY_;
        return;
    }
    UseWindow main(windows, kMainWindow);
    x = windows.MouseX();
    y = windows.MouseY();
}

std::optional<Action> Recorder::ActionFor(const runtime::Event& event) {
    Action action;
    switch (event.code) {
        case runtime::EventCode::LeftButtonDown:
            action.kind = ActionKind::Click;
            action.modifiers = event.number;
            return action;
        case runtime::EventCode::RightButtonDown:
            action.kind = ActionKind::RightClick;
            action.modifiers = event.number;
            return action;
        case runtime::EventCode::Command:
            action.kind = ActionKind::Command;
            action.control = event.number;
            return action;
        case runtime::EventCode::MiddleButtonDown:
        case runtime::EventCode::MiddleButtonUp:
            action.kind = event.code == runtime::EventCode::MiddleButtonDown
                              ? ActionKind::MiddleDown
                              : ActionKind::MiddleUp;
            return action;
        case runtime::EventCode::MouseWheel:
        case runtime::EventCode::SidewaysWheel:
            action.kind = event.code == runtime::EventCode::MouseWheel ? ActionKind::Wheel
                                                                       : ActionKind::SidewaysWheel;
            action.value = event.number;
            return action;
        case runtime::EventCode::Close:
            action.kind = ActionKind::Close;
            return action;
        case runtime::EventCode::Toolbar:
            action.kind = ActionKind::Toolbar;
            action.control = event.number;
            return action;
        case runtime::EventCode::Control: {
            runtime::Windows& windows = windows_();
            const int window = event.window != 0 ? event.window : windows.WindowOf(event.number);
            action.control = event.number;
            switch (KindOfControl(window, event.number)) {
                case ControlKind::TextField: {
                    // The program writes into fields too, and each write is an event like a
                    // user's; the replay makes those again by itself. Only text the program
                    // did not write is the user's.
                    std::string text = windows.Text(event.number);
                    auto known = knownText_.find(event.number);
                    const std::string expected =
                        known != knownText_.end() ? known->second : std::string("0");
                    if (window == kNewLevelWindow && event.number == kNewLevelProductField) {
                        return std::nullopt;  // read-only: only the program writes it
                    }
                    if (text == expected) {
                        return std::nullopt;
                    }
                    knownText_[event.number] = text;
                    action.kind = ActionKind::Text;
                    action.text = std::move(text);
                    // A script line holds one line of text.
                    std::replace(action.text.begin(), action.text.end(), '\n', ' ');
                    return action;
                }
                case ControlKind::Choice:
                    action.kind = ActionKind::Select;
                    action.value = windows.State(event.number);
                    return action;
                case ControlKind::Button:
                    action.kind = ActionKind::Press;
                    return action;
                case ControlKind::Unknown:
                    return std::nullopt;
            }
            return std::nullopt;
        }
        case runtime::EventCode::None:
        case runtime::EventCode::Repaint:
            return std::nullopt;
    }
    return std::nullopt;
}

void Recorder::Emit(const Action& action) {
    if (action.kind == ActionKind::Mouse || AtMouse(action.kind) ||
        action.kind == ActionKind::Drag || action.kind == ActionKind::Drop) {
        mouseX_ = action.x;
        mouseY_ = action.y;
        mouseKnown_ = true;
    }
    sink_(FormatAction(action));
}

std::map<int, std::string> Recorder::MainFieldTexts() {
    runtime::Windows& windows = windows_();
    std::map<int, std::string> texts;
    for (int field : kMainTextFields) {
        if (windows.WindowOf(field) == kMainWindow) {
            texts[field] = windows.Text(field);
        }
    }
    return texts;
}

void Recorder::OnEvent(std::int64_t pass, const runtime::Event& event) {
    if (!IsModal(windows_())) {
        // The pass's own event, taken right after the user's input was worked off: the fields'
        // texts now are where the program's own writes of this pass start from.
        inPass_ = true;
        passStartTexts_ = MainFieldTexts();
        passStartTaken_ = true;
        for (const auto& [field, text] : passStartTexts_) {
            knownText_.try_emplace(field, text);
        }
        std::optional<Action> action = ActionFor(event);
        if (action) {
            // A click's position is the one the pass reads at its end.
            action->pass = pass;
            passEvent_ = std::move(action);
        }
        return;
    }

    std::optional<Action> action = ActionFor(event);
    if (!action) {
        // The modal window takes one event per action in the replay: an event that needs no
        // replaying (the replay makes it by itself) is matched by an action that makes none.
        Action still;
        still.kind = ActionKind::Mouse;
        ReadMouse(still.x, still.y);
        action = still;
    } else if (AtMouse(action->kind)) {
        ReadMouse(action->x, action->y);
    }
    if (!inPass_) {
        // A modal window before the next pass has begun (the new-level dialog at start-up):
        // the replay feeds it before that pass's own actions.
        action->pass = lastPass_ + 1;
        Emit(*action);
        return;
    }
    // A modal window opened by this pass: the replay gives it the actions after this pass's
    // own, so they carry the next pass's number.
    action->pass = pass + 1;
    modalActions_.push_back(std::move(*action));
}

void Recorder::OnKeyboardSnapshot(std::int64_t pass, const runtime::Keyboard& keys) {
    inPass_ = true;
    for (std::size_t i = 0; i < std::size(kScriptKeys); ++i) {
        const bool held = keys.Held(kScriptKeys[i]);
        if (held != held_[i]) {
            held_[i] = held;
            Action action;
            action.pass = pass;
            action.kind = held ? ActionKind::KeyDown : ActionKind::KeyUp;
            action.key = kScriptKeys[i];
            keyActions_.push_back(action);
        }
    }
}

void Recorder::OnQuestionAnswer(std::string_view button) {
    // A question nobody answered needs no reply: the replay leaves it unanswered too.
    if (!button.empty()) {
        sink_("reply " + std::string(button));
    }
}

void Recorder::OnRequesterAnswer(std::string_view path) {
    std::string answer(path);
    if (!answer.empty()) {
        const std::filesystem::path chosen(answer);
        const std::filesystem::path folder = gameFolder_ ? gameFolder_() : std::filesystem::path();
        if (chosen.is_absolute() && !folder.empty()) {
            const std::filesystem::path relative =
                chosen.lexically_normal().lexically_relative(folder.lexically_normal());
            if (!relative.empty() && *relative.begin() != "..") {
                answer = relative.generic_string();
            }
        }
        std::replace(answer.begin(), answer.end(), '\n', ' ');
    }
    sink_(answer.empty() ? "answer" : "answer " + answer);
}

void Recorder::OnPassEnd(std::int64_t pass, const GameState& state) {
    // The mouse as this pass read it: the editor refreshes it at the end of every pass.
    const bool editor = state.loop.mode == level::Mode::Editor;
    const bool press = passEvent_ && AtMouse(passEvent_->kind);
    int mouseX = mouseX_;
    int mouseY = mouseY_;
    if (editor) {
        mouseX = state.loop.mouseX + 256;
        mouseY = state.loop.mouseY;
    } else if (press) {
        ReadMouse(mouseX, mouseY);
    }

    // The left button as the editor pass found it: a press it found still down is a drag, and
    // the first editor pass that finds it up again ends that drag. Only those passes follow the
    // button, so the replay holds it exactly while a gesture may be under way.
    bool drop = false;
    if (editor && passEvent_ && passEvent_->kind == ActionKind::Click) {
        leftHeld_ = state.leftButtonHeld;
        if (leftHeld_) {
            passEvent_->kind = ActionKind::Drag;
        }
    } else if (editor && leftHeld_ && !state.leftButtonHeld) {
        leftHeld_ = false;
        drop = true;
    }

    if (press) {
        passEvent_->x = mouseX;
        passEvent_->y = mouseY;
        Emit(*passEvent_);
        passEvent_.reset();
    } else if (drop || (editor && (!mouseKnown_ || mouseX != mouseX_ || mouseY != mouseY_))) {
        // A drop moves the mouse too.
        Action move;
        move.pass = pass;
        move.kind = drop ? ActionKind::Drop : ActionKind::Mouse;
        move.x = mouseX;
        move.y = mouseY;
        Emit(move);
    }
    for (const Action& action : keyActions_) {
        Emit(action);
    }
    if (passEvent_) {
        Emit(*passEvent_);
    }
    for (const Action& action : modalActions_) {
        Emit(action);
    }
    keyActions_.clear();
    passEvent_.reset();
    modalActions_.clear();
    inPass_ = false;
    lastPass_ = pass;

    // What the program wrote into the fields during this pass: its events, still queued, will
    // be made again by the replay. A pass without an event took no input, so it started where
    // the previous one ended.
    std::map<int, std::string> endTexts = MainFieldTexts();
    const std::map<int, std::string>& startTexts =
        passStartTaken_ ? passStartTexts_ : lastEndTexts_;
    for (const auto& [field, text] : endTexts) {
        auto start = startTexts.find(field);
        if (start == startTexts.end() || start->second != text) {
            knownText_[field] = text;
        } else {
            knownText_.try_emplace(field, text);
        }
    }
    // The new-level dialog's fields start afresh each time it opens.
    for (int field : {1, 2, kNewLevelProductField}) {
        if (!windows_().IsOpen(kNewLevelWindow)) {
            knownText_.erase(field);
        }
    }
    lastEndTexts_ = std::move(endTexts);
    passStartTaken_ = false;
}

RecordingFile::RecordingFile(const std::filesystem::path& file) {
    ok_ = out_.Open(file, runtime::WriteMode::InPlace);
}

void RecordingFile::Write(std::string_view line) {
    if (ok_) {
        ok_ = out_.Write(std::string(line) + '\n') && out_.Flush();
    }
}

bool RecordingFile::Close() {
    if (out_.IsOpen()) {
        ok_ = out_.Commit() && ok_;
    }
    return ok_;
}

}  // namespace tessaron::app
