#include "platform/win/GlobalMemory.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace tavrin::win {

namespace {

struct Block {
    void* data = nullptr;
    SIZE_T size = 0;
    int locks = 0;
    bool movable = false;
};

struct Blocks {
    std::mutex lock;
    std::unordered_map<HGLOBAL, Block> byHandle;
    uintptr_t nextMovable = 1;
};

Blocks& Table()
{
    static Blocks* blocks = new Blocks;
    return *blocks;
}

} // namespace

bool IsGlobalBlock(HGLOBAL memory)
{
    std::lock_guard<std::mutex> lock(Table().lock);
    return Table().byHandle.count(memory) != 0;
}

} // namespace tavrin::win

using tavrin::win::Table;

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes)
{
    // One byte at least, so every block has an address of its own.
    void* data = (flags & GMEM_ZEROINIT) ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1);
    if (!data) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto& table = Table();
    std::lock_guard<std::mutex> lock(table.lock);
    const bool movable = (flags & GMEM_MOVEABLE) != 0;
    // Movable handles are odd values: never the address of a block.
    HGLOBAL handle = movable ? reinterpret_cast<HGLOBAL>((table.nextMovable += 2) << 4 | 1) : data;
    table.byHandle[handle] = tavrin::win::Block{data, bytes, 0, movable};
    return handle;
}

LPVOID GlobalLock(HGLOBAL memory)
{
    auto& table = Table();
    std::lock_guard<std::mutex> lock(table.lock);
    auto it = table.byHandle.find(memory);
    if (it == table.byHandle.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (it->second.movable)
        ++it->second.locks;
    return it->second.data;
}

BOOL GlobalUnlock(HGLOBAL memory)
{
    auto& table = Table();
    std::lock_guard<std::mutex> lock(table.lock);
    auto it = table.byHandle.find(memory);
    if (it == table.byHandle.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (it->second.locks > 0)
        --it->second.locks;
    SetLastError(0);
    return it->second.locks > 0 ? TRUE : FALSE;
}

SIZE_T GlobalSize(HGLOBAL memory)
{
    auto& table = Table();
    std::lock_guard<std::mutex> lock(table.lock);
    auto it = table.byHandle.find(memory);
    if (it == table.byHandle.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return it->second.size;
}

HGLOBAL GlobalFree(HGLOBAL memory)
{
    auto& table = Table();
    std::lock_guard<std::mutex> lock(table.lock);
    auto it = table.byHandle.find(memory);
    if (it == table.byHandle.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return memory;
    }
    std::free(it->second.data);
    table.byHandle.erase(it);
    return nullptr;
}
