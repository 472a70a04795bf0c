// The named kernel objects that keep a second installer out and see the product running.
#pragma once

#include <windows.h>

#include <string>

#include "support/handles.h"

// The application id of the static phase ("Veltrano7"); both named objects carry it.
extern std::wstring applicationId;

// "Global\" + name, open to Everyone with all access; empty on failure. The create call's
// last-error value survives, so ERROR_ALREADY_EXISTS tells an existing object.
cv::unique_handle CreateGlobalMutex(bool initialOwner, const std::wstring& name);
cv::unique_handle CreateGlobalSemaphore(LONG initialCount, LONG maximumCount, const std::wstring& name);

// A named mutex and whether this process holds it.
class NamedMutex {
public:
    // With initialOwner, an existing mutex is waited for without time limit.
    NamedMutex(const std::wstring& name, bool initialOwner, bool global);
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // Takes the mutex without waiting (an abandoned one counts as taken); whether it is held.
    bool TryLock();
    // Gives the mutex back if it is held.
    void Unlock();
    bool owned() const { return owned_; }

private:
    cv::unique_handle handle_;
    bool owned_ = false;
};

// The counting semaphore in which every running process of the product family holds one count.
class InstanceCounter {
public:
    // The process's counter, named after applicationId; created, with this process's count
    // added, on first use.
    static InstanceCounter& Get();

    explicit InstanceCounter(const std::wstring& id);
    // Takes back the counts this process added; if one cannot be taken, gives back the ones
    // taken in that attempt.
    ~InstanceCounter();
    InstanceCounter(const InstanceCounter&) = delete;
    InstanceCounter& operator=(const InstanceCounter&) = delete;

    // The number of counts held, this process's included; 0 when the semaphore is unusable.
    LONG RunningCount();

private:
    cv::unique_handle semaphore_;
    LONG total_ = 0;
};

// InstanceCounter::Get().RunningCount().
LONG RunningCount();

inline constexpr const wchar_t* InstallerMutexSuffix = L".{5ead623c-dfcd-474d-8e3c-e6978cac039e}";
inline constexpr const wchar_t* InstanceCounterSuffix = L".{a3526b56-ca7c-4e16-8a26-da7758a378fd}";
