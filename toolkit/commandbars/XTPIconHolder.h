// Owns one icon handle: a new one destroys the one held before.
#pragma once

#include "platform/gdi/Gdi.h"

class CXTPIconHolder {
public:
    CXTPIconHolder() = default;
    virtual ~CXTPIconHolder();
    CXTPIconHolder(const CXTPIconHolder&) = delete;
    CXTPIconHolder& operator=(const CXTPIconHolder&) = delete;

    CXTPIconHolder& operator=(HICON hIcon);
    operator HICON() const { return m_hIcon; }

protected:
    HICON m_hIcon = nullptr;
};
