// CAccount5460: an account at the 5460 provider, for the provider types
// "5460(电信用户)" and "5460(网通用户)". It signs in for every operation of
// the account, its classes and their stores, reads and changes the personal
// profile and rebuilds the class list.
#pragma once

#include "core/model/Account.h"
#include "providers/common/ClassSwap.h"

#include <vector>

namespace tavrin::p5460 {
struct ClassEntry;
}

class CAccount5460 : public CAccount {
public:
    CAccount5460() = default;
    ~CAccount5460() override;

    // 1 when the client now carries the sign-in cookie (reused while fresh,
    // else from a new sign-in, whose reply goes to page), 0 after a failure
    // that the account log explains.
    int Login(CHttpClient* client, CString* page) override;
    void UpdateProfile(CByteArray* form, int param) override;
    void ReadProfile(int param) override;
    void UpdateClassList(int param) override;
    BOOL HasMessageSubject() override { return TRUE; }
    BOOL SupportsSmileys() override { return FALSE; }
    BOOL HasPrivateSubject() override { return TRUE; }
    BOOL NeedsVerifyCode(int) override { return FALSE; }
    CString GetPrivateFeatureName() override;
    CSchoolClass* CreateClass() override;

private:
    // Replaces the class array by the classes of entries, in their order
    // (see ClassList5460.cpp).
    void ApplyClassList(const std::vector<tavrin::p5460::ClassEntry>& entries);

    // Classes taken out of the array by a class-list pass.
    tavrin::RetiredClasses m_retired;
};
