// Values shared by the command bars: bar positions and types, control
// types, hide reasons and flags, and the messages bars send to their site
// with their records.
#pragma once

#include "platform/base/String.h"
#include "platform/win/Notify.h"

class CMenu;
class CXTPControl;
class CXTPCommandBar;

enum XTPBarPosition {
    xtpBarTop = 0,
    xtpBarBottom = 1,
    xtpBarLeft = 2,
    xtpBarRight = 3,
    xtpBarFloating = 4,
    xtpBarPopup = 5,
    xtpBarListBox = 6,
    xtpBarNone = 7,
};

enum XTPBarType {
    xtpBarTypeMenuBar = 0,
    xtpBarTypeNormal = 1,
    xtpBarTypePopup = 2,
};

enum XTPControlType {
    xtpControlError = 0,
    xtpControlButton = 1,
    xtpControlPopup = 2,
    xtpControlButtonPopup = 3,
    xtpControlSplitButtonPopup = 4,
    xtpControlComboBox = 5,
    xtpControlEdit = 6,
    xtpControlCustom = 7,
    xtpControlLabel = 8,
};

// What a control on a toolbar shows.
enum XTPButtonStyle {
    xtpButtonAutomatic = 0,
    xtpButtonCaption = 1,
    xtpButtonIcon = 2,
    xtpButtonIconAndCaption = 3,
};

// Reasons a control is hidden; any of them hides it.
enum XTPControlHideFlags {
    xtpNoHide = 0,
    xtpHideGeneric = 1,
    xtpHideWrap = 2,
    xtpHideDockingPosition = 4,
    xtpHideScroll = 8,
    xtpHideCustomize = 16,
    xtpHideExpand = 32,
    xtpHideDocTemplate = 64,
};

enum XTPControlFlags {
    xtpFlagRightAlign = 1,
    xtpFlagSkipFocus = 2,
    xtpFlagLeftPopup = 4,
    xtpFlagManualUpdate = 8,
    xtpFlagNoMovable = 16,
    xtpFlagControlStretched = 32,
};

// Layout modes beyond the framework's docking bits.
#define LM_HIDEWRAP 0x80
#define LM_POPUP 0x100

// Bar style: a gripper is drawn.
#define CBRS_GRIPPER 0x00400000L

// Messages to the site window.
#define WM_BAR_CONTROL_NOTIFY 0x052D
#define WM_CREATE_BAR_CONTROL 0x052F
#define WM_CREATE_COMMAND_BAR 0x0530
#define WM_CONTROL_SELECTED 0x0531
#define WM_DRAG_CONTROL_CHANGED 0x0532
#define WM_POPUP_OPENING 0x0533
#define WM_TRACKING_MODE 0x0534
#define WM_POPUP_CLOSED 0x0535

// The code of a control that runs.
#define CBN_XTP_EXECUTE 100

// The record of WM_CREATE_BAR_CONTROL.
struct CreateBarControlInfo {
    int nID;
    CXTPControl* pControl;
    BOOL bToolBar;
    int nIndex;
    CMenu* pMenu;
    CXTPCommandBar* pCommandBar;
    CString strCaption;
    int controlType;
    int buttonStyle;
};

// The record of WM_CREATE_COMMAND_BAR.
struct CreateBarInfo {
    CXTPCommandBar* pCommandBar;
    BOOL bPopup;
    BOOL bExpandBar;
    BOOL bCustomBar;
    BOOL bTearOffBar;
    LPCTSTR lpcstrCaption;
    UINT nID;
};

// The record of WM_BAR_CONTROL_NOTIFY.
struct BarControlNotifyInfo {
    NMHDR hdr;
    CXTPControl* pControl;
};
