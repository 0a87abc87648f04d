// Small helpers of the fuzz targets: several texts out of one input, GBK
// characters as a browser decodes them, folders of their own.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// The pieces of data between the separator bytes; at least one.
inline std::vector<std::string> SplitInput(std::string_view data, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at = data.find(separator); at != std::string_view::npos; at = data.find(separator, start)) {
        parts.emplace_back(data.substr(start, at - start));
        start = at + 1;
    }
    parts.emplace_back(data.substr(start));
    return parts;
}

inline bool IsGbkLead(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}

inline bool IsGbkTrail(unsigned char c)
{
    return c >= 0x40 && c <= 0xFE && c != 0x7F;
}

// Length of the character at text[p] as a browser's GBK decoder takes it: a
// lead byte pairs only with a valid trail byte, else it stands alone and the
// byte after it is read afresh.
inline size_t BrowserCharLength(std::string_view text, size_t p)
{
    return IsGbkLead(static_cast<unsigned char>(text[p])) && p + 1 < text.size() &&
                   IsGbkTrail(static_cast<unsigned char>(text[p + 1]))
               ? 2
               : 1;
}

inline std::string AsciiLower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// A new folder of the process's own under the temporary folder ($TMPDIR:
// the build tree when ctest replays a corpus), removed when the process ends.
inline std::filesystem::path TempFolder(const char* prefix)
{
    static std::vector<std::filesystem::path> folders;
    std::string pattern = (std::filesystem::temp_directory_path() / prefix).string() + "-XXXXXX";
    if (!mkdtemp(pattern.data()))
        std::abort();
    if (folders.empty())
        std::atexit([] {
            std::error_code error;
            for (const auto& folder : folders)
                std::filesystem::remove_all(folder, error);
        });
    folders.emplace_back(pattern);
    return pattern;
}

// Aborts, naming the failed property, when ok is false.
inline void CheckAt(bool ok, const char* what, const char* file, int line)
{
    if (!ok) {
        std::fprintf(stderr, "%s:%d: property failed: %s\n", file, line, what);
        std::abort();
    }
}

} // namespace fuzz

#define FUZZ_CHECK(ok) ::fuzz::CheckAt((ok), #ok, __FILE__, __LINE__)
