// Start-up: from the exec of the program to the first complete paint of its
// main window, against a minimal GTK 3 program of ours that opens one window
// with one WebKitGTK view on the same empty.htm (bench/peers/startup_peer.c),
// the floor set by the toolkit and the browser engine.
//
// The program folder holds 3 accounts with 20 classes of 5,000 stored
// messages each (100,000 messages). A paint is complete when the window is
// shown, looks painted (our frame: more than one colour; the peer: the white
// page all over) and its pixels stay the same for a settle time; the time
// taken is the one of the first capture that showed those final pixels. Run
// under Xvfb with a window manager, as the display tests are.
#include "bench/Runner.h"
#include "bench/StoreFiles.h"
#include "tests/support/ProgramHarness.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
namespace bench = tavrin::bench;
using tavrin::test::ProgramFolder;
using tavrin::test::XSession;

#ifndef TAVRIN_STARTUP_PEER
#define TAVRIN_STARTUP_PEER ""
#endif

namespace {

constexpr int kAccounts = 3;
constexpr int kClasses = 20;
constexpr int kMessages = 5000;
constexpr double kSettle = 1.0;   // seconds of unchanged pixels
constexpr double kTimeout = 60.0; // a side that shows nothing in this time failed

// Three accounts of one provider sharing the twenty classes.
void WriteAccounts(const ProgramFolder& folder)
{
    int classIndex = 0;
    for (int a = 0; a < kAccounts; ++a) {
        const std::string user = "demo" + std::to_string(a + 1);
        const std::string accountFolder = "accounts/" + user + "@5460";
        const int classes = kClasses / kAccounts + (a < kClasses % kAccounts ? 1 : 0);
        std::string xml = "<account>\n";
        for (int c = 0; c < classes; ++c, ++classIndex) {
            const std::string id = std::to_string(1000 + classIndex);
            xml += "\t<class id=\"" + id + "\">\n\t\t<name>" + std::to_string(classIndex + 1) +
                   "班</name>\n\t\t<school_name>第一中学</school_name>\n\t</class>\n";
            folder.Write(accountFolder + "/" + id + "/message.xml", bench::MessageXml(kMessages, 3000000 + classIndex * 100000));
        }
        xml += "\t<global>\n\t\t<provider>5460(网通用户)</provider>\n\t\t<user_name>" + user +
               "</user_name>\n\t\t<custo_name>" + user + "</custo_name>\n\t</global>\n</account>\n";
        folder.Write(accountFolder + "/tavrin.xml", xml);
    }
}

// Starts a side in the program folder, in a process group of its own (the
// browser engine's helper processes go with it), pinned to the measured core.
pid_t Spawn(const std::vector<std::string>& args, const std::string& folder, int cpu)
{
    const std::string config = folder + "/cfg";
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    ::setpgid(0, 0);
    if (cpu >= 0) {
        cpu_set_t set;
        CPU_ZERO(&set);
        CPU_SET(cpu, &set);
        ::sched_setaffinity(0, sizeof set, &set);
    }
    const int null = ::open("/dev/null", O_WRONLY);
    if (null >= 0) {
        ::dup2(null, 1);
        ::dup2(null, 2);
    }
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    if (::chdir(folder.c_str()) != 0)
        ::_exit(126);
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

// CPU time (user and system) of a running process, from /proc.
double ProcessCpu(pid_t pid)
{
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/stat", static_cast<int>(pid));
    FILE* f = std::fopen(path, "r");
    if (!f)
        return 0;
    char buffer[1024] = {};
    const size_t n = std::fread(buffer, 1, sizeof buffer - 1, f);
    std::fclose(f);
    buffer[n] = 0;
    const char* p = std::strrchr(buffer, ')');
    if (!p)
        return 0;
    unsigned long utime = 0, stime = 0;
    // Fields after the name: state, then 10 numbers, then utime and stime.
    if (std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime, &stime) != 2)
        return 0;
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The window's pixels as the screen shows them; empty while it is not shown.
std::vector<char> Grab(Display* display, Window window)
{
    std::vector<char> bytes;
    XWindowAttributes a{};
    if (!XGetWindowAttributes(display, window, &a) || a.map_state != IsViewable)
        return bytes;
    int sx = 0, sy = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &sx, &sy, &child);
    const int w = std::min(a.width, DisplayWidth(display, DefaultScreen(display)) - sx);
    const int h = std::min(a.height, DisplayHeight(display, DefaultScreen(display)) - sy);
    if (w <= 0 || h <= 0)
        return bytes;
    XImage* image = XGetImage(display, DefaultRootWindow(display), sx, sy, w, h, AllPlanes, ZPixmap);
    if (!image)
        return bytes;
    bytes.assign(image->data, image->data + static_cast<size_t>(image->bytes_per_line) * h);
    XDestroyImage(image);
    return bytes;
}

// The pixels of 32-bit captures, colour bits only.
bool AnyPixel(const std::vector<char>& bytes, bool (*test)(uint32_t pixel, uint32_t first))
{
    const uint32_t* px = reinterpret_cast<const uint32_t*>(bytes.data());
    const size_t count = bytes.size() / 4;
    for (size_t i = 0; i < count; ++i)
        if (test(px[i] & 0xFFFFFF, px[0] & 0xFFFFFF))
            return true;
    return false;
}

// Our frame is painted when it shows its panes and bars (more than one
// colour); the peer when its view shows the white page all over.
bool FramePainted(const std::vector<char>& bytes)
{
    return !bytes.empty() && AnyPixel(bytes, [](uint32_t p, uint32_t first) { return p != first; });
}

bool PagePainted(const std::vector<char>& bytes)
{
    return !bytes.empty() && !AnyPixel(bytes, [](uint32_t p, uint32_t) { return p != 0xFFFFFF; });
}

// One start: exec to the first capture of the window's final pixels.
bench::RunResult MeasureOne(XSession& x, Display* display, const std::vector<std::string>& args,
                            const std::string& folder, const std::string& title, bool (*painted)(const std::vector<char>&),
                            int cpu)
{
    bench::RunResult result;
    const double start = bench::Now();
    const pid_t pid = Spawn(args, folder, cpu);
    if (pid <= 0)
        return result;
    std::vector<char> last;
    double lastChange = 0, lastCpu = 0;
    while (bench::Now() - start < kTimeout) {
        unsigned long window = 0;
        for (unsigned long w : x.FindWindows(title))
            window = w;
        std::vector<char> shot;
        const double at = bench::Now();
        const double cpuAt = ProcessCpu(pid);
        if (window)
            shot = Grab(display, window);
        if (!painted(shot)) {
            last.clear();
        } else if (shot != last) {
            last = std::move(shot);
            lastChange = at;
            lastCpu = cpuAt;
        } else if (at - lastChange >= kSettle) {
            result.ok = true;
            result.time.wall = lastChange - start;
            result.time.cpu = lastCpu;
            break;
        }
        ::usleep(2000);
    }
    ::kill(-pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    // The next start finds no window of this one.
    for (int i = 0; i < 100 && !x.FindWindows(title).empty(); ++i)
        ::usleep(20000);
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    bench::JudgeWallTime() = !bench::TakeFlag(argc, argv, "cpu-time");
    const int cpu = bench::TakeIntFlag(argc, argv, "cpu", bench::CpuCount() - 1);
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "startup_bench: no display; run it under xvfb-run with a window manager\n");
        return 1;
    }
    if (tavrin::test::BuiltProgram().empty() || std::string(TAVRIN_STARTUP_PEER).empty()) {
        std::fprintf(stderr, "startup_bench: the program or the peer is not built\n");
        return 1;
    }
    // The observer (lookups, captures) runs on another core than the sides.
    if (cpu > 0) {
        cpu_set_t set;
        CPU_ZERO(&set);
        CPU_SET(cpu - 1, &set);
        sched_setaffinity(0, sizeof set, &set);
    }

