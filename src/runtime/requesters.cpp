#include "runtime/requesters.h"

#include <algorithm>
#include <utility>

namespace tessaron::runtime {

std::string ScriptedRequesters::OpenFile(std::string_view title, std::string_view initialPath,
                                         std::string_view pattern) {
    return Take(false, title, initialPath, pattern);
}

std::string ScriptedRequesters::SaveFile(std::string_view title, std::string_view initialPath,
                                         std::string_view pattern) {
    return Take(true, title, initialPath, pattern);
}

int ScriptedRequesters::Ask(std::string_view /*title*/, std::string_view /*question*/,
                            const std::vector<std::string>& buttons) {
    if (replies_.empty()) {
        return -1;
    }
    const std::string reply = std::move(replies_.front());
    replies_.pop_front();
    const auto chosen = std::find(buttons.begin(), buttons.end(), reply);
    return chosen == buttons.end() ? -1 : static_cast<int>(chosen - buttons.begin());
}

std::string ScriptedRequesters::Take(bool save, std::string_view title,
                                     std::string_view initialPath, std::string_view pattern) {
    requests_.push_back({save, std::string(title), std::string(initialPath), std::string(pattern)});
    if (answers_.empty()) {
        return {};
    }
    std::string answer = std::move(answers_.front());
    answers_.pop_front();
    return answer;
}

}  // namespace tessaron::runtime
