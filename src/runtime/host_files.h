// What the machine layer needs of the host beyond the standard library: the workings of the file
// writer (file_writer.h: written under a fresh private name beside the target, flushed to the
// disk, renamed over the target, the folder flushed after), opening only regular files for
// reading, and removing what killed runs left. Not part of the machine layer's interface.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "runtime/file_writer.h"

namespace tessaron::runtime::host_files {

// The system's own words for an error number ("No space left on device").
std::string Reason(int error);

// A temporary file that is to take the place of its target (or, written in place, the target).
struct Temporary {
    std::FILE* file = nullptr;
    std::filesystem::path path;    // the temporary file
    std::filesystem::path target;  // the file it replaces: the end of the target's links
    WriteMode mode = WriteMode::Replace;
};

// Opens a temporary file for the target. For Replace, the target's symbolic links are followed
// to the file they name, which is what gets replaced, so the links stay. The temporary file gets
// a name nobody can foresee, is created exclusively and never through a link, in the folder of
// that file, and takes the replaced file's permissions. Refused, with the reason in problem,
// when the target is a folder or another kind of non-regular file, or a file made read-only;
// for NeverReplace, when anything has the target's name. InPlace opens the target itself, after
// the same checks, and empties it.
bool OpenTemporary(const std::filesystem::path& target, WriteMode mode, Temporary& temporary,
                   std::string& problem);

// Flushes the file, to the disk too, closes it, renames it to its target and flushes the
// folder, checking every step. When a step before the rename fails, the temporary file is
// removed, the target is as it was, and problem says why; when flushing the folder fails, the
// file has its name but may not outlast a power cut, and problem says why.
bool Commit(Temporary& temporary, std::string& problem);

// Closes and removes the temporary file: the target is as it was. A file written in place is
// only closed.
void Discard(Temporary& temporary);

// True for the name of a temporary file of a save (of this program or of any run of it).
bool IsTemporaryName(std::string_view name);

// Opens a file for reading only when it is a regular file: never a folder, a device or a FIFO,
// which could make the program wait for ever. Null, with the reason in problem, otherwise.
// When size is given, it receives the file's size.
std::FILE* OpenRegularFile(const std::filesystem::path& path, std::string& problem,
                           std::int64_t* size = nullptr);

// Removes the temporary files that saves of earlier runs left in a folder when they were
// killed. A temporary file is kept while the process whose number it carries is still a run of
// this program or of one of its tools; a number the system has since given to another program
// keeps nothing.
void RemoveLeftovers(const std::filesystem::path& folder);

}  // namespace tessaron::runtime::host_files
