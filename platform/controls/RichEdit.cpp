// "RICHEDIT" (version 1.0 behaviour). The content lives in RichEditText;
// this file lays it out in word-wrapped lines, draws it with its objects,
// and turns keys, IME characters and the mouse into edits. Objects are
// reached through the control's IRichEditOle, which stays valid (answering
// CO_E_RELEASED) after the window is gone.
#include "platform/controls/RichEdit.h"

#include "platform/base/String.h"
#include "platform/controls/Control.h"
#include "platform/controls/RichEditText.h"
#include "platform/win/Caret.h"
#include "platform/win/Clipboard.h"
#include "platform/win/MenuKey.h"
#include "platform/win/ScrollBar.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

namespace tavrin::controls {

namespace {

constexpr int kMargin = 1;

class RichEdit;

// The control's object interface; outlives the window when a caller keeps it.
class RichEditOle final : public IRichEditOle, public IOleClientSite {
public:
    explicit RichEditOle(RichEdit* owner) : m_owner(owner) {}
    void Detach() { m_owner = nullptr; }

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override
    {
        const ULONG left = --m_refs;
        if (!left)
            delete this;
        return left;
    }

    HRESULT GetClientSite(IOleClientSite** site) override;
    LONG GetObjectCount() override;
    LONG GetLinkCount() override { return 0; }
    HRESULT GetObject(LONG index, REOBJECT* object, DWORD flags) override;
    HRESULT InsertObject(REOBJECT* object) override;
    HRESULT ConvertObject(LONG, REFCLSID, LPCSTR) override { return E_NOTIMPL; }
    HRESULT ActivateAs(REFCLSID, REFCLSID) override { return E_NOTIMPL; }
    HRESULT SetHostNames(LPCSTR, LPCSTR) override { return S_OK; }
    HRESULT SetLinkAvailable(LONG, BOOL) override { return E_NOTIMPL; }
    HRESULT SetDvaspect(LONG, DWORD) override { return E_NOTIMPL; }
    HRESULT HandsOffStorage(LONG) override { return S_OK; }
    HRESULT SaveCompleted(LONG, IStorage*) override { return S_OK; }
    HRESULT InPlaceDeactivate() override { return S_OK; }
    HRESULT ContextSensitiveHelp(BOOL) override { return S_OK; }
    HRESULT GetClipboardData(CHARRANGE*, DWORD, IDataObject**) override { return E_NOTIMPL; }
    HRESULT ImportDataObject(IDataObject*, CLIPFORMAT, HGLOBAL) override { return E_NOTIMPL; }

    // The site of every object the control holds.
    HRESULT SaveObject() override { return S_OK; }
    HRESULT GetContainer(void** container) override
    {
        if (container)
            *container = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT ShowObject() override { return S_OK; }
    HRESULT OnShowWindow(BOOL) override { return S_OK; }
    HRESULT RequestNewObjectLayout() override { return E_NOTIMPL; }

private:
    ~RichEditOle() = default;
    RichEdit* m_owner;
    ULONG m_refs = 1;
};

struct Line {
    int start;  // first position
    int end;    // past the last shown position (before a line break)
    int next;   // where the next line starts
    int y;      // top, in document pixels
    int height;
    int ascent;
};

class RichEdit : public Control {
public:
    explicit RichEdit(HWND hwnd) : Control(hwnd), m_ole(new RichEditOle(this)) {}
    ~RichEdit() override
    {
        m_ole->Detach();
        m_ole->Release();
    }
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

    RichEditText& Doc() { return m_doc; }
    bool InsertObjectRecord(const REOBJECT& record);

private:
    // Layout.
    int CharWidth(int pos);
    void Layout();
    int LineOf(int pos) const;
    int XOf(int pos);
    int PosAt(POINT pt);
    RECT TextArea() const;
    int VisibleTop() const { return m_lines.empty() ? 0 : m_lines[static_cast<size_t>(std::min<int>(m_top, static_cast<int>(m_lines.size()) - 1))].y; }
    void Paint(HDC hdc) override;

    // State changes.
    void Changed();
    void SelectionMoved();
    void EnsureCaretVisible();
    void UpdateCaret();
    void UpdateScrollBar();
    void ScrollTo(int line);
    bool ReadOnly() const { return (Style() & ES_READONLY) != 0; }

    // Input.
    bool Filter(UINT message, WPARAM wParam, LPARAM lParam, DWORD mask);
    void KeyDown(UINT key);
    void Char(UINT ch);
    void TypeText(const std::string& character);
    void MoveCaret(int pos, bool extend);
    void Backspace();
    void Delete();
    bool Copy();
    void Paste();

    LRESULT FindText(WPARAM flags, CHARRANGE range, LPCSTR text, CHARRANGE* found);
    void SetText(LPCSTR text);

