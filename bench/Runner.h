// What every peer comparison shares: one core for both sides, child processes
// started the same way for ours and the peer's, wall times and their medians.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace tavrin::bench {

// <chrono> does not build with the GBK execution character set.
inline double Now()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

inline double CpuNow()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Both times of one run: the wall time, and the CPU time (user and system)
// that the side used itself, which other work on a shared machine does not
// inflate.
struct Sample {
    double wall = 0;
    double cpu = 0;
};

// The goals are judged on CPU time, or on wall time with --wall.
inline bool& JudgeWallTime()
{
    static bool wall = false;
    return wall;
}

// Times an in-process side.
struct Stopwatch {
    double wall = Now();
    double cpu = CpuNow();
    Sample Stop() const { return {Now() - wall, CpuNow() - cpu}; }
};

inline double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

inline int CpuCount()
{
    long n = sysconf(_SC_NPROCESSORS_ONLN);
    return n > 0 ? static_cast<int>(n) : 1;
}

// Pins the calling process (and so every child it starts later) to one core.
inline bool PinTo(int cpu)
{
    if (cpu < 0)
        return false;
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu, &set);
    return sched_setaffinity(0, sizeof set, &set) == 0;
}

// Takes "--name=N" out of the arguments; fallback when absent.
inline int TakeIntFlag(int& argc, char** argv, const char* name, int fallback)
{
    std::string prefix = std::string("--") + name + "=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) == 0) {
            int value = std::atoi(argv[i] + prefix.size());
            for (int j = i; j + 1 < argc; ++j)
                argv[j] = argv[j + 1];
            --argc;
            return value;
        }
    }
    return fallback;
}

// Takes "--name" out of the arguments; true when it was there.
inline bool TakeFlag(int& argc, char** argv, const char* name)
{
    std::string flag = std::string("--") + name;
    for (int i = 1; i < argc; ++i) {
        if (flag == argv[i]) {
            for (int j = i; j + 1 < argc; ++j)
                argv[j] = argv[j + 1];
            --argc;
            return true;
        }
    }
    return false;
}

// The core the measured sides share: --cpu=N, else the last one; --wall
// judges the goals on wall times instead of CPU times.
inline int PinBench(int& argc, char** argv)
{
    JudgeWallTime() = TakeFlag(argc, argv, "wall");
    int cpu = TakeIntFlag(argc, argv, "cpu", CpuCount() - 1);
    if (!PinTo(cpu))
        std::fprintf(stderr, "cannot pin to core %d; running unpinned\n", cpu);
    return cpu;
}

inline std::string SelfPath()
{
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return "/proc/self/exe";
    path[n] = 0;
    return path;
}

struct RunOptions {
    std::string output = "/dev/null"; // the child's standard output
    std::string errors;               // its standard error; empty: /dev/null
    std::vector<std::string> env;     // NAME=VALUE added to the environment
};

struct RunResult {
    bool ok = false; // exited 0
    Sample time;
};

// Starts a program and waits for it; the wall time runs from just before
// the spawn to the end of the wait, the CPU time is the child's own, the
// same for ours and every peer.
inline RunResult Run(const std::vector<std::string>& args, const RunOptions& options = {})
{
    RunResult result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, options.output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, options.errors.empty() ? "/dev/null" : options.errors.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (char** e = environ; *e; ++e)
        envp.push_back(*e);
    for (const std::string& e : options.env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    pid_t pid = 0;
    double start = Now();
    int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return result;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    result.time.wall = Now() - start;
    result.time.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                      static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

// Runs both sides of a pair rounds times, alternating run by run and
// reversing the order every other round (ours, peer, peer, ours, ...). run
// starts one side and reports its result; false as soon as a run fails.
template <typename RunSide>
bool Alternate(int rounds, RunSide run, std::vector<Sample>& ours, std::vector<Sample>& peer)
{
    for (int round = 0; round < rounds; ++round) {
        for (int side = 0; side < 2; ++side) {
            bool oursNow = (side == 0) == (round % 2 == 0);
            RunResult r = run(oursNow);
            if (!r.ok)
                return false;
            (oursNow ? ours : peer).push_back(r.time);
        }
    }
    return true;
}

// One line of a pair: the medians of both times of both sides, their ratios,
// and whether the judged one is within the goal (none when the goal is 0).
inline bool PrintPair(const char* what, const char* peer, const std::vector<Sample>& ours,
                      const std::vector<Sample>& theirs, double goal)
{
    auto median = [](const std::vector<Sample>& samples, bool wall) {
        std::vector<double> v;
        for (const Sample& s : samples)
            v.push_back(wall ? s.wall : s.cpu);
        return Median(v);
    };
    double oursCpu = median(ours, false), theirsCpu = median(theirs, false);
    double oursWall = median(ours, true), theirsWall = median(theirs, true);
    double cpuRatio = theirsCpu > 0 ? oursCpu / theirsCpu : 0;
    double wallRatio = theirsWall > 0 ? oursWall / theirsWall : 0;
    double judged = JudgeWallTime() ? wallRatio : cpuRatio;
    bool met = goal <= 0 || judged <= goal;
    char target[48] = "";
    if (goal > 0)
        std::snprintf(target, sizeof target, "goal <= %.2f (%s)", goal, JudgeWallTime() ? "wall" : "cpu");
    std::printf("%-22s | tavrin cpu %7.1f wall %7.1f ms | %-28s cpu %7.1f wall %7.1f ms | ratio cpu %5.2f wall %5.2f "
                "%s%s\n",
                what, oursCpu * 1000, oursWall * 1000, peer, theirsCpu * 1000, theirsWall * 1000, cpuRatio, wallRatio,
                target, met ? "" : "  MISSED");
    return met;
}

} // namespace tavrin::bench
