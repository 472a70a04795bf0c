// The named kernel objects that keep a second installer out and see the product running.
#include "app/instance_checks.h"

#include "support/security.h"

namespace {

// Creates "Global\" + name with a descriptor that grants Everyone mask; keeps the create
// call's last error for the caller.
template <typename Create>
cv::unique_handle CreateGlobal(DWORD mask, const std::wstring& name, Create create) {
    DWORD error = ERROR_SUCCESS;
    cv::unique_handle handle;
    {
        cv::single_ace_acl list(cv::well_known_sid::everyone, mask);
        cv::security_descriptor descriptor;
        if (!::SetSecurityDescriptorDacl(descriptor.get(), TRUE, list.get(), FALSE)) {
            throw cv::hresult_from_win32(::GetLastError());
        }
        SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor.get(), FALSE};
        handle.reset(create(&attributes, (L"Global\\" + name).c_str()));
        error = ::GetLastError();
    }
    ::SetLastError(error);
    return handle;
}

bool Taken(DWORD wait) { return wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED; }

}  // namespace

std::wstring applicationId;

cv::unique_handle CreateGlobalMutex(bool initialOwner, const std::wstring& name) {
    return CreateGlobal(MUTEX_ALL_ACCESS, name, [initialOwner](SECURITY_ATTRIBUTES* attributes, const wchar_t* full) {
        return ::CreateMutexW(attributes, initialOwner, full);
    });
}

cv::unique_handle CreateGlobalSemaphore(LONG initialCount, LONG maximumCount, const std::wstring& name) {
    return CreateGlobal(SEMAPHORE_ALL_ACCESS, name, [=](SECURITY_ATTRIBUTES* attributes, const wchar_t* full) {
        return ::CreateSemaphoreW(attributes, initialCount, maximumCount, full);
    });
}

NamedMutex::NamedMutex(const std::wstring& name, bool initialOwner, bool global)
    : handle_(global ? CreateGlobalMutex(initialOwner, name)
                     : cv::unique_handle(::CreateMutexW(nullptr, initialOwner, name.c_str()))) {
    const bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
    if (initialOwner && handle_ && existed) {
        owned_ = Taken(::WaitForSingleObject(handle_.get(), INFINITE));
    } else {
        owned_ = initialOwner && handle_;
    }
}

NamedMutex::~NamedMutex() { Unlock(); }

bool NamedMutex::TryLock() {
    // Taking a held mutex again would need two releases; the one in the destructor would leave it held.
    if (!owned_) owned_ = handle_ && Taken(::WaitForSingleObject(handle_.get(), 0));
    return owned_;
}

void NamedMutex::Unlock() {
    if (owned_) ::ReleaseMutex(handle_.get());
    owned_ = false;
}

InstanceCounter& InstanceCounter::Get() {
    static InstanceCounter counter(applicationId);
    return counter;
}

InstanceCounter::InstanceCounter(const std::wstring& id)
    : semaphore_(CreateGlobalSemaphore(0, 0x7FFFFFFF, id + InstanceCounterSuffix)) {
    if (semaphore_ && ::ReleaseSemaphore(semaphore_.get(), 1, nullptr)) ++total_;
}

InstanceCounter::~InstanceCounter() {
    if (total_ > 0) {
        LONG taken = 0;
        while (taken < total_ && ::WaitForSingleObject(semaphore_.get(), 0) == WAIT_OBJECT_0) ++taken;
        if (taken < total_) {
            if (taken > 0) ::ReleaseSemaphore(semaphore_.get(), taken, nullptr);
        } else {
            total_ -= taken;
        }
    } else if (total_ < 0) {
        ::ReleaseSemaphore(semaphore_.get(), -total_, nullptr);
    }
}

LONG InstanceCounter::RunningCount() {
    LONG previous = 0;
    if (!::ReleaseSemaphore(semaphore_.get(), 1, &previous)) return 0;
    ::WaitForSingleObject(semaphore_.get(), 0);
    return previous;
}

LONG RunningCount() { return InstanceCounter::Get().RunningCount(); }
