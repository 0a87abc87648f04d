#include "core/services/XmlFile.h"

#include "core/services/FolderUtil.h"
#include "core/services/XmlText.h"
#include "core/services/XmlTree.h"
#include "platform/base/FileApi.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

using tavrin::XmlTree;

namespace {
// Cursor ids are unique in the process: files share one counter.
std::atomic<int> g_cursorCounter{0};

std::string_view View(const char* s)
{
    return s ? std::string_view(s) : std::string_view();
}

CString ToCString(std::string_view v)
{
    return CString(v.data(), static_cast<int>(v.size()));
}

CString Unescaped(std::string_view v)
{
    if (v.find('&') == std::string_view::npos)
        return ToCString(v);
    std::string out;
    tavrin::AppendXmlUnescaped(out, v);
    return CString(std::move(out));
}

// A file that is there and may hold data the load could not read. A missing
// or empty file holds nothing to keep.
bool HoldsUnreadData(const char* fileName)
{
    if (GetFileAttributesA(fileName) == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
    }
    std::string bytes;
    return !(tavrin::ReadWholeFile(fileName, bytes) && bytes.empty());
}

std::string Escaped(const char* value, bool attributeMode)
{
    std::string out;
    tavrin::AppendXmlEscaped(out, View(value), attributeMode);
    return out;
}

// Stored attribute text against a wanted value, both decoded: a quote is
// stored as an entity, while callers pass values escaped the text way or
// not at all.
bool SameDecoded(std::string_view stored, const std::string& wantedDecoded)
{
    if (stored.find('&') == std::string_view::npos)
        return stored == wantedDecoded;
    std::string decoded;
    tavrin::AppendXmlUnescaped(decoded, stored);
    return decoded == wantedDecoded;
}

// The folder part of the file name (everything before the last backslash)
// with every missing parent folder.
void CreateFolderOf(const CString& fileName)
{
    int slash = fileName.ReverseFind('\\');
    if (slash > 0)
        CreateDirectoryPath(fileName.Left(slash));
}

int Clamp(int pos, uint32_t count)
{
    return std::clamp(pos, 0, static_cast<int>(count));
}
} // namespace

CXmlFile::CXmlFile() = default;

CXmlFile::~CXmlFile() = default;

// ---- places

XmlNodeStruct* CXmlFile::Document() const
{
    XmlTree* tree = m_document.GetTree();
    return tree ? tree->Document() : nullptr;
}

XmlNodeStruct* CXmlFile::ParentOf(const Place& place, size_t level) const
{
    return level == 0 ? Document() : place.steps[level - 1].node;
}

XmlNodeStruct* CXmlFile::Current() const
{
    XmlNodeStruct* doc = Document();
    if (!doc)
        return nullptr;
    return m_live->steps.empty() ? doc : m_live->steps.back().node;
}

CXmlFile::Place& CXmlFile::Select(int c)
{
    if (c != m_active) {
        auto it = m_places.find(c);
        if (it == m_places.end())
            it = m_places.emplace(c, *m_live).first;  // an unknown id adopts the live place
        m_live = &it->second;
        m_active = c;
    }
    Validate(*m_live);
    return *m_live;
}

// Changes made through the file keep every place right (Inserted, Removed).
// This check catches what changed behind the file's back through node
// handles: a place never leads to a freed node. Nothing to check while the
// tree has not changed since the last time.
void CXmlFile::Validate(Place& place)
{
    XmlTree* tree = m_document.GetTree();
    uint64_t version = tree ? tree->Version() : 0;
    if (version != 0 && place.version == version)
        return;
    ValidateSteps(place);
    place.version = version;
}

void CXmlFile::ValidateSteps(Place& place)
{
    XmlNodeStruct* parent = Document();
    if (!parent) {
        place.steps.clear();
        return;
    }
    for (size_t k = 0; k < place.steps.size(); ++k) {
        Step& s = place.steps[k];
        bool alive = s.node && s.node->generation == s.generation && s.node->type != XmlNone && s.node->parent == parent;
        if (alive && (s.pos < 0 || static_cast<uint32_t>(s.pos) >= parent->childCount || tavrin::XmlChildAt(parent, s.pos) != s.node)) {
            alive = false;
            for (uint32_t i = 0; i < parent->childCount; ++i) {
                if (tavrin::XmlChildAt(parent, i) == s.node) {
                    s.pos = static_cast<int>(i);
                    alive = true;
                    break;
                }
            }
        }
        if (!alive) {
            if (s.node)
                place.gapName.clear();
            s.node = nullptr;
            s.pos = Clamp(s.pos, parent->childCount);
            place.steps.resize(k + 1);
            return;
        }
        parent = s.node;
    }
}

