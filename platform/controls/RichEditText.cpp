#include "platform/controls/RichEditText.h"

#include "platform/base/MulDiv.h"
#include "platform/base/String.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace tavrin::controls {

EmbeddedObject::EmbeddedObject(const REOBJECT& record) : m_record(record)
{
    m_record.cp = 0;
    if (m_record.poleobj)
        m_record.poleobj->AddRef();
    if (m_record.pstg)
        m_record.pstg->AddRef();
    if (m_record.polesite)
        m_record.polesite->AddRef();
}

EmbeddedObject::~EmbeddedObject()
{
    if (m_record.poleobj)
        m_record.poleobj->Release();
    if (m_record.pstg)
        m_record.pstg->Release();
    if (m_record.polesite)
        m_record.polesite->Release();
}

void EmbeddedObject::Fill(REOBJECT* out, LONG cp, DWORD flags) const
{
    *out = m_record;
    out->cbStruct = sizeof(REOBJECT);
    out->cp = cp;
    out->poleobj = (flags & REO_GETOBJ_POLEOBJ) ? m_record.poleobj : nullptr;
    out->pstg = (flags & REO_GETOBJ_PSTG) ? m_record.pstg : nullptr;
    out->polesite = (flags & REO_GETOBJ_POLESITE) ? m_record.polesite : nullptr;
    if (out->poleobj)
        out->poleobj->AddRef();
    if (out->pstg)
        out->pstg->AddRef();
    if (out->polesite)
        out->polesite->AddRef();
}

SIZE EmbeddedObject::Size() const
{
    SIZEL himetric = m_record.sizel;
    if ((himetric.cx <= 0 || himetric.cy <= 0) && m_record.poleobj)
        m_record.poleobj->GetExtent(DVASPECT_CONTENT, &himetric);
    SIZE size{MulDiv(himetric.cx, 96, 2540), MulDiv(himetric.cy, 96, 2540)};
    // An object without a size still takes a visible place.
    if (size.cx <= 0 || size.cy <= 0)
        size = {16, 16};
    return size;
}

std::string RichEditText::Clean(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (IsLeadByte(c)) {
            const unsigned char trail = p + 1 < end ? static_cast<unsigned char>(p[1]) : 0;
            if (trail >= 0x40 && trail != 0x7F && trail != 0xFF) {
                out.append(p, 2);
                p += 2;
            } else {
                ++p; // a lead byte without its trail byte
            }
            continue;
        }
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            p += (c == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 1;
            continue;
        }
        if (c >= 0x20 || c == '\t')
            out += static_cast<char>(c);
        ++p;
    }
    return out;
}

std::string RichEditText::PlainText() const
{
    return PlainRange(0, Length());
}

std::string RichEditText::PlainRange(int start, int end) const
{
    start = std::clamp(start, 0, Length());
    end = std::clamp(end, start, Length());
    std::string out = Raw().substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
    std::replace(out.begin(), out.end(), kObjectMark, kObjectText);
    return out;
}

void RichEditText::SetText(std::string_view cleanText)
{
    m_text.SetText(cleanText);
    m_objects.clear();
    m_undoObjects.clear();
    m_typing = false;
}

void RichEditText::Select(int anchor, int caret)
{
    // The caret never sits between CR and LF.
    auto fix = [this](int pos) {
        pos = m_text.Snap(pos);
        if (pos > 0 && pos < Length() && Raw()[static_cast<size_t>(pos - 1)] == '\r' && Raw()[static_cast<size_t>(pos)] == '\n')
            --pos;
        return pos;
    };
    m_text.Select(fix(anchor), fix(caret));
    m_typing = false;
}

int RichEditText::Prev(int pos) const
{
    pos = m_text.Prev(pos);
    if (pos > 0 && Raw()[static_cast<size_t>(pos)] == '\n' && Raw()[static_cast<size_t>(pos - 1)] == '\r')
        --pos;
    return pos;
}

int RichEditText::Next(int pos) const
{
    const int next = m_text.Next(pos);
    if (next < Length() && Raw()[static_cast<size_t>(next - 1)] == '\r' && Raw()[static_cast<size_t>(next)] == '\n')
        return next + 1;
    return next;
}

int RichEditText::MarksBefore(int pos) const
{
    return static_cast<int>(std::count(Raw().begin(), Raw().begin() + std::clamp(pos, 0, Length()), kObjectMark));
}

