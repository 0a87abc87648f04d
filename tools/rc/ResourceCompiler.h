// The resource compiler: scripts in, resources in their documented binary
// layouts out (dialog and menu templates, string blocks, accelerator entries,
// toolbar words, bitmaps without their file header, icon and cursor images
// with their group directories). Texts are UTF-8 in the script; every text
// must have a GBK form, and templates carry it as 16-bit units as the
// documented layouts do. Errors stop the compile with file and line.
#pragma once

#include "tools/rc/ScriptReader.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tavrin::rc {

// A type or a name: a number, or a string (kept upper-case, as scripts' names are).
struct ResName {
    uint16_t id = 0;
    std::string name;
    bool operator<(const ResName& o) const { return name != o.name ? name < o.name : id < o.id; }
    bool operator==(const ResName& o) const { return id == o.id && name == o.name; }
    std::string Text() const { return name.empty() ? std::to_string(id) : name; }
};

struct Resource {
    ResName type;
    ResName name;
    std::vector<uint8_t> data;
    Where where;
};

constexpr uint16_t kRtCursor = 1, kRtBitmap = 2, kRtIcon = 3, kRtMenu = 4, kRtDialog = 5, kRtString = 6,
                   kRtAccelerator = 9, kRtGroupCursor = 12, kRtGroupIcon = 14, kRtToolbar = 241;

class ResourceCompiler {
public:
    explicit ResourceCompiler(std::vector<std::filesystem::path> includeDirs = {});

    // Compiles one script into the module; scripts compiled one after another
    // make one module, so an id of one type used twice fails whichever script
    // repeats it. Throws CompileError.
    void Compile(const std::filesystem::path& script);
    // The module's resources, string blocks included, in a stable order.
    std::vector<Resource> Finish() const;

private:
    class Parser;
    void Add(Resource resource);

    std::vector<std::filesystem::path> m_includeDirs;
    std::vector<Resource> m_resources;
    std::map<std::pair<ResName, ResName>, Where> m_seen;
    struct StringEntry {
        std::u16string text;
        Where where;
    };
    std::map<uint16_t, StringEntry> m_strings;
    uint16_t m_nextIcon = 1;
    uint16_t m_nextCursor = 1;
};

// Writes the resources as a C++ source. With a function name, the source
// defines `const tavrin::win::ResourceTable& <function>()`; without one it
// adds the resources to the program's module when the program starts.
std::string WriteTableSource(const std::vector<Resource>& resources, const std::string& function);

} // namespace tavrin::rc
