// escape-literals <source> <copy>: writes the copy of a UTF-8 source that
// clang compiles in place of it (see EscapeLiterals.h).
#include "tools/literals/EscapeLiterals.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: escape-literals <source> <copy>\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "escape-literals: cannot read %s\n", argv[1]);
        return 1;
    }
    std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    tavrin::tools::EscapeResult result = tavrin::tools::EscapeLiterals(source);
    if (!result.error.empty()) {
        std::fprintf(stderr, "%s: %s\n", argv[1], result.error.c_str());
        return 1;
    }
    std::filesystem::path target(argv[2]);
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::path temp = target;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(result.text.data(), static_cast<std::streamsize>(result.text.size()));
        if (!out.flush()) {
            std::fprintf(stderr, "escape-literals: cannot write %s\n", temp.c_str());
            return 1;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, target, ec);
    if (ec) {
        std::fprintf(stderr, "escape-literals: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
