#include "platform/controls/EditText.h"

#include "platform/base/String.h"

#include <algorithm>

namespace tavrin::controls {

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

void EditText::SetText(std::string_view text)
{
    m_text.assign(text.data(), text.size());
    m_anchor = m_caret = 0;
    m_modified = false;
    EmptyUndo();
}

int EditText::Snap(int pos) const
{
    pos = std::clamp(pos, 0, Length());
    const char* begin = m_text.data();
    const char* end = begin + m_text.size();
    int at = 0;
    while (at < pos) {
        const int n = CharLength(begin + at, end);
        if (at + n > pos)
            break;
        at += n;
    }
    return at;
}

int EditText::Prev(int pos) const
{
    pos = Snap(pos);
    return pos == 0 ? 0 : Snap(pos - 1);
}

int EditText::Next(int pos) const
{
    pos = Snap(pos);
    if (pos >= Length())
        return Length();
    return pos + CharLength(m_text.data() + pos, m_text.data() + m_text.size());
}

int EditText::WordLeft(int pos) const
{
    pos = Prev(Snap(pos));
    while (pos > 0 && IsSpace(m_text[static_cast<size_t>(pos)]))
        pos = Prev(pos);
    while (pos > 0) {
        const int before = Prev(pos);
        if (IsSpace(m_text[static_cast<size_t>(before)]))
            break;
        pos = before;
    }
    return pos;
}

int EditText::WordRight(int pos) const
{
    pos = Snap(pos);
    while (pos < Length() && !IsSpace(m_text[static_cast<size_t>(pos)]))
        pos = Next(pos);
    while (pos < Length() && IsSpace(m_text[static_cast<size_t>(pos)]))
        pos = Next(pos);
    return pos;
}

int EditText::CharCount() const
{
    int n = 0;
    for (int at = 0; at < Length(); at = Next(at))
        ++n;
    return n;
}

int EditText::PosOfChar(int n) const
{
    int at = 0;
    for (int i = 0; i < n && at < Length(); ++i)
        at = Next(at);
    return at;
}

int EditText::CharOfPos(int pos) const
{
    pos = Snap(pos);
    int n = 0;
    for (int at = 0; at < pos; at = Next(at))
        ++n;
    return n;
}

void EditText::Select(int anchor, int caret)
{
    m_anchor = Snap(anchor);
    m_caret = Snap(caret);
    m_typing = false;
}

void EditText::Remember()
{
    m_undoText = m_text;
    m_undoAnchor = m_anchor;
    m_undoCaret = m_caret;
    m_canUndo = true;
}

bool EditText::Replace(std::string_view text, bool undoable, bool* cut)
{
    const int start = SelStart(), end = SelEnd();
    const long long room = static_cast<long long>(m_limit) - (Length() - (end - start));
    // Whole characters only, as many as fit.
    size_t take = 0;
    const char* p = text.data();
    const char* stop = p + text.size();
    while (p + take < stop) {
        const size_t n = static_cast<size_t>(CharLength(p + take, stop));
        if (static_cast<long long>(take + n) > room)
            break;
        take += n;
    }
    if (cut)
        *cut = take < text.size();
    if (take == 0 && start == end)
        return false;
    if (undoable)
        Remember();
    else
        EmptyUndo();
    m_text.replace(static_cast<size_t>(start), static_cast<size_t>(end - start), text.data(), take);
    m_anchor = m_caret = start + static_cast<int>(take);
    m_modified = true;
    m_typing = false;
    return true;
}

bool EditText::Type(std::string_view character, bool* cut)
{
    const bool merge = m_typing && !HasSelection() && m_canUndo;
    std::string keep = m_undoText;
    const int keepAnchor = m_undoAnchor, keepCaret = m_undoCaret;
    const bool changed = Replace(character, true, cut);
    if (changed && merge) {
        m_undoText = std::move(keep);
        m_undoAnchor = keepAnchor;
        m_undoCaret = keepCaret;
    }
    m_typing = changed;
    return changed;
}

bool EditText::Undo()
{
    if (!m_canUndo)
        return false;
    std::swap(m_text, m_undoText);
    const int anchor = m_anchor, caret = m_caret;
    m_anchor = m_undoAnchor;
    m_caret = m_undoCaret;
    // After an undo the restored text is selected as the last change left it.
    m_anchor = Snap(m_anchor);
    m_caret = Snap(m_caret);
    m_undoAnchor = anchor;
    m_undoCaret = caret;
    m_modified = true;
    m_typing = false;
    return true;
}

} // namespace tavrin::controls