void CXmlFile::Enter(XmlNodeStruct* child, int index)
{
    m_live->steps.push_back({child, child->generation, index});
}

void CXmlFile::ResetCursors()
{
    m_places.clear();
    m_orphan = Place();
    m_live = &m_places[-1];
    m_active = -1;
}

void CXmlFile::Inserted(XmlNodeStruct* parent, int index)
{
    auto shift = [&](Place& place) {
        for (size_t k = 0; k < place.steps.size(); ++k) {
            if (ParentOf(place, k) != parent)
                continue;
            Step& s = place.steps[k];
            // An element moves up when something goes in before it; a gap
            // moves only when the new element lands before the gap's place.
            if (s.node ? s.pos >= index : s.pos > index)
                ++s.pos;
            return;
        }
    };
    for (auto& [id, place] : m_places)
        shift(place);
    shift(m_orphan);
}

void CXmlFile::Removed(XmlNodeStruct* parent, int index, XmlNodeStruct* child)
{
    auto shift = [&](Place& place) {
        for (size_t k = 0; k < place.steps.size(); ++k) {
            if (ParentOf(place, k) != parent)
                continue;
            Step& s = place.steps[k];
            if (s.node == child) {
                place.gapName.assign(tavrin::XmlName(child));
                s.node = nullptr;
                s.pos = index;
                place.steps.resize(k + 1);
            } else if (s.pos > index) {
                --s.pos;
            }
            return;
        }
    };
    for (auto& [id, place] : m_places)
        shift(place);
    shift(m_orphan);
}

// ---- document

BOOL CXmlFile::Load(const char* fileName, BOOL create)
{
    std::lock_guard lock(m_lock);
    m_fileName = CString(fileName);
    m_keptFile.Empty();
    BOOL ok = m_document.LoadFile(fileName, XML_PARSE_KEEP_OPTIONS, 1024000);
    if (!ok && fileName && *fileName && HoldsUnreadData(fileName))
        m_keptFile = m_fileName;
    if (!ok && create) {
        m_document.Create();
        m_modified = TRUE;
    }
    ResetCursors();
    return Document() != nullptr;
}

BOOL CXmlFile::Save()
{
    std::lock_guard lock(m_lock);
    if (!Document() || m_fileName.IsEmpty() || m_fileName == m_keptFile)
        return FALSE;
    CreateFolderOf(m_fileName);
    if (!tavrin::WriteXmlFile(m_fileName, m_document.GetDocument()))
        return FALSE;
    m_modified = FALSE;
    return TRUE;
}

BOOL CXmlFile::SaveAs(const char* fileName)
{
    std::lock_guard lock(m_lock);
    m_fileName = CString(fileName);
    return Save();
}

void CXmlFile::Clear()
{
    std::lock_guard lock(m_lock);
    XmlNodeStruct* doc = Document();
    if (doc && doc->childCount)
        m_modified = TRUE;
    m_document.Create();
    ResetCursors();
}

BOOL CXmlFile::IsModified()
{
    std::lock_guard lock(m_lock);
    return m_modified;
}

BOOL CXmlFile::IsFileKept()
{
    std::lock_guard lock(m_lock);
    return !m_keptFile.IsEmpty();
}

// ---- cursors

int CXmlFile::NewCursor()
{
    std::lock_guard lock(m_lock);
    int id = ++g_cursorCounter;
    Place copy = *m_live;
    Place& place = m_places[id] = std::move(copy);
    m_live = &place;
    m_active = id;
    return id;
}

void CXmlFile::ReleaseCursor(int id)
{
    std::lock_guard lock(m_lock);
    auto it = m_places.find(id);
    if (it == m_places.end())
        return;
    if (&it->second == m_live) {
        m_orphan = std::move(it->second);
        m_live = &m_orphan;
        m_active = -2;
    }
    m_places.erase(it);
}

