#include "providers/5460/Provider5460.h"

#include "core/model/Account.h"
#include "core/model/AccountFactory.h"
#include "providers/5460/Account5460.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(Provider5460, FactoryMakesA5460AccountForBothKinds)
{
    RegisterProvider5460();
    for (const char* name : {"5460(电信用户)", "5460(网通用户)"}) {
        std::unique_ptr<CAccount> account(CreateAccount(name));
        ASSERT_NE(account, nullptr) << name;
        EXPECT_NE(dynamic_cast<CAccount5460*>(account.get()), nullptr) << name;
        EXPECT_EQ(account->GetProvider(), CString(name));
        account->Close();
    }
    // The ChinaRen kinds are not this provider's.
    std::unique_ptr<CAccount> other(CreateAccount("ChinaRen(Sohu用户)"));
    EXPECT_EQ(dynamic_cast<CAccount5460*>(other.get()), nullptr);
    if (other)
        other->Close();
}

} // namespace
