// Runs the fuzz target's checks over files and folders without libFuzzer, so that a plain build
// can run under valgrind, which reports any pixel the reader leaves uninitialised.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace {

void check(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes(
        (std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
}

} // namespace

int main(int argc, char **argv)
{
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path root(argv[i]);
        if (!std::filesystem::is_directory(root)) {
            check(root);
            ++inputs;
            continue;
        }
        for (const auto &entry : std::filesystem::recursive_directory_iterator(root)) {
            if (entry.is_regular_file()) {
                check(entry.path());
                ++inputs;
            }
        }
    }
    std::printf("%d inputs checked\n", inputs);
    return inputs > 0 ? 0 : 1;
}
