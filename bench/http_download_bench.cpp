// Downloading a 48 MiB body from a local server: the client against
// `curl -s -o /dev/null` on the same URL, side by side, reported as a ratio.
#include "core/services/HttpClient.h"
#include "tests/support/LoopbackServer.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

constexpr size_t kBodySize = size_t{48} << 20;

tavrin::test::LoopbackServer& Server()
{
    static tavrin::test::LoopbackServer* server = [] {
        auto* s = new tavrin::test::LoopbackServer();
        auto response = std::make_shared<std::string>("HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n"
                                                      "Content-Length: " +
                                                      std::to_string(kBodySize) + "\r\n\r\n");
        response->resize(response->size() + kBodySize, 'x');
        tavrin::test::Reply reply;
        reply.Send(std::shared_ptr<const std::string>(response));
        s->SetFallback(reply);
        return s;
    }();
    return *server;
}

void Client(benchmark::State& state)
{
    std::string url = Server().Url("/big.bin");
    CHttpClient client;
    client.SetRetryCount(0);
    for (auto _ : state) {
        CByteArray out;
        if (!client.Request(url.c_str(), "", out, "") || static_cast<size_t>(out.GetSize()) != kBodySize)
            state.SkipWithError("download failed");
        benchmark::DoNotOptimize(out.GetData());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBodySize));
}

void Curl(benchmark::State& state)
{
    std::string url = Server().Url("/big.bin");
    for (auto _ : state) {
        const char* argv[] = {"curl", "-s", "-o", "/dev/null", url.c_str(), nullptr};
        pid_t pid = 0;
        if (posix_spawnp(&pid, "curl", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
            state.SkipWithError("curl is not installed");
            break;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            state.SkipWithError("curl failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBodySize));
}

// Interleaved, so that both see the same machine load.
BENCHMARK(Client)->Name("download_48MiB/tavrin")->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(Curl)->Name("download_48MiB/curl")->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);

// Keeps the median times to print the ratio at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const auto& run : runs) {
            if (run.aggregate_name == "median")
                medians[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> medians;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ours = reporter.medians.find("download_48MiB/tavrin");
    auto curl = reporter.medians.find("download_48MiB/curl");
    if (ours != reporter.medians.end() && curl != reporter.medians.end() && curl->second > 0)
        std::printf("\ntavrin / curl (median wall time): %.2f (target: at most 1.25)\n", ours->second / curl->second);
    benchmark::Shutdown();
    return 0;
}
