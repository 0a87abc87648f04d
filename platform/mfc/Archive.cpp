#include "platform/mfc/Archive.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr WORD kNullTag = 0;
constexpr WORD kNewClassTag = 0xFFFF;
constexpr WORD kClassTag = 0x8000;
constexpr WORD kBigObjectTag = 0x7FFF;
constexpr DWORD kBigClassTag = 0x80000000;
constexpr DWORD kMaxMapCount = 0x3FFFFFFE;
// Class names longer than this are not names of ours: the stream is damaged.
constexpr WORD kMaxClassName = 64;
} // namespace

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize, void* lpBuf) : m_pFile(pFile), m_nMode(nMode)
{
    if (pFile)
        m_strFileName = pFile->GetFilePath();
    m_nBufSize = static_cast<UINT>(std::max(nBufSize, 128));
    if (lpBuf && nBufSize >= 128) {
        m_lpBuf = static_cast<BYTE*>(lpBuf);
    } else {
        m_ownBuffer.resize(m_nBufSize);
        m_lpBuf = m_ownBuffer.data();
    }
    m_loadArray.push_back({nullptr, nullptr});
}

CArchive::~CArchive()
{
    if (m_pFile && !(m_nMode & bNoFlushOnDelete)) {
        try {
            Close();
        } catch (CException* e) {
            e->Delete();
        }
    }
    m_pFile = nullptr;
}

void CArchive::Fail(int cause) const { AfxThrowArchiveException(cause, m_strFileName); }

void CArchive::CheckMode(BOOL loading) const
{
    if (!m_pFile)
        Fail(CArchiveException::genericException);
    if (loading && !IsLoading())
        Fail(CArchiveException::writeOnly);
    if (!loading && IsLoading())
        Fail(CArchiveException::readOnly);
}

void CArchive::FillBuffer(UINT nAtLeast)
{
    // Keep what is unread at the front, then read as much as fits.
    UINT left = m_nBufUsed - m_nBufPos;
    if (left && m_nBufPos)
        std::memmove(m_lpBuf, m_lpBuf + m_nBufPos, left);
    m_nBufPos = 0;
    m_nBufUsed = left;
    while (m_nBufUsed < nAtLeast) {
        UINT got = m_pFile->Read(m_lpBuf + m_nBufUsed, m_nBufSize - m_nBufUsed);
        if (got == 0)
            break;
        m_nBufUsed += got;
    }
}

UINT CArchive::Read(void* lpBuf, UINT nMax)
{
    CheckMode(TRUE);
    BYTE* out = static_cast<BYTE*>(lpBuf);
    UINT done = 0;
    while (done < nMax) {
        if (m_nBufPos == m_nBufUsed) {
            FillBuffer(1);
            if (m_nBufUsed == 0)
                break;
        }
        UINT n = std::min(nMax - done, m_nBufUsed - m_nBufPos);
        std::memcpy(out + done, m_lpBuf + m_nBufPos, n);
        m_nBufPos += n;
        done += n;
    }
    return done;
}

void CArchive::EnsureRead(void* lpBuf, UINT nMax)
{
    if (Read(lpBuf, nMax) != nMax)
        Fail(CArchiveException::endOfFile);
}

void CArchive::Write(const void* lpBuf, UINT nMax)
{
    CheckMode(FALSE);
    const BYTE* in = static_cast<const BYTE*>(lpBuf);
    while (nMax) {
        if (m_nBufUsed == m_nBufSize)
            Flush();
        UINT n = std::min(nMax, m_nBufSize - m_nBufUsed);
        std::memcpy(m_lpBuf + m_nBufUsed, in, n);
        m_nBufUsed += n;
        in += n;
        nMax -= n;
    }
}

void CArchive::Flush()
{
    if (!m_pFile)
        return;
    if (IsLoading()) {
        // What was read ahead goes back to the file, so it is where the
        // archive's reader stopped.
        UINT ahead = m_nBufUsed - m_nBufPos;
        if (ahead)
            m_pFile->Seek(-static_cast<LONGLONG>(ahead), CFile::current);
        m_nBufPos = m_nBufUsed = 0;
        return;
    }
    UINT n = m_nBufUsed;
    m_nBufUsed = 0;
    if (n && !m_pFile->Write(m_lpBuf, n))
        Fail(CArchiveException::genericException);
    if (!m_pFile->Flush())
        Fail(CArchiveException::genericException);
}

void CArchive::Close()
{
    if (!m_pFile)
        return;
    try {
        Flush();
    } catch (CException*) {
        m_pFile = nullptr;
        throw;
    }
    m_pFile = nullptr;
}

