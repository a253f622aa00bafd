#include "level/level_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#if defined(__unix__)
#include "support/full_disk.h"
#endif

namespace tessaron::level {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::int32_t IntAt(const std::string& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes.at(offset + i));
    }
    return static_cast<std::int32_t>(value);
}

// A level file put together byte by byte, as another tool or a damaged disk may leave it.
class RawLevel {
  public:
    RawLevel(std::int32_t startX, std::int32_t startY, std::int32_t width, std::int32_t height) {
        Put(0, startX);
        Put(4, startY);
        Put(8, width);
        Put(12, height);
    }
    void Put(std::size_t offset, std::int32_t value) {
        if (bytes_.size() < offset + 4) {
            bytes_.resize(offset + 4, '\0');
        }
        const auto bits = static_cast<std::uint32_t>(value);
        for (int i = 0; i < 4; ++i) {
            bytes_[offset + i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
        }
    }
    // kind, link, length, speedX, speedY, pause1, pause2, background.
    void Cell(int column, int row, const std::vector<std::int32_t>& values) {
        const std::size_t p = static_cast<std::size_t>(column + 300 * row) * 40;
        for (std::size_t i = 0; i < values.size(); ++i) {
            Put(p + 5 * i, values[i]);
        }
    }
    void Save(const fs::path& path) const {
        std::ofstream out(path, std::ios::binary);
        out << bytes_;
    }

  private:
    std::string bytes_;
};

class LevelFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name =
            std::string("tessaron-level-") + info->test_suite_name() + "-" + info->name();
        for (char& c : name) {
            if (c == '/') {
                c = '_';
            }
        }
        // Unique per run: other builds may run the same tests at the same time.
        root_ = fs::temp_directory_path() / (name + "-" + std::to_string(std::random_device{}()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "LEVEL");
    }
    void TearDown() override { fs::remove_all(root_); }

    std::string LevelPath(const std::string& name) const {
        return (root_ / "LEVEL" / name).string();
    }

    // A 20 x 20 level whose records differ from cell to cell in every stored field.
    static Level Varied20x20() {
        Level level;
        level.levelWidth = 20;
        level.levelHeight = 20;
        level.viewX = -10.4f;
        level.viewY = 123.5f;
        BuildFreshGrid(level.elements, 20, 20);
        const ElementKind kinds[] = {ElementKind::Brick,  ElementKind::Grass,  ElementKind::Wood,
                                     ElementKind::Switch, ElementKind::Coin50, ElementKind::Bush,
                                     ElementKind::Empty,  ElementKind::Torch};
        int i = 0;
        for (Element& e : level.elements) {
            e.kind = Code(kinds[i % 8]);
            e.background = Code(i % 3 == 0 ? Background::Water : Background::Air);
            e.link = static_cast<float>(i % 7 - 1);
            e.length = static_cast<float>(i % 5);
            e.speedX = static_cast<float>(i % 11 - 5);
            e.speedY = static_cast<float>(-(i % 13));
            e.pause1 = static_cast<float>(i * 3);
            e.pause2 = static_cast<float>(-i);
            ++i;
        }
        return level;
    }

    fs::path root_;
};

