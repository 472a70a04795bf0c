// The installer mutex and the running-instance counter: names, access, ownership, counts.
#include <gtest/gtest.h>

#include <aclapi.h>
#include <sddl.h>

#include <thread>

#include "app/instance_checks.h"

namespace {

// A name of this test run's own, so that runs in the same prefix do not meet.
std::wstring UniqueId(const wchar_t* what) {
    return std::wstring(L"CvTest.") + what + L"." + std::to_wstring(::GetCurrentProcessId());
}

// The entries of a kernel object's access list as "SID mask" texts.
std::vector<std::wstring> AccessOf(HANDLE object) {
    PACL list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    std::vector<std::wstring> entries;
    if (::GetSecurityInfo(object, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &list, nullptr,
                          &descriptor) != ERROR_SUCCESS) {
        return entries;
    }
    const cv::unique_local owner(descriptor);
    for (DWORD i = 0; list && i < list->AceCount; ++i) {
        void* raw = nullptr;
        ::GetAce(list, i, &raw);
        const auto* ace = static_cast<ACCESS_ALLOWED_ACE*>(raw);
        LPWSTR sid = nullptr;
        ::ConvertSidToStringSidW(const_cast<DWORD*>(&ace->SidStart), &sid);
        const cv::unique_local text(sid);
        wchar_t mask[16] = {};
        swprintf(mask, 16, L"%lx", ace->Mask);
        entries.push_back(std::wstring(sid) + L" " + mask);
    }
    return entries;
}

// Runs work on a thread of its own: mutexes belong to threads.
template <typename Work>
auto OnOtherThread(Work work) {
    decltype(work()) result{};
    std::thread([&] { result = work(); }).join();
    return result;
}

TEST(GlobalObjects, MutexNewThenExistingOpenToEveryone) {
    const std::wstring name = UniqueId(L"Mutex");
    const cv::unique_handle first = CreateGlobalMutex(false, name);
    ASSERT_TRUE(first);
    EXPECT_EQ(::GetLastError(), DWORD(ERROR_SUCCESS));
    const cv::unique_handle second = CreateGlobalMutex(false, name);
    ASSERT_TRUE(second);
    EXPECT_EQ(::GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(AccessOf(first.get()), std::vector<std::wstring>{L"S-1-1-0 1f0001"});
    const cv::unique_handle opened(::OpenMutexW(SYNCHRONIZE, FALSE, (L"Global\\" + name).c_str()));
    EXPECT_TRUE(opened);
}

TEST(GlobalObjects, SemaphoreOpenToEveryone) {
    const std::wstring name = UniqueId(L"Semaphore");
    const cv::unique_handle semaphore = CreateGlobalSemaphore(0, 0x7FFFFFFF, name);
    ASSERT_TRUE(semaphore);
    EXPECT_EQ(::GetLastError(), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(AccessOf(semaphore.get()), std::vector<std::wstring>{L"S-1-1-0 1f0003"});
    CreateGlobalSemaphore(0, 0x7FFFFFFF, name);
    EXPECT_EQ(::GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
}

TEST(GlobalObjects, NameOfAnotherKindGivesAnEmptyHandle) {
    const std::wstring name = UniqueId(L"Taken");
    const cv::unique_handle semaphore = CreateGlobalSemaphore(0, 1, name);
    ASSERT_TRUE(semaphore);
    EXPECT_FALSE(CreateGlobalMutex(false, name));
    NamedMutex mutex(name, false, true);
    EXPECT_FALSE(mutex.TryLock());
}

TEST(NamedMutexTest, OneHolderAtATime) {
    const std::wstring name = UniqueId(L"Lock");
    {
        NamedMutex mutex(name, false, true);
        EXPECT_FALSE(mutex.owned());
        EXPECT_TRUE(mutex.TryLock());
        EXPECT_TRUE(mutex.TryLock());
        EXPECT_FALSE(OnOtherThread([&] { return NamedMutex(name, false, true).TryLock(); }));
        mutex.Unlock();
        EXPECT_FALSE(mutex.owned());
        EXPECT_TRUE(OnOtherThread([&] { return NamedMutex(name, false, true).TryLock(); }));
        EXPECT_TRUE(mutex.TryLock());
    }
    // Held twice by TryLock, released once by the destructor: free again.
    EXPECT_TRUE(OnOtherThread([&] { return NamedMutex(name, false, true).TryLock(); }));
}

TEST(NamedMutexTest, AbandonedMutexCountsAsTaken) {
    const std::wstring name = UniqueId(L"Abandoned");
    NamedMutex mutex(name, false, true);
    std::thread([&] {
        const cv::unique_handle other(::OpenMutexW(SYNCHRONIZE, FALSE, (L"Global\\" + name).c_str()));
        ::WaitForSingleObject(other.get(), 0);
    }).join();
    EXPECT_TRUE(mutex.TryLock());
}

TEST(NamedMutexTest, InitialOwnerWaitsForAnExistingHolder) {
    const std::wstring name = UniqueId(L"Wait");
    const cv::unique_handle created(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread holder([&] {
        const cv::unique_handle held = CreateGlobalMutex(true, name);
        ::SetEvent(created.get());
        ::Sleep(300);
        ::ReleaseMutex(held.get());
    });
    ::WaitForSingleObject(created.get(), INFINITE);
    const ULONGLONG start = ::GetTickCount64();
    const bool owned = NamedMutex(name, true, true).owned();
    const ULONGLONG waited = ::GetTickCount64() - start;
    holder.join();
    EXPECT_TRUE(owned);
    EXPECT_GE(waited, 200u);
    EXPECT_TRUE(NamedMutex(UniqueId(L"Fresh"), true, true).owned());
    EXPECT_TRUE(NamedMutex(UniqueId(L"Local"), true, false).owned());
}

TEST(Counter, EveryProcessOfTheFamilyCountsOnce) {
    const std::wstring id = UniqueId(L"Family");
    InstanceCounter installer(id);
    EXPECT_EQ(installer.RunningCount(), 1);
    EXPECT_EQ(installer.RunningCount(), 1) << "counting must not change the count";
    {
        InstanceCounter product(id);
        EXPECT_EQ(installer.RunningCount(), 2);
        EXPECT_EQ(product.RunningCount(), 2);
    }
    EXPECT_EQ(installer.RunningCount(), 1);
}

TEST(Counter, UnusableSemaphoreCountsNothing) {
    const std::wstring id = UniqueId(L"Blocked");
    const cv::unique_handle mutex = CreateGlobalMutex(false, id + InstanceCounterSuffix);
    ASSERT_TRUE(mutex);
    InstanceCounter counter(id);
    EXPECT_EQ(counter.RunningCount(), 0);
}

TEST(Counter, CountTakenByOthersIsNotTakenTwice) {
    const std::wstring id = UniqueId(L"Stolen");
    const cv::unique_handle semaphore = CreateGlobalSemaphore(0, 0x7FFFFFFF, id + InstanceCounterSuffix);
    {
        InstanceCounter counter(id);
        // Someone takes this process's count: the destructor cannot take it and gives nothing back.
        ASSERT_EQ(::WaitForSingleObject(semaphore.get(), 0), WAIT_OBJECT_0);
    }
    LONG previous = -1;
    ASSERT_TRUE(::ReleaseSemaphore(semaphore.get(), 1, &previous));
    EXPECT_EQ(previous, 0);
}

}  // namespace
