// The test program of the machine layer: the machine makes the one QApplication, under Qt's
// offscreen platform also when the tests are started by hand; a scratch game folder holds the
// pictures and sounds the tests write.
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string_view>

#include <gtest/gtest.h>

#include "runtime/files.h"
#include "runtime/screen_test_support.h"

namespace tessaron::runtime::test {

namespace {

std::unique_ptr<GameFolder> g_folder;
std::unique_ptr<Machine> g_machine;

void PutLittleEndian(std::ofstream& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.put(char((value >> (8 * i)) & 0xFF));
    }
}

}  // namespace

Machine& TestMachine() {
    return *g_machine;
}
const GameFolder& TestFolder() {
    return *g_folder;
}

void Picture::Fill(int x, int y, int w, int h, std::int32_t colour) {
    for (int row = y; row < y + h; ++row) {
        for (int column = x; column < x + w; ++column) {
            At(column, row) = colour;
        }
    }
}

void WriteBitmap(const std::string& gamePath, const Picture& picture) {
    const std::filesystem::path file = g_folder->Resolve(FixedPath(gamePath));
    std::filesystem::create_directories(file.parent_path());
    const std::uint32_t rowBytes = (std::uint32_t(picture.width) * 3 + 3) & ~3u;
    const std::uint32_t dataBytes = rowBytes * std::uint32_t(picture.height);
    std::ofstream out(file, std::ios::binary);
    out.put('B');
    out.put('M');
    PutLittleEndian(out, 54 + dataBytes, 4);
    PutLittleEndian(out, 0, 4);
    PutLittleEndian(out, 54, 4);
    PutLittleEndian(out, 40, 4);  // BITMAPINFOHEADER
    PutLittleEndian(out, std::uint32_t(picture.width), 4);
    PutLittleEndian(out, std::uint32_t(picture.height), 4);
    PutLittleEndian(out, 1, 2);
    PutLittleEndian(out, 24, 2);
    PutLittleEndian(out, 0, 4);
    PutLittleEndian(out, dataBytes, 4);
    PutLittleEndian(out, 2835, 4);
    PutLittleEndian(out, 2835, 4);
    PutLittleEndian(out, 0, 4);
    PutLittleEndian(out, 0, 4);
    for (int y = picture.height - 1; y >= 0; --y) {
        std::uint32_t written = 0;
        for (int x = 0; x < picture.width; ++x) {
            const std::int32_t c = picture.pixels[std::size_t(y * picture.width + x)];
            out.put(char((c >> 16) & 0xFF));  // blue, green, red
            out.put(char((c >> 8) & 0xFF));
            out.put(char(c & 0xFF));
            written += 3;
        }
        for (; written < rowBytes; ++written) {
            out.put('\0');
        }
    }
}

void WriteWave(const std::string& gamePath, const std::vector<std::int16_t>& samples, int rate) {
    const std::filesystem::path file = g_folder->Resolve(FixedPath(gamePath));
    std::filesystem::create_directories(file.parent_path());
    const std::uint32_t dataBytes = std::uint32_t(samples.size() * 2);
    std::ofstream out(file, std::ios::binary);
    out.write("RIFF", 4);
    PutLittleEndian(out, 36 + dataBytes, 4);
    out.write("WAVEfmt ", 8);
    PutLittleEndian(out, 16, 4);
    PutLittleEndian(out, 1, 2);  // PCM
    PutLittleEndian(out, 1, 2);  // mono
    PutLittleEndian(out, std::uint32_t(rate), 4);
    PutLittleEndian(out, std::uint32_t(rate) * 2, 4);
    PutLittleEndian(out, 2, 2);
    PutLittleEndian(out, 16, 2);
    out.write("data", 4);
    PutLittleEndian(out, dataBytes, 4);
    for (const std::int16_t s : samples) {
        PutLittleEndian(out, std::uint16_t(s), 2);
    }
}

}  // namespace tessaron::runtime::test

// Fontconfig keeps a little memory of its own until the process ends; the leak checker of
// sanitized builds is told so (the function is unused otherwise).
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv) {
    using namespace tessaron::runtime;
    // Headless unless a display platform was chosen on purpose (QT_QPA_PLATFORM=xcb under Xvfb
    // runs the same tests against a real X server).
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const bool headless = platform == nullptr || std::string_view(platform) == "offscreen";
    ::testing::InitGoogleTest(&argc, argv);
    char pattern[] = "/tmp/tessaron-screen-test-XXXXXX";
    const char* root = mkdtemp(pattern);
    if (root == nullptr) {
        return 2;
    }
    test::g_folder = std::make_unique<GameFolder>(root);
    test::g_machine = std::make_unique<Machine>(*test::g_folder);
    StartOptions options;
    options.headless = headless;
    options.argc = &argc;
    options.argv = argv;
    Machine& m = *test::g_machine;
    if (!m.StartScreen(options) || !m.StartKeyboard() || !m.StartSound()) {
        return 2;
    }
    const int result = RUN_ALL_TESTS();
    m.End();
    test::g_machine.reset();
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
    return result;
}
