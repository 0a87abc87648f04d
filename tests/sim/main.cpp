// The standalone simulator: serves the seeded demo scenario until stopped, so
// the whole client can be tried by hand with its proxy set to the printed
// address. Usage: tavrin_sim [port]
#include "tests/sim/5460/Site5460.h"
#include "tests/sim/Demo.h"
#include "tests/sim/chinaren/SiteChinaRen.h"
#include "tests/sim/Simulator.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>

int main(int argc, char** argv)
{
    int port = argc > 1 ? std::atoi(argv[1]) : 8460;
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    // Blocked before any thread starts, so only sigwait below receives them.
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    try {
        tavrin::sim::Simulator sim(port);
        tavrin::sim::p5460::Install(sim);
        tavrin::sim::SeedDemo(sim);
        tavrin::sim::chinaren::Site chinaren(sim);
        tavrin::sim::chinaren::SeedDemo(chinaren);
        std::printf("provider simulator on 127.0.0.1:%d (set it as the client's HTTP proxy); "
                    "sign in as demo/demo (5460) or crdemo/demo (ChinaRen). Ctrl+C stops.\n",
                    sim.Port());
        std::fflush(stdout);
        int received = 0;
        sigwait(&signals, &received);
        sim.Stop();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
