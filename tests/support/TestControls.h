// Stand-ins for the standard controls in dialog tests: windows that answer
// WM_GETDLGCODE as buttons, radio buttons, edits and labels do, click like
// buttons (BM_CLICK sends BN_CLICKED) and record what the dialog manager
// asks of them.
#pragma once

#include "platform/win/DialogTemplate.h"
#include "platform/win/User.h"

#include <string>
#include <vector>

namespace tavrin::test {

// Class names: "TestButton" (BS_DEFPUSHBUTTON style makes it the default),
// "TestCheck", "TestRadio", "TestEdit" (style 4, multi-line, wants every
// key), "TestLabel".
void RegisterTestControls();

struct ControlEvent {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
// What the controls heard (focus, selection, style, click, check), oldest first.
std::vector<ControlEvent>& ControlEvents();

// A dialog template of the extended layout, built item by item.
class TemplateBuilder {
public:
    TemplateBuilder(const char* title, DWORD style, short x, short y, short cx, short cy, const char* face = nullptr,
                    WORD points = 0);
    TemplateBuilder& Add(const char* className, const char* text, DWORD id, DWORD style, short x, short y, short cx,
                         short cy, DWORD exStyle = 0);
    TemplateBuilder& AddById(WORD classId, const char* text, DWORD id, DWORD style, short x, short y, short cx,
                             short cy);
    LPCDLGTEMPLATE Get();

private:
    win::DialogDescription m_dialog;
    std::vector<BYTE> m_bytes;
};

} // namespace tavrin::test
