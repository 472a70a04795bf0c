// The running-instance semaphore, open to every account so that any user's setup sees us.
#include "demo/product/running_instance.h"

#include <vector>

namespace {

constexpr const wchar_t* SemaphoreName = L"Global\\Veltrano7.{a3526b56-ca7c-4e16-8a26-da7758a378fd}";
constexpr DWORD SemaphoreAllAccess = 0x1F0003;

void free_sid(PSID sid) noexcept { ::FreeSid(sid); }
using unique_sid = cv::unique_null<PSID, &free_sid>;

}  // namespace

RunningInstance::RunningInstance() {
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    unique_sid everyone;
    if (!::AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, everyone.put())) return;
    std::vector<BYTE> acl(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + ::GetLengthSid(everyone.get()));
    auto* list = reinterpret_cast<PACL>(acl.data());
    SECURITY_DESCRIPTOR descriptor{};
    if (!::InitializeAcl(list, static_cast<DWORD>(acl.size()), ACL_REVISION) ||
        !::AddAccessAllowedAce(list, ACL_REVISION, SemaphoreAllAccess, everyone.get()) ||
        !::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !::SetSecurityDescriptorDacl(&descriptor, TRUE, list, FALSE))
        return;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
    semaphore_.reset(::CreateSemaphoreW(&attributes, 0, 0x7FFFFFFF, SemaphoreName));
    counted_ = semaphore_ && ::ReleaseSemaphore(semaphore_.get(), 1, nullptr);
}

RunningInstance::~RunningInstance() {
    if (counted_) ::WaitForSingleObject(semaphore_.get(), 0);
}
