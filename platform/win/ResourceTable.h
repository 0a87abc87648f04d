// Compiled resources as the resource compiler writes them: one table per
// module, each entry a type and a name (numbers, or upper-case strings) and
// the bytes in their documented layout. The program's module is made of the
// tables added at start-up; tests may make modules of their own.
#pragma once

#include "platform/base/Types.h"

namespace tavrin::win {

struct ResourceEntry {
    WORD typeId;
    const char* typeName; // null for a numbered type
    WORD nameId;
    const char* name; // null for a numbered resource
    const BYTE* data;
    DWORD size;
};

struct ResourceTable {
    const ResourceEntry* entries;
    size_t count;
};

// Adds a table to the program's module (GetModuleHandle(NULL)). A resource
// already there keeps its first definition; the clash is logged and the
// result is false.
bool AddProgramResources(const ResourceTable& table);
// A module of its own for a table (tests' fixtures); null on a clash inside it.
HMODULE CreateResourceModule(const ResourceTable& table);
void DestroyResourceModule(HMODULE module);

} // namespace tavrin::win
