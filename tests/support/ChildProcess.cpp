#include "tests/support/ChildProcess.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tavrin::test {

ChildProcess::~ChildProcess()
{
    Stop();
}

bool ChildProcess::Start(const std::vector<std::string>& argv, const std::string& folder)
{
    if (argv.empty() || m_pid > 0)
        return false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_output.clear();
        m_ended = false;
    }
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return false;
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return false;
    }
    if (pid == 0) {
        ::dup2(fds[1], 1);
        ::dup2(fds[1], 2);
        int devnull = ::open("/dev/null", O_RDONLY);
        if (devnull >= 0)
            ::dup2(devnull, 0);
        if (!folder.empty() && ::chdir(folder.c_str()) != 0)
            ::_exit(126);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    m_pid = pid;
    m_reader = std::thread([this, fd = fds[0]] { ReadLoop(fd); });
    return true;
}

void ChildProcess::ReadLoop(int fd)
{
    char buffer[4096];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        std::lock_guard<std::mutex> lock(m_mutex);
        if (n <= 0) {
            m_ended = true;
            m_changed.notify_all();
            break;
        }
        m_output.append(buffer, static_cast<size_t>(n));
        m_changed.notify_all();
    }
    ::close(fd);
}

std::string ChildProcess::WaitForLine(const std::string& text)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    std::string found;
    auto match = [&] {
        size_t at = m_output.find(text);
        if (at != std::string::npos) {
            size_t start = m_output.rfind('\n', at);
            start = start == std::string::npos ? 0 : start + 1;
            size_t end = m_output.find('\n', at);
            if (end == std::string::npos)
                return false; // wait for the rest of the line
            found = m_output.substr(start, end - start);
            return true;
        }
        return m_ended;
    };
    m_changed.wait_for(lock, std::chrono::seconds(20), match);
    return found;
}

std::string ChildProcess::Output() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_output;
}

void ChildProcess::Stop()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
    }
    if (m_reader.joinable())
        m_reader.join();
}

std::string FindProgram(const std::string& name)
{
    std::string path = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
    path += ":/usr/sbin:/sbin";
    std::stringstream dirs(path);
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        if (dir.empty())
            continue;
        std::string candidate = dir + "/" + name;
        struct stat st;
        if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

} // namespace tavrin::test
