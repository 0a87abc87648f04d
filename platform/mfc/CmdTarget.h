// Command targets and message maps. A message map is a static table per
// class, chained to its base class's table; each entry binds a message (or a
// command id range and notification code) to a small thunk that unpacks the
// arguments and calls the class's handler. Commands are offered with
// OnCmdMsg along a chain of targets; update handlers get a CCmdUI.
#pragma once

#include "platform/mfc/Object.h"
#include "platform/win/WinMessage.h"

class CCmdTarget;
class CCmdUI;

// The framework's private messages.
#define WM_QUERYAFXWNDPROC 0x0360
#define WM_SIZEPARENT 0x0361
#define WM_SETMESSAGESTRING 0x0362
#define WM_IDLEUPDATECMDUI 0x0363
#define WM_INITIALUPDATE 0x0364
#define WM_COMMANDHELP 0x0365
#define WM_HELPHITTEST 0x0366
#define WM_EXITHELPMODE 0x0367
#define WM_RECALCPARENT 0x0368
#define WM_SIZECHILD 0x0369
#define WM_KICKIDLE 0x036A
#define WM_QUERYCENTERWND 0x036B
#define WM_DISABLEMODAL 0x036C
#define WM_FLOATSTATUS 0x036D
#define WM_ACTIVATETOPLEVEL 0x036E
#define WM_SOCKET_NOTIFY 0x0373
#define WM_SOCKET_DEAD 0x0374
#define WM_POPMESSAGESTRING 0x0375
#define WM_HELPPROMPTADDR 0x0376
#define WM_IDLEACTIVATE 0x0377
#define WM_FORWARDMSG 0x037F

// Reflected messages come back to the child at this offset.
#define WM_REFLECT_BASE 0xBC00
// The message-map slot of WM_CTLCOLOR*: the kind of control is passed apart.
#define WM_CTLCOLOR 0x0019

// Notification codes of OnCmdMsg.
#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI (-1)
#define CN_EVENT (-100)
#define CN_OLECOMMAND (-101)

// Where a command's handler is, without calling it.
struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget;
    void* pmf; // the entry's thunk
};

// Interface maps: the interfaces an object hands out by id, each a nested
// part object (BEGIN_INTERFACE_PART) chained to the base class's map.
class CCmdTarget;
struct AFX_INTERFACEMAP_ENTRY {
    const void* piid;                 // the interface id (an IID*)
    void* (*pfnGet)(CCmdTarget* pTarget); // the part object's interface
};
struct AFX_INTERFACEMAP {
    const AFX_INTERFACEMAP* (*pfnGetBaseMap)();
    const AFX_INTERFACEMAP_ENTRY* pEntry;
};

// What OnCmdMsg passes with a WM_NOTIFY.
struct NMHDR;
struct AFX_NOTIFY {
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

// The arguments a thunk unpacks.
struct AFX_MSGCALL {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
    UINT nID;     // command, notification and control entries
    int nCode;    // notification code; the control kind of WM_CTLCOLOR
    void* pExtra; // CCmdUI*, AFX_NOTIFY* or the caller's extra
};

// Answers whether the message was handled (FALSE from an _EX handler lets
// routing go on); the result goes to call.result.
typedef BOOL (*AFX_PMSG)(CCmdTarget* pTarget, AFX_MSGCALL& call);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // window message, or WM_COMMAND/WM_NOTIFY for commands and notifications
    UINT nCode;     // control or notification code (WORD), CN_UPDATE_COMMAND_UI
    UINT nID;       // first command id, 0 for window messages
    UINT nLastID;   // last command id of a range
    UINT_PTR nSig;  // for registered messages: the address of the UINT holding the number
    AFX_PMSG pfn;   // null ends the table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Registered messages share one number in the table; nSig points to the
// variable that holds the real one.
#define AFX_REGISTERED_MESSAGE 0xC000

#define DECLARE_MESSAGE_MAP()                                                                                     \
protected:                                                                                                        \
    static const AFX_MSGMAP* GetThisMessageMap();                                                                 \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                                    \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }                             \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                                               \
    {                                                                                                             \
        using ThisClass [[maybe_unused]] = theClass;                                                              \
        using TheBaseClass = baseClass;                                                                           \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                                         \
    {0, 0, 0, 0, 0, nullptr}                                                                                      \
    }                                                                                                             \
    ;                                                                                                             \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]};                 \
    return &messageMap;                                                                                           \
    }

// An entry whose thunk runs `body` with p_ (ThisClass*) and m_ (AFX_MSGCALL&).
#define AFX_MSG_ENTRY(msg, code, id, lastId, sig, body)                                                           \
    {static_cast<UINT>(msg), static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(lastId),           \
     static_cast<UINT_PTR>(sig), [](CCmdTarget* t_, AFX_MSGCALL& m_) -> BOOL {                                    \
         [[maybe_unused]] ThisClass* p_ = static_cast<ThisClass*>(t_);                                            \
         [[maybe_unused]] AFX_MSGCALL& a_ = m_;                                                                   \
         body                                                                                                     \
     }},

