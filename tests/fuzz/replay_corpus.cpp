// Feeds every file of the corpus folders given on the command line to a fuzz target's entry
// point once, so that a plain test run checks the inputs the fuzzers found, without clang or
// libFuzzer. A target stops the program on the first property that fails; a folder that holds
// no files fails too, so that a moved corpus is not checked silently.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>...\n", argv[0]);
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        std::vector<std::filesystem::path> inputs;
        std::error_code failed;
        for (const auto& entry : std::filesystem::directory_iterator(argv[i], failed)) {
            if (entry.is_regular_file()) {
                inputs.push_back(entry.path());
            }
        }
        if (failed || inputs.empty()) {
            std::fprintf(stderr, "%s: no inputs found\n", argv[i]);
            return 1;
        }
        std::sort(inputs.begin(), inputs.end());
        for (const std::filesystem::path& input : inputs) {
            std::ifstream file(input, std::ios::binary);
            const std::vector<char> bytes{std::istreambuf_iterator<char>(file),
                                          std::istreambuf_iterator<char>()};
            if (!file.good() && !file.eof()) {
                std::fprintf(stderr, "%s: cannot be read\n", input.string().c_str());
                return 1;
            }
            std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
            LLVMFuzzerTestOneInput(data.data(), data.size());
        }
        std::printf("%s: %zu inputs replayed\n", argv[i], inputs.size());
    }
    return 0;
}
