#include "core/services/XmlTree.h"

#include "platform/base/ArrayAllocator.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace tavrin {

namespace {
constexpr size_t kMaxBlock = 4 * 1024 * 1024;
std::atomic<uint64_t> g_treeVersions{0};

size_t NodeSize(uint32_t type)
{
    if (IsXmlLeaf(type))
        return sizeof(XmlNodeStruct);
    if (IsXmlFull(type))
        return sizeof(XmlFullStruct);
    return sizeof(XmlBranchStruct);
}

int NodeClass(uint32_t type)
{
    return IsXmlLeaf(type) ? 0 : IsXmlFull(type) ? 2 : 1;
}

void* CheckedMalloc(size_t size)
{
    void* p = std::malloc(size);
    if (!p)
        throw std::bad_alloc();
    return p;
}
} // namespace

// ---- XmlArena

void* XmlArena::Bump(size_t size)
{
    if (static_cast<size_t>(m_limit - m_cursor) < size) {
        size_t blockSize = std::max(m_nextBlock, size);
        // The array allocator maps the large blocks of a big file on huge
        // pages: far fewer page faults while it loads.
        char* block = ArrayAllocator<char>().allocate(blockSize);
        m_blocks.push_back({block, blockSize});
        m_cursor = block;
        m_limit = block + blockSize;
        m_nextBlock = std::min(m_nextBlock * 2, kMaxBlock);
    }
    void* p = m_cursor;
    m_cursor += size;
    return p;
}

void* XmlArena::Allocate(size_t size)
{
    size = (std::max<size_t>(size, 1) + kGranule - 1) & ~(kGranule - 1);
    if (size <= kSmallLimit) {
        FreeEntry*& head = m_small[size / kGranule];
        if (head) {
            FreeEntry* e = head;
            head = e->next;
            return e;
        }
        return Bump(size);
    }
    auto* h = static_cast<LargeHeader*>(CheckedMalloc(sizeof(LargeHeader) + size));
    h->prev = nullptr;
    h->next = m_large;
    if (m_large)
        m_large->prev = h;
    m_large = h;
    return h + 1;
}

void XmlArena::Free(void* p, size_t size)
{
    if (!p)
        return;
    size = (std::max<size_t>(size, 1) + kGranule - 1) & ~(kGranule - 1);
    if (size <= kSmallLimit) {
        auto* e = static_cast<FreeEntry*>(p);
        e->next = m_small[size / kGranule];
        m_small[size / kGranule] = e;
        return;
    }
    LargeHeader* h = static_cast<LargeHeader*>(p) - 1;
    if (h->prev)
        h->prev->next = h->next;
    else
        m_large = h->next;
    if (h->next)
        h->next->prev = h->prev;
    std::free(h);
}

XmlNodeStruct* XmlArena::AllocateNode(uint32_t type)
{
    XmlNodeStruct*& head = m_freeNodes[NodeClass(type)];
    XmlNodeStruct* node;
    uint32_t generation = 0;
    if (head) {
        node = head;
        head = node->parent;
        generation = node->generation;
    } else {
        node = static_cast<XmlNodeStruct*>(Bump(NodeSize(type)));
    }
    std::memset(static_cast<void*>(node), 0, NodeSize(type));
    node->generation = generation;
    node->type = static_cast<uint8_t>(type);
    node->textInText = 1;
    node->valueInText = 1;
    node->parent = node;
    return node;
}

void XmlArena::FreeNode(XmlNodeStruct* node)
{
    XmlNodeStruct*& head = m_freeNodes[NodeClass(node->type)];
    node->generation++;
    node->type = XmlNone;
    node->parent = head;
    head = node;
}

void XmlArena::Release()
{
    for (const Block& b : m_blocks)
        ArrayAllocator<char>().deallocate(b.memory, b.size);
    m_blocks.clear();
    while (m_large) {
        LargeHeader* next = m_large->next;
        std::free(m_large);
        m_large = next;
    }
    m_cursor = m_limit = nullptr;
    m_nextBlock = 64 * 1024;
    std::fill(std::begin(m_small), std::end(m_small), nullptr);
    std::fill(std::begin(m_freeNodes), std::end(m_freeNodes), nullptr);
}

