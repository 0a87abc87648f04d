// The user's configuration folder (registry file, profile files) pointed at
// a fresh temporary folder for one test, and back when the test ends.
#pragma once

#include "platform/win/Registry.h"
#include "platform/win/UserFolder.h"
#include "tests/support/TempDir.h"

namespace tavrin::test {

class UserConfigScope {
public:
    UserConfigScope()
    {
        tavrin::win::SetUserConfigFolder(m_dir.Path().string());
        tavrin::win::ReloadRegistry();
    }
    ~UserConfigScope()
    {
        tavrin::win::SetUserConfigFolder("");
        tavrin::win::ReloadRegistry();
    }
    UserConfigScope(const UserConfigScope&) = delete;
    UserConfigScope& operator=(const UserConfigScope&) = delete;

    TempDir& Dir() { return m_dir; }

private:
    TempDir m_dir;
};

} // namespace tavrin::test
