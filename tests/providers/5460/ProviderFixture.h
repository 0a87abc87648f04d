// A 5460 account in a temporary program folder, talking to the simulator
// through the configured proxy, with a window that records its events.
#pragma once

#include "tests/support/EventWindow.h"
#include "providers/5460/Account5460.h"
#include "providers/5460/ContactStore5460.h"
#include "providers/5460/SchoolClass5460.h"
#include "tests/sim/Simulator.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

namespace tavrin::test {

class Provider5460Test : public ::testing::Test {
protected:
    static constexpr int64_t kNow = 1150000000;

    Provider5460Test();
    ~Provider5460Test() override;

    // Adds the user "li" (password "pw") and class "301" with the members.
    void SeedUser();
    // The account's log lines without their time stamps.
    std::vector<std::string> AccountLog();
    std::vector<std::string> ClassLog(CSchoolClass* schoolClass);
    // A class of the account, its stores created from the class folder.
    CSchoolClass5460* AddClass(const CString& id);
    CContactStore5460* Contacts(CSchoolClass* schoolClass);
    // A client set to reach the simulator.
    void Aim(CHttpClient& client);
    std::string ClassFolder(const std::string& id);

    TempDir dir;
    sim::Simulator sim;
    EventWindow window;
    CAccount5460 account;
};

} // namespace tavrin::test
