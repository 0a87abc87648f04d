// The ChinaRen member list: each member's details as the member page labels
// them, kept in "contact.xml".
#pragma once

#include "core/model/ContactStore.h"

class CContactItemChinaRen : public CContactItem {
public:
    CContactItemChinaRen() = default;
    ~CContactItemChinaRen() override = default;

    static void ReadXml(CContactItemChinaRen* item, CXmlCursor* cursor);
    // A new element gets the 17 own children after the base ones, in the
    // order of the members below.
    static void WriteXml(CContactItemChinaRen* item, CXmlCursor* cursor);

    CString m_sex;
    CString m_email;
    CString m_sq;
    CString m_mobile;
    CString m_birthday;
    CString m_education;
    CString m_job;
    CString m_city;
    CString m_company;
    CString m_companyAddress;
    CString m_address;
    CString m_postcode;
    CString m_phoneNumber;
    CString m_homepage;
    CString m_qq;
    CString m_msnIcq;
    CString m_selfIntro;
};

class CContactStoreChinaRen : public CContactStore {
public:
    CContactStoreChinaRen() = default;
    ~CContactStoreChinaRen() override = default;

    // Merges the member list with its visit information into "contact.xml"
    // and, in mode 0, each listed member's details (all when ids is empty).
    void Update(CStringArray& ids, int mode) override;
    // "contact.html" filled with the stored contact.
    CString RenderPage(CString custoId) override;
    // The value after label on a member's detail page, trimmed; empty when
    // the label is missing.
    static void ScrapeField(CString& page, CString label, CString& value);

private:
    void UpdateVisits(const CString& classId);
    void UpdateDetails(const CString& classId, CStringArray& ids);
    void Log(const CString& text);
};
