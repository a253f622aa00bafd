// The program's entry: the automatic player (--solve), a scripted headless run (--headless), or
// an interactive run in the game folder (the program's own folder, or the one given with --dir),
// recorded with --record.
#include <iostream>

#include "app/automation/command_line.h"
#include "app/automation/scripted_run.h"
#include "app/automation/solve_run.h"

int main(int argc, char** argv) {
    const tessaron::app::CommandLine line = tessaron::app::ParseCommandLine(argc, argv);
    if (line.help) {
        std::cout << tessaron::app::Usage();
        return 0;
    }
    if (!line.ok) {
        std::cerr << "tessaron: " << line.error << '\n';
        return 2;
    }
    if (!line.options.solve.empty()) {
        return tessaron::app::RunSolve(line.options, argc, argv);
    }
    const int status = line.options.headless
                           ? tessaron::app::RunScripted(line.options, argc, argv)
                           : tessaron::app::RunInteractive(line.options, argc, argv);
    return status;
}
