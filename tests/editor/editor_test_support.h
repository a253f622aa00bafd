// The machine, windows and play screen of the editor's window tests, in a scratch game folder.
#pragma once

#include <filesystem>

#include "runtime/files.h"
#include "runtime/screen.h"

namespace tessaron::editor::testing {

bool StartMachine(int* argc, char** argv);
void EndMachine();

const std::filesystem::path& Root();
runtime::GameFolder& Folder();
runtime::Windows& TestWindows();
runtime::PlayScreen& TestScreen();

// Opens window 2 afresh with the side panel's controls in their start states (the preset list
// filled from the preset directory). Controls of an earlier call go with their window.
void OpenSidePanel();

}  // namespace tessaron::editor::testing
