// "EDIT": one line of GBK text (EditText) drawn scrolled so that the caret
// shows. Characters typed byte by byte (a lead byte, then its trail byte)
// go in as one character; WM_IME_CHAR brings both at once.
#include "platform/controls/Edit.h"

#include "platform/controls/Control.h"
#include "platform/controls/EditText.h"

#include "platform/win/Caret.h"
#include "platform/win/Clipboard.h"

#include "platform/base/String.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace tavrin::controls {

namespace {

constexpr int kDefaultMargin = 1;

class Edit : public Control {
public:
    using Control::Control;
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool ReadOnly() const { return (Style() & ES_READONLY) != 0; }
    bool Password() const { return m_passwordChar != 0; }
    // What is drawn: the text, or one password character per character.
    std::string Shown() const;
    // Byte offset in Shown() of a byte position of the text.
    int ShownPos(int pos) const { return Password() ? m_text.CharOfPos(pos) : pos; }
    int TextPos(int shown) const { return Password() ? m_text.PosOfChar(shown) : m_text.Snap(shown); }
    RECT Area() const;
    int Width(const std::string& s, int bytes) const;
    // Client x of a byte position, and the nearest position to a client x.
    int XOf(int pos) const;
    int PosAt(int x) const;
    int AlignOffset() const;

    // A change by the user or the program: the notifications follow.
    void Changed();
    bool UserReplace(std::string_view text, bool typed);
    void Char(UINT ch);
    void InsertCharacter(const std::string& character);
    void KeyDown(UINT key);
    void MoveCaret(int pos, bool extend);
    void ScrollCaret();
    void UpdateCaret();
    void Copy();
    void Cut();
    void Paste();
    void Clear();
    void Paint(HDC hdc) override;

