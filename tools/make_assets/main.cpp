// tessaron-make-assets OUTPUT_DIR
// Paints every picture of the game into OUTPUT_DIR/BMP and synthesises OUTPUT_DIR/WAV/Punkte.wav.
// The output depends on nothing but this program, so running it again gives the same bytes.
//
// tessaron-make-assets --icons OUTPUT_DIR
// Draws the program's icon into OUTPUT_DIR: tessaron-SIZE.png for each size and tessaron.svg.
//
// tessaron-make-assets --sounds OUTPUT_DIR
// Synthesises the sound effects and the music into OUTPUT_DIR (at build time, into the game
// folder's WAV/: the music alone is megabytes, so none of these is committed).
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "chime.h"
#include "icon.h"
#include "image.h"
#include "pictures.h"
#include "sounds.h"

namespace {

int MakeIcons(const std::filesystem::path& root) {
    using namespace tessaron::assets;
    std::error_code error;
    std::filesystem::create_directories(root, error);
    int failures = 0;
    for (const int size : kIconSizes) {
        const std::filesystem::path path = root / ("tessaron-" + std::to_string(size) + ".png");
        if (!WritePng(path, PaintIcon(size))) {
            std::cerr << "cannot write " << path.string() << "\n";
            ++failures;
        }
    }
    const std::string svg = DrawIconSvg();
    const std::filesystem::path path = root / "tessaron.svg";
    if (!WriteFile(path.string(), std::vector<std::uint8_t>(svg.begin(), svg.end()))) {
        std::cerr << "cannot write " << path.string() << "\n";
        ++failures;
    }
    return failures == 0 ? 0 : 1;
}

int MakeSounds(const std::filesystem::path& root) {
    using namespace tessaron::assets;
    std::error_code error;
    std::filesystem::create_directories(root, error);
    std::vector<SoundFile> sounds = MakeEffects();
    sounds.push_back(MakeMusic());
    int failures = 0;
    for (const SoundFile& sound : sounds) {
        const std::filesystem::path path = root / sound.file;
        if (!WriteFile(path.string(), EncodeWav(sound.samples, sound.rate, sound.channels))) {
            std::cerr << "cannot write " << path.string() << "\n";
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tessaron::assets;
    if (argc == 3 && std::string(argv[1]) == "--icons") {
        return MakeIcons(std::filesystem::u8path(argv[2]));
    }
    if (argc == 3 && std::string(argv[1]) == "--sounds") {
        return MakeSounds(std::filesystem::u8path(argv[2]));
    }
    if (argc != 2) {
        std::cerr << "usage: tessaron-make-assets OUTPUT_DIR\n"
                     "       tessaron-make-assets --icons OUTPUT_DIR\n"
                     "       tessaron-make-assets --sounds OUTPUT_DIR\n";
        return 2;
    }
    const std::filesystem::path root = std::filesystem::u8path(argv[1]);
    std::error_code error;
    std::filesystem::create_directories(root / "BMP", error);
    std::filesystem::create_directories(root / "WAV", error);
    int failures = 0;
    for (const Picture& picture : PaintAllPictures()) {
        const std::filesystem::path path = root / "BMP" / std::filesystem::u8path(picture.file);
        if (!WriteFile(path.string(), EncodeBmp(picture.image))) {
            std::cerr << "cannot write " << path.string() << "\n";
            ++failures;
        }
    }
    const std::filesystem::path sound = root / "WAV" / "Punkte.wav";
    if (!WriteFile(sound.string(), EncodeWav(SynthesiseChime(), kChimeSampleRate))) {
        std::cerr << "cannot write " << sound.string() << "\n";
        ++failures;
    }
    return failures == 0 ? 0 : 1;
}
