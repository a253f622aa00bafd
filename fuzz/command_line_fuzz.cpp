// Bytes as a command line: words separated by zero bytes. Every command line is accepted or
// refused without harm, and a refused one says why.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/automation/command_line.h"
#include "fuzz_support.h"

using namespace tessaron;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> words{"tessaron"};
    std::string word;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            words.push_back(word);
            word.clear();
        } else {
            word.push_back(static_cast<char>(data[i]));
        }
    }
    if (size > 0) {
        words.push_back(word);
    }
    std::vector<char*> argv;
    for (std::string& w : words) {
        argv.push_back(w.data());
    }
    argv.push_back(nullptr);
    const app::CommandLine line =
        app::ParseCommandLine(static_cast<int>(words.size()), argv.data());
    if (!line.ok && line.error.empty()) {
        fuzz::Fail("a refused command line says not why");
    }
    if (line.ok && line.options.headless && line.options.script.empty()) {
        fuzz::Fail("a headless run was accepted without a script");
    }
    return 0;
}
