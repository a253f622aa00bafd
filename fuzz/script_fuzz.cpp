// Text as a script. The reader must accept or refuse every text without harm, name the line
// of what it refuses, and a script it accepts, written out again line by line, must read back
// as the same script.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/automation/script.h"
#include "fuzz_support.h"

using namespace tessaron;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const app::ScriptResult result = app::ParseScript(text);
    if (!result.ok) {
        if (!result.error.starts_with("line ")) {
            fuzz::Fail("a refused script does not name its line");
        }
        return 0;
    }

    std::string written;
    if (result.script.seed) {
        written += "seed " + std::to_string(*result.script.seed) + "\n";
    }
    for (const std::string& answer : result.script.answers) {
        written += answer.empty() ? "answer\n" : "answer " + answer + "\n";
    }
    for (const app::Action& action : result.script.actions) {
        written += app::FormatAction(action) + "\n";
    }
    const app::ScriptResult again = app::ParseScript(written);
    if (!again.ok) {
        fuzz::Fail("a written script is refused");
    }
    if (again.script.seed != result.script.seed || again.script.answers != result.script.answers ||
        again.script.actions.size() != result.script.actions.size()) {
        fuzz::Fail("a written script reads back differently");
    }
    for (std::size_t i = 0; i < again.script.actions.size(); ++i) {
        app::Action action = again.script.actions[i];
        action.line = result.script.actions[i].line;
        if (!(action == result.script.actions[i])) {
            fuzz::Fail("a written action reads back differently");
        }
    }
    return 0;
}
