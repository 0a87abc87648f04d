#include "platform/display/WebKitEngine.h"

#include "platform/base/CodePage.h"
#include "platform/base/Path.h"
#include "platform/browser/BrowserUrl.h"
#include "platform/browser/FormBody.h"
#include "platform/display/GtkHost.h"
#include "platform/win/Focus.h"
#include "platform/win/Input.h"
#include "platform/win/WinMessage.h"

#include <webkit2/webkit2.h>

#include <cstring>
#include <deque>
#include <map>

namespace tavrin::browser {

namespace {

class WebKitEngine;

std::map<WebKitWebView*, WebKitEngine*>& Views()
{
    static auto* views = new std::map<WebKitWebView*, WebKitEngine*>;
    return *views;
}

WebKitEngine* EngineOf(WebKitWebView* view)
{
    auto it = Views().find(view);
    return it == Views().end() ? nullptr : it->second;
}

UINT CallMessage()
{
    static const UINT message = RegisterWindowMessageA("TavrinBrowserCall");
    return message;
}

void FinishCancelled(WebKitURISchemeRequest* request)
{
    GError* error = g_error_new_literal(WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED, "cancelled");
    webkit_uri_scheme_request_finish_error(request, error);
    g_error_free(error);
}

std::string ReadAll(GInputStream* stream)
{
    std::string out;
    if (!stream)
        return out;
    char buffer[65536];
    for (;;) {
        gssize n = g_input_stream_read(stream, buffer, sizeof buffer, nullptr, nullptr);
        if (n <= 0)
            break;
        out.append(buffer, static_cast<size_t>(n));
    }
    return out;
}

// Work waiting in our queue: run from the host's message, or dropped when
// the engine goes first.
struct Pending {
    std::function<void()> run;
    std::function<void()> drop;
};

// Input held back until our message loop has dispatched it.
struct Routed {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    GdkEvent* event;
};

WebKitWebView* g_anchor = nullptr; // every pane shares its web process

class WebKitEngine final : public Engine {
public:
    explicit WebKitEngine(HWND host);
    ~WebKitEngine() override;

    bool Navigate(const std::string& target) override;
    std::string GetLocationURL() const override;
    bool Exec(Command command) override;
    void UpdatePlacement() override;
    bool OnHostMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    WebKitWebView* View() const { return m_view; }
    void Post(Pending pending)
    {
        m_pending.push_back(std::move(pending));
        PostMessageA(GetHost(), CallMessage(), 0, 0);
    }
    bool Raise(BeforeNavigate& event) { return RaiseBeforeNavigate(event); }
    bool HostMenu(POINT screen) const { return HostShowsContextMenu(screen); }
    bool HostBox(const std::string& text) const { return HostShowsMessage(text); }

