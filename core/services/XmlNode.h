// The XML node tree: node records, the non-owning node handle CXmlNode, the
// attribute handle and the child iterator.
//
// Names and values of parsed nodes point into the parser's text; names and
// values set later are copies owned by the node. Every record lives in the
// storage of its tree (XmlTree). A handle remembers the generation of its
// node and holds a reference on the tree's record, so a handle whose node was
// freed, or whose whole tree was cleared, reads as empty instead of following
// freed memory.
#pragma once

#include "platform/base/String.h"
#include "platform/base/Types.h"

#include <cstdint>
#include <string_view>

enum XmlNodeType : uint32_t {
    XmlNone = 0,
    XmlDocument = 1,
    XmlElement = 2,
    XmlPcdata = 3,
    XmlCdata = 4,
    XmlComment = 5,
    XmlPi = 6,
    XmlInclude = 7,
    XmlDoctype = 8,
    XmlEntityDecl = 9,
    XmlAttlistDecl = 10,
    XmlElementDecl = 11,
    XmlNotationDecl = 12,
};

struct XmlAttributeStruct {
    const char* name;
    const char* value;     // null when the attribute has no value
    uint32_t nameLength;
    uint32_t valueLength;
    uint8_t nameInText;    // 1: lies in the parser's text, 0: owned copy
    uint8_t valueInText;
};

// Every node starts with this header; text, CDATA, comment and INCLUDE nodes
// are exactly this. Their value is kept in the name slot ("text").
struct XmlNodeStruct {
    XmlNodeStruct* parent;  // the document node (and a detached node) is its own parent
    const char* text;       // name of named kinds, value of the leaf kinds
    uint32_t textLength;
    uint32_t generation;    // bumped when the node is freed
    uint8_t type;
    uint8_t textInText;
    uint8_t valueInText;    // declarations and DOCTYPE
    uint8_t reserved;
    uint32_t childCount;
};

// Document, element and processing instruction.
struct XmlBranchStruct : XmlNodeStruct {
    XmlNodeStruct** children;
    union {
        XmlAttributeStruct** attributes;  // capacity: count rounded up to a power of two
        // A parsed node with one child and no attributes keeps the child
        // here and children points at it: no array for the most common case.
        XmlNodeStruct* onlyChild;
    };
    uint32_t childCapacity;
    uint32_t attributeCount;
};

// DOCTYPE and the declarations: a name and a value besides the rest.
struct XmlFullStruct : XmlBranchStruct {
    const char* value;
    uint32_t valueLength;
};

namespace tavrin {
class XmlTree;

inline bool IsXmlLeaf(uint32_t type) { return type == XmlPcdata || type == XmlCdata || type == XmlComment || type == XmlInclude; }
inline bool IsXmlFull(uint32_t type) { return type >= XmlDoctype && type <= XmlNotationDecl; }
inline bool HasXmlChildren(uint32_t type) { return type == XmlDocument || type == XmlElement || type == XmlDoctype; }
inline bool HasXmlAttributes(uint32_t type) { return !IsXmlLeaf(type) && type != XmlDocument && type != XmlNone; }
inline bool HasXmlName(uint32_t type) { return type == XmlElement || type == XmlPi || (type >= XmlEntityDecl && type <= XmlNotationDecl); }

// Raw views of a node record, for the parser, the writer and the file.
std::string_view XmlName(const XmlNodeStruct* node);
std::string_view XmlValue(const XmlNodeStruct* node);
inline uint32_t XmlAttributeCount(const XmlNodeStruct* n) { return HasXmlAttributes(n->type) ? static_cast<const XmlBranchStruct*>(n)->attributeCount : 0; }
inline XmlAttributeStruct* XmlAttributeAt(const XmlNodeStruct* n, uint32_t i) { return static_cast<const XmlBranchStruct*>(n)->attributes[i]; }
inline XmlNodeStruct* XmlChildAt(const XmlNodeStruct* n, uint32_t i) { return static_cast<const XmlBranchStruct*>(n)->children[i]; }
inline std::string_view XmlAttributeName(const XmlAttributeStruct* a) { return a->name ? std::string_view(a->name, a->nameLength) : std::string_view(); }
inline std::string_view XmlAttributeValue(const XmlAttributeStruct* a) { return a->value ? std::string_view(a->value, a->valueLength) : std::string_view(); }
// The first descendant of node of that type in document order, or null.
XmlNodeStruct* XmlFindFirstOfType(XmlNodeStruct* node, uint32_t type);
} // namespace tavrin

class CXmlAttribute;
class CXmlChildIterator;

// A handle on one node; never owns it. An empty handle acts as a node of
// type 0 without name, value, attributes or children.
class CXmlNode {
public:
    CXmlNode() = default;
    CXmlNode(tavrin::XmlTree* tree, XmlNodeStruct* node);
    CXmlNode(const CXmlNode& other);
    CXmlNode(CXmlNode&& other) noexcept;
    CXmlNode& operator=(const CXmlNode& other);
    CXmlNode& operator=(CXmlNode&& other) noexcept;
    virtual ~CXmlNode();

