// The ChinaRen message board: messages without subjects, pinned messages and
// the class vote, kept in "message.xml". New messages and replies carry a
// verification code.
#pragma once

#include "core/model/MessageStore.h"

class CMessageItemChinaRen : public CMessageItem {
public:
    CMessageItemChinaRen() = default;
    CMessageItemChinaRen(const CMessageItemChinaRen& other) = default;
    CMessageItemChinaRen& operator=(const CMessageItemChinaRen& other) = default;
    ~CMessageItemChinaRen() override = default;

    // The same message: time, user and content equal byte for byte; title,
    // vote reason, ids and flags take no part.
    bool operator==(const CMessageItemChinaRen& other) const
    {
        return m_time == other.m_time && m_user == other.m_user && m_content == other.m_content;
    }

    static void ReadXml(CMessageItemChinaRen* item, CXmlCursor* cursor);
    // A new element gets the children title, time, user, content,
    // vote_reason in this order.
    static void WriteXml(CMessageItemChinaRen* item, CXmlCursor* cursor);

    CString m_content;
    CString m_voteReason;
};

class CMessageStoreChinaRen : public CMessageStore {
public:
    CMessageStoreChinaRen() = default;
    ~CMessageStoreChinaRen() override = default;

    BOOL NeedsAuthCode() override { return TRUE; }
    // The verification stamp (see AuthCode.h).
    CString GetAuthTime() override;
};
