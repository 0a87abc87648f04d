// Menu sounds played on a thread of their own, so opening a menu never
// waits for the sound service.
#pragma once

#include "platform/base/Types.h"

#include <atomic>

enum XTPSoundManagerState {
    xtpSoundNone = 0,
    xtpSoundMenuCommand = 1,
    xtpSoundMenuPopup = 2,
    xtpSoundStop = 3,
};

class CXTPSoundManager {
public:
    CXTPSoundManager() = default;
    ~CXTPSoundManager();
    CXTPSoundManager(const CXTPSoundManager&) = delete;
    CXTPSoundManager& operator=(const CXTPSoundManager&) = delete;

    void PlaySystemSound(int nSound);
    void EnableSystemSounds(BOOL bEnable) { m_bEnabled = bEnable; }
    BOOL IsSystemSoundsEnabled() const { return m_bEnabled; }

    void StartThread();
    // Ends the thread and waits for it; harmless when there is none.
    void StopThread();
    BOOL IsThreadRunning() const { return m_hThread != nullptr; }

    static CXTPSoundManager m_instance;

private:
    static DWORD WINAPI SoundThreadProc(LPVOID lpParam);

    std::atomic<int> m_nSoundState{xtpSoundNone};
    BOOL m_bEnabled = TRUE;
    HANDLE m_hThread = nullptr;
};

inline CXTPSoundManager* XTPSoundManager() { return &CXTPSoundManager::m_instance; }
