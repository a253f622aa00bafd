#include "level/presets.h"
#include "runtime/files.h"
#include "runtime/requesters.h"
#include "runtime/text.h"

#include <filesystem>

namespace tessaron::level {

namespace {

// The preset directory as a host path ending in a separator, for the requester.
std::string PresetDirectoryForRequester(const runtime::GameFolder& folder) {
    std::string path = folder.ResolveExisting(runtime::FixedPath(presets::kDirectory)).string();
    if (path.empty() || path.back() != std::filesystem::path::preferred_separator) {
        path += std::filesystem::path::preferred_separator;
    }
    return path;
}

}  // namespace

std::string WithPresetExtension(std::string path) {
    const int length = runtime::Length(path);
    if (runtime::Mid(path, length - 3, 4) != presets::kSaveExtension) {
        path += presets::kSaveExtension;
    }
    return path;
}

bool WritePresetFile(const PresetTexts& texts, runtime::Files& files, const std::string& path) {
    if (!files.Create(presets::kFile, path)) {
        return false;
    }
    for (const std::string& text : texts) {
        files.WriteLine(text);
    }
    return files.Close(presets::kFile);
}

PresetSave SavePreset(const PresetTexts& texts, runtime::Files& files,
                      runtime::Requesters& requesters, const runtime::GameFolder& folder) {
    PresetSave save;
    save.path = WithPresetExtension(requesters.SaveFile(
        presets::kRequesterTitle, PresetDirectoryForRequester(folder), presets::kPattern));
    // A cancelled requester leaves nothing but the extension.
    if (save.path == presets::kSaveExtension) {
        save.result = PresetSaveResult::Cancelled;
        return save;
    }
    if (WritePresetFile(texts, files, save.path)) {
        save.result = PresetSaveResult::Saved;
    } else {
        save.result = PresetSaveResult::Failed;
        save.problem = files.Problem();
    }
    return save;
}

std::vector<std::string> ListPresetNames(runtime::DirectoryListing& listing) {
    std::vector<std::string> names;
    if (!listing.List(presets::kListing, runtime::FixedPath(presets::kDirectory), "*.*")) {
        return names;
    }
    for (runtime::EntryType type = listing.Next(); type != runtime::EntryType::None;
         type = listing.Next()) {
        // Directories, the folder's own entry and its parent's among them, are not presets.
        if (type != runtime::EntryType::File) {
            continue;
        }
        const std::string name = listing.EntryName();
        const int shown = runtime::Length(name) - 4;
        names.push_back(shown > 0 ? runtime::Mid(name, 1, shown) : std::string());
    }
    return names;
}

std::optional<PresetTexts> ReadPreset(std::string_view name, runtime::Files& files) {
    // The listed name is a file name as the folder holds it, used exactly as it is.
    const std::string path =
        runtime::FixedPath(presets::kDirectory) + "/" + std::string(name) + presets::kOpenExtension;
    if (!files.OpenForReading(presets::kFile, path)) {
        return std::nullopt;
    }
    PresetTexts texts;
    for (std::string& text : texts) {
        text = files.ReadLine();
    }
    files.Close(presets::kFile);
    return texts;
}

}  // namespace tessaron::level