    EditText m_text;
    int m_scroll = 0; // pixels of the text scrolled out at the left
    int m_left = kDefaultMargin;
    int m_right = kDefaultMargin;
    char m_passwordChar = 0;
    int m_pendingLead = -1;
    bool m_focused = false;
    bool m_dragging = false;
    bool m_created = false;
};

LRESULT Edit::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        if (cs->lpszName && !IS_INTRESOURCE(cs->lpszName))
            m_text.SetText(cs->lpszName);
        if (cs->style & ES_PASSWORD)
            m_passwordChar = '*';
        return DefWindowProcA(m_hwnd, message, wParam, lParam);
    }
    case WM_CREATE:
        m_created = true;
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WM_SIZE:
        ScrollCaret();
        return 0;
    case WM_SETFONT:
        Control::Handle(message, wParam, lParam);
        ScrollCaret();
        if (m_focused) {
            CreateCaret(m_hwnd, nullptr, 1, LineHeight(Font()));
            ShowCaret(m_hwnd);
            UpdateCaret();
        }
        return 0;
    case WM_SETFOCUS:
        m_focused = true;
        CreateCaret(m_hwnd, nullptr, 1, LineHeight(Font()));
        UpdateCaret();
        ShowCaret(m_hwnd);
        Redraw();
        Command(EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        m_focused = false;
        m_pendingLead = -1;
        DestroyCaret();
        Redraw();
        Command(EN_KILLFOCUS);
        return 0;
    case WM_SETTEXT: {
        auto* text = reinterpret_cast<LPCSTR>(lParam);
        m_text.SetText(text ? text : "");
        m_scroll = 0;
        Changed();
        return TRUE;
    }
    case WM_GETTEXT:
        return CopyTextOut(m_text.Text(), wParam, lParam);
    case WM_GETTEXTLENGTH:
        return m_text.Length();
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (GetFocus() != m_hwnd)
            SetFocus(m_hwnd);
        const int pos = PosAt(GET_X_LPARAM(lParam));
        if (message == WM_LBUTTONDBLCLK) {
            int start = pos;
            while (start > 0 && m_text.Text()[static_cast<size_t>(m_text.Prev(start))] != ' ')
                start = m_text.Prev(start);
            int end = pos;
            while (end < m_text.Length() && m_text.Text()[static_cast<size_t>(end)] != ' ')
                end = m_text.Next(end);
            m_text.Select(start, end);
        } else {
            MoveCaret(pos, (wParam & MK_SHIFT) != 0);
            m_dragging = true;
            SetCapture(m_hwnd);
        }
        UpdateCaret();
        Redraw();
        return 0;
    }
    case WM_MOUSEMOVE:
        if (m_dragging) {
            MoveCaret(PosAt(GET_X_LPARAM(lParam)), true);
            ScrollCaret();
        }
        return 0;
    case WM_LBUTTONUP:
        if (m_dragging) {
            m_dragging = false;
            if (GetCapture() == m_hwnd)
                ReleaseCapture();
        }
        return 0;
    case WM_CAPTURECHANGED:
        m_dragging = false;
        return 0;
    case WM_KEYDOWN:
        KeyDown(static_cast<UINT>(wParam));
        return 0;
    case WM_CHAR:
        Char(static_cast<UINT>(wParam));
        return 0;
    case WM_IME_CHAR: {
        m_pendingLead = -1;
        const std::string pair = ImeDoubleByte(wParam);
        if (!pair.empty())
            InsertCharacter(pair);
        else
            Char(static_cast<UINT>(wParam));
        return 0;
    }
    case EM_GETSEL:
        return GetSelAnswer(m_text.SelStart(), m_text.SelEnd(), wParam, lParam);
    case EM_SETSEL: {
        int start = static_cast<int>(wParam), end = static_cast<int>(lParam);
        if (start == -1) {
            m_text.Select(m_text.Caret(), m_text.Caret());
        } else {
            if (end < 0 || end > m_text.Length())
                end = m_text.Length();
            start = std::clamp(start, 0, m_text.Length());
            m_text.Select(start, end);
        }
        UpdateCaret();
        Redraw();
        return 0;
    }
    case EM_REPLACESEL: {
        auto* text = reinterpret_cast<LPCSTR>(lParam);
        bool cut = false;
        if (m_text.Replace(text ? text : "", wParam != 0, &cut))
            Changed();
        if (cut)
            Command(EN_MAXTEXT);
        return 0;
    }
    case EM_LIMITTEXT:
        m_text.SetLimit(static_cast<int>(std::min<WPARAM>(wParam, EditText::kMaxLimit)));
        return 0;
    case EM_GETLIMITTEXT:
        return m_text.Limit();
    case EM_SETMARGINS:
        if (wParam & EC_LEFTMARGIN)
            m_left = LOWORD(lParam) == EC_USEFONTINFO ? kDefaultMargin : LOWORD(lParam);
        if (wParam & EC_RIGHTMARGIN)
            m_right = HIWORD(lParam) == EC_USEFONTINFO ? kDefaultMargin : HIWORD(lParam);
        ScrollCaret();
        Redraw();
        return 0;
    case EM_GETMARGINS:
        return MAKELONG(m_left, m_right);
    case EM_CANUNDO:
        return m_text.CanUndo() ? TRUE : FALSE;
    case EM_UNDO:
    case WM_UNDO:
        if (!m_text.Undo())
            return FALSE;
        Changed();
        return TRUE;
    case EM_EMPTYUNDOBUFFER:
        m_text.EmptyUndo();
        return 0;
    case EM_SCROLLCARET:
        ScrollCaret();
        return TRUE;
    case EM_GETMODIFY:
        return m_text.Modified() ? TRUE : FALSE;
    case EM_SETMODIFY:
        m_text.SetModified(wParam != 0);
        return 0;
    case EM_SETREADONLY: {
        const LONG style = GetWindowLongA(m_hwnd, GWL_STYLE);
        SetWindowLongA(m_hwnd, GWL_STYLE, wParam ? (style | ES_READONLY) : (style & ~ES_READONLY));
        Redraw();
        return TRUE;
    }
    case EM_SETPASSWORDCHAR: {
        m_passwordChar = static_cast<char>(wParam);
        const LONG style = GetWindowLongA(m_hwnd, GWL_STYLE);
        SetWindowLongA(m_hwnd, GWL_STYLE, m_passwordChar ? (style | ES_PASSWORD) : (style & ~ES_PASSWORD));
        ScrollCaret();
        Redraw();
        return 0;
    }
    case EM_GETPASSWORDCHAR:
        return static_cast<unsigned char>(m_passwordChar);
    case EM_GETLINECOUNT:
        return 1;
    case EM_LINEINDEX:
        return (static_cast<int>(wParam) == -1 || wParam == 0) ? 0 : -1;
    case EM_LINELENGTH:
        return m_text.Length();
    case EM_LINEFROMCHAR:
    case EM_GETFIRSTVISIBLELINE:
        return message == EM_GETFIRSTVISIBLELINE ? PosAt(Area().left) : 0;
    case EM_GETLINE: {
        // The first WORD of the buffer holds its size; no terminator is added.
        auto* buffer = reinterpret_cast<LPSTR>(lParam);
        if (!buffer || wParam != 0)
            return 0;
        WORD size = 0;
        std::memcpy(&size, buffer, sizeof(size));
        const int n = m_text.Snap(std::min<int>(size, m_text.Length()));
        std::memcpy(buffer, m_text.Text().data(), static_cast<size_t>(n));
        return n;
    }
    case EM_POSFROMCHAR: {
        const int pos = m_text.Snap(static_cast<int>(wParam));
        if (static_cast<int>(wParam) > m_text.Length())
            return -1;
        return MAKELONG(static_cast<WORD>(XOf(pos)), static_cast<WORD>(Area().top));
    }
    case EM_CHARFROMPOS:
        return MAKELONG(static_cast<WORD>(PosAt(GET_X_LPARAM(lParam))), 0);
    case EM_GETRECT:
        if (auto* rect = reinterpret_cast<RECT*>(lParam))
            *rect = Area();
        return 0;
    case EM_SETTABSTOPS:
        return FALSE;
    case WM_COPY:
        Copy();
        return 0;
    case WM_CUT:
        Cut();
        return 0;
    case WM_PASTE:
        Paste();
        return 0;
    case WM_CLEAR:
        Clear();
        return 0;
    default:
        return Control::Handle(message, wParam, lParam);
    }
}

