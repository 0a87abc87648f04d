// CMap and the typed maps: a chained hash table (17 buckets unless
// InitHashTable says otherwise) with the framework's iteration order, which
// some callers depend on: buckets in ascending order of HashKey(key) modulo
// the table size, and within a bucket the most recently inserted key first.
// A walk may remove the key it has just been given.
#pragma once

#include "platform/base/Collection.h"
#include "platform/base/String.h"

#include <utility>
#include <vector>

template <typename KEY, typename ARG_KEY, typename VALUE, typename ARG_VALUE>
class CMap {
    struct CAssoc {
        CAssoc* pNext;
        UINT nHashValue;
        KEY key;
        VALUE value;
    };

public:
    static constexpr UINT kDefaultHashTableSize = 17;

    // nBlockSize only tuned the original allocator.
    explicit CMap(INT_PTR nBlockSize = 10) { (void)nBlockSize; }
    CMap(const CMap& other) { CopyFrom(other); }
    CMap(CMap&& other) noexcept { Swap(other); }
    CMap& operator=(const CMap& other)
    {
        if (this != &other) {
            CMap copy(other);
            Swap(copy);
        }
        return *this;
    }
    CMap& operator=(CMap&& other) noexcept
    {
        if (this != &other) {
            RemoveAll();
            Swap(other);
        }
        return *this;
    }
    ~CMap() { RemoveAll(); }

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }
    UINT GetHashTableSize() const { return m_nHashTableSize; }

    BOOL Lookup(ARG_KEY key, VALUE& rValue) const
    {
        const CAssoc* assoc = Find(key, HashKey<ARG_KEY>(key));
        if (!assoc)
            return FALSE;
        rValue = assoc->value;
        return TRUE;
    }
    // The value of key, added value-initialised (zero for numbers and
    // pointers) when the key is new.
    VALUE& operator[](ARG_KEY key)
    {
        UINT hash = HashKey<ARG_KEY>(key);
        if (CAssoc* assoc = Find(key, hash))
            return assoc->value;
        if (m_table.empty())
            m_table.assign(m_nHashTableSize, nullptr);
        CAssoc*& bucket = m_table[hash % m_nHashTableSize];
        bucket = new CAssoc{bucket, hash, KEY(key), VALUE()};
        ++m_nCount;
        return bucket->value;
    }
    void SetAt(ARG_KEY key, ARG_VALUE newValue) { (*this)[key] = newValue; }
    BOOL RemoveKey(ARG_KEY key)
    {
        if (m_table.empty())
            return FALSE;
        UINT hash = HashKey<ARG_KEY>(key);
        for (CAssoc** link = &m_table[hash % m_nHashTableSize]; *link; link = &(*link)->pNext) {
            CAssoc* assoc = *link;
            if (assoc->nHashValue == hash && assoc->key == key) {
                *link = assoc->pNext;
                delete assoc;
                --m_nCount;
                return TRUE;
            }
        }
        return FALSE;
    }
    void RemoveAll()
    {
        for (CAssoc*& bucket : m_table) {
            while (CAssoc* assoc = bucket) {
                bucket = assoc->pNext;
                delete assoc;
            }
        }
        m_table.clear();
        m_nCount = 0;
    }

    // Sets the number of buckets (a prime such as 17 or 257 spreads keys
    // best). The framework allowed this only on an empty map; here the keys of
    // a filled map are moved over.
    void InitHashTable(UINT hashSize, BOOL bAllocNow = TRUE)
    {
        if (hashSize == 0)
            hashSize = 1;
        std::vector<CAssoc*> old;
        old.swap(m_table);
        m_nHashTableSize = hashSize;
        if (bAllocNow || !old.empty())
            m_table.assign(m_nHashTableSize, nullptr);
        std::vector<CAssoc**> tails(m_table.size());
        for (size_t i = 0; i < tails.size(); ++i)
            tails[i] = &m_table[i];
        for (CAssoc* bucket : old) {
            while (CAssoc* assoc = bucket) {
                bucket = assoc->pNext;
                CAssoc**& tail = tails[assoc->nHashValue % m_nHashTableSize];
                assoc->pNext = nullptr;
                *tail = assoc;
                tail = &assoc->pNext;
            }
        }
    }

    POSITION GetStartPosition() const { return m_nCount == 0 ? nullptr : BEFORE_START_POSITION; }
    void GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const
    {
        CAssoc* assoc;
        if (rNextPosition == BEFORE_START_POSITION) {
            assoc = FirstFrom(0);
        } else {
            assoc = reinterpret_cast<CAssoc*>(rNextPosition);
        }
        if (!assoc)
            tavrin::CollectionFault("CMap::GetNextAssoc past the end");
        CAssoc* next = assoc->pNext ? assoc->pNext : FirstFrom(assoc->nHashValue % m_nHashTableSize + 1);
        rNextPosition = reinterpret_cast<POSITION>(next);
        rKey = assoc->key;
        rValue = assoc->value;
    }

private:
    CAssoc* Find(ARG_KEY key, UINT hash) const
    {
        if (m_table.empty())
            return nullptr;
        for (CAssoc* assoc = m_table[hash % m_nHashTableSize]; assoc; assoc = assoc->pNext) {
            if (assoc->nHashValue == hash && assoc->key == key)
                return assoc;
        }
        return nullptr;
    }
    CAssoc* FirstFrom(size_t bucket) const
    {
        for (; bucket < m_table.size(); ++bucket) {
            if (m_table[bucket])
                return m_table[bucket];
        }
        return nullptr;
    }
    void CopyFrom(const CMap& other)
    {
        m_nHashTableSize = other.m_nHashTableSize;
        if (other.m_table.empty())
            return;
        m_table.assign(m_nHashTableSize, nullptr);
        for (size_t i = 0; i < m_table.size(); ++i) {
            CAssoc** tail = &m_table[i];
            for (const CAssoc* assoc = other.m_table[i]; assoc; assoc = assoc->pNext) {
                *tail = new CAssoc{nullptr, assoc->nHashValue, assoc->key, assoc->value};
                tail = &(*tail)->pNext;
                ++m_nCount;
            }
        }
    }
    void Swap(CMap& other) noexcept
    {
        m_table.swap(other.m_table);
        std::swap(m_nHashTableSize, other.m_nHashTableSize);
        std::swap(m_nCount, other.m_nCount);
    }

    std::vector<CAssoc*> m_table; // empty until the first key arrives
    UINT m_nHashTableSize = kDefaultHashTableSize;
    INT_PTR m_nCount = 0;
};

// The typed maps of the framework. Classes rather than aliases, so that
// headers can declare them ahead.
class CMapStringToPtr : public CMap<CString, const char*, void*, void*> {
public:
    using CMap::CMap;
};
class CMapStringToOb : public CMap<CString, const char*, CObject*, CObject*> {
public:
    using CMap::CMap;
};
class CMapStringToString : public CMap<CString, const char*, CString, const char*> {
public:
    using CMap::CMap;
};
class CMapPtrToPtr : public CMap<void*, void*, void*, void*> {
public:
    using CMap::CMap;
};
class CMapPtrToWord : public CMap<void*, void*, WORD, WORD> {
public:
    using CMap::CMap;
};
class CMapWordToPtr : public CMap<WORD, WORD, void*, void*> {
public:
    using CMap::CMap;
};
class CMapWordToOb : public CMap<WORD, WORD, CObject*, CObject*> {
public:
    using CMap::CMap;
};
