// Access rights and privileges: the administrator test, privilege switching, access lists.
#include "support/security.h"

#include <map>
#include <mutex>
#include <new>
#include <string>

#include "support/handles.h"
#include "support/paths.h"

namespace cv {

namespace {

[[noreturn]] void throw_hresult(HRESULT result) { throw static_cast<long>(result); }

void check(BOOL succeeded) {
    if (!succeeded) throw_hresult(hresult_from_win32(::GetLastError()));
}

// The typed advapi32 entry for name; Fn is the declared type of the Windows function.
template <typename Fn>
Fn* advapi(const char* name) {
    return reinterpret_cast<Fn*>(reinterpret_cast<void*>(advapi_function(name)));
}

std::vector<BYTE> zeroed(size_t bytes) {
    try {
        return std::vector<BYTE>(bytes, 0);
    } catch (const std::bad_alloc&) {
        throw_hresult(E_OUTOFMEMORY);
    }
}

DWORD sid_length(PSID value) {
    if (!advapi<decltype(::IsValidSid)>("IsValidSid")(value)) throw_hresult(E_INVALIDARG);
    return advapi<decltype(::GetLengthSid)>("GetLengthSid")(value);
}

struct sid_authority {
    SID_IDENTIFIER_AUTHORITY authority;
    BYTE count;
    DWORD first;
    DWORD second;
};

sid_authority authority_of(well_known_sid trustee) {
    switch (trustee) {
    case well_known_sid::everyone:
        return {SECURITY_WORLD_SID_AUTHORITY, 1, SECURITY_WORLD_RID, 0};
    case well_known_sid::administrators:
        return {SECURITY_NT_AUTHORITY, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS};
    case well_known_sid::users:
        return {SECURITY_NT_AUTHORITY, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS};
    case well_known_sid::authenticated_users:
        return {SECURITY_NT_AUTHORITY, 1, SECURITY_AUTHENTICATED_USER_RID, 0};
    }
    throw_hresult(E_INVALIDARG);
}

// Appends the entries [first, last) of from to to, leaving out those of the trustee skipped.
void copy_aces(PACL from, DWORD first, DWORD last, PACL to, PSID skipped) {
    const auto getAce = advapi<decltype(::GetAce)>("GetAce");
    const auto addAce = advapi<decltype(::AddAce)>("AddAce");
    const auto equalSid = advapi<decltype(::EqualSid)>("EqualSid");
    const DWORD skippedLength = sid_length(skipped);
    for (DWORD index = first; index < last; ++index) {
        void* entry = nullptr;
        check(getAce(from, index, &entry));
        const auto* header = static_cast<const ACE_HEADER*>(entry);
        // Only an entry large enough to hold the trustee's SID can name it.
        if (header->AceSize >= sizeof(ACE_HEADER) + sizeof(ACCESS_MASK) + skippedLength) {
            PSID trustee = static_cast<BYTE*>(entry) + sizeof(ACE_HEADER) + sizeof(ACCESS_MASK);
            if (equalSid(trustee, skipped)) continue;
        }
        check(addAce(to, ACL_REVISION, MAXDWORD, entry, header->AceSize));
    }
}

DWORD first_inherited(PACL list, DWORD count) {
    const auto getAce = advapi<decltype(::GetAce)>("GetAce");
    for (DWORD index = 0; index < count; ++index) {
        void* entry = nullptr;
        check(getAce(list, index, &entry));
        if (static_cast<const ACE_HEADER*>(entry)->AceFlags & INHERITED_ACE) return index;
    }
    return count;
}

void add_allowed(PACL list, BYTE aceFlags, DWORD mask, PSID trustee) {
    if (aceFlags != 0) {
        try {
            check(advapi<decltype(::AddAccessAllowedAceEx)>("AddAccessAllowedAceEx")(list, ACL_REVISION, aceFlags,
                                                                                     mask, trustee));
            return;
        } catch (long error) {
            if (error != E_NOTIMPL) throw;
        }
    }
    check(advapi<decltype(::AddAccessAllowedAce)>("AddAccessAllowedAce")(list, ACL_REVISION, mask, trustee));
}

void close_token(HANDLE token) noexcept { ::CloseHandle(token); }
using unique_token = unique_null<HANDLE, &close_token>;

// Undoes ImpersonateSelf when the scope ends.
class impersonation {
public:
    impersonation() { check(advapi<decltype(::ImpersonateSelf)>("ImpersonateSelf")(SecurityImpersonation)); }
    ~impersonation() {
        try {
            advapi<decltype(::RevertToSelf)>("RevertToSelf")();
        } catch (long) {
        }
    }
    impersonation(const impersonation&) = delete;
    impersonation& operator=(const impersonation&) = delete;
};

bool admin_by_access_check(const sid& administrators) {
    const impersonation self;
    unique_token token;
    if (!advapi<decltype(::OpenThreadToken)>("OpenThreadToken")(::GetCurrentThread(), TOKEN_QUERY, FALSE,
                                                                 token.put())) {
        if (::GetLastError() != ERROR_NO_TOKEN) check(FALSE);
        check(advapi<decltype(::OpenProcessToken)>("OpenProcessToken")(::GetCurrentProcess(), TOKEN_QUERY,
                                                                       token.put()));
    }

    constexpr DWORD accessRead = 1;
    constexpr DWORD accessWrite = 2;
    single_ace_acl list(well_known_sid::administrators, accessRead | accessWrite);
    security_descriptor descriptor;
    check(advapi<decltype(::SetSecurityDescriptorDacl)>("SetSecurityDescriptorDacl")(descriptor.get(), TRUE,
                                                                                     list.get(), FALSE));
    check(advapi<decltype(::SetSecurityDescriptorGroup)>("SetSecurityDescriptorGroup")(
        descriptor.get(), administrators.get(), FALSE));
    check(advapi<decltype(::SetSecurityDescriptorOwner)>("SetSecurityDescriptorOwner")(
        descriptor.get(), administrators.get(), FALSE));
    if (!advapi<decltype(::IsValidSecurityDescriptor)>("IsValidSecurityDescriptor")(descriptor.get())) {
        throw_hresult(E_UNEXPECTED);
    }

    GENERIC_MAPPING mapping = {accessRead, accessWrite, 0, accessRead | accessWrite};
    std::vector<BYTE> privileges = zeroed(20);
    DWORD privilegesLength = static_cast<DWORD>(privileges.size());
    DWORD granted = 0;
    BOOL status = FALSE;
    check(advapi<decltype(::AccessCheck)>("AccessCheck")(
        descriptor.get(), token.get(), accessRead, &mapping, reinterpret_cast<PPRIVILEGE_SET>(privileges.data()),
        &privilegesLength, &granted, &status));
    return status != FALSE;
}

// One AdjustTokenPrivileges call; a privilege the token does not hold fails it too.
void adjust(HANDLE token, TOKEN_PRIVILEGES* state, DWORD length, TOKEN_PRIVILEGES* previous, DWORD* previousLength) {
    ::SetLastError(ERROR_SUCCESS);
    const BOOL done = advapi<decltype(::AdjustTokenPrivileges)>("AdjustTokenPrivileges")(token, FALSE, state, length,
                                                                                         previous, previousLength);
    const DWORD error = ::GetLastError();
    if (!done || error != ERROR_SUCCESS) throw_hresult(hresult_from_win32(error != ERROR_SUCCESS ? error : E_FAIL));
}

}  // namespace

long hresult_from_win32(DWORD error) noexcept {
    if (static_cast<long>(error) <= 0) return static_cast<long>(error);
    return static_cast<long>(0x80070000UL | (error & 0xFFFF));
}

FARPROC advapi_function(const char* name) {
    static std::mutex lock;
    static std::map<std::string, FARPROC> bound;
    static HMODULE module = nullptr;

    const std::lock_guard<std::mutex> guard(lock);
    if (!module) module = system_module(L"advapi32.dll");
    if (!module) throw_hresult(E_UNEXPECTED);
    const auto found = bound.find(name);
    if (found != bound.end()) return found->second;
    const FARPROC function = ::GetProcAddress(module, name);
    if (!function) throw_hresult(E_NOTIMPL);
    bound.emplace(name, function);
    return function;
}

sid::sid(well_known_sid trustee) {
    sid_authority a = authority_of(trustee);
    check(advapi<decltype(::AllocateAndInitializeSid)>("AllocateAndInitializeSid")(
        &a.authority, a.count, a.first, a.second, 0, 0, 0, 0, 0, 0, &sid_));
}

sid::sid(sid&& other) noexcept : sid_(std::exchange(other.sid_, nullptr)) {}

sid& sid::operator=(sid&& other) noexcept {
    std::swap(sid_, other.sid_);
    return *this;
}

sid::~sid() {
    if (!sid_) return;
    try {
        advapi<decltype(::FreeSid)>("FreeSid")(sid_);
    } catch (long) {
    }
}

single_ace_acl::single_ace_acl(well_known_sid trustee, DWORD mask) {
    const sid holder(trustee);
    const DWORD size = sid_length(holder.get()) + 16;
    buffer_ = zeroed(size);
    check(advapi<decltype(::InitializeAcl)>("InitializeAcl")(get(), size, ACL_REVISION));
    check(advapi<decltype(::AddAccessAllowedAce)>("AddAccessAllowedAce")(get(), ACL_REVISION, mask, holder.get()));
}

security_descriptor::security_descriptor() {
    check(advapi<decltype(::InitializeSecurityDescriptor)>("InitializeSecurityDescriptor")(
        &descriptor_, SECURITY_DESCRIPTOR_REVISION));
}

bool is_user_admin() noexcept {
    try {
        const sid administrators(well_known_sid::administrators);
        try {
            BOOL member = FALSE;
            if (advapi<decltype(::CheckTokenMembership)>("CheckTokenMembership")(nullptr, administrators.get(),
                                                                                 &member)) {
                return member != FALSE;
            }
        } catch (long) {
        }
        return admin_by_access_check(administrators);
    } catch (...) {
        return false;
    }
}

bool set_privilege(const wchar_t* name, bool enable) noexcept {
    try {
        unique_token token;
        check(advapi<decltype(::OpenProcessToken)>("OpenProcessToken")(
            ::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put()));
        LUID luid = {};
        check(advapi<decltype(::LookupPrivilegeValueW)>("LookupPrivilegeValueW")(nullptr, name, &luid));

        TOKEN_PRIVILEGES request = {};
        request.PrivilegeCount = 1;
        request.Privileges[0].Luid = luid;
        TOKEN_PRIVILEGES previous = {};
        DWORD previousLength = sizeof(previous);
        adjust(token.get(), &request, sizeof(request), &previous, &previousLength);

        previous.PrivilegeCount = 1;
        previous.Privileges[0].Luid = luid;
        if (enable) {
            previous.Privileges[0].Attributes |= SE_PRIVILEGE_ENABLED;
        } else {
            previous.Privileges[0].Attributes &= ~static_cast<DWORD>(SE_PRIVILEGE_ENABLED);
        }
        adjust(token.get(), &previous, previousLength, nullptr, nullptr);
        return true;
    } catch (...) {
        return false;
    }
}

users_access_descriptor::users_access_descriptor(PSECURITY_DESCRIPTOR old, DWORD mask, BYTE aceFlags) {
    const sid users(well_known_sid::users);
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL oldList = nullptr;
    check(advapi<decltype(::GetSecurityDescriptorDacl)>("GetSecurityDescriptorDacl")(old, &present, &oldList,
                                                                                     &defaulted));
    if (!present) oldList = nullptr;
    ACL_SIZE_INFORMATION sizes = {};
    sizes.AclBytesInUse = sizeof(ACL);
    if (oldList) {
        check(advapi<decltype(::GetAclInformation)>("GetAclInformation")(oldList, &sizes, sizeof(sizes),
                                                                         AclSizeInformation));
    }

    const DWORD size = sizes.AclBytesInUse + 8 + sid_length(users.get());
    list_ = zeroed(size);
    const auto list = reinterpret_cast<PACL>(list_.data());
    check(advapi<decltype(::InitializeAcl)>("InitializeAcl")(list, size, ACL_REVISION));

    const DWORD count = oldList ? sizes.AceCount : 0;
    const DWORD inherited = oldList ? first_inherited(oldList, count) : 0;
    if (oldList) copy_aces(oldList, 0, inherited, list, users.get());
    add_allowed(list, aceFlags, mask, users.get());
    if (oldList) copy_aces(oldList, inherited, count, list, users.get());

    check(advapi<decltype(::SetSecurityDescriptorDacl)>("SetSecurityDescriptorDacl")(descriptor_.get(), TRUE, list,
                                                                                     FALSE));
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    check(advapi<decltype(::GetSecurityDescriptorControl)>("GetSecurityDescriptorControl")(old, &control,
                                                                                           &revision));
    SECURITY_DESCRIPTOR_CONTROL bits = 0;
    if (control & SE_DACL_AUTO_INHERITED) {
        bits = SE_DACL_AUTO_INHERIT_REQ | SE_DACL_AUTO_INHERITED;
    } else if (control & SE_DACL_PROTECTED) {
        bits = SE_DACL_PROTECTED;
    }
    if (bits) {
        check(advapi<decltype(::SetSecurityDescriptorControl)>("SetSecurityDescriptorControl")(descriptor_.get(),
                                                                                               bits, bits));
    }
}

bool grant_users_access(const wchar_t* path, DWORD mask, BYTE aceFlags) {
    const auto getFileSecurity = advapi<decltype(::GetFileSecurityW)>("GetFileSecurityW");
    DWORD needed = 0;
    if (getFileSecurity(path, DACL_SECURITY_INFORMATION, nullptr, 0, &needed)) throw_hresult(E_UNEXPECTED);
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) check(FALSE);
    std::vector<BYTE> old = zeroed(needed);
    check(getFileSecurity(path, DACL_SECURITY_INFORMATION, old.data(), needed, &needed));

    users_access_descriptor descriptor(old.data(), mask, aceFlags);
    check(advapi<decltype(::SetFileSecurityW)>("SetFileSecurityW")(path, DACL_SECURITY_INFORMATION,
                                                                   descriptor.get()));
    return true;
}

}  // namespace cv
