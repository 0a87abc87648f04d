// Item texts of list and combo boxes into a CString, and the owner-draw messages a parent reflects to its control object, turned
// into the control's virtual calls (DrawItem, MeasureItem, CompareItem,
// DeleteItem). Returns FALSE for any other message.
#pragma once

#include "platform/base/String.h"
#include "platform/win/Notify.h"
#include "platform/win/WinMessage.h"

namespace tavrin::mfc {

template <class Control>
BOOL ReflectDrawItem(Control* control, UINT message, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_DRAWITEM)
        return FALSE;
    control->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    if (pResult)
        *pResult = TRUE;
    return TRUE;
}

template <class Control>
BOOL ReflectOwnerDraw(Control* control, UINT message, LPARAM lParam, LRESULT* pResult)
{
    switch (message) {
    case WM_DRAWITEM:
        return ReflectDrawItem(control, message, lParam, pResult);
    case WM_MEASUREITEM:
        control->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
        break;
    case WM_DELETEITEM:
        control->DeleteItem(reinterpret_cast<LPDELETEITEMSTRUCT>(lParam));
        break;
    case WM_COMPAREITEM: {
        const int order = control->CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam));
        if (pResult)
            *pResult = order;
        return TRUE;
    }
    default:
        return FALSE;
    }
    if (pResult)
        *pResult = TRUE;
    return TRUE;
}

// The text of a list item by its length and text messages; empty for a bad index.
inline void ItemText(HWND hwnd, UINT lengthMessage, UINT textMessage, int index, CString& text)
{
    const int length = static_cast<int>(::SendMessageA(hwnd, lengthMessage, static_cast<WPARAM>(index), 0));
    if (length < 0) {
        text.Empty();
        return;
    }
    ::SendMessageA(hwnd, textMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.GetBuffer(length)));
    text.ReleaseBuffer(length);
}

} // namespace tavrin::mfc
