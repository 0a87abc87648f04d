#include "core/services/XmlNode.h"

#include "core/services/XmlTree.h"

#include <cstring>
#include <vector>

using tavrin::XmlTree;

namespace tavrin {

std::string_view XmlName(const XmlNodeStruct* node)
{
    if (!HasXmlName(node->type) || !node->text)
        return {};
    return {node->text, node->textLength};
}

std::string_view XmlValue(const XmlNodeStruct* node)
{
    if (IsXmlLeaf(node->type))
        return node->text ? std::string_view(node->text, node->textLength) : std::string_view();
    if (IsXmlFull(node->type)) {
        auto* f = static_cast<const XmlFullStruct*>(node);
        return f->value ? std::string_view(f->value, f->valueLength) : std::string_view();
    }
    return {};
}

} // namespace tavrin

namespace {
std::string_view View(const char* s)
{
    return s ? std::string_view(s) : std::string_view();
}

CString ToCString(std::string_view v)
{
    return CString(v.data(), static_cast<int>(v.size()));
}

// Preorder search of the descendants of root; iterative, so a deeply nested
// hostile file cannot exhaust the stack.
template <typename Match>
XmlNodeStruct* FindDescendant(XmlNodeStruct* root, Match match)
{
    if (!tavrin::HasXmlChildren(root->type) || root->childCount == 0)
        return nullptr;
    // Most lookups end at the first child (an element's text): no stack then.
    XmlNodeStruct* first = tavrin::XmlChildAt(root, 0);
    if (match(first))
        return first;
    struct Frame { XmlNodeStruct* node; uint32_t next; };
    std::vector<Frame> stack{{root, 0}};
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next >= f.node->childCount) {
            stack.pop_back();
            continue;
        }
        XmlNodeStruct* child = tavrin::XmlChildAt(f.node, f.next++);
        if (match(child))
            return child;
        if (tavrin::HasXmlChildren(child->type) && child->childCount)
            stack.push_back({child, 0});
    }
    return nullptr;
}
} // namespace

XmlNodeStruct* tavrin::XmlFindFirstOfType(XmlNodeStruct* node, uint32_t type)
{
    return FindDescendant(node, [type](XmlNodeStruct* c) { return c->type == type; });
}

// ---- CXmlNode

CXmlNode::CXmlNode(XmlTree* tree, XmlNodeStruct* node)
{
    if (tree && node && tree->IsAlive()) {
        m_tree = tree;
        m_node = node;
        m_generation = node->generation;
        m_tree->AddRef();
    }
}

CXmlNode::CXmlNode(const CXmlNode& other) : m_tree(other.m_tree), m_node(other.m_node), m_generation(other.m_generation)
{
    if (m_tree)
        m_tree->AddRef();
}

CXmlNode::CXmlNode(CXmlNode&& other) noexcept : m_tree(other.m_tree), m_node(other.m_node), m_generation(other.m_generation)
{
    other.m_tree = nullptr;
    other.m_node = nullptr;
}

CXmlNode& CXmlNode::operator=(const CXmlNode& other)
{
    if (this != &other) {
        if (other.m_tree)
            other.m_tree->AddRef();
        if (m_tree)
            m_tree->Release();
        m_tree = other.m_tree;
        m_node = other.m_node;
        m_generation = other.m_generation;
    }
    return *this;
}

CXmlNode& CXmlNode::operator=(CXmlNode&& other) noexcept
{
    if (this != &other) {
        if (m_tree)
            m_tree->Release();
        m_tree = other.m_tree;
        m_node = other.m_node;
        m_generation = other.m_generation;
        other.m_tree = nullptr;
        other.m_node = nullptr;
    }
    return *this;
}

CXmlNode::~CXmlNode()
{
    if (m_tree)
        m_tree->Release();
}

XmlNodeStruct* CXmlNode::Get() const
{
    if (!m_node || !m_tree->IsAlive() || m_node->generation != m_generation || m_node->type == XmlNone)
        return nullptr;
    return m_node;
}

XmlNodeType CXmlNode::GetType() const
{
    XmlNodeStruct* n = Get();
    return n ? static_cast<XmlNodeType>(n->type) : XmlNone;
}

CXmlNode CXmlNode::GetParent() const
{
    XmlNodeStruct* n = Get();
    if (!n || n->parent == n)
        return {};
    return CXmlNode(m_tree, n->parent);
}

CXmlNode CXmlNode::GetSibling(int index) const
{
    XmlNodeStruct* n = Get();
    if (!n || n->parent == n || index < 0 || static_cast<uint32_t>(index) >= n->parent->childCount)
        return {};
    return CXmlNode(m_tree, tavrin::XmlChildAt(n->parent, static_cast<uint32_t>(index)));
}

