// The search on a thread of its own, for the editor: started on a copy of the level as edited,
// it tells at any moment how far it got, and can be stopped. A win is made plain before it is
// told, so that the run shown is the shortened one.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "solver/runs.h"
#include "solver/search.h"
#include "solver/world.h"

namespace tessaron::solver {

struct SearchReport {
    enum class Stage {
        Searching,
        Found,     // the goal was taken; `plan` is the run
        NotFound,  // the search ended without; `nearest` is the cell nearest the goal
    };
    Stage stage = Stage::Searching;
    double seconds = 0.0;
    std::int64_t passes = 0;
    Reach reach{0, 0};
    KeyPlan plan;
    Cell nearest;
    std::optional<Cell> leftFrom;
    std::vector<Cell> deadEnds;
};

class BackgroundSearch {
  public:
    // Starts searching at once. `machines` must outlive the search.
    BackgroundSearch(const World& start, const Machines& machines, SearchSettings settings);
    // Stops the search and waits for its thread.
    ~BackgroundSearch();
    BackgroundSearch(const BackgroundSearch&) = delete;
    BackgroundSearch& operator=(const BackgroundSearch&) = delete;

    // What the search has found so far.
    SearchReport Report() const;
    bool Done() const;
    // Waits until the search has ended.
    void Wait() const;

  private:
    void Run(World start, Machines machines, SearchSettings settings);
    void Publish(const SearchReport& report);

    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    mutable std::condition_variable ended_;
    SearchReport report_;
    bool done_ = false;
    std::thread thread_;
};

}  // namespace tessaron::solver
