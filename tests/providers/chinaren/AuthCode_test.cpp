// The verification stamp, the picture addresses and the storing of the
// picture the site serves.
#include "tests/providers/chinaren/ChinaRenFixture.h"

#include "core/model/MessageStore.h"
#include "core/model/PictureStore.h"
#include "core/services/Config.h"
#include "imaging/GifDecoder.h"
#include "platform/base/Clock.h"
#include "providers/chinaren/AuthCode.h"

#include <gtest/gtest.h>

namespace tavrin::test {
namespace {

using namespace tavrin::chinaren;
using sim::chinaren::PictureAnswer;

using ChinaRenAuth = ChinaRenTest;

TEST_F(ChinaRenAuth, StampFollowsZoneAndTimeDifference)
{
    struct Case {
        const char* zone;
        const char* difference;
        int64_t now;
        const char* stamp;
    } cases[] = {
        {"CST-8", "0", kNow, "1117584000500"},
        {"CST-8", "1", kNow, "1117580400500"},
        {"CST-8", "-0.7", kNow, "1117584000500"},
        {"CST-8", "x", kNow, "1117584000500"},
        {"CST-8", " +1.5", kNow, "1117580400500"},
        // New Year falls in standard time there (UTC-5): 13 hours behind.
        {"EST5EDT,M3.2.0,M11.1.0", "0", kNow, "1117537200500"},
        {"EST5EDT,M3.2.0,M11.1.0", "-13", kNow, "1117584000500"},
        // ... and in daylight saving time here (UTC+11).
        {"AEST-10AEDT,M10.1.0,M4.1.0/3", "3", kNow, "1117584000500"},
        // After 2038 the stamp keeps counting.
        {"CST-8", "0", 4102444800, "4102444800500"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " " + c.difference);
        ScopedZone zoneHere(c.zone);
        clock::UseManual(c.now);
        SetConfig(CFG_OTHER_TIME_ZONE, c.difference);
        EXPECT_EQ(AuthStamp(), CString(c.stamp));
        EXPECT_EQ(AuthStamp(), AuthStamp());
    }
}

TEST(ChinaRenAuthAddress, FourFormsWithTheUserLowerCased)
{
    struct Case {
        const char* kind;
        const char* user;
        bool sohu;
        const char* key;
        const char* url;
    } cases[] = {
        {kMessageAuthKind, "Tom", false, "1117584000500", "http://vcode.chinaren.com/verifyimg?lwc1tom1117584000500"},
        {kMessageAuthKind, "Tom", true, "1117584000500", "http://vcode.chinaren.com/verifyimg?lwc1tom@sohu1117584000500"},
        {kPhotoAuthKind, "Tom", false, "1117584000500", "http://vcode.chinaren.com/verifyimg?cpc1tom1117584000500"},
        {kPhotoAuthKind, "Tom", true, "1117584000500", "http://vcode.chinaren.com/verifyimg?cpc1tom@sohu1117584000500"},
        // A double-byte character stays whole, its letter-like second byte too.
        {kMessageAuthKind, "侫Tom", false, "7", "http://vcode.chinaren.com/verifyimg?lwc1侫tom7"},
        {kPhotoAuthKind, "Tom", true, "", "http://vcode.chinaren.com/verifyimg?cpc1tom@sohu"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        EXPECT_EQ(AuthImageUrl(c.kind, "c1", c.user, c.sohu, c.key), CString(c.url));
    }
    EXPECT_TRUE(IsSohuKind("ChinaRen(Sohu用户)"));
    EXPECT_FALSE(IsSohuKind("ChinaRen(ChinaRen用户)"));
    EXPECT_FALSE(IsSohuKind("ChinaRen(sohu用户)"));
}

TEST_F(ChinaRenAuth, AcceptedPictureIsStoredByteForByteAndDecodes)
{
    CSchoolClassChinaRen* schoolClass = AddClass("c1");
    CPictureStore* store = schoolClass->GetPictureStore();
    store->SetAuthKey("1117584000500", "");
    const std::string query = "cpc1tom1117584000500";
    const std::string path = ClassFolder("c1") + "/auth_picture.gif";
    for (PictureAnswer answer : {PictureAnswer::Gif, PictureAnswer::Gif87}) {
        SCOPED_TRACE(static_cast<int>(answer));
        site.Edit([&](sim::chinaren::Data& d) { d.pictureAnswers["cp"] = answer; });
        CHttpClient client;
        Aim(client);
        ASSERT_TRUE(FetchAuthImage(&client, store, kPhotoAuthKind));
        EXPECT_EQ(sim.Log().back().query, query);
        const std::string code = site.CodeFor(query);
        ASSERT_EQ(code.size(), 4u);
        std::string expected = sim::chinaren::DrawCode(code);
        if (answer == PictureAnswer::Gif87)
            expected.replace(0, 6, "GIF87a");
        EXPECT_EQ(TempDir::Read(dir.Path() / path), expected);
        CGifDecoder decoder;
        ASSERT_EQ(decoder.Load(store->GetAuthImagePath("")), 1);
        EXPECT_EQ(decoder.GetWidth(), sim::chinaren::CodeImageWidth(4));
        EXPECT_EQ(decoder.GetHeight(), sim::chinaren::CodeImageHeight());
        // Neither key nor code is touched.
        EXPECT_EQ(store->GetAuthKey(""), CString("1117584000500"));
    }
}

TEST_F(ChinaRenAuth, RefusedAnswersLeaveTheOldPicture)
{
    CSchoolClassChinaRen* schoolClass = AddClass("c1");
    CMessageStore* store = schoolClass->GetMessageStore();
    store->SetAuthCode("1234", "");
    const std::string path = ClassFolder("c1") + "/auth_message.gif";
    dir.Write(path, "old picture");
    struct Case {
        const char* name;
        PictureAnswer answer;
        bool drop;
    } cases[] = {
        {"HTML with 200", PictureAnswer::Html, false},
        {"a GIF with 404", PictureAnswer::Gif404, false},
        {"five bytes", PictureAnswer::FiveBytes, false},
        {"a dropped connection", PictureAnswer::Gif, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        site.Edit([&](sim::chinaren::Data& d) { d.pictureAnswers["lw"] = c.answer; });
        if (c.drop)
            sim.SetFault("", "/verifyimg", sim::Fault::DropConnection());
        CHttpClient client;
        Aim(client);
        EXPECT_FALSE(FetchAuthImage(&client, store, kMessageAuthKind));
        EXPECT_EQ(TempDir::Read(dir.Path() / path), "old picture");
        EXPECT_EQ(store->GetAuthCode(""), CString("1234"));
        sim.ClearFaults();
    }
}

} // namespace
} // namespace tavrin::test