    bool m_programLoad = false;
    bool m_reinjecting = false;
    std::string m_charset = "GBK";
    std::vector<std::string> m_picked; // program paths picked in our file chooser
    std::deque<Routed> m_routed;

private:
    WebKitWebView* m_view = nullptr;
    std::deque<Pending> m_pending;
};

bool IsPost(WebKitURIRequest* request)
{
    const char* method = webkit_uri_request_get_http_method(request);
    return method && std::strcmp(method, "POST") == 0;
}

gboolean OnDecidePolicy(WebKitWebView* view, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                        gpointer data)
{
    auto* self = static_cast<WebKitEngine*>(data);
    if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION && type != WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION)
        return FALSE;
    WebKitNavigationAction* action =
        webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    WebKitURIRequest* request = webkit_navigation_action_get_request(action);
    const std::string uri = webkit_uri_request_get_uri(request);
    const bool newWindow = type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION;
    if (self->m_programLoad && !newWindow) {
        // Asked about already, when the program navigated.
        self->m_programLoad = false;
        webkit_policy_decision_use(decision);
        return TRUE;
    }
    const char* current = webkit_web_view_get_uri(view);
    if (!current || !IsLocalPage(current)) {
        // A page that is not ours never reaches the program.
        if (IsProgramAction(uri) || newWindow)
            webkit_policy_decision_ignore(decision);
        else
            webkit_policy_decision_use(decision);
        return TRUE;
    }
    const WebKitNavigationType navigation = webkit_navigation_action_get_navigation_type(action);
    const bool form = navigation == WEBKIT_NAVIGATION_TYPE_FORM_SUBMITTED ||
                      navigation == WEBKIT_NAVIGATION_TYPE_FORM_RESUBMITTED;
    if (IsProgramAction(uri) && (form || IsPost(request)) && !newWindow) {
        // A form sent to our scheme: the scheme request carries its body and
        // raises the event.
        webkit_policy_decision_use(decision);
        return TRUE;
    }
    const bool formGet = form;
    g_object_ref(decision);
    const std::string charset = formGet ? self->m_charset : std::string();
    self->Post(Pending{
        [self, decision, uri, charset, newWindow] {
            BeforeNavigate event;
            event.url = ProgramUrl(uri, charset);
            const bool go = self->Raise(event) && !IsProgramAction(uri);
            if (go && !newWindow) {
                webkit_policy_decision_use(decision);
            } else {
                webkit_policy_decision_ignore(decision);
                if (go) {
                    // No new windows: the page opens in this pane.
                    self->m_programLoad = true;
                    webkit_web_view_load_uri(self->View(), uri.c_str());
                }
            }
            g_object_unref(decision);
        },
        [decision] {
            webkit_policy_decision_ignore(decision);
            g_object_unref(decision);
        }});
    return TRUE;
}

void OnSchemeRequest(WebKitURISchemeRequest* request, gpointer)
{
    WebKitWebView* view = webkit_uri_scheme_request_get_web_view(request);
    WebKitEngine* self = view ? EngineOf(view) : nullptr;
    const char* current = view ? webkit_web_view_get_uri(view) : nullptr;
    const char* method = webkit_uri_scheme_request_get_http_method(request);
    if (!self || !current || !IsLocalPage(current)) {
        FinishCancelled(request);
        return;
    }
    // Only forms get this far: a GET form's query is in the page's charset.
    const bool post = method && std::strcmp(method, "POST") == 0;
    BeforeNavigate event;
    event.url = ProgramUrl(webkit_uri_scheme_request_get_uri(request), post ? std::string() : self->m_charset);
    std::string contentType;
    if (SoupMessageHeaders* headers = webkit_uri_scheme_request_get_http_headers(request))
        if (const char* type = soup_message_headers_get_one(headers, "Content-Type"))
            contentType = type;
    if (!contentType.empty())
        event.headers = "Content-Type: " + contentType + "\r\n";
    if (post) {
        GInputStream* body = webkit_uri_scheme_request_get_http_body(request);
        event.postData = RestorePickedFileNames(contentType, ReadAll(body), self->m_picked, self->m_charset);
        if (body)
            g_object_unref(body);
    } else {
        event.headers.clear();
    }
    g_object_ref(request);
    self->Post(Pending{[self, request, event]() mutable {
                           // Whatever the answer, nothing loads from our scheme: the page stays.
                           self->Raise(event);
                           FinishCancelled(request);
                           g_object_unref(request);
                       },
                       [request] {
                           FinishCancelled(request);
                           g_object_unref(request);
                       }});
}

gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError*, gpointer)
{
    // A refused action leaves the page as it is, without an error page.
    return uri && IsProgramAction(uri);
}

void OnCharset(GObject* source, GAsyncResult* result, gpointer)
{
    auto* view = WEBKIT_WEB_VIEW(source);
    JSCValue* value = webkit_web_view_evaluate_javascript_finish(view, result, nullptr);
    WebKitEngine* self = EngineOf(view);
    if (value && self && jsc_value_is_string(value)) {
        gchar* text = jsc_value_to_string(value);
        self->m_charset = g_ascii_strcasecmp(text, "UTF-8") == 0 ? "UTF-8" : "GBK";
        g_free(text);
    }
    if (value)
        g_object_unref(value);
}

void OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer)
{
    if (event == WEBKIT_LOAD_FINISHED)
        webkit_web_view_evaluate_javascript(view, "document.characterSet", -1, nullptr, nullptr, nullptr, OnCharset,
                                            nullptr);
}

// The host may show its own context menu; then the page's is not shown.
gboolean OnContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent* event, WebKitHitTestResult*, gpointer data)
{
    auto* self = static_cast<WebKitEngine*>(data);
    POINT pt{};
    gdouble x = 0, y = 0;
    if (event && gdk_event_get_coords(event, &x, &y))
        pt = display::gtk::HostToScreen(self->GetHost(), x, y);
    else
        GetCursorPos(&pt);
    return self->HostMenu(pt);
}

// A script's alert goes to the host first; when it shows none, the engine does.
gboolean OnScriptDialog(WebKitWebView*, WebKitScriptDialog* dialog, gpointer data)
{
    auto* self = static_cast<WebKitEngine*>(data);
    if (webkit_script_dialog_get_dialog_type(dialog) != WEBKIT_SCRIPT_DIALOG_ALERT)
        return FALSE;
    const char* text = webkit_script_dialog_get_message(dialog);
    return self->HostBox(Utf8ToGbk(text ? text : ""));
}

gboolean OnFileChooser(WebKitWebView*, WebKitFileChooserRequest* request, gpointer data)
{
    auto* self = static_cast<WebKitEngine*>(data);
    std::vector<std::string> picked = ChooseFiles(webkit_file_chooser_request_get_select_multiple(request));
    std::vector<std::string> native;
    for (const std::string& path : picked) {
        std::string n = NativePath(path);
        if (!n.empty()) {
            native.push_back(n);
            self->m_picked.push_back(path);
        }
    }
    if (native.empty()) {
        webkit_file_chooser_request_cancel(request);
        return TRUE;
    }
    std::vector<const gchar*> files;
    for (const std::string& n : native)
        files.push_back(n.c_str());
    files.push_back(nullptr);
    webkit_file_chooser_request_select_files(request, files.data());
    return TRUE;
}

