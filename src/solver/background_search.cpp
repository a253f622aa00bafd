#include "solver/background_search.h"

#include <utility>

#if defined(__linux__)
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include "solver/shorten.h"

namespace tessaron::solver {

namespace {

// The search's threads yield to the program's own: its passes keep their pace while the
// search uses what the processors have left. (Threads the search starts inherit this.)
void YieldToTheProgram() {
#if defined(__linux__)
    constexpr int kNice = 10;
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), kNice);
#endif
}

}  // namespace

BackgroundSearch::BackgroundSearch(const World& start, const Machines& machines,
                                   SearchSettings settings) {
    settings.stop = &stop_;
    report_.reach = Reach(start.state.level.levelWidth, start.state.level.levelHeight);
    thread_ = std::thread(&BackgroundSearch::Run, this, start, machines, std::move(settings));
}

BackgroundSearch::~BackgroundSearch() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
}

SearchReport BackgroundSearch::Report() const {
    const std::lock_guard lock(mutex_);
    return report_;
}

bool BackgroundSearch::Done() const {
    const std::lock_guard lock(mutex_);
    return done_;
}

void BackgroundSearch::Wait() const {
    std::unique_lock lock(mutex_);
    ended_.wait(lock, [this] { return done_; });
}

void BackgroundSearch::Publish(const SearchReport& report) {
    const std::lock_guard lock(mutex_);
    report_ = report;
}

void BackgroundSearch::Run(World start, Machines machines, SearchSettings settings) {
    YieldToTheProgram();
    Search search(start, machines, settings);
    SearchReport report;
    report.reach = search.Reached();
    SearchResult result = search.Run([&](const SearchProgress& now) {
        report.seconds = now.seconds;
        report.passes = now.passes;
        report.reach = search.Reached();
        Publish(report);
    });
    report.reach = search.Reached();
    report.passes = result.totals.passes;
    report.seconds = result.totals.seconds;
    report.nearest = result.nearest;
    report.leftFrom = result.leftFrom;
    report.deadEnds = result.deadEnds;
    if (result.found && !result.stopped) {
        Shortener shortener(start, machines, std::move(result.plan));
        shortener.Run([this] { return stop_.load(); });
        report.plan = shortener.Plan();
        report.stage = SearchReport::Stage::Found;
    } else {
        report.plan = std::move(result.plan);
        report.stage = SearchReport::Stage::NotFound;
    }
    const std::lock_guard lock(mutex_);
    report_ = std::move(report);
    done_ = true;
    ended_.notify_all();
}

}  // namespace tessaron::solver
