#include "platform/win/Sound.h"

#include "platform/base/Path.h"
#include "platform/win/NameFold.h"

#include <atomic>
#include <canberra.h>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <sys/stat.h>

namespace {

constexpr uint32_t kSoundId = 1;

// The system aliases and the desktop's names for the same events.
struct Alias {
    const char* alias;
    const char* event;
};

const Alias kAliases[] = {
    {"MenuPopup", "menu-popup"},
    {"MenuCommand", "menu-click"},
    {".Default", "bell"},
    {"SystemDefault", "bell"},
    {"SystemAsterisk", "dialog-information"},
    {"SystemExclamation", "dialog-warning"},
    {"SystemHand", "dialog-error"},
    {"SystemQuestion", "dialog-question"},
    {"SystemStart", "desktop-login"},
    {"SystemExit", "desktop-logout"},
    {"Minimize", "window-minimized"},
    {"Maximize", "window-maximized"},
    {"RestoreUp", "window-unmaximized"},
    {"Open", "window-new"},
    {"Close", "window-close"},
};

class CanberraPlayer : public tavrin::win::SoundPlayer {
public:
    bool Play(const tavrin::win::SoundRequest& request) override
    {
        ca_context* context = Context();
        if (!context)
            return false;
        if (request.kind == tavrin::win::SoundRequest::Kind::Stop) {
            ca_context_cancel(context, kSoundId);
            return true;
        }
        ca_proplist* props = nullptr;
        if (ca_proplist_create(&props) != CA_SUCCESS)
            return false;
        if (request.kind == tavrin::win::SoundRequest::Kind::File)
            ca_proplist_sets(props, CA_PROP_MEDIA_FILENAME, request.name.c_str());
        else
            ca_proplist_sets(props, CA_PROP_EVENT_ID, request.name.c_str());
        Wait wait;
        const int result = ca_context_play_full(context, kSoundId, props, request.async ? nullptr : Finished,
                                                request.async ? nullptr : &wait);
        ca_proplist_destroy(props);
        if (result != CA_SUCCESS) {
            fprintf(stderr, "sound: cannot play %s (%s)\n", request.name.c_str(), ca_strerror(result));
            return false;
        }
        if (!request.async) {
            std::unique_lock<std::mutex> lock(wait.lock);
            wait.done.wait(lock, [&] { return wait.finished; });
        }
        return true;
    }

private:
    struct Wait {
        std::mutex lock;
        std::condition_variable done;
        bool finished = false;
    };

    static void Finished(ca_context*, uint32_t, int, void* data)
    {
        auto* wait = static_cast<Wait*>(data);
        std::lock_guard<std::mutex> lock(wait->lock);
        wait->finished = true;
        wait->done.notify_all();
    }

    ca_context* Context()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (!m_context && !m_failed) {
            if (ca_context_create(&m_context) != CA_SUCCESS) {
                m_context = nullptr;
                m_failed = true;
            }
        }
        return m_context;
    }

    std::mutex m_lock;
    ca_context* m_context = nullptr; // kept for the life of the process
    bool m_failed = false;
};

CanberraPlayer& Desktop()
{
    static auto* player = new CanberraPlayer;
    return *player;
}

std::atomic<tavrin::win::SoundPlayer*> g_player{nullptr};

tavrin::win::SoundPlayer& Player()
{
    tavrin::win::SoundPlayer* p = g_player.load();
    return p ? *p : Desktop();
}

const char* EventOf(LPCSTR alias)
{
    for (const Alias& a : kAliases)
        if (tavrin::win::SameName(a.alias, alias))
            return a.event;
    return nullptr;
}

bool IsFile(const std::string& path)
{
    struct stat st{};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

void tavrin::win::SetSoundPlayer(SoundPlayer* player)
{
    g_player = player;
}

BOOL PlaySoundA(LPCSTR sound, HMODULE, DWORD flags)
{
    tavrin::win::SoundRequest request;
    request.async = (flags & SND_ASYNC) != 0;
    if (!sound || (flags & SND_PURGE))
        return Player().Play(request) ? TRUE : FALSE;
    // Sounds in memory or in resources: the program has none.
    if ((flags & SND_MEMORY) || (flags & SND_RESOURCE) == SND_RESOURCE || (flags & SND_ALIAS_ID) == SND_ALIAS_ID)
        return FALSE;
    const bool byAlias = (flags & SND_ALIAS) != 0;
    const bool byFile = (flags & SND_FILENAME) != 0;
    const char* event = byFile ? nullptr : EventOf(sound);
    const std::string path = byAlias ? std::string() : tavrin::NativePath(sound);
    if (event) {
        request.kind = tavrin::win::SoundRequest::Kind::Event;
        request.name = event;
    } else if (!byAlias && IsFile(path)) {
        request.kind = tavrin::win::SoundRequest::Kind::File;
        request.name = path;
    } else if (flags & SND_NODEFAULT) {
        return FALSE;
    } else {
        request.kind = tavrin::win::SoundRequest::Kind::Event;
        request.name = "bell";
    }
    return Player().Play(request) ? TRUE : FALSE;
}
