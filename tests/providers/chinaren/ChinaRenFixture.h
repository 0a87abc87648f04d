// A ChinaRen account in a temporary program folder, talking to the simulated
// site through the configured proxy, with a window that records its events.
#pragma once

#include "providers/chinaren/AccountChinaRen.h"
#include "providers/chinaren/SchoolClassChinaRen.h"
#include "tests/sim/Simulator.h"
#include "tests/sim/chinaren/SiteChinaRen.h"
#include "tests/support/EventWindow.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace tavrin::test {

// A stored message element: id custo_id + 100, time on 2005-05-(custo_id + 10).
std::string MessageXmlItem(int custoId, const std::string& user, const std::string& content);

// Sets TZ for the life of the object.
class ScopedZone {
public:
    explicit ScopedZone(const char* zone);
    ~ScopedZone();

private:
    std::string m_old;
    bool m_had = false;
};

class ChinaRenTest : public ::testing::Test {
protected:
    // 2005-06-01 00:00:00 UTC.
    static constexpr int64_t kNow = 1117584000;

    ChinaRenTest();
    ~ChinaRenTest() override;

    // Adds the user "Tom" (password "pw") of the account's kind to the site.
    void SeedUser(bool sohu = false);
    // The account's log lines without their time stamps.
    std::vector<std::string> AccountLog();
    // A class of the account with its stores, made as the class list does.
    CSchoolClassChinaRen* AddClass(const CString& id);
    // A client set to reach the simulator, without retries.
    void Aim(CHttpClient& client);
    // The class's log lines without their time stamps.
    std::vector<std::string> ClassLog(CSchoolClass* schoolClass);
    // Pumps the window while busy() holds.
    void Await(const std::function<BOOL()>& busy);
    // Signs the account in once, so that operations reuse its cookie.
    void SignIn();
    // The class folder below the temporary folder, as TempDir names it.
    std::string ClassFolder(const std::string& id);

    // Beijing time, where the site's stamp is the Unix time.
    ScopedZone zone{"CST-8"};
    TempDir dir;
    sim::Simulator sim;
    sim::chinaren::Site site{sim};
    EventWindow window;
    CAccountChinaRen account;
};

} // namespace tavrin::test
