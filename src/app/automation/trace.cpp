#include "app/automation/trace.h"

#include <charconv>

namespace tessaron::app {

std::string FloatText(float value) {
    // 32 characters hold every float in its shortest round-trip form.
    char buffer[32];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (error != std::errc()) {
        return "0";
    }
    return std::string(buffer, end);
}

std::string TraceLine(std::int64_t pass, const GameState& state) {
    const level::Level& level = state.level;
    std::string line = std::to_string(pass);
    auto add = [&line](const std::string& field) {
        line += ',';
        line += field;
    };
    add(std::to_string(static_cast<int>(state.loop.mode)));
    add(FloatText(level.viewX));
    add(FloatText(level.viewY));
    add(FloatText(state.player.velocityX));
    add(FloatText(state.player.velocityY));
    add(std::to_string(level.score));
    add(std::to_string(level.triggeredLink));
    add(std::to_string(state.player.crushCount));
    return line;
}

TraceWriter::TraceWriter(const std::filesystem::path& file) {
    ok_ = out_.Open(file) && out_.Write(std::string(kTraceHeader) + '\n');
}

void TraceWriter::OnPassEnd(std::int64_t pass, const GameState& state) {
    if (ok_) {
        ok_ = out_.Write(TraceLine(pass, state) + '\n');
    }
}

bool TraceWriter::Close() {
    if (!out_.IsOpen()) {
        return ok_;
    }
    ok_ = out_.Commit();
    return ok_;
}

}  // namespace tessaron::app
