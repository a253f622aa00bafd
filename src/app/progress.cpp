#include "app/progress.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <vector>

#include <nlohmann/json.hpp>

namespace tessaron::app {

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

constexpr int kProgressFileNumber = 5;
// A progress file holds a line per level; anything much larger is not one.
constexpr std::int64_t kLargestProgressFile = std::int64_t{4} << 20;

// The progress file as it stands: an empty one where there is none yet. False, with the reason,
// when a file is there but cannot be read as progress.
bool ReadProgress(runtime::Files& files, const runtime::GameFolder& folder, Json& progress,
                  std::string& problem) {
    progress = Json::object();
    std::error_code error;
    if (!fs::exists(fs::symlink_status(folder.ResolveExisting(kProgressFile), error))) {
        return true;
    }
    if (!files.OpenForReading(kProgressFileNumber, kProgressFile)) {
        problem = files.Problem();
        return false;
    }
    const std::int64_t size = files.Size();
    std::vector<std::uint8_t> bytes;
    bool whole = size >= 0 && size <= kLargestProgressFile;
    if (whole) {
        bytes.resize(static_cast<std::size_t>(size));
        whole = files.ReadBytes(0, bytes.data(), size) == size;
    }
    files.Close(kProgressFileNumber);
    if (!whole) {
        problem = "Die Datei ist zu groß oder lässt sich nicht ganz lesen.";
        return false;
    }
    progress = Json::parse(bytes.begin(), bytes.end(), nullptr, false);
    if (progress.is_discarded() || !progress.is_object() ||
        (progress.contains("levels") && !progress["levels"].is_object())) {
        problem = "Die Datei enthält keinen Spielfortschritt.";
        return false;
    }
    return true;
}

// A level's entry, when it holds a sane best result.
std::optional<LevelBest> EntryOf(const Json& progress, const std::string& key) {
    const auto levels = progress.find("levels");
    if (levels == progress.end() || !levels->contains(key)) {
        return std::nullopt;
    }
    const Json& entry = (*levels)[key];
    if (!entry.is_object() || !entry.contains("points") || !entry.contains("passes") ||
        !entry["points"].is_number_integer() || !entry["passes"].is_number_integer()) {
        return std::nullopt;
    }
    const auto points = entry["points"].get<std::int64_t>();
    const auto passes = entry["passes"].get<std::int64_t>();
    if (points < std::numeric_limits<std::int32_t>::min() ||
        points > std::numeric_limits<std::int32_t>::max() || passes < 0) {
        return std::nullopt;
    }
    return LevelBest{static_cast<std::int32_t>(points), passes};
}

}  // namespace

std::string ProgressKey(const runtime::GameFolder& folder, const std::string& levelFile) {
    const fs::path file = folder.Resolve(levelFile).lexically_normal();
    const fs::path relative = file.lexically_relative(folder.Root().lexically_normal());
    if (!relative.empty() && *relative.begin() != "..") {
        return relative.generic_string();
    }
    return file.generic_string();
}

std::optional<GoalRecord> NoteGoal(runtime::Files& files, const runtime::GameFolder& folder,
                                   const std::string& levelFile, std::int32_t points,
                                   std::int64_t passes, std::string& problem) {
    problem.clear();
    Json progress;
    if (!ReadProgress(files, folder, progress, problem)) {
        problem = "Der Fortschritt konnte nicht gelesen werden:\n" +
                  folder.ResolveExisting(kProgressFile).string() + "\n" + problem;
        return std::nullopt;
    }
    const std::string key = ProgressKey(folder, levelFile);
    GoalRecord record;
    record.best = LevelBest{points, passes};
    if (const std::optional<LevelBest> before = EntryOf(progress, key)) {
        record.best.points = std::max(points, before->points);
        record.best.passes = std::min(passes, before->passes);
        record.improved = points > before->points || passes < before->passes;
    } else {
        record.first = true;
    }
    if (!record.first && !record.improved) {
        return record;
    }
    progress["levels"][key] = {{"points", record.best.points}, {"passes", record.best.passes}};
    const std::string text = progress.dump(2) + "\n";
    bool written = files.Create(kProgressFileNumber, kProgressFile);
    if (written) {
        files.WriteBytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
        written = files.Close(kProgressFileNumber);
    }
    if (!written) {
        problem = "Der Fortschritt konnte nicht gespeichert werden:\n" +
                  folder.Resolve(kProgressFile).string() + "\n" + files.Problem();
    }
    return record;
}

}  // namespace tessaron::app
