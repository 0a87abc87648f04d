// CXmlFile: an XML document bound to a file name, guarded by one recursive
// lock and walked through cursors. Every operation takes a cursor id and acts
// on that cursor's place (its current element), so walks on several threads
// never move each other. The lock is held for one operation at a time.
//
// A cursor's place survives changes made through other cursors: when an
// element is inserted or removed before it, its position follows; when the
// element it stands on (or one of its ancestors) is removed, the place marks
// the gap, reads there give nothing, and the next FindNextElem goes on with
// the sibling that followed the removed element.
#pragma once

#include "core/services/XmlNode.h"
#include "core/services/XmlParser.h"
#include "platform/base/String.h"

#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

class CXmlFile {
public:
    CXmlFile();
    virtual ~CXmlFile();
    CXmlFile(const CXmlFile&) = delete;
    CXmlFile& operator=(const CXmlFile&) = delete;

    // Reads and parses the file; with create, a file that cannot be read
    // gives an empty, modified document. Forgets every cursor.
    // A file that exists but could not be read is kept: Save refuses to
    // write over it until a later Load reads it.
    BOOL Load(const char* fileName, BOOL create);
    // Writes the document atomically, creating missing folders. FALSE when it
    // could not be written: the old file stays and the document stays modified.
    BOOL Save();
    BOOL SaveAs(const char* fileName);
    // An empty document; forgets every cursor. The file name stays.
    void Clear();
    BOOL IsModified();
    // The last Load met a file it could not read and left it alone.
    BOOL IsFileKept();

    int NewCursor();
    void ReleaseCursor(int id);

    BOOL ResetPos(int c = -1);
    BOOL FindChildElem(const char* name, BOOL create = FALSE, int c = -1);
    // Compares the attribute's decoded text with the decoded value, so
    // escaped and plain values both match.
    BOOL FindChildElemWithAttrib(const char* name, const char* attribute, const char* value, int c = -1);
    BOOL FindNextElem(BOOL sameName = TRUE, int c = -1);
    BOOL OutOfElem(int c = -1);
    CString GetData(int c = -1);
    CString GetChildData(const char* name, int c = -1);
    CString GetAttrib(const char* name, int c = -1);
    CString GetTagName(int c = -1);
    int GetChildCount(int c = -1);
    CXmlNode GetNode(int c = -1);
    // Calls read with the document's node (empty without a document) while
    // holding the lock: a long read-only scan without a lock, a lookup and a
    // copy per field. read must not change the document.
    template <class Read>
    void ReadDocument(Read&& read)
    {
        std::lock_guard lock(m_lock);
        read(m_document.GetDocument());
    }
    BOOL SetData(const char* value, int c = -1);
    BOOL SetChildData(const char* name, const char* value, int c = -1);
    BOOL SetAttrib(const char* name, const char* value, int c = -1);
    BOOL SetAttribInt(const char* name, int number, int c = -1);
    // Sets an attribute of the element a record keeps a handle on; FALSE when
    // that element is no longer in this document.
    BOOL SetNodeAttrib(const CXmlNode& node, const char* name, const char* value);
    BOOL AddChildElem(const char* name, const char* value, int c = -1);
    BOOL CreateChildElem(const char* name, int c = -1);
    BOOL InsertElemBefore(const char* name, int c = -1);
    BOOL InsertChildElemBefore(const char* referenceName, const char* name, int c = -1);
    BOOL RemoveChildElem(const char* name, int c = -1);
    BOOL RemoveChildElemWithAttrib(const char* name, const char* attribute, const char* value, int c = -1);

private:
    struct Step {
        XmlNodeStruct* node;  // null for the gap left by a removed element
        uint32_t generation;
        int pos;              // index among the parent's children
    };
    struct Place {
        std::vector<Step> steps;  // from a child of the document down to the current element
        std::string gapName;      // name of the removed element a gap stands for
        uint64_t version = 0;     // the tree's version when the steps were last checked
    };

    Place& Select(int c);
    void Validate(Place& place);
    void ValidateSteps(Place& place);
    XmlNodeStruct* Document() const;
    XmlNodeStruct* ParentOf(const Place& place, size_t level) const;
    // The current element of the live place; null at a gap or without a document.
    XmlNodeStruct* Current() const;
    void Enter(XmlNodeStruct* child, int index);
    void ResetCursors();
    int FindChild(XmlNodeStruct* parent, const char* name, const char* attribute, const char* value) const;
    XmlNodeStruct* NewElement(std::string_view name);
    void Inserted(XmlNodeStruct* parent, int index);
    void Removed(XmlNodeStruct* parent, int index, XmlNodeStruct* child);
    BOOL SetAttribute(XmlNodeStruct* node, const char* name, const char* value);
    BOOL RemoveAt(XmlNodeStruct* parent, int index);

    CXmlParser m_document;
    std::unordered_map<int, Place> m_places;
    Place m_orphan;             // the live place after its cursor was released
    Place* m_live = &m_orphan;
    std::recursive_mutex m_lock;
    int m_active = -1;
    CString m_fileName;
    CString m_keptFile;  // a file that exists but could not be read
    BOOL m_modified = FALSE;
};
