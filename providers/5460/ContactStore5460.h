// The 5460 contact list: the class's members from the member page and their
// visit information from the visit page, kept in "contact.xml", and the
// member page rendered from "contact.html".
#pragma once

#include "core/model/ContactStore.h"

class CContactItem5460 : public CContactItem {
public:
    CContactItem5460() = default;
    ~CContactItem5460() override = default;

    static void ReadXml(CContactItem5460* item, CXmlCursor* cursor);
    static void WriteXml(CContactItem5460* item, CXmlCursor* cursor);

    CString m_personIcon;
    CString m_phoneNumber;
    CString m_oicq;
    CString m_mobile;
    CString m_company;
    CString m_address;
    CString m_email;
    CString m_intro;
};

class CContactStore5460 : public CContactStore {
public:
    CContactStore5460() = default;
    ~CContactStore5460() override = default;

    CString RenderPage(CString custoId) override;
    // ids are not read: the whole class is read. mode 0: member data, then
    // visit information; other modes: visit information only.
    void Update(CStringArray& ids, int mode) override;

private:
    void UpdateMembers(const CString& url);
    void UpdateVisits(const CString& url);
    void Post(WPARAM code);
    void Send(WPARAM code);
    void Log(const CString& text);
    int Login(CString& page);
};