// ---- XmlTree

void XmlTree::Changed()
{
    m_version = g_treeVersions.fetch_add(1, std::memory_order_relaxed) + 1;
}

XmlTree* XmlTree::Create()
{
    auto* tree = new XmlTree();
    tree->Changed();
    tree->m_document = static_cast<XmlBranchStruct*>(tree->m_arena.AllocateNode(XmlDocument));
    return tree;
}

void XmlTree::Release()
{
    if (m_refs.fetch_sub(1, std::memory_order_acq_rel) == 1)
        delete this;
}

void XmlTree::Destroy()
{
    m_alive.store(false, std::memory_order_release);
    Changed();
    m_arena.Release();
    m_document = nullptr;
}

XmlNodeStruct* XmlTree::NewNode(uint32_t type)
{
    return m_arena.AllocateNode(type);
}

char* XmlTree::CopyText(std::string_view text)
{
    char* p = static_cast<char*>(m_arena.Allocate(text.size()));
    if (!text.empty())
        std::memcpy(p, text.data(), text.size());
    return p;
}

void XmlTree::FreeText(const char* text, uint32_t length, uint8_t inText)
{
    if (text && !inText)
        m_arena.Free(const_cast<char*>(text), length);
}

void XmlTree::SetText(XmlNodeStruct* node, std::string_view text)
{
    FreeText(node->text, node->textLength, node->textInText);
    node->text = CopyText(text);
    node->textLength = static_cast<uint32_t>(text.size());
    node->textInText = 0;
}

void XmlTree::SetFullValue(XmlFullStruct* node, std::string_view value)
{
    FreeText(node->value, node->valueLength, node->valueInText);
    node->value = CopyText(value);
    node->valueLength = static_cast<uint32_t>(value.size());
    node->valueInText = 0;
}

namespace {
bool HoldsOnlyChild(const XmlBranchStruct* b)
{
    return b->children == &b->onlyChild;
}
} // namespace

void XmlTree::FreeChildArray(XmlBranchStruct* b)
{
    if (HoldsOnlyChild(b))
        b->attributes = nullptr;
    else
        m_arena.Free(b->children, b->childCapacity * sizeof(void*));
}

void XmlTree::MoveOnlyChild(XmlBranchStruct* b)
{
    if (!HoldsOnlyChild(b))
        return;
    auto** array = static_cast<XmlNodeStruct**>(m_arena.Allocate(sizeof(void*)));
    array[0] = b->onlyChild;
    b->attributes = nullptr;
    b->children = array;
}

XmlAttributeStruct* XmlTree::AppendAttribute(XmlNodeStruct* node, std::string_view name, const char* value, size_t valueLength)
{
    auto* b = static_cast<XmlBranchStruct*>(node);
    MoveOnlyChild(b);
    uint32_t count = b->attributeCount;
    if ((count & (count - 1)) == 0) {  // full: the capacity is the count rounded up
        uint32_t capacity = count ? count * 2 : 1;
        auto** grown = static_cast<XmlAttributeStruct**>(m_arena.Allocate(capacity * sizeof(void*)));
        if (count)
            std::memcpy(grown, b->attributes, count * sizeof(void*));
        m_arena.Free(b->attributes, XmlAttributeCapacity(count) * sizeof(void*));
        b->attributes = grown;
    }
    auto* a = static_cast<XmlAttributeStruct*>(m_arena.Allocate(sizeof(XmlAttributeStruct)));
    a->name = CopyText(name);
    a->nameLength = static_cast<uint32_t>(name.size());
    a->nameInText = 0;
    a->value = value ? CopyText(std::string_view(value, valueLength)) : nullptr;
    a->valueLength = value ? static_cast<uint32_t>(valueLength) : 0;
    a->valueInText = value ? 0 : 1;
    b->attributes[count] = a;
    b->attributeCount = count + 1;
    return a;
}

void XmlTree::SetAttributeValue(XmlAttributeStruct* a, std::string_view value)
{
    FreeText(a->value, a->valueLength, a->valueInText);
    a->value = CopyText(value);
    a->valueLength = static_cast<uint32_t>(value.size());
    a->valueInText = 0;
}

