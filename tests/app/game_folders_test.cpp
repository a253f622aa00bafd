// Where a run keeps its files: portable and installed layouts, a folder given on the command
// line, and the first start of an installed copy that copies the shipped levels and presets in
// without touching the player's own files. Everything happens in temporary folders.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>

#include "app/game_folders.h"

#if defined(__unix__)
#include "support/full_disk.h"
#endif

namespace tessaron::app {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class GameFolders : public ::testing::Test {
  protected:
    void SetUp() override {
        // One folder per test and process: other checkouts' test runs may run side by side.
        root_ = fs::temp_directory_path() /
                ("tessaron-folders-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                 "-" + std::to_string(std::random_device{}()));
        fs::remove_all(root_);
        // An installed tree: the program in bin/, pictures, sound and levels in share/tessaron/.
        shared_ = root_ / "usr" / "share" / "tessaron";
        program_ = root_ / "usr" / "bin";
        fs::create_directories(program_);
        fs::create_directories(shared_ / "BMP");
        fs::create_directories(shared_ / "WAV");
        Write(shared_ / "LEVEL" / "Anfang.TXT", "shipped Anfang");
        Write(shared_ / "LEVEL" / "Turm.TXT", "shipped Turm");
        Write(shared_ / "LEVEL" / "Werte" / "Aufzug.TXT", "shipped Aufzug");
        Write(shared_ / "LEVEL" / "Werte" / "Pendel.TXT", "shipped Pendel");
        user_.xdgDataHome = (root_ / "xdg").string();
        user_.home = (root_ / "home").string();
    }
    void TearDown() override { fs::remove_all(root_); }

    FolderChoice Installed() const { return ChooseFolders({}, program_, user_); }

    fs::path root_, shared_, program_;
    UserFolders user_;
};

TEST_F(GameFolders, InstalledCopyReadsSharedFolderAndKeepsLevelsInTheUserDataFolder) {
    const FolderChoice choice = Installed();
    EXPECT_EQ(choice.layout, FolderLayout::Installed);
    EXPECT_EQ(choice.shared, program_.parent_path() / "share" / "tessaron");
    EXPECT_EQ(choice.data, root_ / "xdg" / "tessaron");
    const runtime::GameFolder folder = choice.Folder();
    EXPECT_EQ(folder.ResolveShared("BMP/Ziel.bmp"), choice.shared / "BMP" / "Ziel.bmp");
    EXPECT_EQ(folder.Resolve("Diskette.txt"), choice.data / "Diskette.txt");
}

TEST_F(GameFolders, UserDataFolderFallsBackToHomeWithoutAnAbsoluteXdgDataHome) {
    for (const std::string xdg : {"", "relative/data"}) {
        user_.xdgDataHome = xdg;
        EXPECT_EQ(Installed().data, root_ / "home" / ".local" / "share" / "tessaron") << xdg;
    }
    user_.home.clear();
    EXPECT_TRUE(Installed().data.empty());
    // Without any folder to make, the failure names the folder looked for.
    EXPECT_EQ(PrepareDataFolder(Installed()).folder, fs::path("$HOME/.local/share/tessaron"));
}

TEST_F(GameFolders, PicturesBesideTheProgramMakeItPortableAndAGivenFolderWins) {
    // The build's game folder: BMP/ beside the program (in any letter case), whatever else exists.
    fs::create_directories(program_ / "bmp");
    FolderChoice choice = ChooseFolders({}, program_, user_);
    EXPECT_EQ(choice.layout, FolderLayout::Portable);
    EXPECT_EQ(choice.data, program_);
    EXPECT_EQ(choice.shared, program_);
    EXPECT_TRUE(PrepareDataFolder(choice).Ready());
    EXPECT_FALSE(fs::exists(program_ / "LEVEL"));

    const fs::path given = root_ / "given";
    for (const bool portable : {true, false}) {
        if (!portable) {
            fs::remove_all(program_ / "bmp");
        }
        choice = ChooseFolders(given, program_, user_);
        EXPECT_EQ(choice.layout, FolderLayout::Given);
        EXPECT_EQ(choice.data, given);
        EXPECT_EQ(choice.shared, given);
    }
    EXPECT_TRUE(PrepareDataFolder(choice).Ready());
    EXPECT_FALSE(fs::exists(given));
    EXPECT_FALSE(fs::exists(root_ / "xdg"));

    // Neither pictures beside the program nor a shared folder: the program's folder, as always.
    fs::remove_all(shared_ / "BMP");
    EXPECT_EQ(ChooseFolders({}, program_, user_).layout, FolderLayout::Portable);
}

TEST_F(GameFolders, FirstStartCopiesShippedFilesAndKeepsThePlayersOwn) {
    const FolderChoice choice = Installed();
    // The player already has a level of the same name (in other letters) and a level of
    // their own, but no presets yet.
    Write(choice.data / "LEVEL" / "turm.txt", "my tower");
    Write(choice.data / "LEVEL" / "Mein.TXT", "my level");

    ASSERT_TRUE(PrepareDataFolder(choice).Ready());
    EXPECT_EQ(Read(choice.data / "LEVEL" / "Anfang.TXT"), "shipped Anfang");
    EXPECT_EQ(Read(choice.data / "LEVEL" / "turm.txt"), "my tower");
    EXPECT_FALSE(fs::exists(choice.data / "LEVEL" / "Turm.TXT"));
    EXPECT_EQ(Read(choice.data / "LEVEL" / "Mein.TXT"), "my level");
    EXPECT_EQ(Read(choice.data / "LEVEL" / "Werte" / "Pendel.TXT"), "shipped Pendel");

    // A later start: changed files stay changed; a shipped file the player removed comes back.
    Write(choice.data / "LEVEL" / "Anfang.TXT", "my changes");
    fs::remove(choice.data / "LEVEL" / "Werte" / "Aufzug.TXT");
    ASSERT_TRUE(PrepareDataFolder(choice).Ready());
    EXPECT_EQ(Read(choice.data / "LEVEL" / "Anfang.TXT"), "my changes");
    EXPECT_EQ(Read(choice.data / "LEVEL" / "Werte" / "Aufzug.TXT"), "shipped Aufzug");

    // Nothing is left behind but the levels and presets, and the shared folder is as it was.
    std::size_t entries = 0;
    for (const auto& entry : fs::recursive_directory_iterator(choice.data)) {
        entries += entry.is_regular_file() ? 1 : 0;
    }
    EXPECT_EQ(entries, 5u);
    EXPECT_EQ(Read(shared_ / "LEVEL" / "Anfang.TXT"), "shipped Anfang");
}

#if defined(__unix__)
// A full disk, as the save tests make one: writes beyond a file size limit fail.
TEST_F(GameFolders, FirstStartOnAFullDiskCopiesWhatFitsAndNamesTheRestWithTheReason) {
    Write(shared_ / "LEVEL" / "Gross.TXT", std::string(100000, 'x'));
    const FolderChoice choice = Installed();
    DataFolderReport report;
    {
        const test_support::FullDisk full(4096);
        report = PrepareDataFolder(choice);
    }

    EXPECT_TRUE(report.Ready());
    ASSERT_EQ(report.uncopied.size(), 1u);
    EXPECT_EQ(report.uncopied[0],
              (choice.data / "LEVEL" / "Gross.TXT").string() + ": " + std::strerror(EFBIG));
    EXPECT_EQ(Read(choice.data / "LEVEL" / "Anfang.TXT"), "shipped Anfang");
    EXPECT_EQ(Read(choice.data / "LEVEL" / "Turm.TXT"), "shipped Turm");
    EXPECT_EQ(Read(choice.data / "LEVEL" / "Werte" / "Aufzug.TXT"), "shipped Aufzug");
    EXPECT_EQ(Read(choice.data / "LEVEL" / "Werte" / "Pendel.TXT"), "shipped Pendel");
    // The failed copy left nothing behind, not even a temporary file.
    EXPECT_EQ(
        std::distance(fs::directory_iterator(choice.data / "LEVEL"), fs::directory_iterator()), 3);

    // With room again, the next start copies it.
    const DataFolderReport later = PrepareDataFolder(choice);
    EXPECT_TRUE(later.Ready());
    EXPECT_TRUE(later.uncopied.empty());
    EXPECT_EQ(fs::file_size(choice.data / "LEVEL" / "Gross.TXT"), 100000u);
}

TEST_F(GameFolders, AFolderThatCannotBeMadeIsNamedWithTheReason) {
    const FolderChoice choice = Installed();
    Write(choice.data / "LEVEL", "a file where the folder belongs");
    const DataFolderReport report = PrepareDataFolder(choice);
    EXPECT_FALSE(report.Ready());
    EXPECT_EQ(report.folder, choice.data / "LEVEL");
    EXPECT_EQ(report.reason, std::strerror(ENOTDIR));
}
#endif

}  // namespace
}  // namespace tessaron::app
