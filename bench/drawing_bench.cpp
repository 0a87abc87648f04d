// Drawing on a 1920x1080 surface against the machine's own limits: a solid
// fill against memset, an opaque blit against memcpy and a per-pixel alpha
// blend against memcpy. Both sides of a pair write the same surface on the
// same core, in batches that alternate (the order reversed every round).
#include "bench/Runner.h"
#include "platform/gdi/Gdi.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

namespace {

using namespace tavrin::bench;

constexpr int kWidth = 1920, kHeight = 1080;
constexpr size_t kBytes = size_t(kWidth) * kHeight * 4;
constexpr int kFramesPerBatch = 20;

struct Dib {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    uint32_t* bits = nullptr;
    Dib()
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        SelectObject(dc, bitmap);
        for (size_t i = 0; i < size_t(kWidth) * kHeight; ++i)
            bits[i] = uint32_t(i * 2654435761u);
    }
};

// Keeps the compiler from dropping or merging writes nobody reads.
void Clobber(void* p) { asm volatile("" : : "r"(p) : "memory"); }

struct Pair {
    const char* ours;
    const char* peer;
    std::function<void()> oursFrame, peerFrame;
    double goal;
};

struct Medians {
    Sample ours, peer; // milliseconds per frame
};

Sample Batch(const std::function<void()>& frame)
{
    Stopwatch w;
    for (int i = 0; i < kFramesPerBatch; ++i)
        frame();
    Sample s = w.Stop();
    return {s.wall / kFramesPerBatch, s.cpu / kFramesPerBatch};
}

Sample MedianOf(const std::vector<Sample>& samples)
{
    std::vector<double> wall, cpu;
    for (const Sample& s : samples) {
        wall.push_back(s.wall * 1e3);
        cpu.push_back(s.cpu * 1e3);
    }
    return {Median(wall), Median(cpu)};
}

Medians Measure(const Pair& p, int rounds)
{
    Batch(p.oursFrame); // warm both: pages touched, code and caches loaded
    Batch(p.peerFrame);
    std::vector<Sample> ours, peer;
    for (int r = 0; r < rounds; ++r) {
        Sample a, b;
        if (r % 2 == 0) {
            a = Batch(p.oursFrame);
            b = Batch(p.peerFrame);
        } else {
            b = Batch(p.peerFrame);
            a = Batch(p.oursFrame);
        }
        ours.push_back(a);
        peer.push_back(b);
    }
    return {MedianOf(ours), MedianOf(peer)};
}

} // namespace

int main(int argc, char** argv)
{
    int cpu = PinBench(argc, argv);
    int rounds = argc > 1 ? std::atoi(argv[1]) : 31;
    if (rounds < 1)
        rounds = 1;

    Dib source, target;
    HBRUSH brush = CreateSolidBrush(RGB(12, 34, 56));
    RECT all{0, 0, kWidth, kHeight};
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    auto memcpyFrame = [&] {
        std::memcpy(target.bits, source.bits, kBytes);
        Clobber(target.bits);
    };
    std::vector<Pair> pairs = {
        {"solid fill", "memset",
         [&] {
             FillRect(target.dc, &all, brush);
             Clobber(target.bits);
         },
         [&] {
             std::memset(target.bits, 0x5A, kBytes);
             Clobber(target.bits);
         },
         1.5},
        {"opaque blit", "memcpy",
         [&] {
             BitBlt(target.dc, 0, 0, kWidth, kHeight, source.dc, 0, 0, SRCCOPY);
             Clobber(target.bits);
         },
         memcpyFrame, 1.5},
        {"alpha blend", "memcpy",
         [&] {
             AlphaBlend(target.dc, 0, 0, kWidth, kHeight, source.dc, 0, 0, kWidth, kHeight, bf);
             Clobber(target.bits);
         },
         memcpyFrame, 4.0},
    };

    std::printf("%dx%d surface, core %d, %d rounds of %d frames per side, alternating; "
                "medians per frame in ms, CPU / wall; goals judged on %s time\n\n",
                kWidth, kHeight, cpu, rounds, kFramesPerBatch, JudgeWallTime() ? "wall" : "CPU");
    std::printf("%-12s %15s   %-7s %15s   %13s   %s\n", "tavrin", "cpu / wall", "peer", "cpu / wall",
                "ratio", "goal");
    bool met = true;
    for (const Pair& p : pairs) {
        Medians m = Measure(p, rounds);
        double cpuRatio = m.peer.cpu > 0 ? m.ours.cpu / m.peer.cpu : 0;
        double wallRatio = m.peer.wall > 0 ? m.ours.wall / m.peer.wall : 0;
        bool ok = (JudgeWallTime() ? wallRatio : cpuRatio) <= p.goal;
        met = met && ok;
        std::printf("%-12s %6.3f / %6.3f   %-7s %6.3f / %6.3f   %5.2f / %5.2f   <= %.1f%s\n", p.ours, m.ours.cpu,
                    m.ours.wall, p.peer, m.peer.cpu, m.peer.wall, cpuRatio, wallRatio, p.goal, ok ? "" : "  MISSED");
    }
    DeleteObject(brush);
    return met ? 0 : 2;
}
