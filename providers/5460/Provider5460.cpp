#include "providers/5460/Provider5460.h"

#include "core/model/AccountFactory.h"
#include "core/model/ProviderNameList.h"
#include "providers/5460/Account5460.h"

namespace {

CAccount* NewAccount5460()
{
    return new CAccount5460;
}

} // namespace

void RegisterProvider5460()
{
    // The first two provider type names are the 5460 kinds.
    for (int i = 0; i < 2; ++i)
        RegisterAccountClass(GetProviderName(i), &NewAccount5460);
}
