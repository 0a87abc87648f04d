// The embedded browser as the HTML panes use it: navigate to a local file or a
// URL, read the current location, copy and select all, and the before-navigate
// event with the URL, the posted bytes and a cancel flag. Two engines stand
// behind it: the headless one (tests) and WebKitGTK (real windows); the
// installed presenter picks which one a new browser gets.
//
// Text at this interface is the program's: GBK, URLs percent-decoded.
#pragma once

#include "platform/base/Types.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tavrin::browser {

// One navigation, before it happens. Links carry only the URL; a posted form
// also its body exactly as the form encoded it and its Content-Type header.
struct BeforeNavigate {
    std::string url;      // GBK, percent-decoded
    std::string headers;  // "Content-Type: ...\r\n" for a posted form, else empty
    std::string postData; // the form body bytes; empty for links and GET forms
    bool cancel = false;  // set by the handler: the current page stays
};

enum class Command { Copy, SelectAll };

// What the window hosting a browser answers for it. An empty callback, or
// one answering false, leaves the engine to do it itself.
struct HostUi {
    // A context menu asked for at the screen point: true when the host
    // showed its own (the engine then shows none).
    std::function<bool(POINT screen)> contextMenu;
    // A script's message box: true when the host showed it.
    std::function<bool(const std::string& text)> showMessage;
    bool border3d = true;        // a sunken edge around the page
    bool externalObject = false; // scripts see an external object of the host
};

class Engine {
public:
    using NavigateHandler = std::function<void(BeforeNavigate&)>;

    virtual ~Engine() = default;
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // A program path (GBK, '\' separators) or a URL. The before-navigate
    // event is raised first, as for every navigation. False when the target
    // cannot be turned into a URL.
    virtual bool Navigate(const std::string& target) = 0;
    // The current page's URL as the program sees it; empty before the first.
    virtual std::string GetLocationURL() const = 0;
    virtual bool Exec(Command command) = 0;
    // The host window moved, changed size or was shown or hidden: the page
    // follows its client rectangle.
    virtual void UpdatePlacement() = 0;

    // Messages of the host window reach the engine first (its own posted
    // work, input it routed through the queue); true when handled.
    virtual bool OnHostMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    HWND GetHost() const { return m_host; }
    void SetBeforeNavigate(NavigateHandler handler) { m_onBeforeNavigate = std::move(handler); }
    void SetHostUi(HostUi ui) { m_hostUi = std::move(ui); }
    const HostUi& GetHostUi() const { return m_hostUi; }

protected:
    explicit Engine(HWND host) : m_host(host) {}
    // Calls the handler; true when the navigation goes ahead.
    bool RaiseBeforeNavigate(BeforeNavigate& event);
    // The host's answers: true when it showed the context menu at the screen
    // point, or the script's message box, itself; the engine then shows none.
    bool HostShowsContextMenu(POINT screen) const;
    bool HostShowsMessage(const std::string& text) const;

private:
    HWND m_host;
    NavigateHandler m_onBeforeNavigate;
    HostUi m_hostUi;
};

// The file chooser of a page's file input: the program paths the user picked
// (GBK), empty when cancelled. Tests script it; the GTK presenter shows a dialog.
using FileChooser = std::function<std::vector<std::string>(bool multiple)>;
void SetFileChooser(FileChooser chooser);
std::vector<std::string> ChooseFiles(bool multiple);

// Makes the browser of a host window (a child window the engine covers).
using EngineFactory = std::function<std::unique_ptr<Engine>(HWND host)>;
std::unique_ptr<Engine> CreateEngine(HWND host);
// The presenter installs its engine; an empty factory restores the headless one.
void SetEngineFactory(EngineFactory factory);

} // namespace tavrin::browser
