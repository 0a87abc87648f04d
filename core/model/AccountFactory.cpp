#include "core/model/AccountFactory.h"

#include "core/model/Account.h"
#include "core/model/ProviderNameList.h"

#include <mutex>
#include <vector>

namespace {

struct Registry {
    std::mutex lock;
    std::vector<AccountCreator> creators;  // by provider name index
};

Registry& GetRegistry()
{
    static Registry registry;
    return registry;
}

// The index of a provider type name (byte-wise comparison), or -1.
int FindProvider(const CString& name)
{
    for (int i = 0; i < GetProviderCount(); ++i) {
        if (GetProviderName(i) == name)
            return i;
    }
    return -1;
}

} // namespace

BOOL RegisterAccountClass(const CString& providerName, AccountCreator creator)
{
    int index = FindProvider(providerName);
    if (index < 0)
        return FALSE;
    Registry& registry = GetRegistry();
    std::lock_guard<std::mutex> lock(registry.lock);
    if (registry.creators.size() <= static_cast<size_t>(index))
        registry.creators.resize(static_cast<size_t>(index) + 1, nullptr);
    registry.creators[static_cast<size_t>(index)] = creator;
    return TRUE;
}

CAccount* CreateAccount(const CString& providerName)
{
    int index = FindProvider(providerName);
    if (index < 0)
        return nullptr;
    AccountCreator creator = nullptr;
    {
        Registry& registry = GetRegistry();
        std::lock_guard<std::mutex> lock(registry.lock);
        if (static_cast<size_t>(index) < registry.creators.size())
            creator = registry.creators[static_cast<size_t>(index)];
    }
    CAccount* account = creator ? creator() : nullptr;
    if (account)
        account->SetProvider(providerName);
    return account;
}
