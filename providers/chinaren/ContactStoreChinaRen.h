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
};
