// Dialog templates in memory: reading both layouts (DLGTEMPLATE and the
// extended one, which begins 1, 0xFFFF) into one description, and writing the
// extended layout (tests, resources). Texts inside are UTF-16; here they are GBK.
#pragma once

#include "platform/win/Dialog.h"

#include <string>
#include <vector>

namespace tavrin::win {

// A class, menu or text given either by name or by number.
struct NameOrId {
    std::string name;
    WORD id = 0; // used when name is empty and hasId
    bool hasId = false;
};

struct DialogItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    DWORD helpId = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    NameOrId windowClass;
    NameOrId text;
    std::vector<BYTE> data; // creation data, handed to the control
};

struct DialogDescription {
    DWORD style = 0;
    DWORD exStyle = 0;
    DWORD helpId = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    NameOrId menu;
    NameOrId windowClass;
    std::string title;
    bool hasFont = false;
    WORD pointSize = 0;
    WORD weight = 0;
    bool italic = false;
    BYTE charset = 1; // DEFAULT_CHARSET
    std::string face;
    std::vector<DialogItem> items;
};

// False on a malformed template. size bounds the read when known (0: trust it).
bool ReadDialogTemplate(const void* tmpl, size_t size, DialogDescription* out);
// The extended layout, DWORD-aligned as resources keep it.
std::vector<BYTE> WriteDialogTemplate(const DialogDescription& dialog);

} // namespace tavrin::win
