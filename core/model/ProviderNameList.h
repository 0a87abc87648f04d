// The provider type names: each account is held at one provider as one of
// its user kinds, and the name is stored in the account and its file.
#pragma once

#include "platform/base/Array.h"
#include "platform/base/String.h"

class CProviderNameList {
public:
    // The process-wide list, built on first use.
    static const CProviderNameList& Get();

    int GetCount() const { return static_cast<int>(m_names.GetSize()); }
    // Empty text when the index is out of range.
    CString GetName(int index) const;

private:
    CProviderNameList();

    CStringArray m_names;
};

// The names in their fixed order: the two 5460 kinds, then the two ChinaRen kinds.
int GetProviderCount();
CString GetProviderName(int index);