CString CXmlNode::GetName() const
{
    XmlNodeStruct* n = Get();
    return n ? ToCString(tavrin::XmlName(n)) : CString();
}

CString CXmlNode::GetValue() const
{
    XmlNodeStruct* n = Get();
    return n ? ToCString(tavrin::XmlValue(n)) : CString();
}

int CXmlNode::GetChildCount() const
{
    XmlNodeStruct* n = Get();
    return n ? static_cast<int>(n->childCount) : 0;
}

CXmlChildIterator CXmlNode::ChildrenBegin() const
{
    return CXmlChildIterator(*this, 0);
}

CXmlChildIterator CXmlNode::ChildrenEnd() const
{
    return CXmlChildIterator(*this, GetChildCount());
}

int CXmlNode::FindAttributeIndex(const char* name) const
{
    XmlNodeStruct* n = Get();
    if (!n || !name)
        return -1;
    std::string_view wanted(name);
    uint32_t count = tavrin::XmlAttributeCount(n);
    for (uint32_t i = 0; i < count; ++i) {
        XmlAttributeStruct* a = tavrin::XmlAttributeAt(n, i);
        if (a->name && tavrin::XmlAttributeName(a) == wanted)
            return static_cast<int>(i);
    }
    return -1;
}

CXmlAttribute CXmlNode::FindAttribute(const char* name) const
{
    int index = FindAttributeIndex(name);
    if (index < 0)
        return {};
    return CXmlAttribute(*this, tavrin::XmlAttributeAt(m_node, static_cast<uint32_t>(index)));
}

CXmlAttribute CXmlNode::GetAttribute(const char* name)
{
    CXmlAttribute found = FindAttribute(name);
    if (!found.IsEmpty())
        return found;
    return AddAttribute(name, "");
}

CXmlAttribute CXmlNode::GetAttributeOr(const char* name, const char* defaultValue) const
{
    CXmlAttribute found = FindAttribute(name);
    if (!found.IsEmpty())
        return found;
    return CXmlAttribute(name, defaultValue ? defaultValue : "");
}

CXmlAttribute CXmlNode::AddAttribute(const char* name, const char* value)
{
    XmlNodeStruct* n = Get();
    if (!n || !name || !value || !tavrin::HasXmlAttributes(n->type))
        return {};
    XmlAttributeStruct* a = m_tree->AppendAttribute(n, name, value, std::strlen(value));
    return CXmlAttribute(*this, a);
}

BOOL CXmlNode::SetName(const char* name)
{
    XmlNodeStruct* n = Get();
    if (!n || !name || (n->type != XmlElement && n->type != XmlPi))
        return FALSE;
    m_tree->SetText(n, name);
    return TRUE;
}

BOOL CXmlNode::SetValue(const char* text)
{
    XmlNodeStruct* n = Get();
    if (!n || !text || (n->type != XmlPcdata && n->type != XmlCdata && n->type != XmlComment))
        return FALSE;
    m_tree->SetText(n, text);
    return TRUE;
}

CXmlNode CXmlNode::AppendChild(XmlNodeType type)
{
    XmlNodeStruct* n = Get();
    if (!n || (n->type != XmlDocument && n->type != XmlElement) || type <= XmlDocument || type > XmlNotationDecl)
        return {};
    XmlNodeStruct* child = m_tree->NewNode(type);
    child->textInText = child->valueInText = 0;
    m_tree->InsertChild(n, n->childCount, child);
    return CXmlNode(m_tree, child);
}

CXmlNode CXmlNode::InsertChild(int index, XmlNodeType type)
{
    XmlNodeStruct* n = Get();
    if (!n || n->type != XmlElement || type <= XmlDocument || type > XmlNotationDecl)
        return {};
    XmlNodeStruct* child = m_tree->NewNode(type);
    child->textInText = child->valueInText = 0;
    uint32_t at = index < 0 ? 0 : static_cast<uint32_t>(index);
    m_tree->InsertChild(n, at, child);
    return CXmlNode(m_tree, child);
}

CXmlNode CXmlNode::RemoveChildAt(int index)
{
    XmlNodeStruct* n = Get();
    if (!n || index < 0 || static_cast<uint32_t>(index) >= n->childCount)
        return {};
    return CXmlNode(m_tree, m_tree->DetachChild(n, static_cast<uint32_t>(index)));
}

CXmlNode CXmlNode::FindFirstOfType(XmlNodeType type) const
{
    XmlNodeStruct* n = Get();
    if (!n)
        return {};
    XmlNodeStruct* found = tavrin::XmlFindFirstOfType(n, type);
    return found ? CXmlNode(m_tree, found) : CXmlNode();
}