void CArchive::Abort()
{
    m_nBufPos = m_nBufUsed = 0;
    m_pFile = nullptr;
}

void CArchive::WriteCount(DWORD_PTR dwCount)
{
    if (dwCount < 0xFFFF) {
        *this << static_cast<WORD>(dwCount);
    } else {
        *this << static_cast<WORD>(0xFFFF);
        *this << static_cast<DWORD>(dwCount);
    }
}

DWORD_PTR CArchive::ReadCount()
{
    WORD w;
    *this >> w;
    if (w != 0xFFFF)
        return w;
    DWORD dw;
    *this >> dw;
    return dw;
}

CArchive& CArchive::operator>>(bool& b)
{
    BYTE by;
    ReadRaw(by);
    b = by != 0;
    return *this;
}

CArchive& CArchive::operator<<(const CString& str)
{
    DWORD len = static_cast<DWORD>(str.GetLength());
    if (len < 255) {
        *this << static_cast<BYTE>(len);
    } else if (len < 0xFFFE) {
        *this << static_cast<BYTE>(0xFF) << static_cast<WORD>(len);
    } else {
        *this << static_cast<BYTE>(0xFF) << static_cast<WORD>(0xFFFF) << len;
    }
    Write(static_cast<LPCTSTR>(str), len);
    return *this;
}

CArchive& CArchive::operator>>(CString& str)
{
    BYTE by;
    *this >> by;
    DWORD len = by;
    if (by == 0xFF) {
        WORD w;
        *this >> w;
        len = w;
        if (w == 0xFFFE) // wide text: never written by this program
            Fail(CArchiveException::badIndex);
        if (w == 0xFFFF)
            *this >> len;
    }
    // Read in pieces so a damaged length cannot ask for more memory than
    // the stream holds.
    std::string text;
    char chunk[4096];
    while (len) {
        UINT n = std::min<DWORD>(len, sizeof chunk);
        EnsureRead(chunk, n);
        text.append(chunk, n);
        len -= n;
    }
    str = CString(std::move(text));
    return *this;
}

BOOL CArchive::ReadString(CString& rString)
{
    std::string line;
    char ch;
    bool any = false;
    while (Read(&ch, 1) == 1) {
        any = true;
        if (ch == '\n')
            break;
        line += ch;
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    rString = CString(std::move(line));
    return any;
}

void CArchive::WriteString(LPCTSTR lpsz)
{
    if (lpsz)
        Write(lpsz, static_cast<UINT>(std::strlen(lpsz)));
}

void CArchive::WriteTag(DWORD index, bool isClass)
{
    if (index < kBigObjectTag) {
        *this << static_cast<WORD>(isClass ? (kClassTag | index) : index);
    } else {
        *this << kBigObjectTag << static_cast<DWORD>(isClass ? (kBigClassTag | index) : index);
    }
}

void CArchive::WriteClass(const CRuntimeClass* pClassRef)
{
    if (!pClassRef || pClassRef->m_wSchema == 0xFFFF)
        Fail(CArchiveException::badClass); // not a serial class
    CheckMode(FALSE);
    auto found = m_storeMap.find(pClassRef);
    if (found != m_storeMap.end()) {
        WriteTag(found->second, true);
        return;
    }
    if (m_nMapCount >= kMaxMapCount)
        Fail(CArchiveException::badIndex);
    WORD nameLength = static_cast<WORD>(std::strlen(pClassRef->m_lpszClassName));
    *this << kNewClassTag << static_cast<WORD>(pClassRef->m_wSchema & ~VERSIONABLE_SCHEMA) << nameLength;
    Write(pClassRef->m_lpszClassName, nameLength);
    m_storeMap.emplace(pClassRef, m_nMapCount++);
}

DWORD CArchive::ReadTag(WORD* pRawTag)
{
    WORD wTag;
    *this >> wTag;
    *pRawTag = wTag;
    if (wTag == kBigObjectTag) {
        DWORD obTag;
        *this >> obTag;
        return obTag;
    }
    return (static_cast<DWORD>(wTag & kClassTag) << 16) | (wTag & ~kClassTag);
}

CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* pClassRefRequested, UINT* pSchema, DWORD* pObTag)
{
    CheckMode(TRUE);
    WORD wTag;
    DWORD obTag = ReadTag(&wTag);
    CRuntimeClass* pClassRef = nullptr;
    UINT nSchema = 0;
    if (wTag == kNewClassTag) {
        WORD schema, nameLength;
        *this >> schema >> nameLength;
        if (nameLength == 0 || nameLength > kMaxClassName)
            Fail(CArchiveException::badClass);
        char name[kMaxClassName + 1];
        EnsureRead(name, nameLength);
        name[nameLength] = '\0';
        pClassRef = CRuntimeClass::FromName(name);
        if (!pClassRef || pClassRef->m_wSchema == 0xFFFF)
            Fail(CArchiveException::badClass);
        if (pClassRef->m_wSchema != schema && !(pClassRef->m_wSchema & VERSIONABLE_SCHEMA))
            Fail(CArchiveException::badSchema);
        if (m_loadArray.size() >= kMaxMapCount)
            Fail(CArchiveException::badIndex);
        m_loadArray.push_back({pClassRef, nullptr});
        nSchema = schema;
    } else if (obTag & kBigClassTag) {
        DWORD index = obTag & ~kBigClassTag;
        if (index == 0 || index >= m_loadArray.size() || !m_loadArray[index].pClass || m_loadArray[index].pObject)
            Fail(CArchiveException::badIndex);
        pClassRef = m_loadArray[index].pClass;
        nSchema = pClassRef->m_wSchema & ~VERSIONABLE_SCHEMA;
    } else {
        // An object tag: the caller (ReadObject) resolves it.
        if (pObTag)
            *pObTag = obTag;
        else
            Fail(CArchiveException::badClass);
        return nullptr;
    }
    if (pClassRefRequested && !pClassRef->IsDerivedFrom(pClassRefRequested))
        Fail(CArchiveException::badClass);
    if (pSchema)
        *pSchema = nSchema;
    if (pObTag)
        *pObTag = obTag;
    return pClassRef;
}

