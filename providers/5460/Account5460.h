// CAccount5460: an account at the 5460 provider, for the provider types
// "5460(电信用户)" and "5460(网通用户)". It signs in for every operation of
// the account, its classes and their stores.
#pragma once

#include "core/model/Account.h"

class CAccount5460 : public CAccount {
public:
    CAccount5460() = default;
    ~CAccount5460() override = default;

    // 1 when the client now carries the sign-in cookie (reused while fresh,
    // else from a new sign-in, whose reply goes to page), 0 after a failure
    // that the account log explains.
    int Login(CHttpClient* client, CString* page) override;
    BOOL HasMessageSubject() override { return TRUE; }
    BOOL SupportsSmileys() override { return FALSE; }
    BOOL HasPrivateSubject() override { return TRUE; }
    BOOL NeedsVerifyCode(int) override { return FALSE; }
    CString GetPrivateFeatureName() override;
    CSchoolClass* CreateClass() override;
};