std::string Edit::Shown() const
{
    if (!Password())
        return m_text.Text();
    return std::string(static_cast<size_t>(m_text.CharCount()), m_passwordChar);
}

RECT Edit::Area() const
{
    RECT rc;
    GetClientRect(m_hwnd, &rc);
    rc.left += m_left;
    rc.right = std::max(rc.left, rc.right - m_right);
    return rc;
}

int Edit::Width(const std::string& s, int bytes) const
{
    if (bytes <= 0)
        return 0;
    HDC hdc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(hdc, Font());
    SIZE size{};
    GetTextExtentPoint32A(hdc, s.data(), bytes, &size);
    SelectObject(hdc, old);
    DeleteDC(hdc);
    return size.cx;
}

int Edit::AlignOffset() const
{
    const DWORD align = Style() & (ES_CENTER | ES_RIGHT);
    if (!align)
        return 0;
    const RECT area = Area();
    const std::string shown = Shown();
    const int free = (area.right - area.left) - Width(shown, static_cast<int>(shown.size()));
    if (free <= 0)
        return 0;
    return (align & ES_CENTER) ? free / 2 : free;
}

int Edit::XOf(int pos) const
{
    const std::string shown = Shown();
    return Area().left + AlignOffset() - m_scroll + Width(shown, ShownPos(pos));
}

int Edit::PosAt(int x) const
{
    // The boundary whose x lies nearest.
    int best = 0, bestDistance = 0x7FFFFFFF;
    for (int pos = 0;; pos = m_text.Next(pos)) {
        const int distance = std::abs(XOf(pos) - x);
        if (distance < bestDistance) {
            best = pos;
            bestDistance = distance;
        }
        if (pos >= m_text.Length())
            break;
    }
    return best;
}

