#include "platform/browser/Browser.h"

#include "platform/browser/HeadlessEngine.h"

#include <mutex>

namespace tavrin::browser {

namespace {

std::mutex g_lock;

EngineFactory& Factory()
{
    static EngineFactory* factory = new EngineFactory;
    return *factory;
}

FileChooser& Chooser()
{
    static FileChooser* chooser = new FileChooser;
    return *chooser;
}

} // namespace

bool Engine::OnHostMessage(UINT, WPARAM, LPARAM, LRESULT*)
{
    return false;
}

bool Engine::RaiseBeforeNavigate(BeforeNavigate& event)
{
    event.cancel = false;
    if (m_onBeforeNavigate)
        m_onBeforeNavigate(event);
    return !event.cancel;
}

bool Engine::HostShowsContextMenu(POINT screen) const
{
    return m_hostUi.contextMenu && m_hostUi.contextMenu(screen);
}

bool Engine::HostShowsMessage(const std::string& text) const
{
    return m_hostUi.showMessage && m_hostUi.showMessage(text);
}

std::unique_ptr<Engine> CreateEngine(HWND host)
{
    EngineFactory factory;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        factory = Factory();
    }
    if (factory)
        return factory(host);
    return std::make_unique<HeadlessEngine>(host);
}

void SetEngineFactory(EngineFactory factory)
{
    std::lock_guard<std::mutex> guard(g_lock);
    Factory() = std::move(factory);
}

void SetFileChooser(FileChooser chooser)
{
    std::lock_guard<std::mutex> guard(g_lock);
    Chooser() = std::move(chooser);
}

std::vector<std::string> ChooseFiles(bool multiple)
{
    FileChooser chooser;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        chooser = Chooser();
    }
    return chooser ? chooser(multiple) : std::vector<std::string>{};
}

} // namespace tavrin::browser
