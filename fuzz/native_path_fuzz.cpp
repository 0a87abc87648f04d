// Path conversion on hostile names: program paths built from stored records
// and posted forms, and file names found on disk. Nothing crashes, and a
// path that converts comes back the same (separators aside).
#include "platform/base/Path.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

// A failed property names itself, so a crash input tells what broke.
#define CHECK(cond)                                                                                      \
    do {                                                                                                 \
        if (!(cond)) {                                                                                   \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond);           \
            std::abort();                                                                                \
        }                                                                                                \
    } while (0)

namespace {

// The program form of a GBK path: '/' standing as a character of its own
// becomes '\', as ProgramPath writes separators.
std::string WithBackslashes(std::string_view gbk)
{
    std::string out(gbk);
    const char* begin = out.data();
    const char* end = begin + out.size();
    for (const char* p = begin; p < end; p += tavrin::CharLength(p, end))
        if (*p == '/')
            out[static_cast<size_t>(p - begin)] = '\\';
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // The bytes as a program path (GBK).
    std::string native = tavrin::NativePath(bytes);
    if (!native.empty()) {
        CHECK(native.find('\\') == std::string::npos);
        CString back = tavrin::ProgramPath(native);
        CHECK(back.View() == WithBackslashes(bytes));
        CHECK(tavrin::NativePath(back.View()) == native);
    } else {
        CHECK(bytes.empty() || tavrin::NativePath(WithBackslashes(bytes)).empty());
    }

    // The bytes as a name on disk (UTF-8).
    std::string name(bytes);
    CString program = tavrin::ProgramPath(name);
    if (!program.IsEmpty()) {
        std::string again = tavrin::NativePath(program.View());
        std::string expected = name;
        for (char& c : expected)
            if (c == '\\')
                c = '/';
        CHECK(again == expected);
        CHECK(tavrin::IsProgramName(name) == (name.find('\\') == std::string::npos));
    } else {
        CHECK(!tavrin::IsProgramName(name));
    }
    return 0;
}
