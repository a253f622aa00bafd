// The question asked before a level with unsaved edits is given up (quitting, closing the window,
// loading a level, making a new one), and its answers, which scripts give by their text.
#pragma once

#include <array>
#include <string_view>

namespace tessaron::app::save_question {

inline constexpr std::string_view kTitle = "Tessaron";
inline constexpr std::string_view kText = "Änderungen speichern?";

// The buttons in their order; the last one is also what closing the box chooses.
enum Answer : int {
    kSave = 0,
    kDiscard = 1,
    kCancel = 2,
};
inline constexpr std::array<std::string_view, 3> kAnswers = {"Speichern", "Verwerfen", "Abbrechen"};

}  // namespace tessaron::app::save_question