// ---- navigation

int CXmlFile::FindChild(XmlNodeStruct* parent, const char* name, const char* attribute, const char* value) const
{
    if (!parent || !name || !tavrin::HasXmlChildren(parent->type))
        return -1;
    std::string_view wanted(name);
    std::string_view attrName = View(attribute);
    std::string decoded;
    if (attribute)
        tavrin::AppendXmlUnescaped(decoded, View(value));
    for (uint32_t i = 0; i < parent->childCount; ++i) {
        XmlNodeStruct* child = tavrin::XmlChildAt(parent, i);
        if (!tavrin::HasXmlName(child->type) || !child->text || tavrin::XmlName(child) != wanted)
            continue;
        if (!attribute)
            return static_cast<int>(i);
        uint32_t count = tavrin::XmlAttributeCount(child);
        for (uint32_t a = 0; a < count; ++a) {
            XmlAttributeStruct* at = tavrin::XmlAttributeAt(child, a);
            if (at->name && tavrin::XmlAttributeName(at) == attrName) {
                if (at->value && SameDecoded(tavrin::XmlAttributeValue(at), decoded))
                    return static_cast<int>(i);
                break;
            }
        }
    }
    return -1;
}

BOOL CXmlFile::ResetPos(int c)
{
    std::lock_guard lock(m_lock);
    Select(c).steps.clear();
    return Document() != nullptr;
}

BOOL CXmlFile::FindChildElem(const char* name, BOOL create, int c)
{
    std::lock_guard lock(m_lock);
    Select(c);
    XmlNodeStruct* cur = Current();
    int index = FindChild(cur, name, nullptr, nullptr);
    if (index < 0 && create && CreateChildElem(name, c))
        index = FindChild(cur, name, nullptr, nullptr);
    if (index < 0)
        return FALSE;
    Enter(tavrin::XmlChildAt(cur, static_cast<uint32_t>(index)), index);
    return TRUE;
}

BOOL CXmlFile::FindChildElemWithAttrib(const char* name, const char* attribute, const char* value, int c)
{
    std::lock_guard lock(m_lock);
    Select(c);
    if (!attribute)
        return FALSE;
    XmlNodeStruct* cur = Current();
    int index = FindChild(cur, name, attribute, value);
    if (index < 0)
        return FALSE;
    Enter(tavrin::XmlChildAt(cur, static_cast<uint32_t>(index)), index);
    return TRUE;
}

BOOL CXmlFile::FindNextElem(BOOL sameName, int c)
{
    std::lock_guard lock(m_lock);
    Place& place = Select(c);
    if (!Document() || place.steps.empty())
        return FALSE;
    Step& s = place.steps.back();
    XmlNodeStruct* parent = ParentOf(place, place.steps.size() - 1);
    std::string_view name = s.node ? tavrin::XmlName(s.node) : std::string_view(place.gapName);
    uint32_t start = static_cast<uint32_t>(s.node ? s.pos + 1 : s.pos);
    for (uint32_t i = start; i < parent->childCount; ++i) {
        XmlNodeStruct* child = tavrin::XmlChildAt(parent, i);
        if (sameName && tavrin::XmlName(child) != name)
            continue;
        s = {child, child->generation, static_cast<int>(i)};
        place.gapName.clear();
        return TRUE;
    }
    return FALSE;
}

BOOL CXmlFile::OutOfElem(int c)
{
    std::lock_guard lock(m_lock);
    Place& place = Select(c);
    if (!Document() || place.steps.empty())
        return FALSE;
    place.steps.pop_back();
    place.gapName.clear();
    return TRUE;
}

// ---- reading

CString CXmlFile::GetData(int c)
{
    std::lock_guard lock(m_lock);
    Select(c);
    XmlNodeStruct* cur = Current();
    XmlNodeStruct* text = cur ? tavrin::XmlFindFirstOfType(cur, XmlPcdata) : nullptr;
    return text ? Unescaped(tavrin::XmlValue(text)) : CString();
}

