// tessaron-make-assets OUTPUT_DIR
// Paints every picture of the game into OUTPUT_DIR/BMP and synthesises OUTPUT_DIR/WAV/Punkte.wav.
// The output depends on nothing but this program, so running it again gives the same bytes.
#include <filesystem>
#include <iostream>
#include <system_error>

#include "chime.h"
#include "image.h"
#include "pictures.h"

int main(int argc, char** argv) {
    using namespace tessaron::assets;
    if (argc != 2) {
        std::cerr << "usage: tessaron-make-assets OUTPUT_DIR\n";
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