    ProgramFolder folder;
    WriteAccounts(folder);
    const std::string empty = folder.Path() + "/styles/common/empty.htm";
    if (!fs::exists(empty))
        folder.Write("styles/common/empty.htm", "<html><body style=\"background:#fff\"></body></html>\n");
    XSession x;
    Display* display = XOpenDisplay(nullptr);
    if (!x.IsOpen() || !display) {
        std::fprintf(stderr, "startup_bench: cannot open the display\n");
        return 1;
    }
    std::printf("start-up: %d accounts, %d classes of %d messages, core %d, %d rounds, medians; settled after %.1f s "
                "of unchanged pixels\n",
                kAccounts, kClasses, kMessages, cpu, rounds, kSettle);
    std::vector<bench::Sample> ours, peer;
    const bool ok = bench::Alternate(
        rounds,
        [&](bool oursNow) {
            if (oursNow)
                return MeasureOne(x, display, {folder.Path() + "/tavrin"}, folder.Path(), "Tavrin", FramePainted, cpu);
            return MeasureOne(x, display, {TAVRIN_STARTUP_PEER, empty}, folder.Path(), "Tavrin start-up peer", PagePainted,
                              cpu);
        },
        ours, peer);
    XCloseDisplay(display);
    if (!ok) {
        std::fprintf(stderr, "startup_bench: a side showed no settled window within %.0f s\n", kTimeout);
        return 1;
    }
    std::printf("(cpu: the first process only; the peer's browser processes are not counted)\n");
    return bench::PrintPair("start-up to paint", "GTK 3 + WebKitGTK window", ours, peer, 1.5) ? 0 : 2;
}
