#include "SelfProcess.h"

#include <cstdlib>
#include <mutex>
#include <unistd.h>

namespace tavrin::test {

bool StartSelf(ChildProcess& child, const std::string& test,
               const std::vector<std::pair<std::string, std::string>>& variables)
{
    static std::mutex lock;
    std::lock_guard<std::mutex> guard(lock);
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return false;
    self[n] = 0;
    setenv("TAVRIN_CHILD", "1", 1);
    for (const auto& [name, value] : variables)
        setenv(("TAVRIN_CHILD_" + name).c_str(), value.c_str(), 1);
    const bool started = child.Start({self, "--gtest_filter=" + test});
    unsetenv("TAVRIN_CHILD");
    for (const auto& [name, value] : variables)
        unsetenv(("TAVRIN_CHILD_" + name).c_str());
    return started;
}

std::string ChildArgument(const char* name)
{
    if (!getenv("TAVRIN_CHILD"))
        return "";
    const char* value = getenv((std::string("TAVRIN_CHILD_") + name).c_str());
    return value ? value : "";
}

} // namespace tavrin::test