CString CXmlFile::GetChildData(const char* name, int c)
{
    std::lock_guard lock(m_lock);
    Select(c);
    XmlNodeStruct* cur = Current();
    int index = FindChild(cur, name, nullptr, nullptr);
    if (index < 0)
        return CString();
    XmlNodeStruct* text = tavrin::XmlFindFirstOfType(tavrin::XmlChildAt(cur, static_cast<uint32_t>(index)), XmlPcdata);
    return text ? Unescaped(tavrin::XmlValue(text)) : CString();
}

CString CXmlFile::GetAttrib(const char* name, int c)
{
    std::lock_guard lock(m_lock);
    Select(c);
    XmlNodeStruct* cur = Current();
    if (!cur || !name)
        return CString();
    std::string_view wanted(name);
    uint32_t count = tavrin::XmlAttributeCount(cur);
    for (uint32_t i = 0; i < count; ++i) {
        XmlAttributeStruct* a = tavrin::XmlAttributeAt(cur, i);
        if (a->name && tavrin::XmlAttributeName(a) == wanted)
            return Unescaped(tavrin::XmlAttributeValue(a));
    }
    return CString();
}

CString CXmlFile::GetTagName(int c)
{
    std::lock_guard lock(m_lock);
    Select(c);
    XmlNodeStruct* cur = Current();
    return cur ? ToCString(tavrin::XmlName(cur)) : CString();
}

int CXmlFile::GetChildCount(int c)
{
    std::lock_guard lock(m_lock);
    Select(c);
    XmlNodeStruct* cur = Current();
    return cur ? static_cast<int>(cur->childCount) : 0;
}

CXmlNode CXmlFile::GetNode(int c)
{
    std::lock_guard lock(m_lock);
    Select(c);
    XmlNodeStruct* cur = Current();
    return cur ? CXmlNode(m_document.GetTree(), cur) : CXmlNode();
}

// ---- changing

XmlNodeStruct* CXmlFile::NewElement(std::string_view name)
{
    XmlTree* tree = m_document.GetTree();
    XmlNodeStruct* node = tree->NewNode(XmlElement);
    tree->SetText(node, name);
    return node;
}

BOOL CXmlFile::SetData(const char* value, int c)
{
    std::lock_guard lock(m_lock);
    Select(c);
    XmlNodeStruct* cur = Current();
    if (!cur)
        return FALSE;
    XmlTree* tree = m_document.GetTree();
    XmlNodeStruct* text = tavrin::XmlFindFirstOfType(cur, XmlPcdata);
    if (!text) {
        if (cur->type != XmlElement && cur->type != XmlDocument)
            return FALSE;
        text = tree->NewNode(XmlPcdata);
        tree->InsertChild(cur, cur->childCount, text);
        Inserted(cur, static_cast<int>(cur->childCount - 1));
    }
    tree->SetText(text, Escaped(value, false));
    m_modified = TRUE;
    return TRUE;
}

BOOL CXmlFile::SetChildData(const char* name, const char* value, int c)
{
    std::lock_guard lock(m_lock);
    if (!FindChildElem(name, FALSE, c))
        return FALSE;
    BOOL result = SetData(value, c);
    OutOfElem(c);
    return result;
}

BOOL CXmlFile::SetAttribute(XmlNodeStruct* node, const char* name, const char* value)
{
    if (!node || !name || !tavrin::HasXmlAttributes(node->type))
        return FALSE;
    XmlTree* tree = m_document.GetTree();
    // A quote in a value would end the attribute in the file: attributes are
    // escaped with the quotes.
    std::string escaped = Escaped(value, true);
    std::string_view wanted(name);
    uint32_t count = tavrin::XmlAttributeCount(node);
    for (uint32_t i = 0; i < count; ++i) {
        XmlAttributeStruct* a = tavrin::XmlAttributeAt(node, i);
        if (a->name && tavrin::XmlAttributeName(a) == wanted) {
            tree->SetAttributeValue(a, escaped);
            m_modified = TRUE;
            return TRUE;
        }
    }
    tree->AppendAttribute(node, wanted, escaped.data(), escaped.size());
    m_modified = TRUE;
    return TRUE;
}

BOOL CXmlFile::SetAttrib(const char* name, const char* value, int c)
{
    std::lock_guard lock(m_lock);
    Select(c);
    return SetAttribute(Current(), name, value);
}