TEST_F(LevelFileTest, A20x20LevelIsWrittenInTheFileLayoutAndReadsBackTheSame) {
    const runtime::GameFolder folder(root_);
    runtime::Files files(folder);
    Level written = Varied20x20();
    ASSERT_EQ(WriteLevelFile(written, files, LevelPath("t.TXT")), SaveResult::Saved);

    const std::string bytes = ReadBytes(LevelPath("t.TXT"));
    ASSERT_EQ(bytes.size(), 240839u);
    EXPECT_EQ(IntAt(bytes, 0), -10);
    EXPECT_EQ(IntAt(bytes, 4), 124);  // 123.5 rounds to the even neighbour
    EXPECT_EQ(IntAt(bytes, 8), 20);
    EXPECT_EQ(IntAt(bytes, 12), 20);
    // Every byte that no value covers is zero: bytes 16 to 12039, the fifth byte of every
    // record, and the unused columns of each row.
    std::vector<bool> covered(bytes.size(), false);
    std::fill(covered.begin(), covered.begin() + 16, true);
    for (int r = 1; r <= 20; ++r) {
        for (int c = 1; c <= 20; ++c) {
            const std::size_t p = static_cast<std::size_t>(c + 300 * r) * 40;
            for (std::size_t v = 0; v < 8; ++v) {
                std::fill_n(covered.begin() + static_cast<std::ptrdiff_t>(p + 5 * v), 4, true);
            }
        }
    }
    std::size_t nonZeroUncovered = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (!covered[i] && bytes[i] != '\0') {
            ++nonZeroUncovered;
        }
    }
    EXPECT_EQ(nonZeroUncovered, 0u);
    EXPECT_EQ(std::count(bytes.begin() + 16, bytes.begin() + 12040, '\0'), 12040 - 16);
    // Cell (2, 1), the list's second record: its values five bytes apart.
    const std::size_t p = (2 + 300) * 40;
    const Element& second = written.elements[1];
    EXPECT_EQ(IntAt(bytes, p + 0), second.kind);
    EXPECT_EQ(IntAt(bytes, p + 5), second.link);
    EXPECT_EQ(IntAt(bytes, p + 10), second.length);
    EXPECT_EQ(IntAt(bytes, p + 15), second.speedX);
    EXPECT_EQ(IntAt(bytes, p + 20), second.speedY);
    EXPECT_EQ(IntAt(bytes, p + 25), second.pause1);
    EXPECT_EQ(IntAt(bytes, p + 30), second.pause2);
    EXPECT_EQ(IntAt(bytes, p + 35), second.background);

    Level read;
    read.levelFileName = LevelPath("t.TXT");
    ASSERT_EQ(ReadLevelFile(read, files), LoadResult::Loaded);
    EXPECT_EQ(read.levelWidth, 20);
    EXPECT_EQ(read.levelHeight, 20);
    EXPECT_EQ(read.elements, written.elements);
}

TEST_F(LevelFileTest, WidthZeroReadsAsTwoHundredByHundredWhateverTheHeight) {
    RawLevel raw(7, 8, 0, 5);
    raw.Cell(1, 1, {1003, -1, 0, 0, 0, 0, 0, 100});
    raw.Save(LevelPath("old.TXT"));
    const runtime::GameFolder folder(root_);
    runtime::Files files(folder);
    Level level;
    level.levelFileName = LevelPath("old.TXT");
    ASSERT_EQ(ReadLevelFile(level, files), LoadResult::Loaded);
    EXPECT_EQ(level.levelWidth, 200);
    EXPECT_EQ(level.levelHeight, 100);
    ASSERT_EQ(level.elements.size(), 20000u);
    EXPECT_EQ(level.elements.front().kind, 1003.0f);
    EXPECT_EQ(level.elements[1].homeColumn, 2.0f);
    EXPECT_EQ(level.elements.back().homeColumn, 200.0f);
    EXPECT_EQ(level.elements.back().homeRow, 100.0f);
}