// The page's buttons and keys go into our queue through the synthetic-input
// path, as they would reach the host window: the program's loop sees them
// (hooks and PreTranslateMessage included) and only what it dispatches to the
// host reaches the page. Pointer moves go both ways at once.
gboolean OnViewInput(GtkWidget*, GdkEvent* event, gpointer data)
{
    auto* self = static_cast<WebKitEngine*>(data);
    if (self->m_reinjecting)
        return FALSE;
    HWND host = self->GetHost();
    switch (event->type) {
    case GDK_MOTION_NOTIFY: {
        const POINT pt = display::gtk::HostToScreen(host, event->motion.x, event->motion.y);
        win::InjectMouseMove(pt.x, pt.y);
        return FALSE;
    }
    case GDK_2BUTTON_PRESS:
    case GDK_3BUTTON_PRESS:
        // The window system makes double clicks; the page gets its own from the presses.
        return TRUE;
    case GDK_BUTTON_PRESS:
    case GDK_BUTTON_RELEASE: {
        const GdkEventButton& b = event->button;
        const win::MouseButton button = b.button == 3 ? win::MouseButton::Right
                                      : b.button == 2 ? win::MouseButton::Middle
                                                      : win::MouseButton::Left;
        if (b.button < 1 || b.button > 3)
            return FALSE;
        const bool down = event->type == GDK_BUTTON_PRESS;
        const UINT base = button == win::MouseButton::Left ? WM_LBUTTONDOWN
                        : button == win::MouseButton::Right ? WM_RBUTTONDOWN
                                                            : WM_MBUTTONDOWN;
        self->m_routed.push_back(Routed{down ? base : base + 1, 0, 0, gdk_event_copy(event)});
        const POINT pt = display::gtk::HostToScreen(host, b.x, b.y);
        win::InjectMouseMove(pt.x, pt.y);
        win::InjectMouseButton(button, down);
        return TRUE;
    }
    case GDK_KEY_PRESS:
    case GDK_KEY_RELEASE: {
        const UINT vk = display::gtk::VirtualKeyFromKeyval(event->key.keyval);
        if (!vk)
            return FALSE;
        const bool down = event->type == GDK_KEY_PRESS;
        self->m_routed.push_back(Routed{static_cast<UINT>(down ? WM_KEYDOWN : WM_KEYUP), vk, 0, gdk_event_copy(event)});
        win::InjectKey(vk, down);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

// The routed event a message of the host stands for.
bool MatchesRouted(const Routed& routed, UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_LBUTTONDBLCLK: message = WM_LBUTTONDOWN; break;
    case WM_RBUTTONDBLCLK: message = WM_RBUTTONDOWN; break;
    case WM_MBUTTONDBLCLK: message = WM_MBUTTONDOWN; break;
    case WM_SYSKEYDOWN: message = WM_KEYDOWN; break;
    case WM_SYSKEYUP: message = WM_KEYUP; break;
    default: break;
    }
    if (routed.message != message)
        return false;
    return (message != WM_KEYDOWN && message != WM_KEYUP) || routed.wParam == wParam;
}

WebKitWebView* Anchor()
{
    if (g_anchor)
        return g_anchor;
    WebKitWebContext* context = webkit_web_context_get_default();
    webkit_web_context_register_uri_scheme(context, kActionScheme, OnSchemeRequest, nullptr, nullptr);
    // Local: only local pages may reach it.
    webkit_security_manager_register_uri_scheme_as_local(webkit_web_context_get_security_manager(context),
                                                         kActionScheme);
    WebKitSettings* settings = webkit_settings_new();
    webkit_settings_set_enable_javascript(settings, TRUE);
    webkit_settings_set_default_charset(settings, "GBK");
    webkit_settings_set_allow_file_access_from_file_urls(settings, TRUE);
    webkit_settings_set_hardware_acceleration_policy(settings, WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    g_anchor = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", context, "settings", settings, nullptr));
    g_object_ref_sink(g_anchor);
    g_object_unref(settings);
    return g_anchor;
}

WebKitEngine::WebKitEngine(HWND host) : Engine(host)
{
    m_view = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "related-view", Anchor(), nullptr));
    g_object_ref_sink(m_view);
    Views()[m_view] = this;
    g_signal_connect(m_view, "decide-policy", G_CALLBACK(OnDecidePolicy), this);
    g_signal_connect(m_view, "load-failed", G_CALLBACK(OnLoadFailed), this);
    g_signal_connect(m_view, "load-changed", G_CALLBACK(OnLoadChanged), this);
    g_signal_connect(m_view, "run-file-chooser", G_CALLBACK(OnFileChooser), this);
    g_signal_connect(m_view, "context-menu", G_CALLBACK(OnContextMenu), this);
    g_signal_connect(m_view, "script-dialog", G_CALLBACK(OnScriptDialog), this);
    for (const char* signal :
         {"button-press-event", "button-release-event", "key-press-event", "key-release-event", "motion-notify-event"})
        g_signal_connect(m_view, signal, G_CALLBACK(OnViewInput), this);
    display::gtk::AttachWidget(host, GTK_WIDGET(m_view));
}

WebKitEngine::~WebKitEngine()
{
    g_signal_handlers_disconnect_by_data(m_view, this);
    while (!m_pending.empty()) {
        Pending p = std::move(m_pending.front());
        m_pending.pop_front();
        p.drop();
    }
    for (Routed& r : m_routed)
        gdk_event_free(r.event);
    Views().erase(m_view);
    display::gtk::DetachWidget(GetHost());
    g_object_unref(m_view);
}

bool WebKitEngine::Navigate(const std::string& target)
{
    const std::string url = UrlFromTarget(target);
    if (url.empty())
        return false;
    BeforeNavigate event;
    event.url = ProgramUrl(url);
    if (!RaiseBeforeNavigate(event) || IsProgramAction(url))
        return true;
    m_programLoad = true;
    webkit_web_view_load_uri(m_view, url.c_str());
    return true;
}

std::string WebKitEngine::GetLocationURL() const
{
    const char* uri = webkit_web_view_get_uri(m_view);
    return uri ? ProgramUrl(uri) : std::string();
}

bool WebKitEngine::Exec(Command command)
{
    if (!webkit_web_view_get_uri(m_view))
        return false;
    webkit_web_view_execute_editing_command(
        m_view, command == Command::Copy ? WEBKIT_EDITING_COMMAND_COPY : WEBKIT_EDITING_COMMAND_SELECT_ALL);
    return true;
}

void WebKitEngine::UpdatePlacement()
{
    display::gtk::PlaceWidget(GetHost());
}

bool WebKitEngine::OnHostMessage(UINT message, WPARAM wParam, LPARAM, LRESULT* result)
{
    if (message == CallMessage()) {
        if (!m_pending.empty()) {
            Pending p = std::move(m_pending.front());
            m_pending.pop_front();
            p.run();
        }
        *result = 0;
        return true;
    }
    if (message == WM_SETFOCUS) {
        // Our focus came to the pane: the page takes the keyboard.
        if (!gtk_widget_has_focus(GTK_WIDGET(m_view)))
            gtk_widget_grab_focus(GTK_WIDGET(m_view));
        return false;
    }
    if (message == WM_KILLFOCUS) {
        display::gtk::ReleaseFocus(GetHost());
        return false;
    }
    for (auto it = m_routed.begin(); it != m_routed.end(); ++it) {
        if (!MatchesRouted(*it, message, wParam))
            continue;
        // Earlier held input that never arrived here was swallowed.
        for (auto old = m_routed.begin(); old != it; ++old)
            gdk_event_free(old->event);
        GdkEvent* event = it->event;
        m_routed.erase(m_routed.begin(), it + 1);
        // A click gives the pane our focus, as a browser control takes it.
        if ((message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN) &&
            GetFocus() != GetHost())
            SetFocus(GetHost());
        m_reinjecting = true;
        gtk_widget_event(GTK_WIDGET(m_view), event);
        m_reinjecting = false;
        gdk_event_free(event);
        *result = 0;
        return true;
    }
    return false;
}

} // namespace

std::unique_ptr<Engine> CreateWebKitEngine(HWND host)
{
    return std::make_unique<WebKitEngine>(host);
}

bool IsWebKitLoading(HWND host)
{
    for (auto& [view, engine] : Views())
        if (engine->GetHost() == host)
            return webkit_web_view_is_loading(view);
    return false;
}

namespace {
void OnScriptDone(GObject* source, GAsyncResult* result, gpointer data)
{
    auto* done = static_cast<std::function<void(const std::string&)>*>(data);
    JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, nullptr);
    std::string text;
    if (value) {
        gchar* s = jsc_value_to_string(value);
        text = s ? s : "";
        g_free(s);
        g_object_unref(value);
    }
    (*done)(text);
    delete done;
}
} // namespace

bool RunWebKitScript(HWND host, const std::string& utf8Script, std::function<void(const std::string&)> done)
{
    for (auto& [view, engine] : Views()) {
        if (engine->GetHost() == host) {
            webkit_web_view_evaluate_javascript(view, utf8Script.c_str(), -1, nullptr, nullptr, nullptr, OnScriptDone,
                                                new std::function<void(const std::string&)>(std::move(done)));
            return true;
        }
    }
    return false;
}

} // namespace tavrin::browser