// Commands and their update handlers.
#define ON_COMMAND(id, memberFxn) AFX_MSG_ENTRY(WM_COMMAND, CN_COMMAND, id, id, 0, p_->memberFxn(); return TRUE;)
#define ON_COMMAND_EX(id, memberFxn) AFX_MSG_ENTRY(WM_COMMAND, CN_COMMAND, id, id, 0, return p_->memberFxn(a_.nID);)
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                                                   \
    AFX_MSG_ENTRY(WM_COMMAND, CN_COMMAND, id, idLast, 0, p_->memberFxn(a_.nID); return TRUE;)
#define ON_COMMAND_EX_RANGE(id, idLast, memberFxn)                                                                \
    AFX_MSG_ENTRY(WM_COMMAND, CN_COMMAND, id, idLast, 0, return p_->memberFxn(a_.nID);)
#define AFX_UPDATE_BODY(call)                                                                                     \
    CCmdUI* ui_ = static_cast<CCmdUI*>(a_.pExtra);                                                                \
    ui_->m_bContinueRouting = FALSE;                                                                              \
    call;                                                                                                         \
    return !ui_->m_bContinueRouting;
#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                                                       \
    AFX_MSG_ENTRY(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, id, 0, AFX_UPDATE_BODY(p_->memberFxn(ui_)))
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn)                                                         \
    AFX_MSG_ENTRY(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, idLast, 0, AFX_UPDATE_BODY(p_->memberFxn(ui_)))
// A reflected update request of a child control (UpdateDialogControls).
#define ON_UPDATE_COMMAND_UI_REFLECT(memberFxn)                                                                   \
    AFX_MSG_ENTRY(WM_COMMAND + WM_REFLECT_BASE, 0xFFFF, 0, 0, 0, AFX_UPDATE_BODY(p_->memberFxn(ui_)))

// Control notifications by WM_COMMAND.
#define ON_CONTROL(wNotifyCode, id, memberFxn)                                                                    \
    AFX_MSG_ENTRY(WM_COMMAND, static_cast<WORD>(wNotifyCode), id, id, 0, p_->memberFxn(); return TRUE;)
#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn)                                                      \
    AFX_MSG_ENTRY(WM_COMMAND, static_cast<WORD>(wNotifyCode), id, idLast, 0, p_->memberFxn(a_.nID); return TRUE;)
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn)                                                                \
    AFX_MSG_ENTRY(WM_COMMAND + WM_REFLECT_BASE, static_cast<WORD>(wNotifyCode), 0, 0, 0, p_->memberFxn(); return TRUE;)
#define ON_CONTROL_REFLECT_EX(wNotifyCode, memberFxn)                                                             \
    AFX_MSG_ENTRY(WM_COMMAND + WM_REFLECT_BASE, static_cast<WORD>(wNotifyCode), 0, 0, 0, return p_->memberFxn();)

// WM_NOTIFY notifications: handler(NMHDR*, LRESULT*).
#define AFX_NOTIFY_ARGS static_cast<AFX_NOTIFY*>(a_.pExtra)->pNMHDR, static_cast<AFX_NOTIFY*>(a_.pExtra)->pResult
#define ON_NOTIFY(wNotifyCode, id, memberFxn)                                                                     \
    AFX_MSG_ENTRY(WM_NOTIFY, static_cast<WORD>(static_cast<int>(wNotifyCode)), id, id, 0,                         \
                  p_->memberFxn(AFX_NOTIFY_ARGS); return TRUE;)
#define ON_NOTIFY_RANGE(wNotifyCode, id, idLast, memberFxn)                                                       \
    AFX_MSG_ENTRY(WM_NOTIFY, static_cast<WORD>(static_cast<int>(wNotifyCode)), id, idLast, 0,                     \
                  p_->memberFxn(a_.nID, AFX_NOTIFY_ARGS); return TRUE;)
#define ON_NOTIFY_EX(wNotifyCode, id, memberFxn)                                                                  \
    AFX_MSG_ENTRY(WM_NOTIFY, static_cast<WORD>(static_cast<int>(wNotifyCode)), id, id, 0,                         \
                  return p_->memberFxn(a_.nID, AFX_NOTIFY_ARGS);)
#define ON_NOTIFY_EX_RANGE(wNotifyCode, id, idLast, memberFxn)                                                    \
    AFX_MSG_ENTRY(WM_NOTIFY, static_cast<WORD>(static_cast<int>(wNotifyCode)), id, idLast, 0,                     \
                  return p_->memberFxn(a_.nID, AFX_NOTIFY_ARGS);)
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn)                                                                 \
    AFX_MSG_ENTRY(WM_NOTIFY + WM_REFLECT_BASE, static_cast<WORD>(static_cast<int>(wNotifyCode)), 0, 0, 0,         \
                  p_->memberFxn(AFX_NOTIFY_ARGS); return TRUE;)
