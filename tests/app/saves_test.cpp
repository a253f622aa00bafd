// What a player sees when saving or loading goes wrong: the "Error" boxes with their reasons,
// the start-up report of pictures and sound that could not be loaded, leftovers of killed saves,
// and file names that are not valid UTF-8.
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/side_panel.h"
#include "app_test_support.h"
#include "render/render.h"
#include "support/full_disk.h"

namespace tessaron::app::testing {
namespace {

using runtime::Key;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// --- saving a level --------------------------------------------------------------------------

enum class Fault { MissingFolder, FullDisk, ReadOnlyTarget };
struct FailedSave {
    const char* name;
    Fault fault;
    int error;
};
void PrintTo(const FailedSave& save, std::ostream* out) {
    *out << save.name;
}

class LevelSaveError : public ProgramTest, public ::testing::WithParamInterface<FailedSave> {};

TEST_P(LevelSaveError, NamesTheFileAndTheSystemsReason) {
    const FailedSave& c = GetParam();
    StartWithNewLevel();
    ToEditor();
    const fs::path file =
        c.fault == Fault::MissingFolder ? root_ / "fehlt" / "neu.TXT" : root_ / "LEVEL" / "neu.TXT";
    if (c.fault == Fault::ReadOnlyTarget) {
        std::ofstream(file) << "earlier";
        fs::permissions(file, fs::perms::owner_read | fs::perms::group_read);
    }
    requesters_.Answer(file.string());
    program_->Windows().PressToolbarButton(3);

    // A full disk: writes beyond a file size limit fail as they would there.
    std::optional<test_support::FullDisk> full;
    if (c.fault == Fault::FullDisk) {
        full.emplace(100000);
    }
    ::testing::internal::CaptureStderr();
    const PassOutcome outcome = Pass();
    const std::string message = ::testing::internal::GetCapturedStderr();
    full.reset();

    EXPECT_EQ(outcome, PassOutcome::Continue);
    EXPECT_TRUE(Contains(message, "Error: Das Level konnte nicht gespeichert werden:\n" +
                                      file.string() + "\n" + std::strerror(c.error)))
        << message;
    if (c.fault == Fault::ReadOnlyTarget) {
        EXPECT_EQ(fs::file_size(file), 7u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Saves, LevelSaveError,
    ::testing::Values(FailedSave{"MissingFolder", Fault::MissingFolder, ENOENT},
                      FailedSave{"FullDisk", Fault::FullDisk, EFBIG},
                      FailedSave{"ReadOnlyTarget", Fault::ReadOnlyTarget, EACCES}),
    [](const auto& info) { return std::string(info.param.name); });

// --- the save point --------------------------------------------------------------------------

using SavePointError = ProgramTest;

TEST_F(SavePointError, ADiskWhoseSavePointCannotBeStoredSaysWhyAndPlayGoesOn) {
    // Where the save point belongs stands a folder, which no file can replace.
    fs::create_directories(root_ / "Diskette.txt");
    StartWithNewLevel();
    // A disk just above the brick the ball falls onto.
    level::Element& disk = program_->State().level.elements[13 * 20 + 12];
    disk.kind = level::Code(level::ElementKind::Disk);
    ::testing::internal::CaptureStderr();
    int passes = 0;
    while (disk.kind != 5099.0f && passes++ < 60) {
        ASSERT_EQ(Pass(), PassOutcome::Continue);
    }
    const std::string message = ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(disk.kind, 5099.0f) << "the ball never took the disk";
    EXPECT_TRUE(Contains(message, "Error: Der Speicherpunkt konnte nicht gespeichert werden:\n" +
                                      (root_ / "Diskette.txt").string() + "\n" +
                                      std::strerror(EISDIR)))
        << message;
    EXPECT_EQ(Pass(), PassOutcome::Continue);
    EXPECT_EQ(program_->State().loop.mode, level::Mode::Play);
}

// --- start-up --------------------------------------------------------------------------------

using StartUpReport = ProgramTest;

TEST_F(StartUpReport, NamesEveryPictureAndSoundThatCouldNotBeLoadedOnceAndGoesOn) {
    fs::remove(root_ / "BMP" / "Bereich.bmp");
    fs::remove(root_ / "BMP" / "Licht.bmp");
    ASSERT_EQ(::mkfifo((root_ / "BMP" / "Licht.bmp").c_str(), 0600), 0);
    WriteBitmap(root_ / "BMP" / "Raster.bmp", 5000, 1, runtime::Rgb{9, 9, 9});
    fs::resize_file(root_ / "BMP" / "Farben.bmp", 2000);  // cut off in its pixel rows
    {
        // Marked as run-length compressed, which the toolkit may decode into stray pixels.
        std::fstream rasen(root_ / "BMP" / "Rasen.bmp",
                           std::ios::in | std::ios::out | std::ios::binary);
        rasen.seekp(30);
        rasen.put(1);
    }
    std::ofstream(root_ / "WAV" / "Punkte.wav").close();
    fs::resize_file(root_ / "WAV" / "Punkte.wav", std::uintmax_t{17} << 20);

    ::testing::internal::CaptureStderr();
    StartWithNewLevel();
    const std::string message = ::testing::internal::GetCapturedStderr();

    const std::string expected[] = {
        (root_ / "BMP" / "Bereich.bmp").string() + ": " + std::strerror(ENOENT),
        (root_ / "BMP" / "Raster.bmp").string() + ": größer als 4096 × 4096 Bildpunkte",
        (root_ / "BMP" / "Farben.bmp").string() + ": abgeschnitten (2000 von ",
        (root_ / "BMP" / "Licht.bmp").string() + ": keine gewöhnliche Datei",
        (root_ / "BMP" / "Rasen.bmp").string() + ": komprimiertes BMP-Bild",
        (root_ / "WAV" / "Punkte.wav").string() + ": größer als 16 MB",
    };
    EXPECT_TRUE(Contains(message, "Error: Diese Bilder und Klänge konnten nicht geladen werden:"))
        << message;
    for (const std::string& line : expected) {
        EXPECT_TRUE(Contains(message, "\n" + line)) << line << "\n" << message;
    }
    EXPECT_EQ(message.find("Error"), message.rfind("Error")) << "one box";
    EXPECT_FALSE(program_->Screen().HasSprite(render::kPlayerMaskSprite));
    EXPECT_FALSE(program_->Screen().HasSprite(render::kBallSprite));
    EXPECT_TRUE(program_->Screen().HasSprite(1001));
    EXPECT_EQ(Pass(), PassOutcome::Continue);
}

using Leftovers = ProgramTest;

TEST_F(Leftovers, OfKilledSavesGoAtStartAndAreNeverListed) {
    const std::string live = ".Neu.TXT." + std::to_string(::getpid()) + "-00.tessaron-tmp";
    const fs::path planted[] = {
        root_ / ".Diskette.txt.tessaron-tmp",
        root_ / "LEVEL" / ".Anfang.TXT.2147483647-0123456789abcdef.tessaron-tmp",
        root_ / "LEVEL" / "Werte" / ".Bahn.TXT.2147483647-fedcba9876543210.tessaron-tmp",
    };
    for (const fs::path& file : planted) {
        std::ofstream(file) << "half";
    }
    // A save of a run still going (this one) is its own.
    std::ofstream(root_ / "LEVEL" / "Werte" / live) << "half";

    StartWithNewLevel();
    for (const fs::path& file : planted) {
        EXPECT_FALSE(fs::exists(file)) << file;
    }
    EXPECT_TRUE(fs::exists(root_ / "LEVEL" / "Werte" / live));
    runtime::Windows& windows = program_->Windows();
    for (int row = 0; !windows.RowText(panel::kPresetList, row).empty(); ++row) {
        EXPECT_FALSE(Contains(windows.RowText(panel::kPresetList, row), "tessaron"));
    }
}

// --- names as bytes --------------------------------------------------------------------------

using ByteNames = ProgramTest;

TEST_F(ByteNames, AFolderAndAPresetNamedInAnotherEncodingWorkAsAnyOther) {
    // Latin-1 bytes, as an older archive may carry them: not valid UTF-8.
    const fs::path folder = fs::temp_directory_path() /
                            ("tessaron-Spiel-f\xfcr-\xc4rger-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    MakeGameFolder(folder);
    std::ofstream(folder / "LEVEL" / "Werte" / "Gr\xfc\xdf.TXT") << "42\r\n3\r\n";
    gameDir_ = folder;

    ::testing::internal::CaptureStderr();
    StartWithNewLevel();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "every picture and the sound";
    EXPECT_TRUE(program_->Screen().HasSprite(render::kPlayerMaskSprite));

    ToEditor();
    runtime::Windows& windows = program_->Windows();
    int row = 0;
    while (!windows.RowText(panel::kPresetList, row).empty() &&
           windows.RowText(panel::kPresetList, row) != "Gr\xfc\xdf") {
        ++row;
    }
    ASSERT_EQ(windows.RowText(panel::kPresetList, row), "Gr\xfc\xdf");
    windows.Select(panel::kPresetList, row);
    Pass();
    EXPECT_EQ(windows.Text(panel::kLink), "42");
    EXPECT_EQ(windows.Text(panel::kSpeedDown), "3");
    program_.reset();
    fs::remove_all(folder);
}

}  // namespace
}  // namespace tessaron::app::testing