CXmlNode CXmlNode::FindElement(const char* name) const
{
    XmlNodeStruct* n = Get();
    if (!n || !name)
        return {};
    std::string_view wanted(name);
    XmlNodeStruct* found = FindDescendant(n, [wanted](XmlNodeStruct* c) {
        return tavrin::HasXmlName(c->type) && c->text && tavrin::XmlName(c) == wanted;
    });
    return found ? CXmlNode(m_tree, found) : CXmlNode();
}

void FreeXmlNodeTree(const CXmlNode& node)
{
    XmlNodeStruct* n = node.Get();
    if (!n || n->parent != n || n->type == XmlDocument)
        return;
    node.GetTree()->FreeSubtree(n);
}

// ---- CXmlAttribute

CXmlAttribute::CXmlAttribute(const CXmlNode& owner, XmlAttributeStruct* attribute) : m_owner(owner), m_attribute(attribute)
{
}

namespace {
char* CopyZ(std::string_view v)
{
    char* copy = new char[v.size() + 1];
    std::memcpy(copy, v.data(), v.size());
    copy[v.size()] = '\0';
    return copy;
}

XmlAttributeStruct* NewDetached(std::string_view name, std::string_view value)
{
    auto* a = new XmlAttributeStruct{};
    a->name = CopyZ(name);
    a->nameLength = static_cast<uint32_t>(name.size());
    a->value = CopyZ(value);
    a->valueLength = static_cast<uint32_t>(value.size());
    return a;
}
} // namespace

CXmlAttribute::CXmlAttribute(const char* name, const char* value)
    : m_attribute(NewDetached(View(name), View(value))), m_owned(true)
{
}

CXmlAttribute::CXmlAttribute(const CXmlAttribute& other)
    : m_owner(other.m_owner), m_attribute(other.m_attribute), m_owned(other.m_owned)
{
    if (m_owned)
        m_attribute = NewDetached(tavrin::XmlAttributeName(other.m_attribute), tavrin::XmlAttributeValue(other.m_attribute));
}

CXmlAttribute& CXmlAttribute::operator=(const CXmlAttribute& other)
{
    if (this == &other)
        return *this;
    FreeOwned();
    m_owner = other.m_owner;
    m_attribute = other.m_attribute;
    m_owned = other.m_owned;
    if (m_owned)
        m_attribute = NewDetached(tavrin::XmlAttributeName(other.m_attribute), tavrin::XmlAttributeValue(other.m_attribute));
    return *this;
}

CXmlAttribute::~CXmlAttribute()
{
    FreeOwned();
}

void CXmlAttribute::FreeOwned()
{
    if (m_owned && m_attribute) {
        delete[] m_attribute->name;
        delete[] m_attribute->value;
        delete m_attribute;
    }
    m_attribute = nullptr;
    m_owned = false;
}

const XmlAttributeStruct* CXmlAttribute::Get() const
{
    if (m_owned)
        return m_attribute;
    return m_attribute && m_owner.Get() ? m_attribute : nullptr;
}

CString CXmlAttribute::GetName() const
{
    const XmlAttributeStruct* a = Get();
    return a ? ToCString(tavrin::XmlAttributeName(a)) : CString();
}

CString CXmlAttribute::GetValue() const
{
    const XmlAttributeStruct* a = Get();
    return a ? ToCString(tavrin::XmlAttributeValue(a)) : CString();
}

BOOL CXmlAttribute::HasValue() const
{
    const XmlAttributeStruct* a = Get();
    return a && a->value;
}

BOOL CXmlAttribute::SetValue(const char* value)
{
    if (!value || !Get())
        return FALSE;
    if (m_owned) {
        delete[] m_attribute->value;
        m_attribute->value = CopyZ(value);
        m_attribute->valueLength = static_cast<uint32_t>(std::strlen(value));
        return TRUE;
    }
    m_owner.GetTree()->SetAttributeValue(m_attribute, value);
    return TRUE;
}

// ---- CXmlChildIterator

CXmlChildIterator& CXmlChildIterator::operator=(const CXmlChildIterator& other)
{
    m_node = other.m_node;
    m_index = other.m_index;
    return *this;
}

BOOL CXmlChildIterator::HasChildren() const
{
    return m_node.GetChildCount() > 0;
}

BOOL CXmlChildIterator::IsOutOfRange() const
{
    return !HasChildren() || m_index < 0 || m_index >= m_node.GetChildCount();
}

CXmlNode& CXmlChildIterator::operator*()
{
    m_current = IsOutOfRange() ? CXmlNode() : CXmlNode(m_node.GetTree(), tavrin::XmlChildAt(m_node.Get(), static_cast<uint32_t>(m_index)));
    return m_current;
}

CXmlNode* CXmlChildIterator::operator->()
{
    return &**this;
}