void Edit::Changed()
{
    ScrollCaret();
    Redraw();
    if (!m_created)
        return;
    Command(EN_UPDATE);
    Command(EN_CHANGE);
}

// A change by typing, pasting or deleting: refused on read-only fields;
// without ES_AUTOHSCROLL the text must fit the field.
bool Edit::UserReplace(std::string_view text, bool typed)
{
    if (ReadOnly())
        return false;
    const EditText before = m_text;
    bool cut = false;
    const bool changed = typed ? m_text.Type(text, &cut) : m_text.Replace(text, true, &cut);
    if (changed && !(Style() & ES_AUTOHSCROLL)) {
        const RECT area = Area();
        const std::string shown = Shown();
        if (Width(shown, static_cast<int>(shown.size())) > area.right - area.left) {
            m_text = before;
            Command(EN_MAXTEXT);
            return false;
        }
    }
    if (changed)
        Changed();
    if (cut)
        Command(EN_MAXTEXT);
    return changed;
}

void Edit::Char(UINT ch)
{
    if (m_pendingLead >= 0) {
        const char pair[2] = {static_cast<char>(m_pendingLead), static_cast<char>(ch)};
        m_pendingLead = -1;
        InsertCharacter(std::string(pair, 2));
        return;
    }
    switch (ch) {
    case 0x03: // Ctrl+C
        Copy();
        return;
    case 0x16: // Ctrl+V
        Paste();
        return;
    case 0x18: // Ctrl+X
        Cut();
        return;
    case 0x1A: // Ctrl+Z
        SendMessageA(m_hwnd, EM_UNDO, 0, 0);
        return;
    case VK_BACK:
        if (ReadOnly())
            return;
        if (!m_text.HasSelection())
            m_text.Select(m_text.Prev(m_text.Caret()), m_text.Caret());
        UserReplace("", false);
        return;
    default:
        break;
    }
    if (ch < 0x20 || ch == 0x7F || ch > 0xFF)
        return;
    if (IsLeadByte(static_cast<unsigned char>(ch))) {
        m_pendingLead = static_cast<int>(ch);
        return;
    }
    char c = static_cast<char>(ch);
    if ((Style() & ES_UPPERCASE) && c >= 'a' && c <= 'z')
        c = static_cast<char>(c - 'a' + 'A');
    if ((Style() & ES_LOWERCASE) && c >= 'A' && c <= 'Z')
        c = static_cast<char>(c - 'A' + 'a');
    InsertCharacter(std::string(1, c));
}

void Edit::InsertCharacter(const std::string& character)
{
    if (ReadOnly())
        return;
    if ((Style() & ES_NUMBER) && !(character.size() == 1 && character[0] >= '0' && character[0] <= '9'))
        return;
    UserReplace(character, true);
}

void Edit::KeyDown(UINT key)
{
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool control = GetKeyState(VK_CONTROL) < 0;
    const int caret = m_text.Caret();
    switch (key) {
    case VK_LEFT:
        if (!shift && m_text.HasSelection())
            MoveCaret(m_text.SelStart(), false);
        else
            MoveCaret(control ? m_text.WordLeft(caret) : m_text.Prev(caret), shift);
        break;
    case VK_RIGHT:
        if (!shift && m_text.HasSelection())
            MoveCaret(m_text.SelEnd(), false);
        else
            MoveCaret(control ? m_text.WordRight(caret) : m_text.Next(caret), shift);
        break;
    case VK_HOME:
        MoveCaret(0, shift);
        break;
    case VK_END:
        MoveCaret(m_text.Length(), shift);
        break;
    case VK_DELETE:
        if (shift) {
            Cut();
        } else if (!ReadOnly()) {
            if (!m_text.HasSelection())
                m_text.Select(caret, m_text.Next(caret));
            UserReplace("", false);
        }
        return;
    case VK_INSERT:
        if (control)
            Copy();
        else if (shift)
            Paste();
        return;
    default:
        return;
    }
    ScrollCaret();
}

