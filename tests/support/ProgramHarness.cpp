#include "tests/support/ProgramHarness.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Png.h"
#include "platform/gdi/Surface.h"
#include "tests/support/TempDir.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace tavrin::test {

namespace {

void Sleep(int ms) { ::usleep(static_cast<useconds_t>(ms) * 1000); }

// Milliseconds of the monotonic clock.
long long NowMs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

} // namespace

std::string BuiltProgram()
{
#ifdef TAVRIN_PROGRAM
    return TAVRIN_PROGRAM;
#else
    return "";
#endif
}

// Program folder

ProgramFolder::ProgramFolder() : m_dir(std::make_unique<TempDir>())
{
    const fs::path program = BuiltProgram();
    fs::copy_file(program, m_dir->Path() / "tavrin");
    fs::permissions(m_dir->Path() / "tavrin", fs::perms::owner_all);
    fs::copy(program.parent_path() / "styles", m_dir->Path() / "styles", fs::copy_options::recursive);
    fs::create_directories(m_dir->Path() / "cfg");
}

ProgramFolder::~ProgramFolder() = default;

std::string ProgramFolder::Path() const { return m_dir->Path().string(); }

void ProgramFolder::WriteConfig(const std::vector<std::vector<std::string>>& rows)
{
    for (const auto& row : rows) {
        auto same = std::find_if(m_rows.begin(), m_rows.end(),
                                 [&](const std::vector<std::string>& r) { return r[0] == row[0] && r[1] == row[1]; });
        if (same != m_rows.end())
            *same = row;
        else
            m_rows.push_back(row);
    }
    // One element per section, its keys in the order given.
    std::vector<std::string> sections;
    for (const auto& row : m_rows)
        if (std::find(sections.begin(), sections.end(), row[0]) == sections.end())
            sections.push_back(row[0]);
    std::string text = "<config>\n";
    for (const std::string& section : sections) {
        text += "\t<" + section + ">\n";
        for (const auto& row : m_rows)
            if (row[0] == section)
                text += "\t\t<" + row[1] + ">" + row[2] + "</" + row[1] + ">\n";
        text += "\t</" + section + ">\n";
    }
    text += "</config>\n";
    m_dir->Write("config.xml", text);
}

void ProgramFolder::UseProxy(const std::string& host, const std::string& port)
{
    WriteConfig({{"proxy", "host", host}, {"proxy", "port", port}});
}

void ProgramFolder::Write(const std::string& relative, const std::string& bytes) const
{
    m_dir->Write(relative, bytes);
}

std::string ProgramFolder::ConfigText() const
{
    const fs::path file = m_dir->Path() / "config.xml";
    return fs::exists(file) ? TempDir::Read(file) : std::string();
}

std::string ProgramFolder::ConfigValue(const std::string& key) const
{
    const std::string text = ConfigText();
    const std::string open = "<" + key + ">";
    const size_t at = text.find(open);
    if (at == std::string::npos)
        return "(none)";
    const size_t end = text.find("</" + key + ">", at);
    return text.substr(at + open.size(), end - at - open.size());
}

// Program run

ProgramRun::~ProgramRun()
{
    if (m_pid > 0 && Running()) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
}

bool ProgramRun::Start(const ProgramFolder& folder, const std::vector<std::string>& args,
                       const std::vector<std::string>& env)
{
    static int serial = 0;
    m_outputPath = folder.Path() + "/output-" + std::to_string(++serial) + ".log";
    const std::string program = folder.Path() + "/tavrin";
    const std::string config = folder.Path() + "/cfg";
    m_pid = ::fork();
    if (m_pid < 0)
        return false;
    if (m_pid == 0) {
        int fd = ::open(m_outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd >= 0) {
            ::dup2(fd, 1);
            ::dup2(fd, 2);
        }
        ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        for (const std::string& e : env) {
            const size_t eq = e.find('=');
            if (eq == e.size() - 1)
                ::unsetenv(e.substr(0, eq).c_str());
            else
                ::setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1);
        }
        if (::chdir(folder.Path().c_str()) != 0)
            ::_exit(126);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    return true;
}