#define ON_NOTIFY_REFLECT_EX(wNotifyCode, memberFxn)                                                              \
    AFX_MSG_ENTRY(WM_NOTIFY + WM_REFLECT_BASE, static_cast<WORD>(static_cast<int>(wNotifyCode)), 0, 0, 0,         \
                  return p_->memberFxn(AFX_NOTIFY_ARGS);)

// User and registered messages: LRESULT handler(WPARAM, LPARAM).
#define ON_MESSAGE(message, memberFxn)                                                                            \
    AFX_MSG_ENTRY(message, 0, 0, 0, 0, a_.result = p_->memberFxn(a_.wParam, a_.lParam); return TRUE;)
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn)                                                        \
    AFX_MSG_ENTRY(AFX_REGISTERED_MESSAGE, 0, 0, 0, reinterpret_cast<UINT_PTR>(&(nMessageVariable)),               \
                  a_.result = p_->memberFxn(a_.wParam, a_.lParam); return TRUE;)
#define ON_THREAD_MESSAGE(message, memberFxn)                                                                     \
    AFX_MSG_ENTRY(message, 0, 0, 0, 0, p_->memberFxn(a_.wParam, a_.lParam); return TRUE;)
#define ON_REGISTERED_THREAD_MESSAGE(nMessageVariable, memberFxn)                                                 \
    AFX_MSG_ENTRY(AFX_REGISTERED_MESSAGE, 0, 0, 0, reinterpret_cast<UINT_PTR>(&(nMessageVariable)),               \
                  p_->memberFxn(a_.wParam, a_.lParam); return TRUE;)

namespace tavrin::mfc {
// The entry of the table chain for the message; null when none.
const AFX_MSGMAP_ENTRY* FindMessageEntry(const AFX_MSGMAP* map, UINT message, UINT code, UINT id);
} // namespace tavrin::mfc

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;
    ~CCmdTarget() override = default;

    // Offers a command, an update request (pExtra: CCmdUI*) or a
    // notification (nCode: MAKELONG(code, message)) to this target's map.
    // With pHandlerInfo only asks whether a handler exists.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    // Reference counts: an object made for outside holders frees itself when
    // the last reference goes (OnFinalRelease).
    DWORD InternalAddRef();
    DWORD InternalRelease();
    DWORD ExternalAddRef() { return InternalAddRef(); }
    DWORD ExternalRelease() { return InternalRelease(); }
    virtual void OnFinalRelease() { delete this; }
    LONG m_dwRef = 1;

    // The interface of the id from the interface map (not counted), or null.
    // The id of IUnknown answers the first interface of the map.
    void* GetInterface(const void* iid);
    // COM's QueryInterface over the map: S_OK and a counted reference, or
    // E_NOINTERFACE.
    DWORD InternalQueryInterface(const void* iid, void** ppvObj);
    DWORD ExternalQueryInterface(const void* iid, void** ppvObj) { return InternalQueryInterface(iid, ppvObj); }

    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    static const AFX_INTERFACEMAP* GetThisInterfaceMap();
    virtual const AFX_INTERFACEMAP* GetInterfaceMap() const;
    friend class CWnd;
};

// What an update handler changes: a menu item, a bar control or a child
// window (m_pOther). Subclasses (bars) override the four setters.
class CMenu;
class CWnd;
class CCmdUI {
public:
    CCmdUI() = default;
    virtual ~CCmdUI() = default;

    UINT m_nID = 0;
    UINT m_nIndex = 0;
    CMenu* m_pMenu = nullptr;
    CMenu* m_pSubMenu = nullptr;
    CWnd* m_pOther = nullptr;
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;
    UINT m_nIndexMax = 0;
    CMenu* m_pParentMenu = nullptr;

    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1);
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCTSTR lpszText);
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Routes the update request to the target; then, when no handler changed
    // the enabled state and bDisableIfNoHndler is set, enables the item
    // exactly when the target has a command handler for it.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
};

// Records an update request without changing anything: the framework asks
// with it whether a command is enabled before running it.
class CTestCmdUI : public CCmdUI {
public:
    BOOL m_bEnabled = TRUE;
    BOOL m_bChecked = FALSE;
    void Enable(BOOL bOn) override
    {
        m_bEnabled = bOn;
        m_bEnableChanged = TRUE;
    }
    void SetCheck(int nCheck) override { m_bChecked = nCheck != 0; }
    void SetRadio(BOOL) override {}
    void SetText(LPCTSTR) override {}
};
