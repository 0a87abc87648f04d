// PlaySound: a wave file, or a system event by its alias ("MenuPopup",
// "SystemAsterisk"...) played as the desktop's sound for that event, through
// the desktop's sound service. A sound that is missing plays the default
// sound unless SND_NODEFAULT. Asynchronous calls return at once; a
// synchronous one waits until the sound ends. Looping sounds play once.
// Tests install a player of their own that records.
#pragma once

#include "platform/base/Types.h"

#include <string>

#define SND_SYNC 0x00000000
#define SND_ASYNC 0x00000001
#define SND_NODEFAULT 0x00000002
#define SND_MEMORY 0x00000004
#define SND_LOOP 0x00000008
#define SND_NOSTOP 0x00000010
#define SND_PURGE 0x00000040
#define SND_APPLICATION 0x00000080
#define SND_NOWAIT 0x00002000
#define SND_ALIAS 0x00010000
#define SND_ALIAS_ID 0x00110000
#define SND_FILENAME 0x00020000
#define SND_RESOURCE 0x00040004

BOOL PlaySoundA(LPCSTR sound, HMODULE module, DWORD flags);
inline BOOL PlaySound(LPCSTR sound, HMODULE module, DWORD flags) { return PlaySoundA(sound, module, flags); }

namespace tavrin::win {

struct SoundRequest {
    enum class Kind { Stop, File, Event };
    Kind kind = Kind::Stop;
    std::string name; // a native file path, or the desktop's event id ("menu-popup")
    bool async = false;
};

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // False when nothing could be played.
    virtual bool Play(const SoundRequest& request) = 0;
};

// null restores the desktop's player. The caller keeps ownership.
void SetSoundPlayer(SoundPlayer* player);

} // namespace tavrin::win