void Edit::MoveCaret(int pos, bool extend)
{
    m_text.Select(extend ? m_text.Anchor() : pos, pos);
    UpdateCaret();
    Redraw();
}

void Edit::ScrollCaret()
{
    const RECT area = Area();
    const int width = area.right - area.left;
    const std::string shown = Shown();
    const int textWidth = Width(shown, static_cast<int>(shown.size()));
    const int caretX = Width(shown, ShownPos(m_text.Caret()));
    if (textWidth <= width) {
        m_scroll = 0;
    } else {
        // A third of the field at a time, so typing does not scroll at each character.
        if (caretX - m_scroll > width)
            m_scroll = caretX - width + width / 3;
        if (caretX < m_scroll)
            m_scroll = std::max(0, caretX - width / 3);
        m_scroll = std::clamp(m_scroll, 0, textWidth - width + 1);
    }
    UpdateCaret();
    Redraw();
}

void Edit::UpdateCaret()
{
    if (m_focused)
        SetCaretPos(XOf(m_text.Caret()), Area().top + 1);
}

void Edit::Copy()
{
    // A password never leaves its field.
    if (Password() || !m_text.HasSelection())
        return;
    const std::string text = m_text.Selection();
    if (!OpenClipboard(m_hwnd))
        return;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (block) {
        if (void* p = GlobalLock(block)) {
            std::memcpy(p, text.c_str(), text.size() + 1);
            GlobalUnlock(block);
            SetClipboardData(CF_TEXT, block);
        } else {
            GlobalFree(block);
        }
    }
    CloseClipboard();
}

void Edit::Cut()
{
    if (Password() || ReadOnly() || !m_text.HasSelection())
        return;
    Copy();
    Clear();
}

void Edit::Paste()
{
    if (ReadOnly() || !OpenClipboard(m_hwnd))
        return;
    std::string text;
    if (HANDLE block = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(block))) {
            text.assign(p, strnlen(p, GlobalSize(block)));
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    // One line: the text up to the first line break.
    const size_t end = text.find_first_of("\r\n");
    if (end != std::string::npos)
        text.resize(end);
    if ((Style() & ES_NUMBER) && text.find_first_not_of("0123456789") != std::string::npos)
        return;
    if (!text.empty() || m_text.HasSelection())
        UserReplace(text, false);
}

void Edit::Clear()
{
    if (ReadOnly() || !m_text.HasSelection())
        return;
    UserReplace("", false);
}

void Edit::Paint(HDC hdc)
{
    RECT rc;
    GetClientRect(m_hwnd, &rc);
    SelectObject(hdc, Font());
    // Read-only and disabled fields ask for the static colours.
    HBRUSH back = CtlColor((ReadOnly() || !Enabled()) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT, hdc);
    FillRect(hdc, &rc, back);
    const RECT area = Area();
    const std::string shown = Shown();
    const int height = LineHeight(hdc);
    const int x = area.left + AlignOffset() - m_scroll;
    const int y = area.top + 1;
    const int save = SaveDC(hdc);
    IntersectClipRect(hdc, area.left, area.top, area.right, area.bottom);
    SetBkMode(hdc, TRANSPARENT);
    if (!Enabled())
        SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
    TextOutA(hdc, x, y, shown.data(), static_cast<int>(shown.size()));
    const bool showSelection = m_text.HasSelection() && (m_focused || (Style() & ES_NOHIDESEL));
    if (showSelection) {
        const int from = ShownPos(m_text.SelStart()), to = ShownPos(m_text.SelEnd());
        RECT sel{x + Width(shown, from), y, x + Width(shown, to), y + height};
        FillRect(hdc, &sel, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        TextOutA(hdc, sel.left, y, shown.data() + from, to - from);
    }
    RestoreDC(hdc, save);
}

} // namespace

bool RegisterEdit()
{
    static const bool registered = RegisterControl(WC_EDIT, ControlProc<Edit>, CS_DBLCLKS, IDC_IBEAM);
    return registered;
}

} // namespace tavrin::controls
