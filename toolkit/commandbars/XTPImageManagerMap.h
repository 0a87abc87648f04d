// The image manager's maps: keys to owned objects, walked in the order of a
// hashed map of 17 buckets (bucket (key >> 4) mod 17 ascending, the latest
// insertion first within a bucket). The nearest-size search depends on it.
#pragma once

#include "platform/base/Types.h"

#include <algorithm>
#include <utility>
#include <vector>

template <typename T>
class CXTPImageManagerMap {
public:
    CXTPImageManagerMap() = default;
    ~CXTPImageManagerMap() { RemoveAll(); }
    CXTPImageManagerMap(const CXTPImageManagerMap&) = delete;
    CXTPImageManagerMap& operator=(const CXTPImageManagerMap&) = delete;

    T* Lookup(UINT nKey) const
    {
        for (const auto& entry : m_entries)
            if (entry.first == nKey)
                return entry.second;
        return nullptr;
    }
    // Takes the object; one already under the key is deleted.
    void SetAt(UINT nKey, T* pValue)
    {
        RemoveKey(nKey);
        m_entries.emplace_back(nKey, pValue);
    }
    // Deletes the object under the key.
    void RemoveKey(UINT nKey)
    {
        auto it = std::find_if(m_entries.begin(), m_entries.end(), [nKey](const auto& e) { return e.first == nKey; });
        if (it == m_entries.end())
            return;
        T* pValue = it->second;
        m_entries.erase(it);
        DeleteValue(pValue);
    }
    void RemoveAll()
    {
        std::vector<std::pair<UINT, T*>> entries;
        entries.swap(m_entries);
        for (auto& entry : entries)
            DeleteValue(entry.second);
    }
    int GetCount() const { return static_cast<int>(m_entries.size()); }
    BOOL IsEmpty() const { return m_entries.empty(); }

    // The entries in the map's walking order.
    std::vector<std::pair<UINT, T*>> Entries() const
    {
        std::vector<std::pair<UINT, T*>> result;
        result.reserve(m_entries.size());
        for (UINT nBucket = 0; nBucket < 17; ++nBucket)
            for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it)
                if ((it->first >> 4) % 17 == nBucket)
                    result.push_back(*it);
        return result;
    }

private:
    static void DeleteValue(T* pValue) { pValue->InternalRelease(); }

    std::vector<std::pair<UINT, T*>> m_entries;
};
