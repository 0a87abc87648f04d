// Buttons the factory and the menu builder make for the framework's own
// command ids: the window list, the workspace actions, the toolbars list,
// the recent files and the OLE verbs. Each expands into items of its own.
#pragma once

#include "toolkit/commandbars/XTPControlButton.h"

class CXTPControlWindowList : public CXTPControlButton {
    DECLARE_DYNCREATE(CXTPControlWindowList)
};

class CXTPControlWorkspaceActions : public CXTPControlButton {
    DECLARE_DYNCREATE(CXTPControlWorkspaceActions)
};

class CXTPControlToolbars : public CXTPControlButton {
    DECLARE_DYNCREATE(CXTPControlToolbars)
};

class CXTPControlRecentFileList : public CXTPControlButton {
    DECLARE_DYNCREATE(CXTPControlRecentFileList)
};

class CXTPControlOleItems : public CXTPControlButton {
    DECLARE_DYNCREATE(CXTPControlOleItems)
};

// The command ids these stand for.
#define XTP_ID_WINDOWLIST 35000
#define XTP_ID_CUSTOMIZE 35001
#define XTP_ID_WORKSPACE_ACTIONS 35002
#define XTP_ID_FILE_MRU 35003
#define XTP_ID_TOOLBARLIST 59392
#define XTP_ID_MENU_MRU_FILE1 57616
#define XTP_ID_OLE_VERB_FIRST 57872
