// The one way the program and its tools write a file: levels, presets, the save point, pictures,
// frames, states, traces and runs all go through here, so that a reader never finds half a file
// and a failure is never reported as a file written.
//
// A file is written under a fresh temporary name beside its target: the name ends in
// ".tessaron-tmp", carries a part nobody can foresee, and the file is created exclusively, never
// through a link, with the permissions of the file it replaces. It takes the target's place only
// when every write, the flush to the disk and the close have succeeded; then the folder is flushed
// too. A target that is a symbolic link keeps its link: the file it names is replaced. A target
// that is a folder, a device, a FIFO or another non-regular file, or a file made read-only, is
// refused with the reason, before anything is written. Nothing here depends on a toolkit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace tessaron::runtime {

namespace host_files {
struct Temporary;
}

enum class WriteMode {
    // The file takes the target's place when it is whole; until then the earlier file stays.
    Replace,
    // As Replace, but the file takes its name only where there is nothing of that name: a file,
    // link or folder that is there (or appears while the file is written) is kept, and the
    // writing fails with the system's "File exists".
    NeverReplace,
    // Written into the target itself as it comes, for a record that must keep what it holds
    // when the run that writes it ends abruptly. The target is checked as for Replace.
    InPlace,
};

// A file being written. Every failure is kept: the first one's reason is in Problem(), later
// writes are ignored and Commit reports it.
class FileWriter {
  public:
    FileWriter();
    // A file that was never committed is discarded: its target stays as it was.
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // Starts the file for the target. False, with the reason in Problem(), when the target is
    // refused or no temporary file can be made.
    bool Open(const std::filesystem::path& target, WriteMode mode = WriteMode::Replace);
    bool IsOpen() const;
    // The open file, for code that writes (and reads back) through a stream of its own; null
    // when none is open. A failed write through it is found by Commit.
    std::FILE* Stream() const;

    // Appends bytes; false once any write has failed.
    bool Write(const void* bytes, std::size_t count);
    bool Write(std::string_view text) { return Write(text.data(), text.size()); }
    // Hands what was written so far to the system: for a file written in place, it is in the
    // file from now on, whatever becomes of the run.
    bool Flush();

    // Ends the file: flushed, flushed to the disk, closed and under the target's name. True
    // only when all of that succeeded; otherwise the temporary file is gone, the target is as
    // it was, and Problem() says why.
    bool Commit();
    // Ends the file without giving it the target's name (a file written in place keeps what it
    // holds).
    void Discard();

    // Why the last Open, Write, Flush or Commit failed, in the system's words ("No space left on
    // device").
    const std::string& Problem() const { return problem_; }

  private:
    bool Fail(int error);
    // True when a file is open and no write has failed.
    bool Writable();

    std::unique_ptr<host_files::Temporary> file_;
    int failure_ = 0;
    std::string problem_;
};

// Writes a whole file at once through a FileWriter. False, with the reason in problem, when it
// could not be written; the target is then as it was.
bool WriteWholeFile(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
                    std::string& problem, WriteMode mode = WriteMode::Replace);
bool WriteWholeFile(const std::filesystem::path& target, std::string_view text,
                    std::string& problem, WriteMode mode = WriteMode::Replace);

}  // namespace tessaron::runtime
