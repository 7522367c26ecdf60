// A recursive critical section and its scoped guard.
#pragma once
#include <windows.h>

namespace kit {

class CriticalSection {
public:
    CriticalSection() noexcept { InitializeCriticalSection(&m_cs); }
    ~CriticalSection() { DeleteCriticalSection(&m_cs); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    void Enter() noexcept { EnterCriticalSection(&m_cs); }
    void Leave() noexcept { LeaveCriticalSection(&m_cs); }

private:
    CRITICAL_SECTION m_cs;
};

class ScopedLock {
public:
    explicit ScopedLock(CriticalSection& cs) noexcept : m_cs(cs) { m_cs.Enter(); }
    ~ScopedLock() { m_cs.Leave(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    CriticalSection& m_cs;
};

} // namespace kit