TEST_F(LevelFileTest, ATrampledBushReadsAsWaterAndBackgroundZeroAsAir) {
    RawLevel raw(0, 0, 4, 1);
    raw.Cell(1, 1, {1005, 3, 2, 1, 0, 5, 6, 100});
    raw.Cell(2, 1, {1001, -1, 0, 0, 0, 0, 0, 0});
    raw.Cell(3, 1, {1005, -1, 0, 0, 0, 0, 0, 0});
    raw.Cell(4, 1, {1004, -1, 0, 0, 0, 0, 0, 200});
    raw.Save(LevelPath("c.TXT"));
    const runtime::GameFolder folder(root_);
    runtime::Files files(folder);
    Level level;
    level.levelFileName = LevelPath("c.TXT");
    ASSERT_EQ(ReadLevelFile(level, files), LoadResult::Loaded);
    ASSERT_EQ(level.elements.size(), 4u);
    auto kindAndBackground = [&](int i) {
        return std::pair(level.elements[i].kind, level.elements[i].background);
    };
    EXPECT_EQ(kindAndBackground(0), std::pair(1000.0f, 200.0f));
    EXPECT_EQ(kindAndBackground(1), std::pair(1001.0f, 100.0f));
    EXPECT_EQ(kindAndBackground(2), std::pair(1000.0f, 200.0f));
    EXPECT_EQ(kindAndBackground(3), std::pair(1004.0f, 200.0f));
    // The other values of a converted cell are kept; the runtime fields start at zero.
    EXPECT_EQ(level.elements[0], (Element{200, 1, 1, 1000, 1, 1, 0, 3, 0, 2, 1, 0, 0, 5, 6}));
}

TEST_F(LevelFileTest, AValuePastTheEndOfATruncatedFileRepeatsThePreviousRead) {
    const runtime::GameFolder folder(root_);
    runtime::Files files(folder);
    Level level;
    level.levelFileName = std::string(TESSARON_TEST_DATA) + "/truncated.TXT";
    ASSERT_EQ(ReadLevelFile(level, files), LoadResult::Loaded);
    ASSERT_EQ(level.elements.size(), 3u);
    EXPECT_EQ(level.elements[0], (Element{100, 1, 1, 1001, 1, 1, 0, -1, 0, 0, 0, 0, 0, 0, 0}));
    // The file ends after the kind of cell 2: every later value is that kind again.
    EXPECT_EQ(level.elements[1],
              (Element{4010, 2, 1, 4010, 2, 1, 0, 4010, 0, 4010, 4010, 4010, 0, 4010, 4010}));
    EXPECT_EQ(level.elements[2],
              (Element{4010, 3, 1, 4010, 3, 1, 0, 4010, 0, 4010, 4010, 4010, 0, 4010, 4010}));

    // A file that ends two bytes into the link of cell 2: that link cannot be read whole and
    // repeats the kind before it.
    const std::string cut = (root_ / "cut.TXT").string();
    {
        std::ifstream in(level.levelFileName, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        bytes.resize(static_cast<std::size_t>(level_file::RecordOffset(2, 1) + 5 + 2));
        std::ofstream(cut, std::ios::binary) << bytes;
    }
    Level partial;
    partial.levelFileName = cut;
    ASSERT_EQ(ReadLevelFile(partial, files), LoadResult::Loaded);
    EXPECT_EQ(partial.elements[1].link, 4010.0f);

    // A file of nothing but a header: every value repeats the height stored in it, also where
    // an older file's width of 0 makes the level 200 x 100 whatever that height.
    for (const std::int32_t storedWidth : {2, 0}) {
        const std::int32_t header[4] = {0, 0, storedWidth, 3};
        std::ofstream(cut, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(header), sizeof header);
        Level bare;
        bare.levelFileName = cut;
        ASSERT_EQ(ReadLevelFile(bare, files), LoadResult::Loaded);
        EXPECT_EQ(bare.elements.back(), (Element{3, float(bare.levelWidth), float(bare.levelHeight),
                                                 3, float(bare.levelWidth), float(bare.levelHeight),
                                                 0, 3, 0, 3, 3, 3, 0, 3, 3}))
            << storedWidth;
    }
}

TEST_F(LevelFileTest, EveryReadStartsAtItsOwnStoredOffset) {
    RawLevel(100, -50, 1, 1).Save(LevelPath("a.TXT"));
    RawLevel(7, 9, 1, 1).Save(LevelPath("b.TXT"));
    const runtime::GameFolder folder(root_);
    runtime::Files files(folder);
    runtime::ScriptedRequesters requesters;
    requesters.Answer(LevelPath("a.TXT"));
    requesters.Answer(LevelPath("b.TXT"));
    requesters.Answer(LevelPath("b.TXT"));
    Level level;

    ASSERT_EQ(LoadLevel(level, files, requesters, folder), LoadResult::Loaded);
    EXPECT_EQ(std::pair(level.viewX, level.viewY), std::pair(100.0f, -50.0f));

    level.viewX = 3.0f;  // played on; the next level starts where its own file says
    level.score = 12;
    ASSERT_EQ(LoadLevel(level, files, requesters, folder), LoadResult::Loaded);
    EXPECT_EQ(std::pair(level.viewX, level.viewY), std::pair(7.0f, 9.0f));
    EXPECT_EQ(std::pair(level.startX, level.startY), std::pair(7, 9));
    EXPECT_EQ(level.score, 0);

    level.startX = 33;  // a save point was taken: reading the file again starts afresh
    level.startY = 44;
    ASSERT_EQ(LoadLevel(level, files, requesters, folder), LoadResult::Loaded);
    EXPECT_EQ(std::pair(level.viewX, level.viewY), std::pair(7.0f, 9.0f));

    ASSERT_EQ(requesters.Requests().size(), 3u);
    const auto& request = requesters.Requests()[0];
    EXPECT_FALSE(request.save);
    EXPECT_EQ(request.title, "Spiel laden");
    EXPECT_EQ(request.pattern, "*.TXT");
    EXPECT_EQ(fs::path(request.initialPath), root_ / "LEVEL" / "");
    EXPECT_EQ(request.initialPath.back(), fs::path::preferred_separator);
}

// What a load that fails must leave: the level in memory and the start-offset sentinel.
struct RefusedCase {
    const char* name;
    const char* file;  // in the test data folder; empty for a cancelled requester
};
class RefusedLoadTest : public LevelFileTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedLoadTest, KeepsTheLevelInMemory) {
    const runtime::GameFolder folder(root_);
    runtime::Files files(folder);
    runtime::ScriptedRequesters requesters;
    const std::string file = GetParam().file;
    if (!file.empty()) {
        requesters.Answer(std::string(TESSARON_TEST_DATA) + "/" + file);
    }
    Level level = Varied20x20();
    level.score = 30;
    const Level before = level;

