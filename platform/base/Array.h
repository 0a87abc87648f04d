// CArray and the typed arrays: a growable array indexed by INT_PTR. New
// elements are value-initialised (zero for numbers and pointers). An index
// outside the array stops the program (tavrin::CollectionFault) instead of
// reading or writing past it.
#pragma once

#include "platform/base/ArrayAllocator.h"
#include "platform/base/Collection.h"
#include "platform/base/String.h"

#include <utility>
#include <vector>

template <typename TYPE, typename ARG_TYPE = const TYPE&>
class CArray {
    static_assert(!std::is_same_v<TYPE, bool>, "use BOOL elements");

public:
    CArray() = default;

    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_data.size()); }
    INT_PTR GetCount() const { return GetSize(); }
    BOOL IsEmpty() const { return m_data.empty(); }
    INT_PTR GetUpperBound() const { return GetSize() - 1; }

    // nGrowBy only tuned the original allocator; growth here is amortised.
    void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1)
    {
        (void)nGrowBy;
        if (nNewSize < 0)
            tavrin::CollectionFault("CArray::SetSize with a negative size");
        m_data.resize(static_cast<size_t>(nNewSize), TYPE());
    }
    // As SetSize, but new elements of plain types keep whatever the memory
    // held: for buffers that are filled right after, such as a download.
    void SetSizeNoInit(INT_PTR nNewSize)
    {
        if (nNewSize < 0)
            tavrin::CollectionFault("CArray::SetSizeNoInit with a negative size");
        m_data.resize(static_cast<size_t>(nNewSize));
    }
    void FreeExtra() { m_data.shrink_to_fit(); }
    void RemoveAll() { m_data.clear(); }

    const TYPE& GetAt(INT_PTR nIndex) const { return m_data[Checked(nIndex)]; }
    TYPE& GetAt(INT_PTR nIndex) { return m_data[Checked(nIndex)]; }
    void SetAt(INT_PTR nIndex, ARG_TYPE newElement) { m_data[Checked(nIndex)] = newElement; }
    TYPE& ElementAt(INT_PTR nIndex) { return m_data[Checked(nIndex)]; }
    const TYPE& ElementAt(INT_PTR nIndex) const { return m_data[Checked(nIndex)]; }
    const TYPE& operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
    TYPE& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }
    const TYPE* GetData() const { return m_data.empty() ? nullptr : m_data.data(); }
    TYPE* GetData() { return m_data.empty() ? nullptr : m_data.data(); }

    // Sets the element, growing the array to reach the index first.
    void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement)
    {
        if (nIndex < 0)
            tavrin::CollectionFault("CArray::SetAtGrow with a negative index");
        TYPE value(newElement); // the argument may live inside this array
        if (static_cast<size_t>(nIndex) >= m_data.size())
            m_data.resize(static_cast<size_t>(nIndex) + 1, TYPE());
        m_data[static_cast<size_t>(nIndex)] = std::move(value);
    }
    INT_PTR Add(ARG_TYPE newElement)
    {
        TYPE value(newElement);
        m_data.push_back(std::move(value));
        return GetUpperBound();
    }
    // Appends a copy of src and returns the index of its first element.
    INT_PTR Append(const CArray& src)
    {
        INT_PTR oldSize = GetSize();
        if (&src == this) {
            Storage copy(src.m_data);
            m_data.insert(m_data.end(), copy.begin(), copy.end());
        } else {
            m_data.insert(m_data.end(), src.m_data.begin(), src.m_data.end());
        }
        return oldSize;
    }
    void Copy(const CArray& src)
    {
        if (&src != this)
            m_data = src.m_data;
    }

    // Inserts nCount copies at nIndex; an index past the end grows the array
    // (the gap is value-initialised).
    void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1)
    {
        if (nIndex < 0 || nCount < 0)
            tavrin::CollectionFault("CArray::InsertAt with a negative index or count");
        TYPE value(newElement);
        if (static_cast<size_t>(nIndex) > m_data.size())
            m_data.resize(static_cast<size_t>(nIndex), TYPE());
        m_data.insert(m_data.begin() + nIndex, static_cast<size_t>(nCount), value);
    }
    void InsertAt(INT_PTR nStartIndex, const CArray* pNewArray)
    {
        if (!pNewArray || nStartIndex < 0)
            tavrin::CollectionFault("CArray::InsertAt with no array or a negative index");
        Storage copy(pNewArray->m_data);
        if (static_cast<size_t>(nStartIndex) > m_data.size())
            m_data.resize(static_cast<size_t>(nStartIndex), TYPE());
        m_data.insert(m_data.begin() + nStartIndex, copy.begin(), copy.end());
    }
    void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1)
    {
        if (nIndex < 0 || nCount < 0 || nIndex > GetSize() || nCount > GetSize() - nIndex)
            tavrin::CollectionFault("CArray::RemoveAt outside the array");
        m_data.erase(m_data.begin() + nIndex, m_data.begin() + nIndex + nCount);
    }

private:
    size_t Checked(INT_PTR nIndex) const
    {
        if (nIndex < 0 || nIndex >= GetSize())
            tavrin::CollectionFault("CArray index out of range");
        return static_cast<size_t>(nIndex);
    }

    using Storage = std::vector<TYPE, tavrin::ArrayAllocator<TYPE>>;
    Storage m_data;
};

// The typed arrays of the framework. Classes rather than aliases, so that
// headers can declare them ahead.
class CByteArray : public CArray<BYTE, BYTE> {};
class CWordArray : public CArray<WORD, WORD> {};
class CDWordArray : public CArray<DWORD, DWORD> {};
class CUIntArray : public CArray<UINT, UINT> {};
class CPtrArray : public CArray<void*, void*> {};
class CObArray : public CArray<CObject*, CObject*> {};
class CStringArray : public CArray<CString, const CString&> {};
