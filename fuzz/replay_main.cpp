// Runs a fuzz target's entry point once on every file of the folders (or the files) named on
// the command line, in name order, as libFuzzer runs a corpus: the normal and the sanitizer
// builds check the kept corpus, the seeds and every crash regression without clang. A folder
// that does not exist holds nothing (a target without regressions); no input at all fails.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        std::error_code ec;
        const fs::path arg = argv[i];
        if (fs::is_regular_file(arg, ec)) {
            inputs.push_back(arg);
        } else if (fs::is_directory(arg, ec)) {
            std::vector<fs::path> files;
            for (const auto& e : fs::directory_iterator(arg, ec))
                if (e.is_regular_file()) files.push_back(e.path());
            std::sort(files.begin(), files.end());
            inputs.insert(inputs.end(), files.begin(), files.end());
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "no inputs found\n");
        return 1;
    }
    for (const fs::path& p : inputs) {
        std::ifstream in(p, std::ios::binary);
        std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (!in.good() && !in.eof()) {
            std::fprintf(stderr, "cannot read %s\n", p.c_str());
            return 1;
        }
        // The input in a buffer of its exact size, so that the sanitizer sees any overrun.
        std::vector<uint8_t> exact(bytes);
        std::fprintf(stderr, "%s\n", p.c_str());
        LLVMFuzzerTestOneInput(exact.data(), exact.size());
    }
    std::printf("%zu inputs passed\n", inputs.size());
    return 0;
}