void XmlTree::InsertChild(XmlNodeStruct* parent, uint32_t index, XmlNodeStruct* child)
{
    auto* b = static_cast<XmlBranchStruct*>(parent);
    uint32_t count = b->childCount;
    if (count == b->childCapacity) {
        uint32_t capacity = count < 4 ? count + 1 : count * 2;
        auto** grown = static_cast<XmlNodeStruct**>(m_arena.Allocate(capacity * sizeof(void*)));
        if (count)
            std::memcpy(grown, b->children, count * sizeof(void*));
        FreeChildArray(b);
        b->children = grown;
        b->childCapacity = capacity;
    }
    index = std::min(index, count);
    std::memmove(b->children + index + 1, b->children + index, (count - index) * sizeof(void*));
    b->children[index] = child;
    b->childCount = count + 1;
    child->parent = parent;
    Changed();
}

XmlNodeStruct* XmlTree::DetachChild(XmlNodeStruct* parent, uint32_t index)
{
    auto* b = static_cast<XmlBranchStruct*>(parent);
    if (index >= b->childCount)
        return nullptr;
    XmlNodeStruct* child = b->children[index];
    std::memmove(b->children + index, b->children + index + 1, (b->childCount - index - 1) * sizeof(void*));
    b->childCount--;
    child->parent = child;
    Changed();
    return child;
}

void XmlTree::FreeSubtree(XmlNodeStruct* root)
{
    Changed();
    std::vector<XmlNodeStruct*> stack{root};
    while (!stack.empty()) {
        XmlNodeStruct* node = stack.back();
        stack.pop_back();
        if (!IsXmlLeaf(node->type)) {
            auto* b = static_cast<XmlBranchStruct*>(node);
            for (uint32_t i = 0; i < b->childCount; ++i)
                stack.push_back(b->children[i]);
            FreeChildArray(b);
            for (uint32_t i = 0; i < b->attributeCount; ++i) {
                XmlAttributeStruct* a = b->attributes[i];
                FreeText(a->name, a->nameLength, a->nameInText);
                FreeText(a->value, a->valueLength, a->valueInText);
                m_arena.Free(a, sizeof(XmlAttributeStruct));
            }
            m_arena.Free(b->attributes, XmlAttributeCapacity(b->attributeCount) * sizeof(void*));
            if (IsXmlFull(node->type)) {
                auto* f = static_cast<XmlFullStruct*>(node);
                FreeText(f->value, f->valueLength, f->valueInText);
            }
        }
        FreeText(node->text, node->textLength, node->textInText);
        m_arena.FreeNode(node);
    }
}

void XmlTree::AppendChildren(XmlNodeStruct* parent, XmlNodeStruct* const* items, uint32_t count)
{
    if (!count)
        return;
    auto* b = static_cast<XmlBranchStruct*>(parent);
    if (count == 1 && b->childCapacity == 0 && b->attributeCount == 0 && !b->attributes) {
        b->onlyChild = items[0];
        b->children = &b->onlyChild;
        b->childCount = 1;
        b->childCapacity = 1;
        return;
    }
    uint32_t total = b->childCount + count;
    auto** array = static_cast<XmlNodeStruct**>(m_arena.Allocate(total * sizeof(void*)));
    if (b->childCount)
        std::memcpy(array, b->children, b->childCount * sizeof(void*));
    std::memcpy(array + b->childCount, items, count * sizeof(void*));
    FreeChildArray(b);
    b->children = array;
    b->childCount = total;
    b->childCapacity = total;
}

void XmlTree::SetAttributes(XmlNodeStruct* node, XmlAttributeStruct* const* items, uint32_t count)
{
    if (!count)
        return;
    auto* b = static_cast<XmlBranchStruct*>(node);
    MoveOnlyChild(b);
    auto** array = static_cast<XmlAttributeStruct**>(m_arena.Allocate(XmlAttributeCapacity(count) * sizeof(void*)));
    std::memcpy(array, items, count * sizeof(void*));
    b->attributes = array;
    b->attributeCount = count;
}

} // namespace tavrin
