// A buffered byte stream over a CFile for loading or storing objects:
// little-endian integers, counted strings, counts, and objects with class
// tags and schema numbers. A short or damaged stream throws a
// CArchiveException (endOfFile, badClass, badSchema, badIndex); a file that
// refuses a write throws genericException.
#pragma once

#include "platform/base/File.h"
#include "platform/mfc/Exception.h"

#include <vector>
#include <unordered_map>

class CDocument;

// A class whose loader accepts every stored schema (it asks GetObjectSchema).
#define VERSIONABLE_SCHEMA (0x80000000)

class CArchive {
public:
    enum Mode { store = 0, load = 1, bNoFlushOnDelete = 2, bNoByteSwap = 4 };

    CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096, void* lpBuf = nullptr);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return (m_nMode & load) != 0; }
    BOOL IsStoring() const { return (m_nMode & load) == 0; }
    BOOL IsByteSwapping() const { return FALSE; }
    // Loading: nothing is left in the buffer (the file may hold more).
    BOOL IsBufferEmpty() const { return m_nBufUsed == m_nBufPos; }
    CFile* GetFile() const { return m_pFile; }

    // Loading: the bytes there are, up to nMax.
    UINT Read(void* lpBuf, UINT nMax);
    void Write(const void* lpBuf, UINT nMax);
    // Loading: reads exactly nMax bytes or throws endOfFile.
    void EnsureRead(void* lpBuf, UINT nMax);
    void Flush();
    // Flushes a storing archive and lets go of the file.
    void Close();
    // Lets go of the file without writing what is buffered; never throws.
    void Abort();

    // Counts: 16 bits, or 0xFFFF and 32 bits.
    void WriteCount(DWORD_PTR dwCount);
    DWORD_PTR ReadCount();

    // Class tags: a new class is written once with its schema and name;
    // later mentions are tags into the archive's map.
    void WriteClass(const CRuntimeClass* pClassRef);
    CRuntimeClass* ReadClass(const CRuntimeClass* pClassRefRequested = nullptr, UINT* pSchema = nullptr,
                             DWORD* pObTag = nullptr);
    void SerializeClass(const CRuntimeClass* pClassRef);
    // Objects: null, a reference to one already in the archive, or the class
    // and the object's own Serialize.
    void WriteObject(const CObject* pOb);
    CObject* ReadObject(const CRuntimeClass* pClassRefRequested);
    // Records an object as already in the archive without writing it.
    void MapObject(const CObject* pOb);
    // The schema of the object being loaded (from its class tag).
    UINT GetObjectSchema();
    void SetObjectSchema(UINT nSchema) { m_nObjectSchema = nSchema; }

    // Text lines ending in "\r\n" or "\n" (the line end is not kept).
    BOOL ReadString(CString& rString);
    void WriteString(LPCTSTR lpsz);

    CArchive& operator<<(BYTE by) { return WriteRaw(by); }
    CArchive& operator<<(WORD w) { return WriteRaw(w); }
    CArchive& operator<<(LONG l) { return WriteRaw(l); }
    CArchive& operator<<(DWORD dw) { return WriteRaw(dw); }
    CArchive& operator<<(float f) { return WriteRaw(f); }
    CArchive& operator<<(double d) { return WriteRaw(d); }
    CArchive& operator<<(LONGLONG dwdw) { return WriteRaw(dwdw); }
    CArchive& operator<<(ULONGLONG dwdw) { return WriteRaw(dwdw); }
    CArchive& operator<<(short w) { return WriteRaw(w); }
    CArchive& operator<<(char ch) { return WriteRaw(ch); }
    CArchive& operator<<(signed char ch) { return WriteRaw(ch); }
    CArchive& operator<<(bool b) { return WriteRaw(static_cast<BYTE>(b ? 1 : 0)); }
    CArchive& operator<<(const CString& str);
    CArchive& operator<<(const CObject* pOb)
    {
        WriteObject(pOb);
        return *this;
    }

    CArchive& operator>>(BYTE& by) { return ReadRaw(by); }
    CArchive& operator>>(WORD& w) { return ReadRaw(w); }
    CArchive& operator>>(LONG& l) { return ReadRaw(l); }
    CArchive& operator>>(DWORD& dw) { return ReadRaw(dw); }
    CArchive& operator>>(float& f) { return ReadRaw(f); }
    CArchive& operator>>(double& d) { return ReadRaw(d); }
    CArchive& operator>>(LONGLONG& dwdw) { return ReadRaw(dwdw); }
    CArchive& operator>>(ULONGLONG& dwdw) { return ReadRaw(dwdw); }
    CArchive& operator>>(short& w) { return ReadRaw(w); }
    CArchive& operator>>(char& ch) { return ReadRaw(ch); }
    CArchive& operator>>(signed char& ch) { return ReadRaw(ch); }
    CArchive& operator>>(bool& b);
    CArchive& operator>>(CString& str);
    CArchive& operator>>(CObject*& pOb)
    {
        pOb = ReadObject(nullptr);
        return *this;
    }

    CDocument* m_pDocument = nullptr;
    CString m_strFileName;

protected:
    template <typename T>
    CArchive& WriteRaw(const T& value)
    {
        Write(&value, sizeof value);
        return *this;
    }
    template <typename T>
    CArchive& ReadRaw(T& value)
    {
        EnsureRead(&value, sizeof value);
        return *this;
    }
    void FillBuffer(UINT nAtLeast);
    void CheckMode(BOOL loading) const;
    [[noreturn]] void Fail(int cause) const;
    // The map index of a tag read from the stream; new classes are loaded.
    DWORD ReadTag(WORD* pRawTag);
    void WriteTag(DWORD index, bool isClass);

    CFile* m_pFile;
    UINT m_nMode;
    std::vector<BYTE> m_ownBuffer;
    BYTE* m_lpBuf;
    UINT m_nBufSize;
    UINT m_nBufPos = 0;  // loading: next byte to hand out
    UINT m_nBufUsed = 0; // bytes held (loading) or waiting (storing)
    UINT m_nObjectSchema = static_cast<UINT>(-1);

    // Storing: what is already in the archive, by address, with its index.
    std::unordered_map<const void*, DWORD> m_storeMap;
    // Loading: index -> class or object (index 0 is null).
    struct LoadEntry {
        CRuntimeClass* pClass;
        CObject* pObject;
    };
    std::vector<LoadEntry> m_loadArray;
    DWORD m_nMapCount = 1;
};
