// Storage of one XML tree: node records, attribute records, child and
// attribute arrays and owned names and values, carved from large blocks and
// recycled through free lists. Freeing the tree releases the blocks at once.
//
// The record itself is reference counted by the handles: after Destroy it
// stays as a tombstone telling its handles that their nodes are gone.
#pragma once

#include "core/services/XmlNode.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tavrin {

class XmlArena {
public:
    XmlArena() = default;
    ~XmlArena() { Release(); }
    XmlArena(const XmlArena&) = delete;
    XmlArena& operator=(const XmlArena&) = delete;

    // 8-byte aligned memory of at least size bytes.
    void* Allocate(size_t size);
    void Free(void* p, size_t size);
    // Node records come from lists of their own, so a freed record is only
    // ever reused as a node and keeps its generation count readable.
    XmlNodeStruct* AllocateNode(uint32_t type);
    void FreeNode(XmlNodeStruct* node);
    void Release();

private:
    static constexpr size_t kGranule = 8;
    static constexpr size_t kSmallLimit = 512;
    struct FreeEntry { FreeEntry* next; };
    struct LargeHeader { LargeHeader* prev; LargeHeader* next; };

    void* Bump(size_t size);

    struct Block { char* memory; size_t size; };
    std::vector<Block> m_blocks;
    char* m_cursor = nullptr;
    char* m_limit = nullptr;
    size_t m_nextBlock = 64 * 1024;
    FreeEntry* m_small[kSmallLimit / kGranule + 1] = {};
    XmlNodeStruct* m_freeNodes[3] = {};
    LargeHeader* m_large = nullptr;
};

class XmlTree {
public:
    // A new tree holding one empty document node; the caller owns one reference.
    static XmlTree* Create();
    void AddRef() { m_refs.fetch_add(1, std::memory_order_relaxed); }
    void Release();

    bool IsAlive() const { return m_alive.load(std::memory_order_acquire); }
    // Frees every node; handles on them read as empty from now on.
    void Destroy();

    XmlArena& Arena() { return m_arena; }
    // Changes whenever nodes are added, moved or freed, and no two trees
    // ever share one: a cursor checked at this version is still right.
    uint64_t Version() const { return m_version; }
    void Changed();
    XmlBranchStruct* Document() const { return m_document; }

    // Node operations on records of this tree. New nodes get owned names and
    // values (flags 0); every name and value passed in is copied.
    XmlNodeStruct* NewNode(uint32_t type);
    void SetText(XmlNodeStruct* node, std::string_view text);   // name or leaf value
    void SetFullValue(XmlFullStruct* node, std::string_view value);
    XmlAttributeStruct* AppendAttribute(XmlNodeStruct* node, std::string_view name, const char* value, size_t valueLength);
    void SetAttributeValue(XmlAttributeStruct* attribute, std::string_view value);
    // Puts child at index (clamped to the count) of parent's child array.
    void InsertChild(XmlNodeStruct* parent, uint32_t index, XmlNodeStruct* child);
    // Takes child index out; it becomes its own parent.
    XmlNodeStruct* DetachChild(XmlNodeStruct* parent, uint32_t index);
    // Frees a detached node and its subtree.
    void FreeSubtree(XmlNodeStruct* node);

    // For the parser: appends count children at once in an array of the
    // exact size, and gives a node without attributes its whole set. The
    // parser calls Changed once when it is done.
    void AppendChildren(XmlNodeStruct* parent, XmlNodeStruct* const* items, uint32_t count);
    void SetAttributes(XmlNodeStruct* node, XmlAttributeStruct* const* items, uint32_t count);

private:
    XmlTree() = default;
    ~XmlTree() = default;
    char* CopyText(std::string_view text);
    // Frees a node's child array, or gives back the slot of an only child.
    void FreeChildArray(XmlBranchStruct* node);
    // Moves an only child into an array of its own, freeing the attribute slot.
    void MoveOnlyChild(XmlBranchStruct* node);
    void FreeText(const char* text, uint32_t length, uint8_t inText);

    std::atomic<uint32_t> m_refs{1};
    std::atomic<bool> m_alive{true};
    XmlArena m_arena;
    XmlBranchStruct* m_document = nullptr;
    uint64_t m_version = 0;
};

// Rounds an attribute count up to the capacity of its array.
inline uint32_t XmlAttributeCapacity(uint32_t count)
{
    uint32_t c = 1;
    while (c < count)
        c <<= 1;
    return count ? c : 0;
}

} // namespace tavrin
