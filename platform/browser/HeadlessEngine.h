// The headless engine: loads local pages without showing them, records what
// it loaded, and lets a test follow a link or submit a form of the loaded
// page. The event it raises is the one the WebKit engine raises for the same
// action: the same URL text, the same form bytes (built as the engine builds
// them, picked files carrying their full path), the same rules for pages
// that are not ours.
#pragma once

#include "platform/browser/Browser.h"
#include "platform/browser/HtmlPage.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavrin::browser {

class HeadlessEngine final : public Engine {
public:
    explicit HeadlessEngine(HWND host);
    ~HeadlessEngine() override;

    // The headless engine of a host window, or null.
    static HeadlessEngine* FromHost(HWND host);

    bool Navigate(const std::string& target) override;
    std::string GetLocationURL() const override;
    bool Exec(Command command) override;
    void UpdatePlacement() override;

    // Pages loaded, oldest first, as the program sees their URLs.
    const std::vector<std::string>& GetHistory() const { return m_history; }
    const std::vector<Command>& GetCommands() const { return m_commands; }
    // The host's rectangle (parent coordinates) and visibility at the last placement.
    RECT GetPlacement() const { return m_placement; }
    bool IsShown() const { return m_shown; }

    // Shows the given page as if it had been loaded from url (an engine URL):
    // for pages the headless engine cannot fetch, such as remote ones.
    void LoadContent(const std::string& url, const std::string& html);

    // The loaded page's links: URL as the program would see it and text, GBK.
    std::vector<std::pair<std::string, std::string>> GetLinks() const;
    size_t GetFormCount() const { return m_page.forms.size(); }

    // Follows the first link whose text (GBK) is the given one, or by index.
    // False when there is no such link.
    bool FollowLink(const std::string& gbkText);
    bool FollowLinkAt(size_t index);

    // What the user gave a form, GBK, by control name. A name given here
    // replaces the page's state for every control of that name: text fields
    // take the value; check boxes, radio buttons and options are chosen when
    // their value is among the given ones; a file input takes the program
    // path picked for it (empty: none). Names not given keep the page's state.
    using FieldValues = std::vector<std::pair<std::string, std::string>>;
    // Submits form number index with the named submit button (the form's
    // first one when empty). False when there is no such form.
    bool SubmitForm(size_t index, const FieldValues& values = {}, const std::string& submitter = {});

    // A right click in the page at the screen point, and a script's alert
    // (GBK): true when the engine shows its own menu or box, false when the
    // host showed one.
    bool ContextMenu(POINT screen) { return !HostShowsContextMenu(screen); }
    bool Alert(const std::string& gbkText) { return !HostShowsMessage(gbkText); }

private:
    // A navigation started by the loaded page.
    // formCharset: the charset of a GET form's query in the URL.
    void PageNavigation(std::string url, std::string headers, std::string postData,
                        std::string_view formCharset = {});
    // Raises the event and loads; url is an engine URL.
    void Go(const std::string& url, std::string headers, std::string postData, std::string_view formCharset = {});
    void Load(const std::string& url);

    std::string m_location; // engine URL of the loaded page
    HtmlPage m_page;
    std::vector<std::string> m_history;
    std::vector<Command> m_commands;
    RECT m_placement{};
    bool m_shown = false;
};

} // namespace tavrin::browser
