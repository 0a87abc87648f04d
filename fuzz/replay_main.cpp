// Replays a fuzz target's corpus: every file below the given folders (or the
// given files) is fed once to LLVMFuzzerTestOneInput. Used by ctest, so the
// seeds stay regression tests in the ordinary builds.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

static int RunFile(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", p.c_str());
        return 1;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return 0;
}

int main(int argc, char** argv)
{
    int files = 0, failures = 0;
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path root(argv[i]);
        if (std::filesystem::is_directory(root)) {
            std::vector<std::filesystem::path> all;
            for (auto& e : std::filesystem::recursive_directory_iterator(root))
                if (e.is_regular_file())
                    all.push_back(e.path());
            std::sort(all.begin(), all.end());
            for (auto& p : all) {
                failures += RunFile(p);
                ++files;
            }
        } else {
            failures += RunFile(root);
            ++files;
        }
    }
    std::printf("replayed %d inputs\n", files);
    return failures ? 1 : 0;
}
