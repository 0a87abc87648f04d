#include "tests/support/DisplayPump.h"

#include "platform/win/Timer.h"

#include <algorithm>
#include <ctime>

namespace tavrin::test {

namespace {

std::function<bool(const MSG&)>& Filter()
{
    static std::function<bool(const MSG&)> filter;
    return filter;
}

std::function<bool()>& Step()
{
    static std::function<bool()> step;
    return step;
}

void CALLBACK StepTick(HWND, UINT, UINT_PTR id, DWORD)
{
    if (Step() && Step()()) {
        KillTimer(nullptr, id);
        Step() = nullptr;
    }
}

int64_t NowMs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

} // namespace

void SetPumpFilter(std::function<bool(const MSG&)> filter)
{
    Filter() = std::move(filter);
}

TimerSteps::TimerSteps(std::function<bool()> step)
{
    Step() = std::move(step);
    m_id = SetTimer(nullptr, 0, 20, &StepTick);
}

TimerSteps::~TimerSteps()
{
    if (Step())
        KillTimer(nullptr, m_id);
    Step() = nullptr;
}

bool TimerSteps::Done() const
{
    return !Step();
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs)
{
    const int64_t deadline = NowMs() + timeoutMs;
    MSG msg;
    for (;;) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (Filter() && Filter()(msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done())
            return true;
        const int64_t left = deadline - NowMs();
        if (left <= 0)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<int64_t>(left, 50)), QS_ALLINPUT);
    }
}

} // namespace tavrin::test
