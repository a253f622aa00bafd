#include "runtime/file_writer.h"

#include <cerrno>

#include "runtime/host_files.h"

namespace tessaron::runtime {

FileWriter::FileWriter() : file_(std::make_unique<host_files::Temporary>()) {}

FileWriter::~FileWriter() {
    Discard();
}

bool FileWriter::Open(const std::filesystem::path& target, WriteMode mode) {
    Discard();
    failure_ = 0;
    problem_.clear();
    return host_files::OpenTemporary(target, mode, *file_, problem_);
}

bool FileWriter::IsOpen() const {
    return file_->file != nullptr;
}

std::FILE* FileWriter::Stream() const {
    return file_->file;
}

bool FileWriter::Fail(int error) {
    if (failure_ == 0) {
        failure_ = error != 0 ? error : EIO;
        problem_ = host_files::Reason(failure_);
    }
    return false;
}

bool FileWriter::Writable() {
    if (file_->file == nullptr) {
        return Fail(EBADF);
    }
    return failure_ == 0;
}

bool FileWriter::Write(const void* bytes, std::size_t count) {
    if (!Writable()) {
        return false;
    }
    errno = 0;
    if (count > 0 && std::fwrite(bytes, 1, count, file_->file) != count) {
        return Fail(errno);
    }
    return true;
}

bool FileWriter::Flush() {
    if (!Writable()) {
        return false;
    }
    errno = 0;
    if (std::fflush(file_->file) != 0) {
        return Fail(errno);
    }
    return true;
}

bool FileWriter::Commit() {
    if (file_->file == nullptr) {
        return Fail(EBADF);
    }
    if (failure_ != 0) {
        host_files::Discard(*file_);
        return false;
    }
    if (!host_files::Commit(*file_, problem_)) {
        failure_ = EIO;
        return false;
    }
    return true;
}

void FileWriter::Discard() {
    if (file_->file != nullptr) {
        host_files::Discard(*file_);
    }
}

bool WriteWholeFile(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
                    std::string& problem, WriteMode mode) {
    FileWriter writer;
    if (!writer.Open(target, mode) || !writer.Write(bytes.data(), bytes.size()) ||
        !writer.Commit()) {
        problem = writer.Problem();
        return false;
    }
    return true;
}

bool WriteWholeFile(const std::filesystem::path& target, std::string_view text,
                    std::string& problem, WriteMode mode) {
    return WriteWholeFile(
        target, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), problem,
        mode);
}

}  // namespace tessaron::runtime
