// Movement presets as files: saving through the requester with the extension rule, the names
// the list shows, and reading a preset back line by line.
#include "level/presets.h"
#include "runtime/files.h"
#include "runtime/requesters.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace tessaron::level {
namespace {

namespace fs = std::filesystem;

class Presets : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "-" + info->name();
        for (char& c : name) {
            if (c == '/')
                c = '_';
        }
        root_ = fs::temp_directory_path() /
                ("tessaron-presets-" + name + "-" + std::to_string(std::random_device{}()));
        fs::remove_all(root_);
        fs::create_directories(Werte());
        folder_ = std::make_unique<runtime::GameFolder>(root_);
        files_ = std::make_unique<runtime::Files>(*folder_);
        listing_ = std::make_unique<runtime::DirectoryListing>(*folder_);
    }
    void TearDown() override {
        files_.reset();
        fs::remove_all(root_);
    }

    fs::path Werte() const { return root_ / "LEVEL" / "Werte"; }

    void WriteRaw(const std::string& name, const std::string& bytes) {
        std::ofstream(Werte() / name, std::ios::binary) << bytes;
    }
    std::string ReadRaw(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path root_;
    std::unique_ptr<runtime::GameFolder> folder_;
    std::unique_ptr<runtime::Files> files_;
    std::unique_ptr<runtime::DirectoryListing> listing_;
    runtime::ScriptedRequesters requesters_;
};

const PresetTexts kLift = {"7", "0", "", "3", "12", "4", "250", "0"};

TEST_F(Presets, SaveAppendsTheExtensionAndWritesEightCrLfLinesThenReadsBack) {
    requesters_.Answer("LEVEL/Werte/Lift");
    const PresetSave save = SavePreset(kLift, *files_, requesters_, *folder_);
    EXPECT_EQ(save.result, PresetSaveResult::Saved);
    EXPECT_EQ(save.path, "LEVEL/Werte/Lift.TXT");
    EXPECT_EQ(ReadRaw(Werte() / "Lift.TXT"), "7\r\n0\r\n\r\n3\r\n12\r\n4\r\n250\r\n0\r\n");

    ASSERT_EQ(requesters_.Requests().size(), 1u);
    const runtime::ScriptedRequesters::Request& request = requesters_.Requests()[0];
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.title, "Werte speichern");
    EXPECT_EQ(request.pattern, "*.TXT");
    EXPECT_EQ(fs::path(request.initialPath), Werte() / "");

    // Listed without the extension; opened as "Lift.txt", which finds "Lift.TXT"; the empty
    // line comes back empty.
    EXPECT_EQ(ListPresetNames(*listing_), std::vector<std::string>{"Lift"});
    const std::optional<PresetTexts> read = ReadPreset("Lift", *files_);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, kLift);
}

struct ExtensionCase {
    const char* answer;
    const char* path;
};

class PresetExtension : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(PresetExtension, OnlyAnExactUpperCaseExtensionIsKept) {
    EXPECT_EQ(WithPresetExtension(GetParam().answer), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(
    Names, PresetExtension,
    ::testing::Values(ExtensionCase{"a", "a.TXT"}, ExtensionCase{"a.TXT", "a.TXT"},
                      ExtensionCase{"a.txt", "a.txt.TXT"}, ExtensionCase{"a.TX", "a.TX.TXT"},
                      ExtensionCase{"TXT", "TXT.TXT"}, ExtensionCase{"", ".TXT"},
                      ExtensionCase{"Würfel", "Würfel.TXT"}));

TEST_F(Presets, CancelledOrUnwritableSaveLeavesEarlierFilesAlone) {
    WriteRaw("Alt.TXT", "1\r\n");
    requesters_.Answer("");
    EXPECT_EQ(SavePreset(kLift, *files_, requesters_, *folder_).result,
              PresetSaveResult::Cancelled);
    EXPECT_FALSE(fs::exists(Werte() / ".TXT"));

    // A folder that does not exist cannot take the file.
    requesters_.Answer("LEVEL/Fehlt/Neu");
    const PresetSave failed = SavePreset(kLift, *files_, requesters_, *folder_);
    EXPECT_EQ(failed.result, PresetSaveResult::Failed);
    EXPECT_EQ(failed.path, "LEVEL/Fehlt/Neu.TXT");
    EXPECT_EQ(ReadRaw(Werte() / "Alt.TXT"), "1\r\n");
    EXPECT_EQ(ListPresetNames(*listing_), std::vector<std::string>{"Alt"});
}

TEST_F(Presets, ListShowsEveryFileWithoutItsLastFourCharactersAndNoFolders) {
    WriteRaw("Schnell.TXT", "");
    WriteRaw("Bild.bmp", "");
    WriteRaw("ab", "");
    WriteRaw("abcd", "");
    WriteRaw("abcde", "");
    fs::create_directories(Werte() / "Ordner.TXT");
    // Sorted by name, as the listing gives them; four characters or fewer show as nothing.
    EXPECT_EQ(ListPresetNames(*listing_),
              (std::vector<std::string>{"Bild", "Schnell", "", "", "a"}));

    fs::remove_all(Werte());
    EXPECT_TRUE(ListPresetNames(*listing_).empty());
}

TEST_F(Presets, LinesEndAtLineFeedZeroByteOrCarriageReturnAndMissingLinesAreEmpty) {
    WriteRaw("Kurz.TXT", std::string("1\n22\r\n3\0"
                                     "4\rx55",
                                     13));
    const std::optional<PresetTexts> read = ReadPreset("Kurz", *files_);
    ASSERT_TRUE(read.has_value());
    // The carriage return after "4" takes the byte after it along, whatever it is.
    EXPECT_EQ(*read, (PresetTexts{"1", "22", "3", "4", "55", "", "", ""}));

    EXPECT_FALSE(ReadPreset("Fehlt", *files_).has_value());
    // A listed file of another extension is opened as name + ".txt" and is not found.
    WriteRaw("Bild.bmp", "9\r\n");
    EXPECT_FALSE(ReadPreset("Bild", *files_).has_value());
}

}  // namespace
}  // namespace tessaron::level
