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

// The block of a handle, or null (ERROR_INVALID_HANDLE). Caller holds the lock.
Block* Find(Blocks& table, HGLOBAL memory)
{
    auto it = table.byHandle.find(memory);
    if (it != table.byHandle.end())
        return &it->second;
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

} // namespace

bool IsGlobalBlock(HGLOBAL memory)
{
    std::lock_guard<std::mutex> lock(Table().lock);
    return Table().byHandle.count(memory) != 0;
}

} // namespace tavrin::win

using tavrin::win::Table;
using tavrin::win::Find;

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
    auto* block = Find(table, memory);
    if (!block)
        return nullptr;
    if (block->movable)
        ++block->locks;
    return block->data;
}

BOOL GlobalUnlock(HGLOBAL memory)
{
    auto& table = Table();
    std::lock_guard<std::mutex> lock(table.lock);
    auto* block = Find(table, memory);
    if (!block)
        return FALSE;
    if (block->locks > 0)
        --block->locks;
    SetLastError(0);
    return block->locks > 0 ? TRUE : FALSE;
}

SIZE_T GlobalSize(HGLOBAL memory)
{
    auto& table = Table();
    std::lock_guard<std::mutex> lock(table.lock);
    auto* block = Find(table, memory);
    return block ? block->size : 0;
}

HGLOBAL GlobalFree(HGLOBAL memory)
{
    auto& table = Table();
    std::lock_guard<std::mutex> lock(table.lock);
    auto* block = Find(table, memory);
    if (!block)
        return memory;
    std::free(block->data);
    table.byHandle.erase(memory);
    return nullptr;
}