// Objects follow an edit of [start, end) that left [start, newEnd).
void RichEditText::Edit(int start, int end, int newEnd, std::vector<ObjectRef> inserted)
{
    (void)end;
    const int first = MarksBefore(start);
    const int after = MarksBefore(newEnd) - first; // marks now in the new range
    const int total = MarksBefore(Length());
    const int removed = static_cast<int>(m_objects.size()) - (total - after);
    m_objects.erase(m_objects.begin() + first, m_objects.begin() + first + removed);
    inserted.resize(static_cast<size_t>(after));
    m_objects.insert(m_objects.begin() + first, inserted.begin(), inserted.end());
}

bool RichEditText::Replace(std::string_view cleanText, bool undoable)
{
    const int start = SelStart(), end = SelEnd();
    std::vector<ObjectRef> before = m_objects;
    if (!m_text.Replace(cleanText, undoable))
        return false;
    Edit(start, end, Caret(), {});
    if (undoable)
        m_undoObjects = std::move(before);
    else
        m_undoObjects.clear();
    m_typing = false;
    return true;
}

bool RichEditText::Type(std::string_view character)
{
    const bool merge = m_typing && !HasSelection() && CanUndo();
    const int start = SelStart(), end = SelEnd();
    std::vector<ObjectRef> before = m_objects;
    if (!m_text.Type(character)) {
        m_typing = false;
        return false;
    }
    Edit(start, end, Caret(), {});
    if (!merge)
        m_undoObjects = std::move(before);
    m_typing = true;
    return true;
}

bool RichEditText::InsertObject(ObjectRef object)
{
    const int start = SelStart(), end = SelEnd();
    std::vector<ObjectRef> before = m_objects;
    if (!m_text.Replace(std::string_view(&kObjectMark, 1), true))
        return false;
    if (Caret() == start) {
        // No room under the limit: only the selection went.
        Edit(start, end, Caret(), {});
    } else {
        Edit(start, end, Caret(), {std::move(object)});
    }
    m_undoObjects = std::move(before);
    m_typing = false;
    return Caret() > start;
}

bool RichEditText::Undo()
{
    if (!m_text.Undo())
        return false;
    std::swap(m_objects, m_undoObjects);
    m_typing = false;
    return true;
}

void RichEditText::EmptyUndo()
{
    m_text.EmptyUndo();
    m_undoObjects.clear();
    m_typing = false;
}

const EmbeddedObject* RichEditText::ObjectAt(int index) const
{
    if (index < 0 || index >= ObjectCount())
        return nullptr;
    return m_objects[static_cast<size_t>(index)].get();
}

int RichEditText::ObjectPosition(int index) const
{
    int seen = 0;
    for (int pos = 0; pos < Length(); ++pos)
        if (Raw()[static_cast<size_t>(pos)] == kObjectMark && seen++ == index)
            return pos;
    return -1;
}

const EmbeddedObject* RichEditText::ObjectAtPosition(int pos) const
{
    return IsObjectAt(pos) ? ObjectAt(MarksBefore(pos)) : nullptr;
}

int RichEditText::Find(std::string_view what, int start, int end, bool matchCase, bool wholeWord) const
{
    if (what.empty() || what.find(kObjectMark) != std::string_view::npos)
        return -1;
    start = Snap(std::max(start, 0));
    end = (end < 0 || end > Length()) ? Length() : end;
    auto fold = [matchCase](unsigned char c) { return matchCase ? c : static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + 32 : c); };
    auto isWordChar = [this](int pos) {
        if (pos < 0 || pos >= Length())
            return false;
        const unsigned char c = static_cast<unsigned char>(Raw()[static_cast<size_t>(pos)]);
        return std::isalnum(c) || c == '_';
    };
    const std::string& text = Raw();
    for (int pos = start; pos + static_cast<int>(what.size()) <= end; pos = m_text.Next(pos)) {
        // Compare byte by byte; a double-byte pair is compared as it stands.
        size_t i = 0;
        for (; i < what.size(); ++i) {
            const unsigned char a = static_cast<unsigned char>(text[static_cast<size_t>(pos) + i]);
            const unsigned char b = static_cast<unsigned char>(what[i]);
            if (IsLeadByte(b) && i + 1 < what.size()) {
                if (a != b || static_cast<unsigned char>(text[static_cast<size_t>(pos) + i + 1]) !=
                                  static_cast<unsigned char>(what[i + 1]))
                    break;
                ++i;
                continue;
            }
            if (fold(a) != fold(b))
                break;
        }
        if (i < what.size())
            continue;
        const int stop = pos + static_cast<int>(what.size());
        // The match must end on a character boundary.
        if (Snap(stop) != stop)
            continue;
        if (wholeWord && (isWordChar(pos - 1) || isWordChar(stop)))
            continue;
        return pos;
    }
    return -1;
}

} // namespace tavrin::controls