    BOOL IsEmpty() const { return Get() == nullptr; }
    XmlNodeType GetType() const;
    CXmlNode GetParent() const;
    CXmlNode GetSibling(int index) const;
    CString GetName() const;
    // The stored (escaped) value of a text, CDATA, comment, INCLUDE node or
    // declaration; "" for other kinds.
    CString GetValue() const;
    int GetChildCount() const;
    CXmlChildIterator ChildrenBegin() const;
    CXmlChildIterator ChildrenEnd() const;

    CXmlAttribute FindAttribute(const char* name) const;
    int FindAttributeIndex(const char* name) const;
    CXmlAttribute GetAttribute(const char* name);
    CXmlAttribute GetAttributeOr(const char* name, const char* defaultValue) const;
    CXmlAttribute AddAttribute(const char* name, const char* value);

    BOOL SetName(const char* name);
    BOOL SetValue(const char* text);
    CXmlNode AppendChild(XmlNodeType type);
    CXmlNode InsertChild(int index, XmlNodeType type);
    CXmlNode RemoveChildAt(int index);

    CXmlNode FindFirstOfType(XmlNodeType type) const;
    CXmlNode FindElement(const char* name) const;

    bool operator==(const CXmlNode& other) const { return Get() == other.Get(); }
    bool operator!=(const CXmlNode& other) const { return Get() != other.Get(); }

    // The live node record, or null when the handle is empty, its node was
    // freed or its tree cleared.
    XmlNodeStruct* Get() const;
    tavrin::XmlTree* GetTree() const { return m_tree; }

private:
    friend class CXmlAttribute;
    tavrin::XmlTree* m_tree = nullptr;
    XmlNodeStruct* m_node = nullptr;
    uint32_t m_generation = 0;
};

// Frees a node taken out of its tree (RemoveChildAt) with its whole subtree.
// A node still in a child array, or the document node, is left alone.
void FreeXmlNodeTree(const CXmlNode& node);

// A handle on one attribute record. The record belongs to a node unless the
// handle owns a detached copy (GetAttributeOr for a missing attribute).
class CXmlAttribute {
public:
    CXmlAttribute() = default;
    CXmlAttribute(const CXmlNode& owner, XmlAttributeStruct* attribute);
    CXmlAttribute(const char* name, const char* value);  // owned, detached
    CXmlAttribute(const CXmlAttribute& other);
    CXmlAttribute& operator=(const CXmlAttribute& other);
    virtual ~CXmlAttribute();

    BOOL IsEmpty() const { return Get() == nullptr; }
    CString GetName() const;
    // The stored (escaped) value; "" when there is none.
    CString GetValue() const;
    BOOL HasValue() const;
    // Stores a copy of value as the attribute's value.
    BOOL SetValue(const char* value);

private:
    const XmlAttributeStruct* Get() const;
    void FreeOwned();

    CXmlNode m_owner;
    XmlAttributeStruct* m_attribute = nullptr;
    bool m_owned = false;
};

class CXmlIterator {
public:
    CXmlIterator() = default;
    CXmlIterator(const CXmlNode& node, int index) : m_node(node), m_index(index) {}
    virtual ~CXmlIterator() = default;
    virtual BOOL HasChildren() const = 0;
    virtual BOOL IsOutOfRange() const = 0;
    virtual void SetIndex(int index) { m_index = index; }
    virtual int GetIndex() const { return m_index; }
    virtual CXmlNode& operator*() = 0;
    virtual CXmlNode* operator->() = 0;

    bool operator==(const CXmlIterator& o) const { return m_index == o.m_index; }
    bool operator!=(const CXmlIterator& o) const { return m_index != o.m_index; }
    bool operator<(const CXmlIterator& o) const { return m_index < o.m_index; }
    bool operator>(const CXmlIterator& o) const { return m_index > o.m_index; }
    bool operator<=(const CXmlIterator& o) const { return m_index <= o.m_index; }
    bool operator>=(const CXmlIterator& o) const { return m_index >= o.m_index; }

protected:
    CXmlNode m_node;
    int m_index = 0;
};

class CXmlChildIterator : public CXmlIterator {
public:
    CXmlChildIterator() = default;
    CXmlChildIterator(const CXmlNode& node, int index) : CXmlIterator(node, index) {}
    CXmlChildIterator(const CXmlChildIterator& other) : CXmlIterator(other.m_node, other.m_index) {}
    CXmlChildIterator& operator=(const CXmlChildIterator& other);

    BOOL HasChildren() const override;
    BOOL IsOutOfRange() const override;
    CXmlChildIterator& operator++() { ++m_index; return *this; }
    CXmlChildIterator operator++(int) { CXmlChildIterator old(*this); ++m_index; return old; }
    CXmlChildIterator& operator--() { --m_index; return *this; }
    CXmlChildIterator operator--(int) { CXmlChildIterator old(*this); --m_index; return old; }
    CXmlNode& operator*() override;
    CXmlNode* operator->() override;

private:
    CXmlNode m_current;
};
