// CAccountChinaRen: an account at ChinaRen, for the provider types
// "ChinaRen(ChinaRen用户)" and "ChinaRen(Sohu用户)". It signs in through the
// passport for every operation of the account, its classes and their stores.
#pragma once

#include "core/model/Account.h"
#include "providers/common/ClassSwap.h"

class CAccountChinaRen : public CAccount {
public:
    CAccountChinaRen() = default;
    ~CAccountChinaRen() override;

    // 1 when the client now carries the sign-in cookie (reused while fresh,
    // else from a new passport sign-in, whose answer goes to page), 0 after
    // a failure that the account log explains.
    int Login(CHttpClient* client, CString* page) override;
    // The personal profile (ProfileChinaRen.cpp).
    void UpdateProfile(CByteArray* form, int param) override;
    void ReadProfile(int param) override;
    // Rebuilds the classes from the site's home page (ClassListChinaRen.cpp).
    void UpdateClassList(int param) override;
    BOOL HasMessageSubject() override { return FALSE; }
    BOOL SupportsSmileys() override { return TRUE; }
    BOOL HasPrivateSubject() override { return FALSE; }
    // Messages (0) and photo comments (1) carry a verification code.
    BOOL NeedsVerifyCode(int kind) override { return kind == 0 || kind == 1; }
    CString GetPrivateFeatureName() override;
    CSchoolClass* CreateClass() override;

private:
    // Gives every class's message store a new key and fetches its picture
    // over the signed-in client.
    void RefreshAuthImages(CHttpClient* client);
    // The id of the account's first class, empty without one.
    CString FirstClassId();

    // Classes taken out of the array by a class-list pass.
    tavrin::RetiredClasses m_retired;
};
