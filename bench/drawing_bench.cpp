// Drawing on a 1920x1080 surface against the machine's own limits: a solid
// fill against memset, an opaque blit against memcpy and a per-pixel alpha
// blend against memcpy, run side by side and reported as ratios.
#include "bench/Runner.h"
#include "platform/gdi/Gdi.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 1920, kHeight = 1080;
constexpr size_t kBytes = size_t(kWidth) * kHeight * 4;

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

Dib& Source() { static Dib d; return d; }
Dib& Target() { static Dib d; return d; }

void Memset(benchmark::State& state)
{
    for (auto _ : state) {
        std::memset(Target().bits, 0x5A, kBytes);
        benchmark::ClobberMemory();
    }
}

void SolidFill(benchmark::State& state)
{
    HBRUSH brush = CreateSolidBrush(RGB(12, 34, 56));
    RECT r{0, 0, kWidth, kHeight};
    for (auto _ : state) {
        FillRect(Target().dc, &r, brush);
        benchmark::ClobberMemory();
    }
    DeleteObject(brush);
}

void Memcpy(benchmark::State& state)
{
    for (auto _ : state) {
        std::memcpy(Target().bits, Source().bits, kBytes);
        benchmark::ClobberMemory();
    }
}

void OpaqueBlit(benchmark::State& state)
{
    for (auto _ : state) {
        BitBlt(Target().dc, 0, 0, kWidth, kHeight, Source().dc, 0, 0, SRCCOPY);
        benchmark::ClobberMemory();
    }
}

void AlphaBlendPerPixel(benchmark::State& state)
{
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    for (auto _ : state) {
        AlphaBlend(Target().dc, 0, 0, kWidth, kHeight, Source().dc, 0, 0, kWidth, kHeight, bf);
        benchmark::ClobberMemory();
    }
}

BENCHMARK(Memset)->Unit(benchmark::kMillisecond);
BENCHMARK(SolidFill)->Unit(benchmark::kMillisecond);
BENCHMARK(Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(OpaqueBlit)->Unit(benchmark::kMillisecond);
BENCHMARK(AlphaBlendPerPixel)->Unit(benchmark::kMillisecond);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            m_times[r.benchmark_name()] = tavrin::bench::JudgeWallTime() ? r.GetAdjustedRealTime() : r.GetAdjustedCPUTime();
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        auto ratio = [&](const char* a, const char* b, double limit) {
            double x = m_times[a], y = m_times[b];
            std::printf("%-20s / %-8s = %5.2f  (target %.1f)\n", a, b, y > 0 ? x / y : 0.0, limit);
        };
        std::printf("\nRatios on a %dx%d surface (%s, one after the other):\n", kWidth, kHeight, tavrin::bench::JudgeWallTime() ? "wall time" : "CPU time");
        ratio("SolidFill", "Memset", 1.5);
        ratio("OpaqueBlit", "Memcpy", 1.5);
        ratio("AlphaBlendPerPixel", "Memcpy", 4.0);
    }

private:
    std::map<std::string, double> m_times;
};

} // namespace

int main(int argc, char** argv)
{
    tavrin::bench::PinBench(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