bool ProgramRun::Running()
{
    if (m_pid <= 0)
        return false;
    int status = 0;
    const pid_t done = ::waitpid(m_pid, &status, WNOHANG);
    if (done == m_pid) {
        m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        m_pid = -m_pid;
        return false;
    }
    return done == 0;
}

int ProgramRun::Wait(int timeoutMs)
{
    const long long end = NowMs() + timeoutMs;
    while (Running()) {
        if (NowMs() > end) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
            m_pid = -m_pid;
            return -1;
        }
        Sleep(20);
    }
    return m_status;
}

bool ProgramRun::EndsWithin(int timeoutMs)
{
    const long long end = NowMs() + timeoutMs;
    while (Running()) {
        if (NowMs() > end)
            return false;
        Sleep(20);
    }
    return true;
}

std::string ProgramRun::Output() const
{
    std::ifstream in(m_outputPath);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool ProgramRun::SanitizerReported() const
{
    const std::string out = Output();
    return out.find("Sanitizer") != std::string::npos || out.find("runtime error:") != std::string::npos;
}

// Text in screenshots

bool FindText(const std::vector<unsigned>& shot, int width, int height, const char* gbkText, void* hfont,
              unsigned long textColour, unsigned long backColour, int* px, int* py)
{
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ oldFont = ::SelectObject(dc, static_cast<HFONT>(hfont));
    SIZE size{};
    const int length = static_cast<int>(std::strlen(gbkText));
    ::GetTextExtentPoint32(dc, gbkText, length, &size);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool found = false;
    if (bitmap && bits && size.cx > 0 && size.cy > 0) {
        HGDIOBJ oldBitmap = ::SelectObject(dc, bitmap);
        HBRUSH back = ::CreateSolidBrush(static_cast<COLORREF>(backColour));
        RECT all{0, 0, size.cx, size.cy};
        ::FillRect(dc, &all, back);
        ::DeleteObject(back);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, static_cast<COLORREF>(textColour));
        ::TextOut(dc, 0, 0, gbkText, length);
        ::GdiFlush();
        const auto* rendered = static_cast<const unsigned*>(bits);
        const unsigned backPixel = rendered[0] & 0xFFFFFF;
        // The inked box of the rendering.
        int left = size.cx, top = size.cy, right = -1, bottom = -1;
        for (int y = 0; y < size.cy; ++y)
            for (int x = 0; x < size.cx; ++x)
                if ((rendered[y * size.cx + x] & 0xFFFFFF) != backPixel) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        if (right >= 0) {
            const int bw = right - left + 1, bh = bottom - top + 1;
            auto at = [&](int x, int y) { return rendered[(top + y) * size.cx + left + x] & 0xFFFFFF; };
            for (int y = 0; y + bh <= height && !found; ++y)
                for (int x = 0; x + bw <= width && !found; ++x) {
                    bool same = true;
                    for (int ty = 0; ty < bh && same; ++ty)
                        for (int tx = 0; tx < bw && same; ++tx)
                            same = shot[static_cast<size_t>(y + ty) * width + x + tx] == at(tx, ty);
                    if (same) {
                        found = true;
                        if (px)
                            *px = x - left;
                        if (py)
                            *py = y - top;
                    }
                }
        }
        ::SelectObject(dc, oldBitmap);
    }
    if (bitmap)
        ::DeleteObject(bitmap);
    ::SelectObject(dc, oldFont);
    ::DeleteDC(dc);
    return found;
}

// X session

namespace {

// A window that went away between a lookup and a request is no failure of the test.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

} // namespace

XSession::XSession() : m_display(XOpenDisplay(nullptr)) { XSetErrorHandler(IgnoreXError); }

XSession::~XSession()
{
    if (m_display && m_tray)
        XDestroyWindow(m_display, m_tray);
    if (m_display && m_panel)
        XDestroyWindow(m_display, m_panel);
    if (m_display)
        XCloseDisplay(m_display);
}

