// The closing-time save of the main window's bars (the options and the bar
// layout) into a real registry file, against one atomic write of a file of
// the registry file's size in the same folder. The save writes the file
// once, so it stays within a small factor of that write; a write per value
// would be dozens of times slower.
#include "bench/Runner.h"

#include "platform/base/AtomicWrite.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/Registry.h"
#include "platform/win/UserFolder.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPCommandBarsFrame.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPToolBar.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using namespace tavrin::bench;

constexpr int kSavesPerBatch = 10;
constexpr double kGoal = 3.0;

struct App : CWinApp {
    App() : CWinApp("TavrinApp") { SetRegistryKey("Tavrin"); }
};

template <typename F>
Sample Batch(F step)
{
    Stopwatch w;
    for (int i = 0; i < kSavesPerBatch; ++i)
        step();
    const Sample s = w.Stop();
    return {s.wall / kSavesPerBatch, s.cpu / kSavesPerBatch};
}

} // namespace

int main(int argc, char** argv)
{
    PinBench(argc, argv);
    int rounds = argc > 1 ? std::atoi(argv[1]) : 31;
    if (rounds < 1)
        rounds = 1;
    char folder[] = "/tmp/tavrin-barstate-XXXXXX";
    if (!mkdtemp(folder))
        return 1;
    tavrin::win::SetUserConfigFolder(folder);
    tavrin::win::ReloadRegistry();
    App app;
    CXTPPaintManager::SetTheme(1);

    auto* pFrame = new CXTPCommandBarsFrame;
    if (!pFrame->Create(nullptr, "Tavrin", WS_POPUP | WS_VISIBLE, CRect(0, 0, 1000, 400)) ||
        !pFrame->InitCommandBars(RUNTIME_CLASS(CXTPCommandBars)))
        return 1;
    // The main window's bars: a menu-sized bar, the standard and the search toolbar.
    const UINT buttons[] = {32771, 32772, 0, 151, 154, 0, 32775, 32776, 32777, 32778};
    for (UINT nID : {100u, 128u, 176u}) {
        CXTPToolBar* pBar = pFrame->GetCommandBars()->Add("bar", xtpBarTop);
        pBar->SetBarID(nID);
        pBar->SetButtons(buttons, static_cast<int>(std::size(buttons)));
    }
    pFrame->RecalcLayout();

    auto save = [&] { pFrame->SaveCommandBars("TavrinCommandBars"); };
    save();
    const std::string registry = std::string(folder) + "/registry";
    struct stat st{};
    if (stat(registry.c_str(), &st) != 0 || st.st_size <= 0)
        return 1;
    const std::vector<char> bytes(static_cast<size_t>(st.st_size), 'x');
    const std::string peerFile = std::string(folder) + "/peer";
    auto write = [&] {
        tavrin::AtomicFile file;
        if (!file.OpenNative(peerFile) || !file.Write(bytes.data(), bytes.size()) || !file.Commit())
            std::abort();
    };
    Batch(save);
    Batch(write);
    std::vector<Sample> ours, peer;
    for (int r = 0; r < rounds; ++r) {
        if (r % 2 == 0) {
            ours.push_back(Batch(save));
            peer.push_back(Batch(write));
        } else {
            peer.push_back(Batch(write));
            ours.push_back(Batch(save));
        }
    }
    std::printf("registry file: %lld bytes\n", static_cast<long long>(st.st_size));
    const bool met = PrintPair("closing save: options and bar layout", "one atomic write of the same size", ours, peer,
                               kGoal);
    pFrame->DestroyWindow();
    std::remove(peerFile.c_str());
    std::remove(registry.c_str());
    std::remove((std::string(folder) + "/registry.lock").c_str());
    rmdir(folder);
    return met ? 0 : 1;
}
