// The trace of a run: one CSV line per pass with the values that show whether two runs went the
// same way.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/automation.h"
#include "app/state.h"

namespace tessaron::app {

// The shortest text that reads back as exactly the same 32-bit float.
std::string FloatText(float value);

inline constexpr const char* kTraceHeader =
    "pass,mode,viewX,viewY,velocityX,velocityY,score,triggeredLink,crushCount";

// The trace line of a pass, without its line end.
std::string TraceLine(std::int64_t pass, const GameState& state);

// Writes the header, then a line at the end of every pass.
class TraceWriter : public RunObserver {
  public:
    // Opens the file; Ok() says whether that worked.
    explicit TraceWriter(const std::filesystem::path& file);
    bool Ok() const { return ok_; }
    void OnPassEnd(std::int64_t pass, const GameState& state) override;
    // Flushes and closes the file; false when a write failed.
    bool Close();

  private:
    std::ofstream out_;
    bool ok_ = false;
};

}  // namespace tessaron::app
