#include "app/automation/script.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <limits>
#include <utility>
#include <vector>

#include "app/save_question.h"
#include "editor/controls.h"

namespace tessaron::app {

namespace {

constexpr std::array<std::pair<runtime::Key, std::string_view>, 17> kKeyNames = {{
    {runtime::Key::Up, "Up"},
    {runtime::Key::Down, "Down"},
    {runtime::Key::Left, "Left"},
    {runtime::Key::Right, "Right"},
    {runtime::Key::Tab, "Tab"},
    {runtime::Key::Escape, "Escape"},
    {runtime::Key::F5, "F5"},
    {runtime::Key::F6, "F6"},
    {runtime::Key::F11, "F11"},
    {runtime::Key::M, "M"},
    {runtime::Key::O, "O"},
    {runtime::Key::S, "S"},
    {runtime::Key::P, "P"},
    {runtime::Key::Home, "Home"},
    {runtime::Key::Shift, "Shift"},
    {runtime::Key::R, "R"},
    {runtime::Key::G, "G"},
}};

constexpr std::array<std::pair<int, std::string_view>, 4> kCommandNames = {{
    {editor::map_command::kCopy, "Ctrl+C"},
    {editor::map_command::kCut, "Ctrl+X"},
    {editor::map_command::kPaste, "Ctrl+V"},
    {editor::map_command::kDelete, "Delete"},
}};

constexpr std::array<std::pair<int, std::string_view>, 3> kModifierNames = {{
    {runtime::kShiftHeld, "Shift"},
    {runtime::kControlHeld, "Ctrl"},
    {runtime::kShiftHeld | runtime::kControlHeld, "Shift+Ctrl"},
}};

// "Up Down ... " for a message.
std::string KeyNameList() {
    std::string list;
    for (const auto& [key, name] : kKeyNames) {
        list += (list.empty() ? "" : " ") + std::string(name);
    }
    return list;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Splits words off the front of a line; a word that starts with "#" ends the line.
class Words {
  public:
    explicit Words(std::string_view rest) : rest_(rest) {}

    // The next word, or empty at the end of the line.
    std::string_view Next() {
        Skip();
        std::size_t length = 0;
        while (length < rest_.size() && !IsBlank(rest_[length])) {
            ++length;
        }
        std::string_view word = rest_.substr(0, length);
        rest_.remove_prefix(length);
        return word;
    }
    bool AtEnd() {
        Skip();
        return rest_.empty();
    }
    // The rest of the line up to a comment, without surrounding blanks.
    std::string_view Tail() {
        for (std::size_t i = 0; i < rest_.size(); ++i) {
            if (rest_[i] == '#' && (i == 0 || IsBlank(rest_[i - 1]))) {
                return Trim(rest_.substr(0, i));
            }
        }
        return Trim(rest_);
    }

  private:
    void Skip() {
        while (!rest_.empty() && IsBlank(rest_.front())) {
            rest_.remove_prefix(1);
        }
        if (!rest_.empty() && rest_.front() == '#') {
            rest_ = {};
        }
    }
    std::string_view rest_;
};

template <typename Number>
bool ReadNumber(std::string_view text, Number& value) {
    if (text.empty() || text.front() == '+') {
        return false;
    }
    const char* end = text.data() + text.size();
    auto [rest, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && rest == end;
}

struct LineError {
    std::string message;
};

// Reads one action after its "@P" prefix.
std::optional<LineError> ReadAction(Words& words, Action& action) {
    std::string_view verb = words.Next();
    auto number = [&words](std::string_view what, int& value,
                           int minimum) -> std::optional<LineError> {
        std::string_view word = words.Next();
        if (word.empty()) {
            return LineError{"missing " + std::string(what)};
        }
        if (!ReadNumber(word, value) || value < minimum) {
            return LineError{"bad " + std::string(what) + " \"" + std::string(word) + "\""};
        }
        return std::nullopt;
    };
    constexpr int kAny = std::numeric_limits<int>::min();

    std::optional<LineError> error;
    if (verb == "down" || verb == "up") {
        action.kind = verb == "down" ? ActionKind::KeyDown : ActionKind::KeyUp;
        std::string_view name = words.Next();
        if (name.empty()) {
            return LineError{"missing key"};
        }
        std::optional<runtime::Key> key = KeyFromName(name);
        if (!key) {
            return LineError{"unknown key \"" + std::string(name) + "\" (" + KeyNameList() + ")"};
        }
        action.key = *key;
    } else if (verb == "mouse" || verb == "click" || verb == "drag" || verb == "drop" ||
               verb == "rightclick" || verb == "mdown" || verb == "mup") {
        action.kind = verb == "mouse"   ? ActionKind::Mouse
                      : verb == "drop"  ? ActionKind::Drop
                      : verb == "drag"  ? ActionKind::Drag
                      : verb == "click" ? ActionKind::Click
                      : verb == "mdown" ? ActionKind::MiddleDown
                      : verb == "mup"   ? ActionKind::MiddleUp
                                        : ActionKind::RightClick;
        if ((error = number("x", action.x, kAny)) || (error = number("y", action.y, kAny))) {
            return error;
        }
        const bool pressed = action.kind == ActionKind::Click || action.kind == ActionKind::Drag ||
                             action.kind == ActionKind::RightClick;
        if (pressed && !words.AtEnd()) {
            const std::string_view name = words.Next();
            const auto found =
                std::find_if(kModifierNames.begin(), kModifierNames.end(),
                             [name](const auto& entry) { return entry.second == name; });
            if (found == kModifierNames.end()) {
                return LineError{"unknown modifiers \"" + std::string(name) +
                                 "\" (Shift Ctrl Shift+Ctrl)"};
            }
            action.modifiers = found->first;
        }
    } else if (verb == "key") {
        action.kind = ActionKind::Command;
        const std::string_view name = words.Next();
        const std::optional<int> command = CommandFromName(name);
        if (!command) {
            return LineError{"unknown keys \"" + std::string(name) +
                             "\" (Ctrl+C Ctrl+X Ctrl+V Delete)"};
        }
        action.control = *command;
    } else if (verb == "wheel" || verb == "hwheel") {
        action.kind = verb == "wheel" ? ActionKind::Wheel : ActionKind::SidewaysWheel;
        if ((error = number("turn", action.value, kAny))) {
            return error;
        }
    } else if (verb == "text") {
        action.kind = ActionKind::Text;
        if ((error = number("control", action.control, 0))) {
            return error;
        }
        action.text = std::string(words.Tail());
        return std::nullopt;
    } else if (verb == "select") {
        action.kind = ActionKind::Select;
        if ((error = number("control", action.control, 0)) ||
            (error = number("value", action.value, kAny))) {
            return error;
        }
    } else if (verb == "press") {
        action.kind = ActionKind::Press;
        if ((error = number("control", action.control, 0))) {
            return error;
        }
    } else if (verb == "toolbar") {
        action.kind = ActionKind::Toolbar;
        if ((error = number("toolbar button", action.control, 1))) {
            return error;
        }
    } else if (verb == "close") {
        action.kind = ActionKind::Close;
    } else if (verb == "wait") {
        action.kind = ActionKind::Wait;
    } else if (verb.empty()) {
        return LineError{"missing action after the pass number"};
    } else {
        return LineError{"unknown action \"" + std::string(verb) + "\""};
    }
    if (!words.AtEnd()) {
        return LineError{"unexpected \"" + std::string(words.Next()) + "\" after the action"};
    }
    return std::nullopt;
}

}  // namespace

std::optional<int> CommandFromName(std::string_view name) {
    for (const auto& [command, commandName] : kCommandNames) {
        if (commandName == name) {
            return command;
        }
    }
    return std::nullopt;
}

std::string_view CommandName(int command) {
    for (const auto& [candidate, name] : kCommandNames) {
        if (candidate == command) {
            return name;
        }
    }
    return "?";
}

std::optional<runtime::Key> KeyFromName(std::string_view name) {
    for (const auto& [key, keyName] : kKeyNames) {
        if (keyName == name) {
            return key;
        }
    }
    return std::nullopt;
}

std::string_view KeyName(runtime::Key key) {
    for (const auto& [candidate, name] : kKeyNames) {
        if (candidate == key) {
            return name;
        }
    }
    return "?";
}

ScriptResult ParseScript(std::string_view text) {
    ScriptResult result;
    Script& script = result.script;
    int lineNumber = 0;
    std::int64_t lastPass = 0;
    int lastPassLine = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        auto fail = [&](const std::string& message) {
            result.ok = false;
            result.error = "line " + std::to_string(lineNumber) + ": " + message;
            result.script = {};
            return result;
        };

        Words words(line);
        std::string_view first = words.Next();
        if (first.empty()) {
            continue;
        }
        if (first == "seed") {
            std::string_view word = words.Next();
            std::uint32_t seed = 0;
            if (word.empty()) {
                return fail("missing seed");
            }
            if (!ReadNumber(word, seed)) {
                return fail("bad seed \"" + std::string(word) + "\" (0 to 4294967295)");
            }
            if (script.seed) {
                return fail("a second seed");
            }
            if (!words.AtEnd()) {
                return fail("unexpected \"" + std::string(words.Next()) + "\" after the seed");
            }
            script.seed = seed;
        } else if (first == "answer") {
            script.answers.emplace_back(words.Tail());
        } else if (first == "reply") {
            const std::string_view reply = words.Tail();
            const auto& answers = save_question::kAnswers;
            if (std::find(answers.begin(), answers.end(), reply) == answers.end()) {
                return fail("unknown reply \"" + std::string(reply) +
                            "\" (Speichern Verwerfen Abbrechen)");
            }
            script.replies.emplace_back(reply);
        } else if (first.front() == '@') {
            Action action;
            action.line = lineNumber;
            if (!ReadNumber(first.substr(1), action.pass) || action.pass < 1) {
                return fail("bad pass number \"" + std::string(first) + "\" (@1 or more)");
            }
            if (action.pass < lastPass) {
                return fail("pass " + std::to_string(action.pass) + " comes after pass " +
                            std::to_string(lastPass) + " of line " + std::to_string(lastPassLine) +
                            "; passes must not go back");
            }
            if (std::optional<LineError> error = ReadAction(words, action)) {
                return fail(error->message);
            }
            lastPass = action.pass;
            lastPassLine = lineNumber;
            script.actions.push_back(std::move(action));
        } else {
            return fail("unknown line \"" + std::string(Trim(line)) +
                        "\" (expected seed, answer, reply or @PASS ACTION)");
        }
    }
    result.ok = true;
    return result;
}

ScriptResult ReadScript(const std::filesystem::path& file) {
    auto failure = [&file](const std::string& why) {
        ScriptResult result;
        result.error = why + file.string();
        return result;
    };
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return failure("cannot read the script ");
    }
    // Read in pieces up to a bound: a name such as /dev/zero, or a pipe that never ends, must
    // not take all memory.
    std::string text;
    std::vector<char> piece(1 << 16);
    while (in) {
        in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
        text.append(piece.data(), static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxScriptBytes) {
            return failure("the script is longer than " + std::to_string(kMaxScriptBytes >> 20) +
                           " MiB: ");
        }
    }
    if (in.bad()) {
        return failure("cannot read the script ");
    }
    return ParseScript(text);
}

std::string FormatAction(const Action& action) {
    std::string line = "@" + std::to_string(action.pass) + " ";
    auto n = [](int value) { return std::to_string(value); };
    switch (action.kind) {
        case ActionKind::KeyDown:
            return line + "down " + std::string(KeyName(action.key));
        case ActionKind::KeyUp:
            return line + "up " + std::string(KeyName(action.key));
        case ActionKind::Mouse:
            return line + "mouse " + n(action.x) + " " + n(action.y);
        case ActionKind::Click:
        case ActionKind::Drag:
        case ActionKind::RightClick: {
            line += action.kind == ActionKind::Click  ? "click "
                    : action.kind == ActionKind::Drag ? "drag "
                                                      : "rightclick ";
            line += n(action.x) + " " + n(action.y);
            for (const auto& [modifiers, name] : kModifierNames) {
                if (modifiers == action.modifiers) {
                    (line += " ") += name;
                }
            }
            return line;
        }
        case ActionKind::Drop:
            return line + "drop " + n(action.x) + " " + n(action.y);
        case ActionKind::Command:
            return line + "key " + std::string(CommandName(action.control));
        case ActionKind::Text:
            return line + "text " + n(action.control) +
                   (action.text.empty() ? "" : " " + action.text);
        case ActionKind::Select:
            return line + "select " + n(action.control) + " " + n(action.value);
        case ActionKind::Press:
            return line + "press " + n(action.control);
        case ActionKind::Toolbar:
            return line + "toolbar " + n(action.control);
        case ActionKind::Close:
            return line + "close";
        case ActionKind::MiddleDown:
            return line + "mdown " + n(action.x) + " " + n(action.y);
        case ActionKind::MiddleUp:
            return line + "mup " + n(action.x) + " " + n(action.y);
        case ActionKind::Wheel:
            return line + "wheel " + n(action.value);
        case ActionKind::SidewaysWheel:
            return line + "hwheel " + n(action.value);
        case ActionKind::Wait:
            return line + "wait";
    }
    return line;
}

}  // namespace tessaron::app