namespace {

// A 32-bit property's values (X hands them over as longs); empty when unset.
std::vector<long> LongProperty(Display* d, Window w, const char* name, Atom type, long most)
{
    Atom actual = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<long> values;
    if (XGetWindowProperty(d, w, XInternAtom(d, name, False), 0, most, False, type, &actual, &format, &count, &after,
                           &data) == Success &&
        data) {
        values.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
        XFree(data);
    }
    return values;
}

std::string WindowTitle(Display* d, Window w)
{
    Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    Atom netName = XInternAtom(d, "_NET_WM_NAME", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(d, w, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) == Success &&
        data) {
        title.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
    }
    if (title.empty()) {
        char* name = nullptr;
        if (XFetchName(d, w, &name) && name) {
            title = name;
            XFree(name);
        }
    }
    return title;
}

long WindowPid(Display* d, Window w)
{
    const std::vector<long> pid = LongProperty(d, w, "_NET_WM_PID", XA_CARDINAL, 1);
    return pid.size() == 1 ? pid[0] : -1;
}

void Collect(Display* d, Window w, const std::string& title, std::vector<unsigned long>& out)
{
    if (WindowTitle(d, w) == title) {
        out.push_back(w);
        return;
    }
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned n = 0;
    if (XQueryTree(d, w, &root, &parent, &children, &n)) {
        for (unsigned i = 0; i < n; ++i)
            Collect(d, children[i], title, out);
        if (children)
            XFree(children);
    }
}

} // namespace

std::vector<unsigned long> XSession::FindWindows(const std::string& title)
{
    std::vector<unsigned long> found;
    if (m_display)
        Collect(m_display, DefaultRootWindow(m_display), title, found);
    return found;
}

unsigned long XSession::WaitForWindow(const std::string& title, pid_t pid, int timeoutMs)
{
    const long long end = NowMs() + timeoutMs;
    while (NowMs() < end) {
        for (unsigned long w : FindWindows(title))
            if ((pid <= 0 || WindowPid(m_display, w) == pid || WindowPid(m_display, w) == -1) && IsShown(w))
                return w;
        Sleep(50);
    }
    return 0;
}

bool XSession::IsShown(unsigned long window)
{
    XWindowAttributes a{};
    return XGetWindowAttributes(m_display, window, &a) && a.map_state == IsViewable;
}

bool XSession::IsMapped(unsigned long window)
{
    XWindowAttributes a{};
    return XGetWindowAttributes(m_display, window, &a) && a.map_state != IsUnmapped;
}

bool XSession::Geometry(unsigned long window, int& x, int& y, int& width, int& height)
{
    XWindowAttributes a{};
    if (!XGetWindowAttributes(m_display, window, &a))
        return false;
    Window child = 0;
    XTranslateCoordinates(m_display, window, DefaultRootWindow(m_display), 0, 0, &x, &y, &child);
    width = a.width;
    height = a.height;
    return true;
}

void XSession::ScreenSize(int& width, int& height)
{
    width = DisplayWidth(m_display, DefaultScreen(m_display));
    height = DisplayHeight(m_display, DefaultScreen(m_display));
}

