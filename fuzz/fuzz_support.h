// What the fuzz targets share: a private game folder for the files they read and write, and a
// field-by-field comparison of element lists that tells equal floats by their bits.
#pragma once

#include <unistd.h>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "level/element.h"
#include "level/level.h"

namespace tessaron::fuzz {

// A folder of this process's own, made on first use: in the memory file system where there is
// one, else under the system's temporary folder. Every save is flushed to the disk, which on a
// disk costs milliseconds and in memory nothing, and the targets save at every input. They run
// one input at a time, so each file name is reused from input to input.
inline const std::filesystem::path& GameFolderPath() {
    // Never destroyed, so that the removal at exit can still name it.
    static const std::filesystem::path* const folder = [] {
        std::error_code error;
        const std::filesystem::path memory("/dev/shm");
        const std::filesystem::path base =
            std::filesystem::is_directory(memory, error) && ::access(memory.c_str(), W_OK) == 0
                ? memory
                : std::filesystem::temp_directory_path();
        auto* path =
            new std::filesystem::path(base / ("tessaron-fuzz-" + std::to_string(::getpid())));
        std::filesystem::create_directories(*path);
        // Removed when the run ends normally; a run stopped by a finding leaves it to look at.
        std::atexit([] {
            std::error_code error;
            std::filesystem::remove_all(GameFolderPath(), error);
        });
        return path;
    }();
    return *folder;
}

inline void WriteBytes(const std::filesystem::path& file, const std::uint8_t* data,
                       std::size_t size) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// Stops the run with a message that libFuzzer reports as a crash, keeping the input.
[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "property violated: %s\n", what);
    std::abort();
}

// By their bits, without memcmp: the sanitizers' memcmp hook would cost more than the rest of
// an input.
inline bool SameBits(float a, float b) {
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

inline bool SameElements(const level::ElementList& a, const level::ElementList& b) {
    if (a.size() != b.size()) {
        return false;
    }
    using Bits = std::array<std::uint32_t, level::kElementFieldCount>;
    for (std::size_t e = 0; e < a.size(); ++e) {
        if (std::bit_cast<Bits>(a[e]) != std::bit_cast<Bits>(b[e])) {
            return false;
        }
    }
    return true;
}

}  // namespace tessaron::fuzz