BOOL CXmlFile::SetAttribInt(const char* name, int number, int c)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", number);
    return SetAttrib(name, text, c);
}

BOOL CXmlFile::SetNodeAttrib(const CXmlNode& node, const char* name, const char* value)
{
    std::lock_guard lock(m_lock);
    XmlNodeStruct* n = node.Get();
    if (!n || node.GetTree() != m_document.GetTree())
        return FALSE;
    return SetAttribute(n, name, value);
}

BOOL CXmlFile::AddChildElem(const char* name, const char* value, int c)
{
    std::lock_guard lock(m_lock);
    Select(c);
    XmlNodeStruct* cur = Current();
    if (!cur || !name || (cur->type != XmlElement && cur->type != XmlDocument))
        return FALSE;
    XmlTree* tree = m_document.GetTree();
    XmlNodeStruct* element = NewElement(name);
    XmlNodeStruct* text = tree->NewNode(XmlPcdata);
    tree->SetText(text, Escaped(value, false));
    tree->InsertChild(element, 0, text);
    tree->InsertChild(cur, cur->childCount, element);
    Inserted(cur, static_cast<int>(cur->childCount - 1));
    m_modified = TRUE;
    return TRUE;
}

BOOL CXmlFile::CreateChildElem(const char* name, int c)
{
    std::lock_guard lock(m_lock);
    Select(c);
    XmlNodeStruct* cur = Current();
    if (!cur || !name || (cur->type != XmlElement && cur->type != XmlDocument))
        return FALSE;
    m_document.GetTree()->InsertChild(cur, cur->childCount, NewElement(name));
    Inserted(cur, static_cast<int>(cur->childCount - 1));
    m_modified = TRUE;
    return TRUE;
}

BOOL CXmlFile::InsertElemBefore(const char* name, int c)
{
    std::lock_guard lock(m_lock);
    Place& place = Select(c);
    if (!Document() || !name || place.steps.empty() || !place.steps.back().node)
        return FALSE;
    XmlNodeStruct* parent = ParentOf(place, place.steps.size() - 1);
    if (parent->type != XmlElement)
        return FALSE;
    int index = place.steps.back().pos;
    m_document.GetTree()->InsertChild(parent, static_cast<uint32_t>(index), NewElement(name));
    // The current element moves up by one with every place standing on it or
    // after it, so the next FindNextElem does not see it again.
    Inserted(parent, index);
    m_modified = TRUE;
    return TRUE;
}

BOOL CXmlFile::InsertChildElemBefore(const char* referenceName, const char* name, int c)
{
    std::lock_guard lock(m_lock);
    Select(c);
    XmlNodeStruct* cur = Current();
    if (!cur || !name || cur->type != XmlElement)
        return FALSE;
    int index = std::max(FindChild(cur, referenceName, nullptr, nullptr), 0);
    m_document.GetTree()->InsertChild(cur, static_cast<uint32_t>(index), NewElement(name));
    Inserted(cur, index);
    m_modified = TRUE;
    return TRUE;
}

BOOL CXmlFile::RemoveAt(XmlNodeStruct* parent, int index)
{
    if (index < 0)
        return FALSE;
    XmlTree* tree = m_document.GetTree();
    XmlNodeStruct* child = tavrin::XmlChildAt(parent, static_cast<uint32_t>(index));
    Removed(parent, index, child);
    tree->DetachChild(parent, static_cast<uint32_t>(index));
    tree->FreeSubtree(child);
    m_modified = TRUE;
    return TRUE;
}

BOOL CXmlFile::RemoveChildElem(const char* name, int c)
{
    std::lock_guard lock(m_lock);
    Select(c);
    XmlNodeStruct* cur = Current();
    return RemoveAt(cur, FindChild(cur, name, nullptr, nullptr));
}

BOOL CXmlFile::RemoveChildElemWithAttrib(const char* name, const char* attribute, const char* value, int c)
{
    std::lock_guard lock(m_lock);
    Select(c);
    XmlNodeStruct* cur = Current();
    if (!attribute)
        return FALSE;
    return RemoveAt(cur, FindChild(cur, name, attribute, value));
}
