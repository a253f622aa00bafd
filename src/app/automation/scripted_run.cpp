#include "app/automation/scripted_run.h"

#include <iostream>
#include <memory>
#include <string>

#include "app/automation/recorder.h"
#include "app/automation/script.h"
#include "app/automation/script_driver.h"
#include "app/automation/state_writer.h"
#include "app/automation/trace.h"
#include "app/program.h"
#include "runtime/random.h"
#include "runtime/requesters.h"

namespace tessaron::app {

namespace {

constexpr int kBadInput = 2;

void Report(const std::string& message) {
    std::cerr << "tessaron: " << message << '\n';
}

// Writes the outputs the command line asked for; false when one could not be written.
bool WriteOutputs(const Options& options, Program& program, TraceWriter* trace) {
    bool ok = true;
    if (trace != nullptr && !trace->Close()) {
        Report("cannot write the trace " + options.trace.string() + ": " + trace->Problem());
        ok = false;
    }
    if (!options.state.empty()) {
        std::string error;
        if (!WriteState(options.state, program.State(), error, program.ReachLines())) {
            Report(error);
            ok = false;
        }
    }
    std::string problem;
    if (!options.screenshot.empty() &&
        !program.Screen().SaveBackBuffer(options.screenshot, &problem)) {
        Report("cannot write the screenshot " + options.screenshot.string() + ": " + problem);
        ok = false;
    }
    if (!options.windowShot.empty()) {
        // The play screen in the window shows the frame the last pass drew.
        program.Screen().Show();
        if (!program.Windows().SaveWindowPicture(kMainWindow, options.windowShot, &problem)) {
            Report("cannot write the window picture " + options.windowShot.string() + ": " +
                   problem);
            ok = false;
        }
    }
    return ok;
}

// Opens the trace file that the options ask for, if any. False (reported) when it cannot be
// written.
bool OpenTrace(const Options& options, std::unique_ptr<TraceWriter>& trace) {
    if (options.trace.empty()) {
        return true;
    }
    trace = std::make_unique<TraceWriter>(options.trace);
    if (!trace->Ok()) {
        Report("cannot write the trace " + options.trace.string() + ": " + trace->Problem());
        return false;
    }
    return true;
}

}  // namespace

int RunScripted(const Options& given, int& argc, char** argv) {
    ScriptResult read = ReadScript(given.script);
    if (!read.ok) {
        Report(given.script.string() + ": " + read.error);
        return kBadInput;
    }

    // The command line's seed wins over the script's; a fixed one keeps other runs reproducible.
    Options options = given;
    options.seed = given.seed ? *given.seed : read.script.seed.value_or(kDefaultScriptSeed);
    // A run that writes no picture needs no frame: its passes skip drawing.
    options.drawFrames = !options.screenshot.empty() || !options.windowShot.empty();
    options.drawOnlyKeptFrames = true;

    runtime::ScriptedRequesters requesters;
    for (const std::string& answer : read.script.answers) {
        requesters.Answer(answer);
    }
    for (const std::string& reply : read.script.replies) {
        requesters.Reply(reply);
    }

    std::unique_ptr<TraceWriter> trace;
    if (!OpenTrace(options, trace)) {
        return kBadInput;
    }

    // The machine layer exists only once start-up has begun; the driver reaches it through the
    // program.
    Program* program = nullptr;
    ScriptDriver driver(
        std::move(read.script), [&program]() -> runtime::Windows& { return program->Windows(); },
        [&program]() -> runtime::Keyboard& { return program->Keys(); });

    ProgramHooks hooks;
    hooks.driver = &driver;
    hooks.requesters = &requesters;
    if (trace) {
        hooks.observers.push_back(trace.get());
    }
    Program run(options, hooks);
    program = &run;
    driver.SetWaitForSearch([&run]() { run.WaitForSearch(); });

    auto reportAbort = [&]() {
        const int status = run.ExitStatus();
        const std::string& message = run.AbortMessage();
        if (!message.empty()) {
            Report(status == kBadInput ? options.script.string() + ": " + message : message);
        }
        return status;
    };

    if (const int status = run.StartUp(argc, argv); status != 0) {
        if (run.ExitStatus() == status) {
            reportAbort();
        }
        // The trace of a run that could not start holds its header.
        if (trace && !trace->Close()) {
            Report("cannot write the trace " + options.trace.string() + ": " + trace->Problem());
        }
        return status;
    }

    int status = 0;
    for (std::int64_t pass = 0; pass < options.passes; ++pass) {
        const PassOutcome outcome = run.RunPass();
        if (outcome == PassOutcome::Quit) {
            break;
        }
        if (outcome == PassOutcome::Aborted) {
            status = reportAbort();
            break;
        }
    }

    // The outputs show where the run stood also when it ended early.
    if (!WriteOutputs(options, run, trace.get()) && status == 0) {
        status = kBadInput;
    }
    run.End();
    return status;
}

int RunInteractive(const Options& given, int& argc, char** argv) {
    Options options = given;
    Program* program = nullptr;

    std::unique_ptr<RecordingFile> file;
    std::unique_ptr<Recorder> recorder;
    if (!options.record.empty()) {
        file = std::make_unique<RecordingFile>(options.record);
        if (!file->Ok()) {
            Report("cannot write the recording " + options.record.string() + ": " +
                   file->Problem());
            return kBadInput;
        }
        // The replay needs the seed the run had.
        if (!options.seed) {
            options.seed = runtime::SeedFromClock();
        }
        recorder = std::make_unique<Recorder>(
            [&file](std::string_view line) { file->Write(line); },
            [&program]() -> runtime::Windows& { return program->Windows(); },
            [&program]() { return program->Folder().Root(); });
        recorder->Comment("Tessaron run; replay it with: tessaron --headless --script " +
                          options.record.filename().string() + " --passes N");
        recorder->RecordSeed(*options.seed);
    }
    std::unique_ptr<TraceWriter> trace;
    if (!OpenTrace(options, trace)) {
        return kBadInput;
    }

    ProgramHooks hooks;
    if (recorder) {
        hooks.observers.push_back(recorder.get());
    }
    if (trace) {
        hooks.observers.push_back(trace.get());
    }
    Program run(options, hooks);
    program = &run;

    int status = run.StartUp(argc, argv);
    if (status == 0) {
        status = run.RunLoop();
    }
    if (recorder) {
        recorder->Comment("passes: " + std::to_string(run.PassCount()));
        if (!file->Close()) {
            Report("cannot write the recording " + options.record.string() + ": " +
                   file->Problem());
        }
    }
    if (trace && !trace->Close()) {
        Report("cannot write the trace " + options.trace.string() + ": " + trace->Problem());
    }
    return status;
}

}  // namespace tessaron::app