void XSession::Close(unsigned long window)
{
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(m_display, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(m_display, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(m_display, window, False, NoEventMask, &e);
    XFlush(m_display);
}

void XSession::Key(const char* keysym)
{
    const KeyCode code = XKeysymToKeycode(m_display, XStringToKeysym(keysym));
    XTestFakeKeyEvent(m_display, code, True, CurrentTime);
    XTestFakeKeyEvent(m_display, code, False, CurrentTime);
    XFlush(m_display);
}

void XSession::Click(unsigned long window, int x, int y, unsigned button)
{
    int wx = 0, wy = 0, w = 0, h = 0;
    Geometry(window, wx, wy, w, h);
    XTestFakeMotionEvent(m_display, DefaultScreen(m_display), wx + x, wy + y, CurrentTime);
    XTestFakeButtonEvent(m_display, button, True, CurrentTime);
    XTestFakeButtonEvent(m_display, button, False, CurrentTime);
    XFlush(m_display);
}

void XSession::Drag(unsigned long window, int x0, int y0, int x1, int y1)
{
    int wx = 0, wy = 0, w = 0, h = 0;
    Geometry(window, wx, wy, w, h);
    const int screen = DefaultScreen(m_display);
    XTestFakeMotionEvent(m_display, screen, wx + x0, wy + y0, CurrentTime);
    XTestFakeButtonEvent(m_display, 1, True, CurrentTime);
    const int steps = 10;
    for (int i = 1; i <= steps; ++i)
        XTestFakeMotionEvent(m_display, screen, wx + x0 + (x1 - x0) * i / steps, wy + y0 + (y1 - y0) * i / steps,
                             CurrentTime);
    XTestFakeButtonEvent(m_display, 1, False, CurrentTime);
    XFlush(m_display);
}

void XSession::Type(const std::string& text)
{
    const KeyCode shift = XKeysymToKeycode(m_display, XK_Shift_L);
    for (const char c : text) {
        const KeySym sym = static_cast<KeySym>(static_cast<unsigned char>(c));
        const KeyCode code = XKeysymToKeycode(m_display, sym);
        if (!code)
            continue;
        // The character is the shifted one of its key when the plain one differs.
        const bool shifted = XkbKeycodeToKeysym(m_display, code, 0, 0) != sym;
        if (shifted)
            XTestFakeKeyEvent(m_display, shift, True, CurrentTime);
        XTestFakeKeyEvent(m_display, code, True, CurrentTime);
        XTestFakeKeyEvent(m_display, code, False, CurrentTime);
        if (shifted)
            XTestFakeKeyEvent(m_display, shift, False, CurrentTime);
    }
    XFlush(m_display);
}

std::vector<unsigned> XSession::Capture(unsigned long window, int& width, int& height, const std::string& name)
{
    std::vector<unsigned> pixels;
    XWindowAttributes a{};
    if (!XGetWindowAttributes(m_display, window, &a))
        return pixels;
    width = a.width;
    height = a.height;
    // From the screen, so windows above it (a splash, a popup) show as a user sees them.
    int sx = 0, sy = 0;
    Window child = 0;
    XTranslateCoordinates(m_display, window, DefaultRootWindow(m_display), 0, 0, &sx, &sy, &child);
    int screenW = 0, screenH = 0;
    ScreenSize(screenW, screenH);
    width = std::max(0, std::min(width, screenW - sx));
    height = std::max(0, std::min(height, screenH - sy));
    if (width == 0 || height == 0)
        return pixels;
    XImage* image = XGetImage(m_display, DefaultRootWindow(m_display), sx, sy, width, height, AllPlanes, ZPixmap);
    if (!image)
        return pixels;
    pixels.resize(static_cast<size_t>(width) * height);
    auto surface = Surface::Create(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned p = static_cast<unsigned>(XGetPixel(image, x, y)) & 0xFFFFFF;
            pixels[static_cast<size_t>(y) * width + x] = p;
            if (surface)
                surface->SetPixel(x, y, 0xFF000000u | p);
        }
    XDestroyImage(image);
    if (!name.empty() && surface) {
        const fs::path path = fs::absolute(name + ".png");
        SavePng(*surface, path.string().c_str());
        std::cout << "screenshot: " << path.string() << std::endl;
    }
    return pixels;
}

std::vector<unsigned> XSession::CapturePainted(unsigned long window, int& width, int& height, const std::string& name,
                                              int timeoutMs)
{
    const long long end = NowMs() + timeoutMs;
    std::vector<unsigned> last;
    while (NowMs() < end) {
        std::vector<unsigned> shot = Capture(window, width, height);
        const bool varied = !shot.empty() && std::any_of(shot.begin(), shot.end(), [&](unsigned p) { return p != shot[0]; });
        if (varied && shot == last)
            break;
        last = std::move(shot);
        Sleep(100);
    }
    return Capture(window, width, height, name);
}

int XSession::WmState(unsigned long window)
{
    const std::vector<long> state =
        LongProperty(m_display, window, "WM_STATE", XInternAtom(m_display, "WM_STATE", False), 2);
    return state.empty() ? 0 : static_cast<int>(state[0]);
}

bool XSession::WaitForWmState(unsigned long window, int state, int timeoutMs)
{
    const long long end = NowMs() + timeoutMs;
    while (WmState(window) != state) {
        if (NowMs() > end)
            return false;
        Sleep(20);
    }
    return true;
}

void XSession::Iconify(unsigned long window)
{
    XIconifyWindow(m_display, window, DefaultScreen(m_display));
    XFlush(m_display);
}

void XSession::PlayTray()
{
    if (m_tray)
        return;
    const int screen = DefaultScreen(m_display);
    Window root = DefaultRootWindow(m_display);
    m_tray = XCreateSimpleWindow(m_display, root, 0, 0, 1, 1, 0, 0, 0);
    const Atom selection = XInternAtom(m_display, ("_NET_SYSTEM_TRAY_S" + std::to_string(screen)).c_str(), False);
    XSetSelectionOwner(m_display, selection, m_tray, CurrentTime);
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = root;
    e.xclient.message_type = XInternAtom(m_display, "MANAGER", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = CurrentTime;
    e.xclient.data.l[1] = static_cast<long>(selection);
    e.xclient.data.l[2] = static_cast<long>(m_tray);
    XSendEvent(m_display, root, False, StructureNotifyMask, &e);
    XFlush(m_display);
}

bool XSession::WaitForDockRequest(int timeoutMs)
{
    const Atom opcode = XInternAtom(m_display, "_NET_SYSTEM_TRAY_OPCODE", False);
    const long long end = NowMs() + timeoutMs;
    while (NowMs() < end) {
        while (XPending(m_display)) {
            XEvent e{};
            XNextEvent(m_display, &e);
            if (e.type == ClientMessage && e.xclient.window == m_tray && e.xclient.message_type == opcode &&
                e.xclient.data.l[1] == 0 /* SYSTEM_TRAY_REQUEST_DOCK */)
                return true;
        }
        Sleep(20);
    }
    return false;
}

void XSession::PlayBottomPanel(int height)
{
    int sw = 0, sh = 0;
    ScreenSize(sw, sh);
    Window root = DefaultRootWindow(m_display);
    m_panel = XCreateSimpleWindow(m_display, root, 0, sh - height, sw, height, 0, 0, 0x808080);
    const Atom type = XInternAtom(m_display, "_NET_WM_WINDOW_TYPE", False);
    Atom dock = XInternAtom(m_display, "_NET_WM_WINDOW_TYPE_DOCK", False);
    XChangeProperty(m_display, m_panel, type, XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&dock),
                    1);
    long strut[12] = {0, 0, 0, height, 0, 0, 0, 0, 0, 0, 0, sw - 1};
    XChangeProperty(m_display, m_panel, XInternAtom(m_display, "_NET_WM_STRUT_PARTIAL", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(strut), 12);
    long simple[4] = {0, 0, 0, height};
    XChangeProperty(m_display, m_panel, XInternAtom(m_display, "_NET_WM_STRUT", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(simple), 4);
    XMapWindow(m_display, m_panel);
    XFlush(m_display);
    // The work area follows once the window manager has taken the strut.
    const long long end = NowMs() + 5000;
    while (NowMs() < end) {
        const std::vector<long> area = LongProperty(m_display, root, "_NET_WORKAREA", XA_CARDINAL, 4);
        const long h = area.size() >= 4 ? area[3] : 0;
        if (h == sh - height)
            return;
        Sleep(20);
    }
}

} // namespace tavrin::test