void CArchive::SerializeClass(const CRuntimeClass* pClassRef)
{
    if (IsStoring())
        WriteClass(pClassRef);
    else
        ReadClass(pClassRef);
}

void CArchive::MapObject(const CObject* pOb)
{
    if (IsStoring()) {
        if (pOb && !m_storeMap.count(pOb))
            m_storeMap.emplace(pOb, m_nMapCount++);
    } else {
        m_loadArray.push_back({nullptr, const_cast<CObject*>(pOb)});
    }
}

void CArchive::WriteObject(const CObject* pOb)
{
    CheckMode(FALSE);
    if (!pOb) {
        *this << kNullTag;
        return;
    }
    auto found = m_storeMap.find(pOb);
    if (found != m_storeMap.end()) {
        WriteTag(found->second, false);
        return;
    }
    WriteClass(pOb->GetRuntimeClass());
    if (m_nMapCount >= kMaxMapCount)
        Fail(CArchiveException::badIndex);
    m_storeMap.emplace(pOb, m_nMapCount++);
    const_cast<CObject*>(pOb)->Serialize(*this);
}

CObject* CArchive::ReadObject(const CRuntimeClass* pClassRefRequested)
{
    CheckMode(TRUE);
    UINT nSchema = 0;
    DWORD obTag = 0;
    CRuntimeClass* pClassRef = ReadClass(pClassRefRequested, &nSchema, &obTag);
    if (!pClassRef) {
        if (obTag == 0)
            return nullptr;
        if (obTag >= m_loadArray.size() || !m_loadArray[obTag].pObject)
            Fail(CArchiveException::badIndex);
        CObject* pOb = m_loadArray[obTag].pObject;
        if (pClassRefRequested && !pOb->IsKindOf(pClassRefRequested))
            Fail(CArchiveException::badClass);
        return pOb;
    }
    CObject* pOb = pClassRef->CreateObject();
    if (!pOb)
        Fail(CArchiveException::badClass);
    size_t slot = m_loadArray.size();
    m_loadArray.push_back({nullptr, pOb});
    UINT nSchemaSave = m_nObjectSchema;
    m_nObjectSchema = nSchema;
    try {
        pOb->Serialize(*this);
    } catch (...) {
        // A half-read object is nobody's: it goes, and no later tag finds it.
        m_loadArray[slot].pObject = nullptr;
        m_nObjectSchema = nSchemaSave;
        delete pOb;
        throw;
    }
    m_nObjectSchema = nSchemaSave;
    return pOb;
}

UINT CArchive::GetObjectSchema()
{
    UINT n = m_nObjectSchema;
    m_nObjectSchema = static_cast<UINT>(-1); // read once
    return n;
}

CObject* AfxReadObjectFromArchive(CArchive& ar, CRuntimeClass* pClassRequested)
{
    return ar.ReadObject(pClassRequested);
}
