// The access record of the account file, enciphered as it is stored.
#include "core/model/AccessRecord.h"

#include "core/services/Password.h"

#include <gtest/gtest.h>

#include <string>

using tavrin::AccessState;
using tavrin::kDefaultAccessPassword;
using tavrin::MakeAccessRecord;
using tavrin::ReadAccessRecord;

namespace {

// The record as it goes through the file: enciphered and back.
AccessState RoundTrip(const CString& record, const CString& cookie, const CString& password)
{
    return ReadAccessRecord(DecryptPassword(EncryptPassword(record)), cookie, password);
}

} // namespace

TEST(AccessRecord, PlainForm)
{
    EXPECT_EQ(MakeAccessRecord("c", "pw", "ap", TRUE), CString("1:2:2:cpwap1"));
    EXPECT_EQ(MakeAccessRecord("c", "pw", "ap", FALSE), CString("1:2:2:cpwap0"));
    EXPECT_EQ(MakeAccessRecord("", "", "", FALSE), CString("0:0:0:0"));
    EXPECT_EQ(std::string(kDefaultAccessPassword).size(), 58u);
    EXPECT_EQ(kDefaultAccessPassword[57], ' ');
}

TEST(AccessRecord, ReadBack)
{
    struct Case {
        const char* name;
        CString record;       // plain, before enciphering
        CString cookie;       // stored beside it
        CString password;
        BOOL locked, enabled;
        CString accessPassword;
    };
    const CString cookie = "uid=7; sid=ab:cd";
    const CString deflt = kDefaultAccessPassword;
    const Case cases[] = {
        {"protection on", MakeAccessRecord(cookie, "pw", "open", TRUE), cookie, "pw", TRUE, TRUE, "open"},
        {"protection off", MakeAccessRecord(cookie, "pw", "open", FALSE), cookie, "pw", FALSE, FALSE, "open"},
        {"on, empty access password", MakeAccessRecord(cookie, "pw", "", TRUE), cookie, "pw", FALSE, TRUE, ""},
        {"off, empty access password", MakeAccessRecord(cookie, "pw", "", FALSE), cookie, "pw", FALSE, FALSE, ""},
        {"Chinese access password", MakeAccessRecord("", "密码", "口令", TRUE), "", "密码", TRUE, TRUE, "口令"},
        {"password edited by hand", MakeAccessRecord(cookie, "pw", "", FALSE), cookie, "px", TRUE, TRUE, deflt},
        {"cookie edited by hand", MakeAccessRecord(cookie, "pw", "", FALSE), "uid=8", "pw", TRUE, TRUE, deflt},
        {"empty password now", MakeAccessRecord(cookie, "pw", "", FALSE), cookie, "", TRUE, TRUE, deflt},
        {"no access element, nothing stored", "", "", "", FALSE, FALSE, ""},
        {"no access element, a cookie stored", "", cookie, "", TRUE, TRUE, deflt},
        {"no access element, a password stored", "", "", "pw", TRUE, TRUE, deflt},
        {"counts too large", "9:2:9:cpw1", "c", "pw", TRUE, TRUE, deflt},
        {"counts too small", "0:0:0:cpwap1", "", "", TRUE, TRUE, deflt},
        {"count beyond the text", "1:2:999999999:cpw1", "c", "pw", TRUE, TRUE, deflt},
        {"count with a sign", "1:2:-1:cpw1", "c", "pw", TRUE, TRUE, deflt},
        {"count not a number", "1:x:0:cpw1", "c", "pw", TRUE, TRUE, deflt},
        {"two colons only", "1:2:cpw1", "c", "pw", TRUE, TRUE, deflt},
        {"no colon", "garbage", "", "", TRUE, TRUE, deflt},
        {"flag not 0 or 1", "1:2:0:cpwx", "c", "pw", TRUE, TRUE, deflt},
        {"cookie prefix only", "1:2:0:cpw0", "cc", "pw", TRUE, TRUE, deflt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AccessState state = RoundTrip(c.record, c.cookie, c.password);
        EXPECT_EQ(state.locked, c.locked);
        EXPECT_EQ(state.enabled, c.enabled);
        EXPECT_EQ(state.password, c.accessPassword);
    }
}

TEST(AccessRecord, CookieOver1024BytesSurvivesTheCipher)
{
    CString cookie(std::string(3000, 'k') + "=v");
    CString record = MakeAccessRecord(cookie, "pw", "secret", TRUE);
    AccessState state = RoundTrip(record, cookie, "pw");
    EXPECT_TRUE(state.locked);
    EXPECT_TRUE(state.enabled);
    EXPECT_EQ(state.password, CString("secret"));
}
