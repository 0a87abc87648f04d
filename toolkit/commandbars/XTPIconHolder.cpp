#include "toolkit/commandbars/XTPIconHolder.h"

CXTPIconHolder::~CXTPIconHolder()
{
    if (m_hIcon)
        ::DestroyIcon(m_hIcon);
}

CXTPIconHolder& CXTPIconHolder::operator=(HICON hIcon)
{
    // Assigning the icon already held keeps it alive.
    if (m_hIcon && m_hIcon != hIcon)
        ::DestroyIcon(m_hIcon);
    m_hIcon = hIcon;
    return *this;
}
