// CXmlCursor: a cursor id on a CXmlFile for the life of a scope. Its members
// forward to the file's operations with that id; the file's other operations
// take GetId().
#pragma once

#include "core/services/XmlFile.h"

class CXmlCursor {
public:
    explicit CXmlCursor(CXmlFile& file) : m_file(&file), m_id(file.NewCursor()) {}
    virtual ~CXmlCursor() { m_file->ReleaseCursor(m_id); }
    CXmlCursor(const CXmlCursor&) = delete;
    CXmlCursor& operator=(const CXmlCursor&) = delete;

    int GetId() const { return m_id; }
    CXmlFile& GetFile() const { return *m_file; }

    BOOL InsertChildElemBefore(const char* referenceName, const char* name) { return m_file->InsertChildElemBefore(referenceName, name, m_id); }
    BOOL SetData(const char* value) { return m_file->SetData(value, m_id); }
    CString GetChildData(const char* name) { return m_file->GetChildData(name, m_id); }
    BOOL FindChildElemWithAttrib(const char* name, const char* attribute, const char* value) { return m_file->FindChildElemWithAttrib(name, attribute, value, m_id); }
    BOOL FindChildElem(const char* name, BOOL create = FALSE) { return m_file->FindChildElem(name, create, m_id); }
    CXmlNode GetNode() { return m_file->GetNode(m_id); }
    CString GetData() { return m_file->GetData(m_id); }
    BOOL RemoveChildElemWithAttrib(const char* name, const char* attribute, const char* value) { return m_file->RemoveChildElemWithAttrib(name, attribute, value, m_id); }
    BOOL RemoveChildElem(const char* name) { return m_file->RemoveChildElem(name, m_id); }
    BOOL AddChildElem(const char* name, const char* value) { return m_file->AddChildElem(name, value, m_id); }
    CString GetAttrib(const char* name) { return m_file->GetAttrib(name, m_id); }
    BOOL SetChildData(const char* name, const char* value) { return m_file->SetChildData(name, value, m_id); }
    BOOL SetAttrib(const char* name, const char* value) { return m_file->SetAttrib(name, value, m_id); }
    BOOL SetAttribInt(const char* name, int number) { return m_file->SetAttribInt(name, number, m_id); }
    BOOL SetNodeAttrib(const CXmlNode& node, const char* name, const char* value) { return m_file->SetNodeAttrib(node, name, value); }
    BOOL Load(const char* path, BOOL create) { return m_file->Load(path, create); }

private:
    CXmlFile* m_file;
    int m_id;
};
