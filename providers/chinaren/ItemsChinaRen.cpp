// The XML form of the four ChinaRen records: the core record's part first,
// then each own field in a child element of its own name.
#include "core/services/XmlFile.h"
#include "providers/chinaren/ContactStoreChinaRen.h"
#include "providers/chinaren/MessageStoreChinaRen.h"
#include "providers/chinaren/PictureStoreChinaRen.h"
#include "providers/chinaren/PrivateStoreChinaRen.h"

namespace {

template <class Item>
struct Field {
    const char* name;
    CString Item::*member;
};

template <class Item, size_t N>
void ReadFields(Item* item, CXmlCursor* cursor, const Field<Item> (&fields)[N])
{
    for (const Field<Item>& field : fields)
        item->*field.member = cursor->GetChildData(field.name);
}

// A child that cannot be found or made (no current element) is skipped.
template <class Item, size_t N>
void WriteFields(Item* item, CXmlCursor* cursor, const Field<Item> (&fields)[N])
{
    for (const Field<Item>& field : fields) {
        if (cursor->FindChildElem(field.name, TRUE)) {
            cursor->SetData(item->*field.member);
            cursor->GetFile().OutOfElem(cursor->GetId());
        }
    }
}

const Field<CContactItemChinaRen> kContactFields[] = {
    {"sex", &CContactItemChinaRen::m_sex},
    {"email", &CContactItemChinaRen::m_email},
    {"sq", &CContactItemChinaRen::m_sq},
    {"mobile", &CContactItemChinaRen::m_mobile},
    {"birthday", &CContactItemChinaRen::m_birthday},
    {"education", &CContactItemChinaRen::m_education},
    {"job", &CContactItemChinaRen::m_job},
    {"city", &CContactItemChinaRen::m_city},
    {"company", &CContactItemChinaRen::m_company},
    {"company_address", &CContactItemChinaRen::m_companyAddress},
    {"address", &CContactItemChinaRen::m_address},
    {"postcode", &CContactItemChinaRen::m_postcode},
    {"phone_number", &CContactItemChinaRen::m_phoneNumber},
    {"homepage", &CContactItemChinaRen::m_homepage},
    {"qq", &CContactItemChinaRen::m_qq},
    {"msn_icq", &CContactItemChinaRen::m_msnIcq},
    {"self_intro", &CContactItemChinaRen::m_selfIntro},
};

const Field<CMessageItemChinaRen> kMessageFields[] = {
    {"content", &CMessageItemChinaRen::m_content},
    {"vote_reason", &CMessageItemChinaRen::m_voteReason},
};

const Field<CPictureItemChinaRen> kPictureFields[] = {
    {"comment", &CPictureItemChinaRen::m_comment},
    {"description", &CPictureItemChinaRen::m_description},
    {"file_name", &CPictureItemChinaRen::m_fileName},
    {"file_size", &CPictureItemChinaRen::m_fileSize},
    {"original_size", &CPictureItemChinaRen::m_originalSize},
    {"url", &CPictureItemChinaRen::m_url},
};

const Field<CPrivateItemChinaRen> kPrivateFields[] = {
    {"content", &CPrivateItemChinaRen::m_content},
};

} // namespace

void CContactItemChinaRen::ReadXml(CContactItemChinaRen* item, CXmlCursor* cursor)
{
    CContactItem::ReadXml(item, cursor);
    ReadFields(item, cursor, kContactFields);
}

void CContactItemChinaRen::WriteXml(CContactItemChinaRen* item, CXmlCursor* cursor)
{
    CContactItem::WriteXml(item, cursor);
    WriteFields(item, cursor, kContactFields);
}

void CMessageItemChinaRen::ReadXml(CMessageItemChinaRen* item, CXmlCursor* cursor)
{
    CMessageItem::ReadXml(item, cursor);
    ReadFields(item, cursor, kMessageFields);
}

void CMessageItemChinaRen::WriteXml(CMessageItemChinaRen* item, CXmlCursor* cursor)
{
    CMessageItem::WriteXml(item, cursor);
    WriteFields(item, cursor, kMessageFields);
}

void CPictureItemChinaRen::ReadXml(CPictureItemChinaRen* item, CXmlCursor* cursor)
{
    CPictureItem::ReadXml(item, cursor);
    ReadFields(item, cursor, kPictureFields);
}

void CPictureItemChinaRen::WriteXml(CPictureItemChinaRen* item, CXmlCursor* cursor)
{
    CPictureItem::WriteXml(item, cursor);
    WriteFields(item, cursor, kPictureFields);
}

void CPrivateItemChinaRen::ReadXml(CPrivateItemChinaRen* item, CXmlCursor* cursor)
{
    CPrivateItem::ReadXml(item, cursor);
    ReadFields(item, cursor, kPrivateFields);
}

void CPrivateItemChinaRen::WriteXml(CPrivateItemChinaRen* item, CXmlCursor* cursor)
{
    CPrivateItem::WriteXml(item, cursor);
    WriteFields(item, cursor, kPrivateFields);
}