    RichEditText m_doc;
    RichEditOle* m_ole;
    std::vector<Line> m_lines;
    std::map<unsigned, int> m_widths;
    int m_lineHeight = 16;
    int m_ascent = 13;
    int m_top = 0; // first visible line
    int m_goalX = -1;
    DWORD m_eventMask = 0;
    COLORREF m_back = CLR_DEFAULT;
    bool m_focused = false;
    bool m_dragging = false;
    bool m_notifying = false;
    int m_pendingLead = -1;
    bool m_hideSelection = false;
    // Asked for at creation; the style bit comes and goes with the bar.
    bool m_scrollBar = false;
};

// ---- The object interface ----

HRESULT RichEditOle::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IRichEditOle)
        *object = static_cast<IRichEditOle*>(this);
    else if (riid == IID_IOleClientSite)
        *object = static_cast<IOleClientSite*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT RichEditOle::GetClientSite(IOleClientSite** site)
{
    if (!site)
        return E_INVALIDARG;
    *site = nullptr;
    if (!m_owner)
        return CO_E_RELEASED;
    *site = static_cast<IOleClientSite*>(this);
    AddRef();
    return S_OK;
}

LONG RichEditOle::GetObjectCount()
{
    return m_owner ? m_owner->Doc().ObjectCount() : 0;
}

HRESULT RichEditOle::GetObject(LONG index, REOBJECT* object, DWORD flags)
{
    if (!object || object->cbStruct != sizeof(REOBJECT))
        return E_INVALIDARG;
    if (!m_owner)
        return CO_E_RELEASED;
    const RichEditText& doc = m_owner->Doc();
    int pos = -1;
    if (index == REO_IOB_USE_CP)
        pos = object->cp;
    else if (index == REO_IOB_SELECTION)
        pos = doc.SelEnd() - doc.SelStart() == 1 ? doc.SelStart() : -1;
    else
        pos = doc.ObjectPosition(index);
    const EmbeddedObject* found = doc.ObjectAtPosition(pos);
    if (!found)
        return E_INVALIDARG;
    found->Fill(object, pos, flags);
    if (doc.SelStart() <= pos && pos < doc.SelEnd())
        object->dwFlags |= REO_SELECTED;
    return S_OK;
}

HRESULT RichEditOle::InsertObject(REOBJECT* object)
{
    if (!object || object->cbStruct != sizeof(REOBJECT) || !object->poleobj)
        return E_INVALIDARG;
    if (!m_owner)
        return CO_E_RELEASED;
    return m_owner->InsertObjectRecord(*object) ? S_OK : E_FAIL;
}

// ---- Layout ----

int RichEdit::CharWidth(int pos)
{
    const std::string& raw = m_doc.Raw();
    const unsigned char c = static_cast<unsigned char>(raw[static_cast<size_t>(pos)]);
    if (c == static_cast<unsigned char>(RichEditText::kObjectMark)) {
        const EmbeddedObject* object = m_doc.ObjectAtPosition(pos);
        return object ? object->Size().cx : 16;
    }
    unsigned key = c;
    int length = 1;
    if (IsLeadByte(c) && pos + 1 < m_doc.Length()) {
        key = (key << 8) | static_cast<unsigned char>(raw[static_cast<size_t>(pos) + 1]);
        length = 2;
    }
    auto it = m_widths.find(key);
    if (it != m_widths.end())
        return it->second;
    HDC hdc = GetDC(m_hwnd);
    HGDIOBJ old = SelectObject(hdc, Font());
    SIZE size{};
    GetTextExtentPoint32A(hdc, raw.data() + pos, length, &size);
    SelectObject(hdc, old);
    ReleaseDC(m_hwnd, hdc);
    m_widths[key] = size.cx;
    return size.cx;
}

RECT RichEdit::TextArea() const
{
    RECT rc;
    GetClientRect(m_hwnd, &rc);
    InflateRect(&rc, -kMargin, -kMargin);
    return rc;
}

void RichEdit::Layout()
{
    m_lines.clear();
    {
        HDC hdc = GetDC(m_hwnd);
        HGDIOBJ old = SelectObject(hdc, Font());
        TEXTMETRICA tm{};
        GetTextMetricsA(hdc, &tm);
        SIZE space{};
        GetTextExtentPoint32A(hdc, " ", 1, &space);
        SelectObject(hdc, old);
        ReleaseDC(m_hwnd, hdc);
        m_lineHeight = std::max<int>(tm.tmHeight, 1);
        m_ascent = tm.tmAscent;
        m_widths[static_cast<unsigned>('\t')] = space.cx * 8;
    }
    const RECT area = TextArea();
    const int width = std::max<int>(area.right - area.left, 1);
    const std::string& raw = m_doc.Raw();
    const int length = m_doc.Length();
    int y = 0;
    int pos = 0;
    while (true) {
        Line line{pos, pos, pos, y, m_lineHeight, m_ascent};
        int x = 0;
        int breakAt = -1; // a place to wrap: after a space, or before a double-byte character or object
        int at = pos;
        int objectHeight = 0;
        while (at < length && raw[static_cast<size_t>(at)] != '\r') {
            const unsigned char c = static_cast<unsigned char>(raw[static_cast<size_t>(at)]);
            const bool wide = IsLeadByte(c) || c == static_cast<unsigned char>(RichEditText::kObjectMark);
            if (wide && at > pos)
                breakAt = at;
            const int w = CharWidth(at);
            if (x + w > width && at > pos && c != ' ') {
                if (breakAt <= pos)
                    breakAt = at;
                break;
            }
            x += w;
            if (c == static_cast<unsigned char>(RichEditText::kObjectMark))
                if (const EmbeddedObject* object = m_doc.ObjectAtPosition(at))
                    objectHeight = std::max<int>(objectHeight, object->Size().cy);
            at = m_doc.Next(at);
            if (c == ' ' || wide)
                breakAt = at;
        }
        if (at < length && raw[static_cast<size_t>(at)] != '\r') {
            // Wrapped: the line ends at the last break opportunity.
            line.end = line.next = breakAt;
            objectHeight = 0;
            for (int p = pos; p < breakAt; ++p)
                if (const EmbeddedObject* object = m_doc.ObjectAtPosition(p))
                    objectHeight = std::max<int>(objectHeight, object->Size().cy);
        } else {
            line.end = at;
            line.next = at < length ? std::min(at + 2, length) : length;
        }
        // Objects sit on the baseline and make the line taller.
        if (objectHeight > line.ascent) {
            line.height += objectHeight - line.ascent;
            line.ascent = objectHeight;
        }
        m_lines.push_back(line);
        y += line.height;
        if (line.next >= length && !(line.next == length && at < length))
            break;
        if (line.next == pos) // no progress: cannot happen, but never loop
            break;
        pos = line.next;
    }
    m_top = std::clamp(m_top, 0, static_cast<int>(m_lines.size()) - 1);
    UpdateScrollBar();
}

int RichEdit::LineOf(int pos) const
{
    for (size_t i = 0; i < m_lines.size(); ++i)
        if (pos < m_lines[i].next || i + 1 == m_lines.size())
            return static_cast<int>(i);
    return 0;
}

int RichEdit::XOf(int pos)
{
    const Line& line = m_lines[static_cast<size_t>(LineOf(pos))];
    int x = TextArea().left;
    for (int at = line.start; at < std::min(pos, line.end); at = m_doc.Next(at))
        x += CharWidth(at);
    return x;
}

int RichEdit::PosAt(POINT pt)
{
    if (m_lines.empty())
        return 0;
    const RECT area = TextArea();
    const int docY = pt.y - area.top + VisibleTop();
    size_t index = 0;
    while (index + 1 < m_lines.size() && docY >= m_lines[index].y + m_lines[index].height)
        ++index;
    if (docY < 0)
        index = static_cast<size_t>(std::max(m_top - 1, 0));
    const Line& line = m_lines[index];
    int x = area.left;
    for (int at = line.start; at < line.end; at = m_doc.Next(at)) {
        const int w = CharWidth(at);
        if (pt.x < x + w / 2)
            return at;
        x += w;
    }
    return line.end;
}

void RichEdit::Paint(HDC hdc)
{
    RECT client;
    GetClientRect(m_hwnd, &client);
    const COLORREF back = m_back == CLR_DEFAULT ? GetSysColor(COLOR_WINDOW) : m_back;
    HBRUSH brush = CreateSolidBrush(back);
    FillRect(hdc, &client, brush);
    DeleteObject(brush);
    SelectObject(hdc, Font());
    SetBkMode(hdc, TRANSPARENT);
    const RECT area = TextArea();
    IntersectClipRect(hdc, area.left, area.top, area.right, area.bottom);
    const bool showSelection = (m_focused || (Style() & ES_NOHIDESEL)) && !m_hideSelection;
    const int selStart = showSelection ? m_doc.SelStart() : 0;
    const int selEnd = showSelection ? m_doc.SelEnd() : 0;
    const std::string& raw = m_doc.Raw();
    const COLORREF text = GetSysColor(Enabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
    const int top = VisibleTop();
    for (size_t i = static_cast<size_t>(m_top); i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        const int y = area.top + line.y - top;
        if (y >= area.bottom)
            break;
        const int baseline = y + line.ascent;
        int x = area.left;
        int at = line.start;
        while (at < line.end) {
            const bool selected = at >= selStart && at < selEnd;
            if (m_doc.IsObjectAt(at)) {
                const EmbeddedObject* object = m_doc.ObjectAtPosition(at);
                const SIZE size = object ? object->Size() : SIZE{16, 16};
                RECT rc{x, baseline - size.cy, x + size.cx, baseline};
                if (!object || !object->Object() || FAILED(object->Object()->Draw(hdc, rc)))
                    FrameRect(hdc, &rc, GetSysColorBrush(COLOR_WINDOWTEXT));
                if (selected)
                    InvertRect(hdc, &rc);
                x += size.cx;
                at = m_doc.Next(at);
                continue;
            }
            // A run of text in one selection state, up to the next object.
            int stop = at;
            int width = 0;
            while (stop < line.end && !m_doc.IsObjectAt(stop) && (stop >= selStart && stop < selEnd) == selected) {
                width += CharWidth(stop);
                stop = m_doc.Next(stop);
            }
            if (selected) {
                RECT rc{x, y, x + width, y + line.height};
                FillRect(hdc, &rc, GetSysColorBrush(COLOR_HIGHLIGHT));
                SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            } else {
                SetTextColor(hdc, text);
            }
            // Tabs take their width but draw nothing.
            int runX = x;
            for (int p = at; p < stop;) {
                int q = p;
                while (q < stop && raw[static_cast<size_t>(q)] != '\t')
                    q = m_doc.Next(q);
                if (q > p) {
                    TextOutA(hdc, runX, baseline - m_ascent, raw.data() + p, q - p);
                    for (int r = p; r < q; r = m_doc.Next(r))
                        runX += CharWidth(r);
                }
                if (q < stop) {
                    runX += CharWidth(q);
                    ++q;
                }
                p = q;
            }
            x += width;
            at = stop;
        }
        // A selected line end shows as a little highlighted room.
        if (line.next > line.end && line.end >= selStart && line.end < selEnd) {
            RECT rc{x, y, x + 4, y + line.height};
            FillRect(hdc, &rc, GetSysColorBrush(COLOR_HIGHLIGHT));
        }
    }
}

// ---- State ----

void RichEdit::UpdateScrollBar()
{
    if (!m_scrollBar)
        return;
    const RECT area = TextArea();
    int visible = 0;
    for (size_t i = static_cast<size_t>(m_top), h = 0; i < m_lines.size(); ++i) {
        h += static_cast<size_t>(m_lines[i].height);
        if (static_cast<int>(h) > area.bottom - area.top)
            break;
        ++visible;
    }
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | ((Style() & ES_DISABLENOSCROLL) ? SIF_DISABLENOSCROLL : 0);
    info.nMin = 0;
    info.nMax = static_cast<int>(m_lines.size()) - 1;
    info.nPage = static_cast<UINT>(std::max(visible, 1));
    info.nPos = m_top;
    SetScrollInfo(m_hwnd, SB_VERT, &info, TRUE);
}

void RichEdit::ScrollTo(int line)
{
    line = std::clamp(line, 0, std::max<int>(static_cast<int>(m_lines.size()) - 1, 0));
    if (line == m_top)
        return;
    m_top = line;
    UpdateScrollBar();
    UpdateCaret();
    Redraw();
}

void RichEdit::EnsureCaretVisible()
{
    if (m_lines.empty())
        return;
    const int line = LineOf(m_doc.Caret());
    const RECT area = TextArea();
    if (line < m_top) {
        ScrollTo(line);
        return;
    }
    // Scroll down until the caret's line is wholly inside.
    int top = m_top;
    while (top < line && m_lines[static_cast<size_t>(line)].y + m_lines[static_cast<size_t>(line)].height -
                                 m_lines[static_cast<size_t>(top)].y > area.bottom - area.top)
        ++top;
    if (top != m_top && ((Style() & ES_AUTOVSCROLL) || m_scrollBar))
        ScrollTo(top);
}

void RichEdit::UpdateCaret()
{
    if (!m_focused || m_lines.empty())
        return;
    const int caret = m_doc.Caret();
    const Line& line = m_lines[static_cast<size_t>(LineOf(caret))];
    const RECT area = TextArea();
    SetCaretPos(XOf(caret), area.top + line.y - VisibleTop() + line.ascent - m_ascent);
}

void RichEdit::SelectionMoved()
{
    EnsureCaretVisible();
    UpdateCaret();
    Redraw();
    if (m_eventMask & ENM_SELCHANGE) {
        SELCHANGE change{};
        change.chrg = {m_doc.SelStart(), m_doc.SelEnd()};
        change.seltyp = static_cast<WORD>(m_doc.HasSelection() ? SEL_TEXT : SEL_EMPTY);
        Notify(EN_SELCHANGE, &change.nmhdr);
    }
}

// Every change of the content, whoever made it. A change made while the
// parent is still handling the last EN_CHANGE is not reported again: the
// parent reads the content after its own edits.
void RichEdit::Changed()
{
    Layout();
    m_goalX = -1;
    SelectionMoved();
    if ((m_eventMask & ENM_CHANGE) && !m_notifying) {
        m_notifying = true;
        Command(EN_CHANGE);
        m_notifying = false;
    }
}

bool RichEdit::InsertObjectRecord(const REOBJECT& record)
{
    if (record.cp != REO_CP_SELECTION) {
        if (record.cp < 0 || record.cp > m_doc.Length())
            return false;
        m_doc.Select(record.cp, record.cp);
    }
    if (!m_doc.InsertObject(std::make_shared<EmbeddedObject>(record)))
        return false;
    Changed();
    return true;
}

// ---- Input ----

// Sends EN_MSGFILTER when the mask asks for it; true when the parent ate the message.
bool RichEdit::Filter(UINT message, WPARAM wParam, LPARAM lParam, DWORD mask)
{
    if (!(m_eventMask & mask))
        return false;
    MSGFILTER filter{};
    filter.msg = message;
    filter.wParam = wParam;
    filter.lParam = lParam;
    return Notify(EN_MSGFILTER, &filter.nmhdr) != 0;
}

void RichEdit::MoveCaret(int pos, bool extend)
{
    m_doc.Select(extend ? m_doc.Anchor() : pos, pos);
    SelectionMoved();
}

void RichEdit::TypeText(const std::string& character)
{
    if (ReadOnly()) {
        MessageBeep(0);
        return;
    }
    if (m_doc.Type(character))
        Changed();
    else
        MessageBeep(0);
}

void RichEdit::Backspace()
{
    if (ReadOnly())
        return;
    if (!m_doc.HasSelection()) {
        if (m_doc.Caret() == 0)
            return;
        m_doc.Select(m_doc.Prev(m_doc.Caret()), m_doc.Caret());
    }
    if (m_doc.Replace("", true))
        Changed();
}

void RichEdit::Delete()
{
    if (ReadOnly())
        return;
    if (!m_doc.HasSelection()) {
        if (m_doc.Caret() >= m_doc.Length())
            return;
        m_doc.Select(m_doc.Caret(), m_doc.Next(m_doc.Caret()));
    }
    if (m_doc.Replace("", true))
        Changed();
}

bool RichEdit::Copy()
{
    if (!m_doc.HasSelection() || !OpenClipboard(m_hwnd))
        return false;
    const std::string text = m_doc.PlainRange(m_doc.SelStart(), m_doc.SelEnd());
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    bool done = false;
    if (block) {
        std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
        GlobalUnlock(block);
        done = SetClipboardData(CF_TEXT, block) != nullptr;
        if (!done)
            GlobalFree(block);
    }
    CloseClipboard();
    return done;
}

void RichEdit::Paste()
{
    if (ReadOnly() || !OpenClipboard(m_hwnd))
        return;
    std::string text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        HGLOBAL block = static_cast<HGLOBAL>(data);
        const char* p = static_cast<const char*>(GlobalLock(block));
        if (p)
            text.assign(p, strnlen(p, GlobalSize(block)));
        GlobalUnlock(block);
    }
    CloseClipboard();
    if (!text.empty() && m_doc.Replace(RichEditText::Clean(text), true))
        Changed();
}

void RichEdit::KeyDown(UINT key)
{
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool control = GetKeyState(VK_CONTROL) < 0;
    const int caret = m_doc.Caret();
    auto lineMove = [&](int delta) {
        const int line = LineOf(caret);
        const int target = std::clamp(line + delta, 0, static_cast<int>(m_lines.size()) - 1);
        if (m_goalX < 0)
            m_goalX = XOf(caret);
        const int goal = m_goalX;
        const Line& to = m_lines[static_cast<size_t>(target)];
        POINT pt{goal, TextArea().top + to.y - VisibleTop() + to.height / 2};
        int pos = target == line ? (delta < 0 ? 0 : m_doc.Length()) : PosAt(pt);
        if (target == line && delta < 0 && line != 0)
            pos = caret;
        MoveCaret(pos, shift);
        m_goalX = goal;
    };
    switch (key) {
    case VK_LEFT:
        m_goalX = -1;
        if (!shift && m_doc.HasSelection())
            MoveCaret(m_doc.SelStart(), false);
        else
            MoveCaret(control ? m_doc.WordLeft(caret) : m_doc.Prev(caret), shift);
        return;
    case VK_RIGHT:
        m_goalX = -1;
        if (!shift && m_doc.HasSelection())
            MoveCaret(m_doc.SelEnd(), false);
        else
            MoveCaret(control ? m_doc.WordRight(caret) : m_doc.Next(caret), shift);
        return;
    case VK_UP:
        lineMove(-1);
        return;
    case VK_DOWN:
        lineMove(1);
        return;
    case VK_PRIOR:
    case VK_NEXT: {
        const RECT area = TextArea();
        const int lines = std::max<int>((area.bottom - area.top) / std::max(m_lineHeight, 1), 1);
        lineMove(key == VK_PRIOR ? -lines : lines);
        return;
    }
    case VK_HOME:
        m_goalX = -1;
        MoveCaret(control ? 0 : m_lines[static_cast<size_t>(LineOf(caret))].start, shift);
        return;
    case VK_END:
        m_goalX = -1;
        MoveCaret(control ? m_doc.Length() : m_lines[static_cast<size_t>(LineOf(caret))].end, shift);
        return;
    case VK_DELETE:
        if (shift) {
            if (Copy())
                Delete();
        } else {
            Delete();
        }
        return;
    case VK_INSERT:
        if (control)
            Copy();
        else if (shift)
            Paste();
        return;
    default:
        break;
    }
    if (!control)
        return;
    switch (key) {
    case 'A':
        m_doc.Select(0, m_doc.Length());
        SelectionMoved();
        return;
    case 'C':
        Copy();
        return;
    case 'X':
        if (!ReadOnly() && Copy())
            Delete();
        return;
    case 'V':
        Paste();
        return;
    case 'Z':
        if (m_doc.Undo())
            Changed();
        return;
    default:
        return;
    }
}

void RichEdit::Char(UINT ch)
{
    if (m_pendingLead >= 0) {
        // The trail byte of a double-byte character typed byte by byte.
        const char pair[2] = {static_cast<char>(m_pendingLead), static_cast<char>(ch)};
        m_pendingLead = -1;
        if (ch >= 0x40)
            TypeText(std::string(pair, 2));
        return;
    }
    if (ch > 0xFF)
        return;
    if (IsLeadByte(static_cast<unsigned char>(ch))) {
        m_pendingLead = static_cast<int>(ch);
        return;
    }
    switch (ch) {
    case '\b':
        Backspace();
        return;
    case '\r':
    case '\n':
        if ((Style() & ES_MULTILINE))
            TypeText("\r\n");
        return;
    case '\t':
        TypeText("\t");
        return;
    default:
        if (ch >= 0x20 && ch != 0x7F)
            TypeText(std::string(1, static_cast<char>(ch)));
        return;
    }
}

LRESULT RichEdit::FindText(WPARAM flags, CHARRANGE range, LPCSTR text, CHARRANGE* found)
{
    if (!text)
        return -1;
    // Version 1.0 searches forward whatever FR_DOWN says.
    const int at = m_doc.Find(text, range.cpMin, range.cpMax, (flags & FR_MATCHCASE) != 0, (flags & FR_WHOLEWORD) != 0);
    if (found) {
        found->cpMin = at;
        found->cpMax = at < 0 ? -1 : at + static_cast<LONG>(std::strlen(text));
    }
    return at;
}

void RichEdit::SetText(LPCSTR text)
{
    m_doc.SetText(RichEditText::Clean(text ? text : ""));
    m_top = 0;
    Changed();
}

LRESULT RichEdit::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && message != WM_MOUSEMOVE &&
        Filter(message, wParam, lParam, ENM_MOUSEEVENTS))
        return 0;
    if (message == WM_MOUSEMOVE && Filter(message, wParam, lParam, ENM_MOUSEEVENTS))
        return 0;
    if ((message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR) &&
        Filter(message, wParam, lParam, ENM_KEYEVENTS))
        return 0;
    switch (message) {
    case WM_CREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        m_scrollBar = (Style() & WS_VSCROLL) != 0;
        m_doc.SetText(RichEditText::Clean(cs && cs->lpszName ? cs->lpszName : ""));
        Layout();
        return 0;
    }
    case WM_SIZE:
        Layout();
        EnsureCaretVisible();
        UpdateCaret();
        Redraw();
        return 0;
    case WM_SETFONT:
        Control::Handle(message, wParam, lParam);
        m_widths.clear();
        Layout();
        UpdateCaret();
        return 0;
    case WM_GETDLGCODE: {
        // Return stays in a multi-line body that wants it; Tab and Esc go to the dialog.
        LRESULT code = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && (Style() & ES_MULTILINE) &&
            (Style() & ES_WANTRETURN))
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_SETFOCUS:
        m_focused = true;
        CreateCaret(m_hwnd, nullptr, 1, m_lineHeight);
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
    case WM_LBUTTONDOWN: {
        if (GetFocus() != m_hwnd)
            SetFocus(m_hwnd);
        const int pos = PosAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        m_goalX = -1;
        MoveCaret(pos, (wParam & MK_SHIFT) != 0);
        m_dragging = true;
        SetCapture(m_hwnd);
        return 0;
    }
    case WM_LBUTTONDBLCLK: {
        const int pos = PosAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        const int start = m_doc.WordLeft(m_doc.Next(pos));
        m_doc.Select(start, m_doc.WordRight(start));
        SelectionMoved();
        return 0;
    }
    case WM_MOUSEMOVE:
        if (m_dragging) {
            const int pos = PosAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            if (pos != m_doc.Caret())
                MoveCaret(pos, true);
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
    case WM_MOUSEWHEEL: {
        const int delta = static_cast<short>(HIWORD(wParam));
        ScrollTo(m_top - delta / WHEEL_DELTA * 3);
        return 0;
    }
    case WM_VSCROLL: {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        GetScrollInfo(m_hwnd, SB_VERT, &info);
        int line = m_top;
        switch (LOWORD(wParam)) {
        case SB_LINEUP: line -= 1; break;
        case SB_LINEDOWN: line += 1; break;
        case SB_PAGEUP: line -= std::max<int>(static_cast<int>(info.nPage), 1); break;
        case SB_PAGEDOWN: line += std::max<int>(static_cast<int>(info.nPage), 1); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: line = info.nTrackPos; break;
        case SB_TOP: line = 0; break;
        case SB_BOTTOM: line = static_cast<int>(m_lines.size()); break;
        default: break;
        }
        ScrollTo(std::min(line, std::max<int>(static_cast<int>(m_lines.size()) - static_cast<int>(info.nPage), 0)));
        return 0;
    }
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
            TypeText(pair);
        else
            Char(static_cast<UINT>(wParam));
        return 0;
    }
    case WM_SETTEXT:
        SetText(reinterpret_cast<LPCSTR>(lParam));
        return TRUE;
    case WM_GETTEXT:
        return CopyTextOut(m_doc.PlainText(), wParam, lParam);
    case WM_GETTEXTLENGTH:
        return m_doc.Length();
    case WM_CUT:
        if (!ReadOnly() && Copy())
            Delete();
        return 0;
    case WM_COPY:
        Copy();
        return 0;
    case WM_PASTE:
        Paste();
        return 0;
    case WM_CLEAR:
        if (m_doc.HasSelection())
            Delete();
        return 0;
    case WM_UNDO:
    case EM_UNDO:
        if (m_doc.Undo()) {
            Changed();
            return TRUE;
        }
        return FALSE;
    case EM_CANUNDO:
        return m_doc.CanUndo();
    case EM_EMPTYUNDOBUFFER:
        m_doc.EmptyUndo();
        return 0;
    case EM_CANPASTE:
        if (ReadOnly())
            return FALSE;
        return (wParam == 0 || wParam == CF_TEXT) && IsClipboardFormatAvailable(CF_TEXT);
    case EM_GETSEL:
        return GetSelAnswer(m_doc.SelStart(), m_doc.SelEnd(), wParam, lParam);
    case EM_SETSEL:
    case EM_EXSETSEL: {
        CHARRANGE range{static_cast<LONG>(wParam), static_cast<LONG>(lParam)};
        if (message == EM_EXSETSEL) {
            const auto* given = reinterpret_cast<const CHARRANGE*>(lParam);
            if (!given)
                return m_doc.SelEnd();
            range = *given;
        }
        if (range.cpMin < 0) {
            // A negative start takes the selection away, leaving the caret.
            m_doc.Select(m_doc.Caret(), m_doc.Caret());
        } else if (range.cpMax < 0 || range.cpMax > m_doc.Length()) {
            m_doc.Select(range.cpMin, m_doc.Length());
        } else {
            m_doc.Select(range.cpMin, range.cpMax);
        }
        m_goalX = -1;
        SelectionMoved();
        return message == EM_EXSETSEL ? m_doc.SelEnd() : 0;
    }
    case EM_EXGETSEL:
        if (auto* range = reinterpret_cast<CHARRANGE*>(lParam)) {
            range->cpMin = m_doc.SelStart();
            range->cpMax = m_doc.SelEnd();
        }
        return 0;
    case EM_GETSELTEXT: {
        const std::string text = m_doc.PlainRange(m_doc.SelStart(), m_doc.SelEnd());
        if (auto* buffer = reinterpret_cast<LPSTR>(lParam)) {
            std::memcpy(buffer, text.c_str(), text.size() + 1);
            return static_cast<LRESULT>(text.size());
        }
        return 0;
    }
    case EM_SELECTIONTYPE: {
        if (!m_doc.HasSelection())
            return SEL_EMPTY;
        int objects = 0, texts = 0;
        for (int p = m_doc.SelStart(); p < m_doc.SelEnd(); p = m_doc.Next(p))
            (m_doc.IsObjectAt(p) ? objects : texts)++;
        return (texts ? SEL_TEXT : 0) | (texts > 1 ? SEL_MULTICHAR : 0) | (objects ? SEL_OBJECT : 0) |
               (objects > 1 ? SEL_MULTIOBJECT : 0);
    }
    case EM_REPLACESEL:
        if (m_doc.Replace(RichEditText::Clean(lParam ? reinterpret_cast<LPCSTR>(lParam) : ""), wParam != 0))
            Changed();
        return 0;
    case EM_GETTEXTRANGE: {
        auto* range = reinterpret_cast<TEXTRANGEA*>(lParam);
        if (!range || !range->lpstrText)
            return 0;
        const int end = range->chrg.cpMax < 0 ? m_doc.Length() : range->chrg.cpMax;
        const std::string text = m_doc.PlainRange(range->chrg.cpMin, end);
        std::memcpy(range->lpstrText, text.c_str(), text.size() + 1);
        return static_cast<LRESULT>(text.size());
    }
    case EM_FINDTEXT: {
        const auto* find = reinterpret_cast<const FINDTEXTA*>(lParam);
        return find ? FindText(wParam, find->chrg, find->lpstrText, nullptr) : -1;
    }
    case EM_FINDTEXTEX: {
        auto* find = reinterpret_cast<FINDTEXTEXA*>(lParam);
        return find ? FindText(wParam, find->chrg, find->lpstrText, &find->chrgText) : -1;
    }
    case EM_SETEVENTMASK: {
        const DWORD old = m_eventMask;
        m_eventMask = static_cast<DWORD>(lParam);
        return static_cast<LRESULT>(old);
    }
    case EM_GETEVENTMASK:
        return static_cast<LRESULT>(m_eventMask);
    case EM_SETBKGNDCOLOR: {
        // The colour in use before, the system's one spelled out.
        const COLORREF old = m_back == CLR_DEFAULT ? GetSysColor(COLOR_WINDOW) : m_back;
        m_back = wParam ? CLR_DEFAULT : static_cast<COLORREF>(lParam);
        Redraw();
        return static_cast<LRESULT>(old);
    }
    case EM_GETOLEINTERFACE: {
        auto** out = reinterpret_cast<IRichEditOle**>(lParam);
        if (!out)
            return FALSE;
        *out = m_ole;
        m_ole->AddRef();
        return TRUE;
    }
    case EM_HIDESELECTION:
        m_hideSelection = wParam != 0;
        Redraw();
        return 0;
    case EM_LIMITTEXT:
    case EM_EXLIMITTEXT: {
        const int limit = static_cast<int>(message == EM_EXLIMITTEXT ? lParam : static_cast<LPARAM>(wParam));
        m_doc.SetLimit(limit <= 0 ? (message == EM_EXLIMITTEXT ? 65536 : 0x7FFFFFFE) : limit);
        return 0;
    }
    case EM_GETLIMITTEXT:
        return m_doc.Limit();
    case EM_SETREADONLY: {
        const LONG style = GetWindowLongA(m_hwnd, GWL_STYLE);
        SetWindowLongA(m_hwnd, GWL_STYLE, wParam ? (style | ES_READONLY) : (style & ~ES_READONLY));
        Redraw();
        return TRUE;
    }
    case EM_GETMODIFY:
        return m_doc.Modified();
    case EM_SETMODIFY:
        m_doc.SetModified(wParam != 0);
        return 0;
    case EM_GETLINECOUNT:
        return static_cast<LRESULT>(m_lines.size());
    case EM_GETFIRSTVISIBLELINE:
        return m_top;
    case EM_LINEINDEX: {
        const int line = static_cast<int>(wParam) < 0 ? LineOf(m_doc.Caret()) : static_cast<int>(wParam);
        return line < static_cast<int>(m_lines.size()) ? m_lines[static_cast<size_t>(line)].start : -1;
    }
    case EM_LINEFROMCHAR:
    case EM_EXLINEFROMCHAR: {
        const LPARAM pos = message == EM_EXLINEFROMCHAR ? lParam : static_cast<LPARAM>(wParam);
        return LineOf(pos < 0 ? m_doc.Caret() : static_cast<int>(pos));
    }
    case EM_LINELENGTH: {
        const int pos = static_cast<int>(wParam) < 0 ? m_doc.Caret() : static_cast<int>(wParam);
        const Line& line = m_lines[static_cast<size_t>(LineOf(pos))];
        return line.end - line.start;
    }
    case EM_LINESCROLL:
        ScrollTo(m_top + static_cast<int>(lParam));
        return TRUE;
    case EM_SCROLLCARET:
        EnsureCaretVisible();
        UpdateCaret();
        return 0;
    case EM_POSFROMCHAR: {
        // Version 1.0: wParam points at the answer, lParam is the position.
        auto* pt = reinterpret_cast<POINT*>(wParam);
        const int pos = static_cast<int>(lParam);
        if (!pt || pos < 0 || pos > m_doc.Length())
            return 0;
        const Line& line = m_lines[static_cast<size_t>(LineOf(pos))];
        pt->x = XOf(pos);
        pt->y = TextArea().top + line.y - VisibleTop();
        return 0;
    }
    case EM_CHARFROMPOS: {
        const auto* pt = reinterpret_cast<const POINT*>(lParam);
        return pt ? PosAt(*pt) : 0;
    }
    default:
        return Control::Handle(message, wParam, lParam);
    }
}

} // namespace

bool RegisterRichEdit()
{
    return RegisterControl(RICHEDIT_CLASSA, ControlProc<RichEdit>, CS_DBLCLKS, IDC_IBEAM);
}

} // namespace tavrin::controls
