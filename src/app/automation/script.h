// A run's script: the random seed, the file requesters' answers and the input actions, pass by
// pass. The same text is read by scripted runs and written by the recorder.
//
//     seed S             the random seed
//     answer PATH        the next file requester returns PATH; "answer" alone cancels it
//     reply ANSWER       the next question "Änderungen speichern?" is answered with the button
//                        ANSWER (Speichern Verwerfen Abbrechen); with no reply left it discards
//     @P down KEY        KEY goes down before pass P polls its event (Up Down Left Right Tab
//     @P up KEY          Escape F5 F6 M F11 O S P Home Shift R G), or up
//     @P mouse X Y       the mouse moves to (X, Y) in main-window coordinates
//     @P click X Y [M]   the mouse moves there and a left-button press is queued; M is the
//                        modifiers held (Shift, Ctrl, Shift+Ctrl)
//     @P drag X Y [M]    as click, and the left button stays down
//     @P drop X Y        the mouse moves there and the left button comes up
//     @P rightclick X Y [M]  the mouse moves there and a right-button press is queued
//     @P key KEYS        the map's command keys are pressed (Ctrl+C Ctrl+X Ctrl+V Delete)
//     @P mdown X Y       the mouse moves there and a middle-button press is queued
//     @P mup X Y         the mouse moves there and the middle button's release is queued
//     @P wheel N         a turn of the mouse wheel is queued: N eighths of a degree, 120 a
//                        notch, positive away from the user
//     @P hwheel N        a turn of a sideways wheel, positive to the left
//     @P text C TEXT     control C's text becomes TEXT as if typed; TEXT may be empty
//     @P select C N      list, combo box or track bar C takes row or position N; option or
//                        check box C takes state N
//     @P press C         push button, check box or option C is clicked
//     @P toolbar B       toolbar button B is pressed
//     @P close           a close request for the window in front
//     @P wait            the run waits until the editor's reach search has ended
//
// "#" at the start of a word starts a comment that runs to the end of the line; a "#" inside a
// word ("a#b.TXT") is part of it. PATH and TEXT are the rest of the line up to a comment, without
// surrounding blanks, so they may hold blanks.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/screen.h"

namespace tessaron::app {

enum class ActionKind {
    KeyDown,
    KeyUp,
    Mouse,
    Click,
    Text,
    Select,
    Press,
    Toolbar,
    Close,
    Drag,
    Drop,
    RightClick,
    Command,
    MiddleDown,
    MiddleUp,
    Wheel,
    SidewaysWheel,
    Wait,  // the run waits until the editor's reach search has ended
};

struct Action {
    int line = 0;           // the script line it came from, 1-based (0 when made in code)
    std::int64_t pass = 1;  // passes count from 1
    ActionKind kind = ActionKind::Close;
    runtime::Key key = runtime::Key::Escape;  // KeyDown, KeyUp
    int x = 0;                                // mouse actions: main-window coordinates
    int y = 0;
    int modifiers = 0;  // Click, Drag, RightClick: runtime::MouseModifiers
    int control = 0;   // Text, Select, Press: the control; Toolbar: the button; Command: its number
    int value = 0;     // Select; Wheel, SidewaysWheel: the turn
    std::string text;  // Text

    bool operator==(const Action&) const = default;
};

struct Script {
    std::optional<std::uint32_t> seed;
    // In the order the requesters take them; an empty answer cancels the requester.
    std::vector<std::string> answers;
    // The answers to the save question, in the order the questions take them.
    std::vector<std::string> replies;
    // In script order; pass numbers never decrease.
    std::vector<Action> actions;
};

struct ScriptResult {
    bool ok = false;
    Script script;
    std::string error;  // "line N: ..." or a file that cannot be read
};

ScriptResult ParseScript(std::string_view text);
// A script file longer than this is refused: hours of recorded play take a few megabytes.
inline constexpr std::size_t kMaxScriptBytes = std::size_t{64} << 20;
ScriptResult ReadScript(const std::filesystem::path& file);

// One script line for an action, without its line end; ParseScript reads it back as the same
// action (line number aside).
std::string FormatAction(const Action& action);

// The name a script gives the map's command keys, and back.
std::optional<int> CommandFromName(std::string_view name);
std::string_view CommandName(int command);

std::optional<runtime::Key> KeyFromName(std::string_view name);
std::string_view KeyName(runtime::Key key);

// The keys a script can press, in a fixed order.
inline constexpr runtime::Key kScriptKeys[] = {
    runtime::Key::Up,  runtime::Key::Down,   runtime::Key::Left,  runtime::Key::Right,
    runtime::Key::Tab, runtime::Key::Escape, runtime::Key::F5,    runtime::Key::F6,
    runtime::Key::M,   runtime::Key::F11,    runtime::Key::O,     runtime::Key::S,
    runtime::Key::P,   runtime::Key::Home,   runtime::Key::Shift,
    runtime::Key::R,  // the editor's reach layer
    runtime::Key::G,  // the reach layer's run shown
};

}  // namespace tessaron::app
