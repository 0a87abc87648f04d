// Downloading a 48 MiB body over loopback: the client against curl, each
// download one process started the same way, all on one core, alternating run
// by run (in reverse order every other run); the server is a separate
// process on a core of its own.
//   tavrin               CHttpClient::Request into its response buffer
//   curl -o /dev/null    the body thrown away
//   curl -o FILE         the body written to a file on tmpfs (/dev/shm)
//
//   http_download_bench [--cpu=N] [--server-cpu=M] [--wall] [runs=7]
//   http_download_bench --get URL       (our side: one download)
#include "bench/Runner.h"
#include "core/services/HttpClient.h"
#include "tests/support/LoopbackServer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace bench = tavrin::bench;

namespace {

constexpr size_t kBodySize = size_t{48} << 20;

int Get(const char* url)
{
    CHttpClient client;
    client.SetRetryCount(0);
    CByteArray out;
    if (!client.Request(url, "", out, "") || static_cast<size_t>(out.GetSize()) != kBodySize)
        return 1;
    return 0;
}

// The server in a child process of its own, pinned to its core; it ends when
// the parent closes the pipe. Returns the port, 0 when it did not start.
unsigned StartServer(int cpu, pid_t& child, int& keepAlive)
{
    int portPipe[2], lifePipe[2];
    if (pipe(portPipe) != 0 || pipe(lifePipe) != 0)
        return 0;
    child = fork();
    if (child < 0)
        return 0;
    if (child == 0) {
        close(portPipe[0]);
        close(lifePipe[1]);
        bench::PinTo(cpu);
        auto response = std::make_shared<std::string>("HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n"
                                                      "Content-Length: " +
                                                      std::to_string(kBodySize) + "\r\n\r\n");
        response->resize(response->size() + kBodySize, 'x');
        tavrin::test::Reply reply;
        reply.Send(std::shared_ptr<const std::string>(response));
        tavrin::test::LoopbackServer server;
        server.SetFallback(reply);
        unsigned port = server.Port();
        if (write(portPipe[1], &port, sizeof port) != static_cast<ssize_t>(sizeof port))
            _exit(1);
        char byte;
        while (read(lifePipe[0], &byte, 1) > 0) {
        }
        server.Stop();
        _exit(0);
    }
    close(portPipe[1]);
    close(lifePipe[0]);
    keepAlive = lifePipe[1];
    unsigned port = 0;
    if (read(portPipe[0], &port, sizeof port) != static_cast<ssize_t>(sizeof port))
        port = 0;
    close(portPipe[0]);
    return port;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--get") == 0)
        return Get(argv[2]);
    int serverCpu = bench::TakeIntFlag(argc, argv, "server-cpu", bench::CpuCount() - 2);
    int cpu = bench::PinBench(argc, argv);
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    if (serverCpu == cpu)
        std::fprintf(stderr, "the server shares core %d with the clients\n", cpu);

    pid_t child = 0;
    int keepAlive = -1;
    unsigned port = StartServer(serverCpu, child, keepAlive);
    if (port == 0) {
        std::fprintf(stderr, "the server did not start\n");
        return 1;
    }
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/big.bin";
    const std::string file = "/dev/shm/tavrin-download-bench-" + std::to_string(getpid());

    struct Side {
        const char* name;
        std::vector<std::string> command;
        std::vector<bench::Sample> times;
    };
    Side sides[] = {
        {"tavrin", {bench::SelfPath(), "--get", url}, {}},
        {"curl -o /dev/null", {"curl", "-s", "-f", "-o", "/dev/null", url}, {}},
        {"curl -o FILE (tmpfs)", {"curl", "-s", "-f", "-o", file, url}, {}},
    };
    int status = 0;
    // Run -1 warms up; odd runs take the sides in reverse order.
    for (int run = -1; run < runs && status == 0; ++run) {
        for (int i = 0; i < 3; ++i) {
            Side& side = sides[run % 2 ? 2 - i : i];
            bench::RunResult r = bench::Run(side.command);
            std::remove(file.c_str());
            if (!r.ok) {
                std::fprintf(stderr, "%s failed (scripts/setup installs curl)\n", side.name);
                status = 1;
                break;
            }
            if (run >= 0)
                side.times.push_back(r.time);
        }
    }
    close(keepAlive);
    waitpid(child, nullptr, 0);
    if (status != 0)
        return status;

    std::printf("48 MiB over loopback, one process per download, clients on core %d, server on core %d, %d runs, "
                "medians\n",
                cpu, serverCpu, runs);
    bool met = bench::PrintPair("download 48 MiB", sides[1].name, sides[0].times, sides[1].times, 1.1);
    met = bench::PrintPair("download 48 MiB", sides[2].name, sides[0].times, sides[2].times, 1.0) && met;
    return met ? 0 : 2;
}
