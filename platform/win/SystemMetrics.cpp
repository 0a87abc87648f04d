#include "platform/win/SystemMetrics.h"

#include <atomic>

namespace {

constexpr int kCount = 100;

struct Metrics {
    std::atomic<int> values[kCount];
    Metrics()
    {
        for (auto& v : values)
            v = 0;
        // The screen of the test display.
        values[SM_CXSCREEN] = values[SM_CXVIRTUALSCREEN] = 1280;
        values[SM_CYSCREEN] = values[SM_CYVIRTUALSCREEN] = 1024;
        values[SM_CMONITORS] = 1;
    }
};

Metrics& Get()
{
    static Metrics* metrics = new Metrics;
    return *metrics;
}

} // namespace

int GetSystemMetrics(int index)
{
    return index >= 0 && index < kCount ? Get().values[index].load() : 0;
}

void tavrin::win::SetSystemMetric(int index, int value)
{
    if (index < 0 || index >= kCount)
        return;
    Get().values[index] = value;
    if (index == SM_CXSCREEN)
        Get().values[SM_CXVIRTUALSCREEN] = value;
    if (index == SM_CYSCREEN)
        Get().values[SM_CYVIRTUALSCREEN] = value;
}
