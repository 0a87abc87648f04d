// A helper program started by a test (a real HTTP server or proxy): its
// standard output and error are collected by a reader thread, so a test can
// wait for the line that says the program is ready, and the program is
// terminated when the object goes.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace tavrin::test {

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts the program (argv[0] is a path) in the folder; false when it
    // cannot be started.
    bool Start(const std::vector<std::string>& argv, const std::string& folder = "");
    // Blocks until an output line contains the text and returns that line;
    // empty when the program ends first or a generous safety limit passes.
    std::string WaitForLine(const std::string& text);
    // Everything the program has written so far.
    std::string Output() const;
    // Terminates the program and waits for it.
    void Stop();

private:
    void ReadLoop(int fd);

    pid_t m_pid = -1;
    std::thread m_reader;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::string m_output;
    bool m_ended = false;
};

// The full path of an installed program (searched in PATH, then /usr/sbin and
// /sbin); empty when it is not installed.
std::string FindProgram(const std::string& name);

} // namespace tavrin::test
