// Marks an operation's busy flag for the guard's lifetime, also when the
// operation leaves by an exception. The flags are atomics: the window thread
// reads them while a pool worker runs the operation.
#pragma once

#include <atomic>

class CBusyGuard {
public:
    explicit CBusyGuard(std::atomic<int>* flag) : m_flag(flag) { m_flag->store(1); }
    virtual ~CBusyGuard() { m_flag->store(0); }

    CBusyGuard(const CBusyGuard&) = delete;
    CBusyGuard& operator=(const CBusyGuard&) = delete;

private:
    std::atomic<int>* m_flag;
};