    EXPECT_EQ(LoadLevel(level, files, requesters, folder), LoadResult::NotLoaded);
    EXPECT_EQ(level.elements, before.elements);
    EXPECT_EQ(level.levelWidth, 20);
    EXPECT_EQ(level.levelHeight, 20);
    EXPECT_EQ(std::pair(level.viewX, level.viewY), std::pair(before.viewX, before.viewY));
    EXPECT_EQ(level.startX, kNoStartOffset);
    // As the load's first steps do: the answer is remembered and the score starts again.
    EXPECT_EQ(level.levelFileName,
              file.empty() ? std::string() : std::string(TESSARON_TEST_DATA) + "/" + file);
    EXPECT_EQ(level.score, 0);
    if (!file.empty()) {
        EXPECT_FALSE(LevelFileProblem(files, level.levelFileName).empty());
    }
}
INSTANTIATE_TEST_SUITE_P(
    LevelFile, RefusedLoadTest,
    ::testing::Values(RefusedCase{"Cancelled", ""}, RefusedCase{"Missing", "missing.TXT"},
                      RefusedCase{"ShorterThanAHeader", "short_header.TXT"},
                      RefusedCase{"MoreThan300Columns", "too_wide.TXT"},
                      RefusedCase{"MoreThan100000Cells", "too_many_cells.TXT"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ExtensionCase {
    const char* answer;
    const char* saved;  // the name written, relative to the game folder; empty: nothing
};
class SaveExtensionTest : public LevelFileTest,
                          public ::testing::WithParamInterface<ExtensionCase> {};

TEST_P(SaveExtensionTest, AppendsTXTUnlessTheNameEndsInExactlyThat) {
    const runtime::GameFolder folder(root_);
    runtime::Files files(folder);
    runtime::ScriptedRequesters requesters;
    requesters.Answer(GetParam().answer);
    Level level = Varied20x20();
    level.elements[0].kind = 5010;  // a taken coin: brought back only when the level is saved
    level.score = 7;
    level.levelFileName = "LEVEL/Anfang.TXT";

    const SaveResult result = SaveLevel(level, files, requesters, folder);
    const std::string saved = GetParam().saved;
    if (saved.empty()) {
        EXPECT_EQ(result, SaveResult::Cancelled);
        EXPECT_EQ(level.levelFileName, "LEVEL/Anfang.TXT");
        EXPECT_EQ(level.elements[0].kind, 5010.0f);
        EXPECT_EQ(level.score, 7);
        EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 1);
    } else {
        EXPECT_EQ(result, SaveResult::Saved);
        EXPECT_EQ(level.levelFileName, saved);
        EXPECT_EQ(fs::file_size(root_ / saved), 240839u);
        EXPECT_EQ(level.elements[0].kind, 4010.0f);
        EXPECT_EQ(level.score, 0);
    }
    ASSERT_EQ(requesters.Requests().size(), 1u);
    EXPECT_TRUE(requesters.Requests()[0].save);
    EXPECT_EQ(requesters.Requests()[0].title, "Spiel speichern");
    EXPECT_EQ(requesters.Requests()[0].pattern, "*.TXT");
}
INSTANTIATE_TEST_SUITE_P(
    LevelFile, SaveExtensionTest,
    ::testing::Values(ExtensionCase{"name", "name.TXT"}, ExtensionCase{"name.TXT", "name.TXT"},
                      ExtensionCase{"name.txt", "name.txt.TXT"},
                      ExtensionCase{"name.TxT", "name.TxT.TXT"}, ExtensionCase{"a", "a.TXT"},
                      ExtensionCase{"ab", "ab.TXT"}, ExtensionCase{"TXT", "TXT.TXT"},
                      ExtensionCase{"", ""}, ExtensionCase{".TXT", ""}));

#if !defined(_WIN32)
TEST_F(LevelFileTest, ABackslashInAChosenNameIsPartOfTheName) {
    const runtime::GameFolder folder(root_);
    runtime::Files files(folder);
    runtime::ScriptedRequesters requesters;
    requesters.Answer(LevelPath("sub\\name"));
    requesters.Answer(LevelPath("sub\\name.TXT"));
    Level level = Varied20x20();
    ASSERT_EQ(SaveLevel(level, files, requesters, folder), SaveResult::Saved);
    EXPECT_TRUE(fs::is_regular_file(root_ / "LEVEL" / "sub\\name.TXT"));
    EXPECT_FALSE(fs::exists(root_ / "LEVEL" / "sub"));

    Level read;
    ASSERT_EQ(LoadLevel(read, files, requesters, folder), LoadResult::Loaded);
    EXPECT_EQ(read.elements, level.elements);
}
#endif

TEST_F(LevelFileTest, AnElementHalfWayThroughItsDisplacementIsSavedAtItsStartCell) {
    const runtime::GameFolder folder(root_);
    runtime::Files files(folder);
    Level level;
    level.levelWidth = 10;
    level.levelHeight = 10;
    BuildFreshGrid(level.elements, 10, 10);
    Element& goingRight = level.elements[2 * 10 + 4];  // cell (5, 3)
    goingRight.kind = Code(ElementKind::Wood);
    goingRight.speedX = 5;
    goingRight.length = 4;
    goingRight.travelled = 2.5f;
    goingRight.column = 7.5f;
    goingRight.motion = 1;
    Element& goingUp = level.elements[7 * 10 + 1];  // cell (2, 8)
    goingUp.kind = Code(ElementKind::Door);
    goingUp.speedY = -3;
    goingUp.length = 2;
    goingUp.travelled = 1.26f;
    goingUp.row = 8 - 1.26f;
    goingUp.motion = -1;
    goingUp.pauseCount = 4;
    ASSERT_EQ(WriteLevelFile(level, files, LevelPath("m.TXT")), SaveResult::Saved);

    Level read;
    read.levelFileName = LevelPath("m.TXT");
    ASSERT_EQ(ReadLevelFile(read, files), LoadResult::Loaded);
    EXPECT_EQ(read.elements[2 * 10 + 4],
              (Element{100, 5, 3, 2020, 5, 3, 0, -1, 0, 4, 5, 0, 0, 0, 0}));
    EXPECT_EQ(read.elements[7 * 10 + 1],
              (Element{100, 2, 8, 2010, 2, 8, 0, -1, 0, 2, 0, -3, 0, 0, 0}));
    // Cells (7, 3) and (8, 3), which the moving element passed over, keep their own records.
    EXPECT_EQ(read.elements[2 * 10 + 7].kind, 1000.0f);
}

TEST_F(LevelFileTest, ARecordWhoseHomeIsOffTheGridDoesNotOverwriteTheHeader) {
    const runtime::GameFolder folder(root_);
    runtime::Files files(folder);
    Level level;
    level.levelWidth = 3;
    level.levelHeight = 2;
    BuildFreshGrid(level.elements, 3, 2);
    // A list built by hand may hold a home cell outside the level: the record of (0, 0) would
    // fall on the header.
    Element& stray = level.elements[0];
    stray.kind = Code(ElementKind::Brick);
    stray.homeColumn = 0;
    stray.homeRow = 0;
    ASSERT_EQ(WriteLevelFile(level, files, LevelPath("d.TXT")), SaveResult::Saved);
    const std::string bytes = ReadBytes(LevelPath("d.TXT"));
    EXPECT_EQ(IntAt(bytes, 8), 3);
    EXPECT_EQ(IntAt(bytes, 12), 2);
    EXPECT_EQ(bytes.size(), static_cast<std::size_t>((3 + 600) * 40 + 39));
}

TEST_F(LevelFileTest, ALevelWiderThan300ColumnsIsNotWritten) {
    const runtime::GameFolder folder(root_);
    runtime::Files files(folder);
    { std::ofstream(LevelPath("w.TXT"), std::ios::binary) << "earlier"; }
    Level level;
    level.levelWidth = 301;
    level.levelHeight = 2;
    BuildFreshGrid(level.elements, 301, 2);
    level.elements[0].kind = 5001;
    EXPECT_EQ(WriteLevelFile(level, files, LevelPath("w.TXT")), SaveResult::Failed);
    EXPECT_EQ(ReadBytes(LevelPath("w.TXT")), "earlier");
    EXPECT_EQ(level.elements[0].kind, 4001.0f);  // put into its editable state all the same
}

#if defined(__unix__)
TEST_F(LevelFileTest, AFailedSaveLeavesTheEarlierFileIntact) {
    const runtime::GameFolder folder(root_);
    runtime::Files files(folder);
    { std::ofstream(LevelPath("s.TXT"), std::ios::binary) << "earlier"; }
    runtime::ScriptedRequesters requesters;
    requesters.Answer(LevelPath("s.TXT"));
    Level level = Varied20x20();
    SaveResult result = SaveResult::Saved;
    {
        // The disk fills up part of the way through the file.
        const test_support::FullDisk full(100000);
        result = SaveLevel(level, files, requesters, folder);
    }
    EXPECT_EQ(result, SaveResult::Failed);
    EXPECT_EQ(ReadBytes(LevelPath("s.TXT")), "earlier");
    EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "LEVEL"), fs::directory_iterator()), 1);
}
#endif

TEST_F(LevelFileTest, AFileThatCannotBeCreatedFails) {
    const runtime::GameFolder folder(root_);
    runtime::Files files(folder);
    Level level = Varied20x20();
    EXPECT_EQ(WriteLevelFile(level, files, (root_ / "missing" / "x.TXT").string()),
              SaveResult::Failed);
}

}  // namespace
}  // namespace tessaron::level
