#include "core/model/OwnerState.h"

#include "platform/base/Sync.h"
#include "platform/win/WinMessage.h"

namespace tavrin {

OwnerState::OwnerState() : m_released(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

OwnerState::~OwnerState()
{
    if (m_released)
        CloseHandle(m_released);
}

bool OwnerState::Claim(std::atomic<int>& flag)
{
    if (IsClosing())
        return false;
    int expected = 0;
    return flag.compare_exchange_strong(expected, 1, std::memory_order_acq_rel);
}

void OwnerState::Release(std::atomic<int>& flag)
{
    flag.store(0, std::memory_order_release);
    if (m_released)
        SetEvent(m_released);
}

bool OwnerState::Post(ThreadPool& pool, ThreadPoolTask* task)
{
    try {
        pool.Post(task);
        return true;
    } catch (...) {
        delete task;
        return false;
    }
}

void OwnerState::ArmWait()
{
    if (m_released)
        ResetEvent(m_released);
}

void OwnerState::WaitForRelease(DWORD milliseconds)
{
    if (m_released)
        WaitServingSends(m_released, milliseconds);
    else
        Sleep(milliseconds);
}

ClaimedTask::~ClaimedTask()
{
    if (m_state && m_busy)
        m_state->Release(*m_busy);
}

void ClaimedTask::Run(unsigned)
{
    if (!m_state || m_state->IsClosing())
        return;
    try {
        Execute();
    } catch (...) {
    }
}

} // namespace tavrin
