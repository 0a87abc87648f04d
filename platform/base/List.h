// CList and the typed lists: a doubly linked list walked with POSITION values
// (GetHeadPosition, then GetNext until the position is NULL). A position stays
// valid until its own element is removed. Taking the head or tail of an empty
// list, or using a NULL position, stops the program (tavrin::CollectionFault).
#pragma once

#include "platform/base/Collection.h"
#include "platform/base/String.h"

#include <utility>

template <typename TYPE, typename ARG_TYPE = const TYPE&>
class CList {
    struct CNode {
        CNode* pNext;
        CNode* pPrev;
        TYPE data;
    };

public:
    // nBlockSize only tuned the original allocator.
    explicit CList(INT_PTR nBlockSize = 10) { (void)nBlockSize; }
    CList(const CList& other) { AddTail(&other); }
    CList(CList&& other) noexcept { Swap(other); }
    CList& operator=(const CList& other)
    {
        if (this != &other) {
            CList copy(other);
            Swap(copy);
        }
        return *this;
    }
    CList& operator=(CList&& other) noexcept
    {
        if (this != &other) {
            RemoveAll();
            Swap(other);
        }
        return *this;
    }
    ~CList() { RemoveAll(); }

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    TYPE& GetHead() { return NonEmpty(m_pNodeHead)->data; }
    const TYPE& GetHead() const { return NonEmpty(m_pNodeHead)->data; }
    TYPE& GetTail() { return NonEmpty(m_pNodeTail)->data; }
    const TYPE& GetTail() const { return NonEmpty(m_pNodeTail)->data; }

    TYPE RemoveHead()
    {
        CNode* node = NonEmpty(m_pNodeHead);
        TYPE value(std::move(node->data));
        Unlink(node);
        return value;
    }
    TYPE RemoveTail()
    {
        CNode* node = NonEmpty(m_pNodeTail);
        TYPE value(std::move(node->data));
        Unlink(node);
        return value;
    }

    POSITION AddHead(ARG_TYPE newElement) { return Pos(Link(new CNode{nullptr, nullptr, TYPE(newElement)}, nullptr, m_pNodeHead)); }
    POSITION AddTail(ARG_TYPE newElement) { return Pos(Link(new CNode{nullptr, nullptr, TYPE(newElement)}, m_pNodeTail, nullptr)); }
    // Adds copies of another list's elements (this list itself works too).
    void AddHead(const CList* pNewList)
    {
        if (!pNewList)
            tavrin::CollectionFault("CList::AddHead with no list");
        CList copy(*pNewList);
        for (CNode* node = copy.m_pNodeTail; node; node = node->pPrev)
            AddHead(node->data);
    }
    void AddTail(const CList* pNewList)
    {
        if (!pNewList)
            tavrin::CollectionFault("CList::AddTail with no list");
        INT_PTR count = pNewList->m_nCount;
        CNode* node = pNewList->m_pNodeHead;
        for (INT_PTR i = 0; i < count; ++i, node = node->pNext)
            AddTail(node->data);
    }
    void RemoveAll()
    {
        CNode* node = m_pNodeHead;
        while (node) {
            CNode* next = node->pNext;
            delete node;
            node = next;
        }
        m_pNodeHead = m_pNodeTail = nullptr;
        m_nCount = 0;
    }

    POSITION GetHeadPosition() const { return Pos(m_pNodeHead); }
    POSITION GetTailPosition() const { return Pos(m_pNodeTail); }
    TYPE& GetNext(POSITION& rPosition)
    {
        CNode* node = Node(rPosition);
        rPosition = Pos(node->pNext);
        return node->data;
    }
    const TYPE& GetNext(POSITION& rPosition) const
    {
        CNode* node = Node(rPosition);
        rPosition = Pos(node->pNext);
        return node->data;
    }
    TYPE& GetPrev(POSITION& rPosition)
    {
        CNode* node = Node(rPosition);
        rPosition = Pos(node->pPrev);
        return node->data;
    }
    const TYPE& GetPrev(POSITION& rPosition) const
    {
        CNode* node = Node(rPosition);
        rPosition = Pos(node->pPrev);
        return node->data;
    }
    TYPE& GetAt(POSITION position) { return Node(position)->data; }
    const TYPE& GetAt(POSITION position) const { return Node(position)->data; }
    void SetAt(POSITION pos, ARG_TYPE newElement) { Node(pos)->data = newElement; }
    void RemoveAt(POSITION position) { Unlink(Node(position)); }

    // A NULL position inserts at the head (before) or the tail (after).
    POSITION InsertBefore(POSITION position, ARG_TYPE newElement)
    {
        if (!position)
            return AddHead(newElement);
        CNode* old = Node(position);
        return Pos(Link(new CNode{nullptr, nullptr, TYPE(newElement)}, old->pPrev, old));
    }
    POSITION InsertAfter(POSITION position, ARG_TYPE newElement)
    {
        if (!position)
            return AddTail(newElement);
        CNode* old = Node(position);
        return Pos(Link(new CNode{nullptr, nullptr, TYPE(newElement)}, old, old->pNext));
    }

    // The first element equal to searchValue after startAfter (from the head
    // when NULL); NULL when there is none.
    POSITION Find(ARG_TYPE searchValue, POSITION startAfter = nullptr) const
    {
        CNode* node = startAfter ? Node(startAfter)->pNext : m_pNodeHead;
        for (; node; node = node->pNext) {
            if (node->data == searchValue)
                return Pos(node);
        }
        return nullptr;
    }
    // The position of the element at a zero-based index; NULL when outside.
    POSITION FindIndex(INT_PTR nIndex) const
    {
        if (nIndex < 0 || nIndex >= m_nCount)
            return nullptr;
        CNode* node = m_pNodeHead;
        while (nIndex--)
            node = node->pNext;
        return Pos(node);
    }

private:
    static POSITION Pos(CNode* node) { return reinterpret_cast<POSITION>(node); }
    static CNode* Node(POSITION position)
    {
        if (!position || position == BEFORE_START_POSITION)
            tavrin::CollectionFault("CList used with a NULL position");
        return reinterpret_cast<CNode*>(position);
    }
    static CNode* NonEmpty(CNode* node)
    {
        if (!node)
            tavrin::CollectionFault("CList head or tail of an empty list");
        return node;
    }
    CNode* Link(CNode* node, CNode* prev, CNode* next)
    {
        node->pPrev = prev;
        node->pNext = next;
        (prev ? prev->pNext : m_pNodeHead) = node;
        (next ? next->pPrev : m_pNodeTail) = node;
        ++m_nCount;
        return node;
    }
    void Unlink(CNode* node)
    {
        (node->pPrev ? node->pPrev->pNext : m_pNodeHead) = node->pNext;
        (node->pNext ? node->pNext->pPrev : m_pNodeTail) = node->pPrev;
        --m_nCount;
        delete node;
    }
    void Swap(CList& other) noexcept
    {
        std::swap(m_pNodeHead, other.m_pNodeHead);
        std::swap(m_pNodeTail, other.m_pNodeTail);
        std::swap(m_nCount, other.m_nCount);
    }

    CNode* m_pNodeHead = nullptr;
    CNode* m_pNodeTail = nullptr;
    INT_PTR m_nCount = 0;
};

class CPtrList : public CList<void*, void*> {
public:
    using CList::CList;
};
class CObList : public CList<CObject*, CObject*> {
public:
    using CList::CList;
};
class CStringList : public CList<CString, const CString&> {
public:
    using CList::CList;
};
