#include "platform/browser/HeadlessEngine.h"

#include "platform/base/CodePage.h"
#include "platform/base/Path.h"
#include "platform/browser/BrowserUrl.h"
#include "platform/browser/FormBody.h"
#include "platform/win/Window.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <mutex>

namespace tavrin::browser {

namespace {

std::mutex g_lock;
std::map<HWND, HeadlessEngine*>& Engines()
{
    static auto* engines = new std::map<HWND, HeadlessEngine*>;
    return *engines;
}

// The native path of a file: URL (UTF-8, decoded), or empty.
std::string FilePathOfUrl(const std::string& url)
{
    if (!IsLocalPage(url))
        return {};
    std::string rest = url.substr(5);
    if (rest.rfind("//", 0) == 0) {
        size_t slash = rest.find('/', 2);
        rest = slash == std::string::npos ? std::string() : rest.substr(slash);
    }
    rest = rest.substr(0, rest.find_first_of("?#"));
    std::string path;
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '%' && i + 2 < rest.size() && std::isxdigit(static_cast<unsigned char>(rest[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(rest[i + 2]))) {
            path += static_cast<char>(std::stoi(rest.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            path += rest[i];
        }
    }
    return path;
}

bool ReadWholeFile(const std::string& nativePath, std::string& out)
{
    FILE* f = std::fopen(nativePath.c_str(), "rb");
    if (!f)
        return false;
    char buffer[65536];
    size_t n;
    out.clear();
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        out.append(buffer, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

std::string FileNameOf(const std::string& gbkPath)
{
    std::string native = NativePath(gbkPath);
    size_t slash = native.rfind('/');
    return slash == std::string::npos ? native : native.substr(slash + 1);
}

} // namespace

HeadlessEngine::HeadlessEngine(HWND host) : Engine(host)
{
    std::lock_guard<std::mutex> guard(g_lock);
    Engines()[host] = this;
}

HeadlessEngine::~HeadlessEngine()
{
    std::lock_guard<std::mutex> guard(g_lock);
    auto it = Engines().find(GetHost());
    if (it != Engines().end() && it->second == this)
        Engines().erase(it);
}

HeadlessEngine* HeadlessEngine::FromHost(HWND host)
{
    std::lock_guard<std::mutex> guard(g_lock);
    auto it = Engines().find(host);
    return it == Engines().end() ? nullptr : it->second;
}

bool HeadlessEngine::Navigate(const std::string& target)
{
    std::string url = UrlFromTarget(target);
    if (url.empty())
        return false;
    // The program's own navigations always reach its handler.
    Go(url, {}, {});
    return true;
}

std::string HeadlessEngine::GetLocationURL() const
{
    return ProgramUrl(m_location);
}

bool HeadlessEngine::Exec(Command command)
{
    if (m_location.empty())
        return false;
    m_commands.push_back(command);
    return true;
}

void HeadlessEngine::UpdatePlacement()
{
    auto window = tavrin::win::Window::FromHandle(GetHost());
    if (!window)
        return;
    m_placement = window->GetRect();
    m_shown = (window->GetStyle() & WS_VISIBLE) != 0;
}

std::vector<std::pair<std::string, std::string>> HeadlessEngine::GetLinks() const
{
    std::vector<std::pair<std::string, std::string>> links;
    for (const HtmlLink& link : m_page.links)
        links.emplace_back(ProgramUrl(ResolveUrl(m_location, link.href)), Utf8ToGbk(link.text));
    return links;
}

bool HeadlessEngine::FollowLink(const std::string& gbkText)
{
    std::string text = GbkToUtf8(gbkText);
    for (size_t i = 0; i < m_page.links.size(); ++i)
        if (m_page.links[i].text == text)
            return FollowLinkAt(i);
    return false;
}

bool HeadlessEngine::FollowLinkAt(size_t index)
{
    if (index >= m_page.links.size())
        return false;
    std::string url = ResolveUrl(m_location, m_page.links[index].href);
    if (url.empty())
        return false;
    PageNavigation(url, {}, {});
    return true;
}

bool HeadlessEngine::SubmitForm(size_t index, const FieldValues& values, const std::string& submitter)
{
    if (index >= m_page.forms.size())
        return false;
    const HtmlForm& form = m_page.forms[index];
    const std::string& charset = m_page.charset;

    auto given = [&](const std::string& name, std::vector<std::string>* out) {
        bool any = false;
        for (const auto& [n, v] : values) {
            if (GbkToUtf8(n) == name) {
                any = true;
                if (out)
                    out->push_back(GbkToUtf8(v));
            }
        }
        return any;
    };

    // The submit button: the named one, else the form's first.
    const HtmlControl* button = nullptr;
    for (const HtmlControl& c : form.controls) {
        if (c.type == "submit" && !c.disabled &&
            (submitter.empty() ? true : c.name == GbkToUtf8(submitter))) {
            button = &c;
            break;
        }
    }
    if (!submitter.empty() && !button)
        return false;

    std::vector<FormEntry> entries;
    std::vector<std::string> picked;
    for (const HtmlControl& c : form.controls) {
        if (c.disabled || c.name.empty())
            continue;
        std::vector<std::string> chosen;
        const bool overridden = given(c.name, &chosen);
        auto isChosen = [&](const std::string& v) {
            return std::find(chosen.begin(), chosen.end(), v) != chosen.end();
        };
        if (c.type == "submit") {
            if (&c == button)
                entries.push_back(FormEntry{c.name, c.value.empty() ? "Submit" : c.value});
        } else if (c.type == "reset" || c.type == "button" || c.type == "image") {
            continue;
        } else if (c.type == "checkbox" || c.type == "radio") {
            if (overridden ? isChosen(c.value) : c.checked)
                entries.push_back(FormEntry{c.name, c.value});
        } else if (c.tag == "select") {
            bool any = false;
            for (const HtmlOption& o : c.options) {
                if (!o.disabled && (overridden ? isChosen(o.value) : o.selected)) {
                    entries.push_back(FormEntry{c.name, o.value});
                    any = true;
                    if (!c.multiple)
                        break;
                }
            }
            // A single list with nothing selected shows, and sends, its first option.
            if (!any && !c.multiple && !overridden) {
                for (const HtmlOption& o : c.options) {
                    if (!o.disabled) {
                        entries.push_back(FormEntry{c.name, o.value});
                        break;
                    }
                }
            }
        } else if (c.type == "file") {
            FormEntry e{c.name, {}, true};
            if (!chosen.empty() && !chosen.front().empty()) {
                std::string gbkPath = Utf8ToGbk(chosen.front());
                e.fileName = FileNameOf(gbkPath);
                e.fileType = FileTypeForName(e.fileName);
                ReadWholeFile(NativePath(gbkPath), e.fileData);
                picked.push_back(gbkPath);
            } else {
                e.fileType = "application/octet-stream";
            }
            entries.push_back(std::move(e));
        } else {
            entries.push_back(FormEntry{c.name, overridden && !chosen.empty() ? chosen.front() : c.value});
        }
    }

    std::string action = form.action.empty() ? m_location : ResolveUrl(m_location, form.action);
    if (action.empty())
        return false;
    if (form.method == "get") {
        std::string fragment;
        size_t hash = action.find('#');
        if (hash != std::string::npos) {
            fragment = action.substr(hash);
            action.erase(hash);
        }
        action = action.substr(0, action.find('?')) + "?" + BuildFormQuery(entries, charset) + fragment;
        PageNavigation(action, {}, {}, charset);
        return true;
    }
    FormBody body = BuildFormBody(entries, form.enctype, charset);
    // Only posts to our own scheme hand their body over; the real engine
    // shows no body for others, so neither does this one.
    if (!IsProgramAction(action)) {
        PageNavigation(action, {}, {});
        return true;
    }
    PageNavigation(action, "Content-Type: " + body.contentType + "\r\n",
                   RestorePickedFileNames(body.contentType, body.data, picked, charset));
    return true;
}

void HeadlessEngine::PageNavigation(std::string url, std::string headers, std::string postData,
                                    std::string_view formCharset)
{
    if (!IsLocalPage(m_location)) {
        // A page that is not ours never reaches the program: its "tavrin:"
        // actions are dropped, its other links followed without asking.
        if (!IsProgramAction(url))
            Load(url);
        return;
    }
    Go(url, std::move(headers), std::move(postData), formCharset);
}

void HeadlessEngine::Go(const std::string& url, std::string headers, std::string postData,
                        std::string_view formCharset)
{
    BeforeNavigate event;
    event.url = ProgramUrl(url, formCharset);
    event.headers = std::move(headers);
    event.postData = std::move(postData);
    if (!RaiseBeforeNavigate(event))
        return;
    // Nothing loads from our own scheme: the page stays.
    if (IsProgramAction(url))
        return;
    Load(url);
}

void HeadlessEngine::LoadContent(const std::string& url, const std::string& html)
{
    m_location = url;
    m_history.push_back(ProgramUrl(url));
    m_page = ParseHtml(html);
}

void HeadlessEngine::Load(const std::string& url)
{
    m_location = url;
    m_history.push_back(ProgramUrl(url));
    std::string bytes;
    std::string path = FilePathOfUrl(url);
    if (!path.empty() && ReadWholeFile(path, bytes))
        m_page = ParseHtml(bytes);
    else
        m_page = HtmlPage{};
}

} // namespace tavrin::browser
