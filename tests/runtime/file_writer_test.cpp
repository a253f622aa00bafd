// The file writer against targets that must not be written through, writers that race for one
// name, and the clean-up of what killed runs left.
#include "runtime/file_writer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "runtime/files.h"

#if defined(__unix__)
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tessaron::runtime {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class FileWriterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tessaron-writer-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
                std::to_string(std::random_device{}()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // The entries of the folder: no temporary file may stay behind.
    std::size_t Entries() const {
        return std::distance(fs::directory_iterator(dir_), fs::directory_iterator());
    }

    fs::path dir_;
};

struct HostileTarget {
    const char* name;
    WriteMode mode;
    const char* reason;  // empty: the system's words for EISDIR
};
void PrintTo(const HostileTarget& target, std::ostream* out) {
    *out << target.name;
}

class HostileTargets : public FileWriterTest,
                       public ::testing::WithParamInterface<HostileTarget> {};

// A FIFO would make a writer wait for ever, and a device or a folder would be replaced by a
// rename: each is refused at once with the reason, and stays what it was.
TEST_P(HostileTargets, AreRefusedWithTheReasonAndLeftAsTheyWere) {
    ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
    fs::create_directories(dir_ / "folder");
    fs::create_symlink(dir_ / "fifo", dir_ / "link-to-fifo");
    const fs::path target = dir_ / GetParam().name;
    std::string problem;
    EXPECT_FALSE(WriteWholeFile(target, "picture", problem, GetParam().mode));
    const std::string reason = *GetParam().reason != 0 ? GetParam().reason : std::strerror(EISDIR);
    EXPECT_EQ(problem, reason);
    EXPECT_TRUE(fs::is_fifo(dir_ / "fifo"));
    EXPECT_TRUE(fs::is_directory(dir_ / "folder"));
    EXPECT_TRUE(fs::is_empty(dir_ / "folder"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "link-to-fifo"));
    EXPECT_EQ(Entries(), 3u);
}

INSTANTIATE_TEST_SUITE_P(
    FileWriter, HostileTargets,
    ::testing::Values(HostileTarget{"fifo", WriteMode::Replace, "keine gewöhnliche Datei"},
                      HostileTarget{"link-to-fifo", WriteMode::Replace, "keine gewöhnliche Datei"},
                      HostileTarget{"folder", WriteMode::Replace, ""},
                      HostileTarget{"fifo", WriteMode::InPlace, "keine gewöhnliche Datei"},
                      HostileTarget{"link-to-fifo", WriteMode::InPlace, "keine gewöhnliche Datei"},
                      HostileTarget{"folder", WriteMode::InPlace, ""}),
    [](const auto& info) {
        std::string name = info.param.name;
        std::erase(name, '-');
        return name + (info.param.mode == WriteMode::InPlace ? "InPlace" : "Replaced");
    });

TEST_F(FileWriterTest, TwoWritersOfOneNameEachLeaveAWholeFile) {
    const fs::path target = dir_ / "picture.png";
    FileWriter first;
    FileWriter second;
    ASSERT_TRUE(first.Open(target));
    ASSERT_TRUE(second.Open(target));
    ASSERT_TRUE(first.Write(std::string(100000, 'a')));
    ASSERT_TRUE(second.Write(std::string(50, 'b')));
    ASSERT_TRUE(second.Commit());
    EXPECT_EQ(Read(target), std::string(50, 'b'));
    ASSERT_TRUE(first.Commit());
    EXPECT_EQ(Read(target), std::string(100000, 'a'));
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(FileWriterTest, NeverReplacingKeepsAFileThatAppearedWhileWriting) {
    const fs::path target = dir_ / "Anfang.TXT";
    FileWriter copy;
    ASSERT_TRUE(copy.Open(target, WriteMode::NeverReplace));
    ASSERT_TRUE(copy.Write("shipped"));
    std::ofstream(target) << "the player's";
    EXPECT_FALSE(copy.Commit());
    EXPECT_EQ(copy.Problem(), std::strerror(EEXIST));
    EXPECT_EQ(Read(target), "the player's");
    EXPECT_EQ(Entries(), 1u);

    // A link of that name is kept too, even when it names nothing.
    fs::remove(target);
    fs::create_symlink(dir_ / "nowhere", target);
    std::string problem;
    EXPECT_FALSE(WriteWholeFile(target, "shipped", problem, WriteMode::NeverReplace));
    EXPECT_TRUE(fs::is_symlink(target));
    EXPECT_FALSE(fs::exists(dir_ / "nowhere"));
}

TEST_F(FileWriterTest, InPlaceEmptiesTheFileAndKeepsEachFlushedLine) {
    const fs::path target = dir_ / "run.txt";
    std::ofstream(target) << "an earlier recording";
    FileWriter journal;
    ASSERT_TRUE(journal.Open(target, WriteMode::InPlace));
    ASSERT_TRUE(journal.Write("seed 1\n"));
    ASSERT_TRUE(journal.Flush());
    EXPECT_EQ(Read(target), "seed 1\n");
    journal.Discard();  // as a run that ends abruptly
    EXPECT_EQ(Read(target), "seed 1\n");
    EXPECT_EQ(Entries(), 1u);
}

// A leftover is kept only while the number it carries belongs to a run of this program.
TEST_F(FileWriterTest, LeftoversOfANumberNowRunningAnotherProgramAreRemoved) {
    const pid_t other = ::fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
        ::execlp("sleep", "sleep", "30", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // The child runs "sleep" once its name has changed from this program's.
    for (int wait = 0; wait < 200; ++wait) {
        std::ifstream comm("/proc/" + std::to_string(other) + "/comm");
        std::string name;
        if (std::getline(comm, name) && name == "sleep") {
            break;
        }
        ::usleep(10000);
    }
    const fs::path theirs = dir_ / (".a.TXT." + std::to_string(other) + "-0123.tessaron-tmp");
    const fs::path ours = dir_ / (".b.TXT." + std::to_string(::getpid()) + "-0123.tessaron-tmp");
    std::ofstream(theirs) << "half";
    std::ofstream(ours) << "half";
    RemoveLeftoverSaves(dir_);
    ::kill(other, SIGKILL);
    ::waitpid(other, nullptr, 0);
    EXPECT_FALSE(fs::exists(theirs));
    EXPECT_TRUE(fs::exists(ours));
}

}  // namespace
}  // namespace tessaron::runtime

#endif
