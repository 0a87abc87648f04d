#include "toolkit/commandbars/XTPSoundManager.h"

#include "platform/base/KernelObject.h"
#include "platform/base/Sync.h"
#include "platform/base/Thread.h"
#include "platform/base/ThreadPriority.h"
#include "platform/win/Sound.h"

CXTPSoundManager CXTPSoundManager::m_instance;

CXTPSoundManager::~CXTPSoundManager()
{
    StopThread();
}

void CXTPSoundManager::PlaySystemSound(int nSound)
{
    if (!m_bEnabled)
        return;
    if (!m_hThread)
        StartThread();
    m_nSoundState = nSound;
}

void CXTPSoundManager::StartThread()
{
    if (m_hThread)
        return;
    m_nSoundState = xtpSoundNone;
    DWORD dwThreadId = 0;
    m_hThread = ::CreateThread(nullptr, 0, SoundThreadProc, this, CREATE_SUSPENDED, &dwThreadId);
    if (!m_hThread)
        return;
    ::SetThreadPriority(m_hThread, THREAD_PRIORITY_BELOW_NORMAL);
    ::ResumeThread(m_hThread);
}

void CXTPSoundManager::StopThread()
{
    if (!m_hThread)
        return;
    m_nSoundState = xtpSoundStop;
    // The thread looks at the request every 5 ms; a sound being played ends
    // first, since nothing may outlive the manager.
    ::WaitForSingleObject(m_hThread, INFINITE);
    ::CloseHandle(m_hThread);
    m_hThread = nullptr;
}

DWORD WINAPI CXTPSoundManager::SoundThreadProc(LPVOID lpParam)
{
    auto* pManager = static_cast<CXTPSoundManager*>(lpParam);
    for (;;) {
        int nState = pManager->m_nSoundState.load();
        if (nState == xtpSoundStop)
            break;
        if (nState == xtpSoundMenuCommand || nState == xtpSoundMenuPopup) {
            ::PlaySoundA(nState == xtpSoundMenuCommand ? "MenuCommand" : "MenuPopup", nullptr,
                         SND_ALIAS | SND_NOWAIT | SND_NODEFAULT);
            // A stop asked for meanwhile is kept.
            pManager->m_nSoundState.compare_exchange_strong(nState, xtpSoundNone);
        }
        ::Sleep(5);
    }
    ::PlaySoundA(nullptr, nullptr, SND_PURGE);
    return 0;
}
