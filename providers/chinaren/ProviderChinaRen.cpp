#include "providers/chinaren/ProviderChinaRen.h"

#include "core/model/AccountFactory.h"
#include "core/model/ProviderNameList.h"
#include "providers/chinaren/AccountChinaRen.h"

namespace {

CAccount* NewAccountChinaRen()
{
    return new CAccountChinaRen;
}

} // namespace

void RegisterProviderChinaRen()
{
    // The third and fourth provider type names are the ChinaRen kinds.
    for (int i = 2; i < 4; ++i)
        RegisterAccountClass(GetProviderName(i), &NewAccountChinaRen);
}
