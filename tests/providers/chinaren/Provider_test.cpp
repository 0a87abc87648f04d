#include "providers/chinaren/ProviderChinaRen.h"

#include "core/model/AccountFactory.h"
#include "providers/chinaren/AccountChinaRen.h"
#include "providers/chinaren/SchoolClassChinaRen.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(ProviderChinaRen, FactoryMakesAChinaRenAccountForBothKinds)
{
    RegisterProviderChinaRen();
    for (const char* name : {"ChinaRen(ChinaRen用户)", "ChinaRen(Sohu用户)"}) {
        std::unique_ptr<CAccount> account(CreateAccount(name));
        ASSERT_NE(account, nullptr) << name;
        EXPECT_NE(dynamic_cast<CAccountChinaRen*>(account.get()), nullptr) << name;
        EXPECT_EQ(account->GetProvider(), CString(name));
        account->Close();
    }
    std::unique_ptr<CAccount> other(CreateAccount("5460(电信用户)"));
    EXPECT_EQ(dynamic_cast<CAccountChinaRen*>(other.get()), nullptr);
    if (other)
        other->Close();
}

TEST(ProviderChinaRen, ConstantAnswers)
{
    CAccountChinaRen account;
    EXPECT_FALSE(account.HasMessageSubject());
    EXPECT_TRUE(account.SupportsSmileys());
    EXPECT_FALSE(account.HasPrivateSubject());
    EXPECT_TRUE(account.NeedsVerifyCode(0));
    EXPECT_TRUE(account.NeedsVerifyCode(1));
    EXPECT_FALSE(account.NeedsVerifyCode(2));
    EXPECT_EQ(account.GetPrivateFeatureName(), CString("小纸条"));
    std::unique_ptr<CSchoolClass> made(account.CreateClass());
    EXPECT_NE(dynamic_cast<CSchoolClassChinaRen*>(made.get()), nullptr);
    made->Close();
    account.Close();
}

} // namespace
