#include "runtime/requesters.h"

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
