// The trace of a run: one CSV line per pass with the values that show whether two runs went the
// same way.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "app/automation.h"
#include "app/state.h"
#include "runtime/file_writer.h"

namespace tessaron::app {

// The shortest text that reads back as exactly the same 32-bit float.
std::string FloatText(float value);

inline constexpr const char* kTraceHeader =
    "pass,mode,viewX,viewY,velocityX,velocityY,score,triggeredLink,crushCount";

// The trace line of a pass, without its line end.
std::string TraceLine(std::int64_t pass, const GameState& state);

// Writes the header, then a line at the end of every pass. The trace takes its file's name when
// it is closed whole; a run that never gets there leaves an earlier file of that name as it was.
class TraceWriter : public RunObserver {
  public:
    // Opens the file; Ok() says whether that worked, Problem() why not.
    explicit TraceWriter(const std::filesystem::path& file);
    bool Ok() const { return ok_; }
    const std::string& Problem() const { return out_.Problem(); }
    void OnPassEnd(std::int64_t pass, const GameState& state) override;
    // Stores the file under its name; false when a write, the flush or the rename failed.
    bool Close();

  private:
    runtime::FileWriter out_;
    bool ok_ = false;
};

}  // namespace tessaron::app
