#include "core/model/ProviderNameList.h"

CProviderNameList::CProviderNameList()
{
    m_names.Add("5460(电信用户)");
    m_names.Add("5460(网通用户)");
    m_names.Add("ChinaRen(ChinaRen用户)");
    m_names.Add("ChinaRen(Sohu用户)");
}

const CProviderNameList& CProviderNameList::Get()
{
    static const CProviderNameList list;
    return list;
}

CString CProviderNameList::GetName(int index) const
{
    if (index < 0 || index >= m_names.GetSize())
        return CString();
    return m_names[index];
}

int GetProviderCount()
{
    return CProviderNameList::Get().GetCount();
}

CString GetProviderName(int index)
{
    return CProviderNameList::Get().GetName(index);
}
