// interactive_load GAME_DIR LEVEL PASSES: plays a level in a real window with the interactive
// loop's pacing and prints the share of one core that 60 passes a second take, in per cent: the
// CPU time per pass times 60 (a busy machine may not wake the loop in time for 60 a second, so
// CPU time over wall time would tell less). Needs a display (bench.sh starts Xvfb). The ball
// rolls right and left, jumping now and then, as in busy_bench.
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/program.h"
#include "runtime/requesters.h"

namespace {

using namespace tessaron;

double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Holds the keys of the next pass at the end of each pass.
class Player : public app::RunObserver {
  public:
    explicit Player(app::Program*& program) : program_(program) {}
    void OnPassEnd(std::int64_t pass, const app::GameState&) override {
        const std::int64_t p = pass % 240;
        runtime::Keyboard& keys = program_->Keys();
        keys.SetKey(runtime::Key::Right, p < 70);
        keys.SetKey(runtime::Key::Left, p >= 100 && p < 200);
        keys.SetKey(runtime::Key::Up, (p >= 120 && p < 126) || (p >= 160 && p < 166));
    }

  private:
    app::Program*& program_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "Usage: interactive_load GAME_DIR LEVEL PASSES\n");
        return 1;
    }
    runtime::ScriptedRequesters requesters;
    requesters.Answer(argv[2]);
    app::Options options;
    options.gameDir = argv[1];
    options.seed = 1;
    options.passes = std::atoll(argv[3]);
    app::Program* current = nullptr;
    Player player(current);
    app::ProgramHooks hooks;
    hooks.requesters = &requesters;
    hooks.observers.push_back(&player);
    app::Program program(options, hooks);
    current = &program;
    int programArgc = 1;
    char name[] = "tessaron";
    char* programArgv[] = {name, nullptr};
    if (program.StartUp(programArgc, programArgv) != 0) {
        std::fprintf(stderr, "interactive_load: start-up failed\n");
        return 1;
    }
    const double cpuBefore = CpuSeconds();
    program.RunLoop();
    const double cpu = CpuSeconds() - cpuBefore;
    std::printf("%.1f\n", 100.0 * 60.0 * cpu / double(options.passes));
    return 0;
}
